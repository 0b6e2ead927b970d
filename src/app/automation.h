#pragma once
// Hidden switches for the screenshots and the start-up timing, taken from
// the environment:
//   KESTREL_SCREENSHOTS=DIR  once the window is up, expands the tree, shows
//                            the main window with a subcontractor chosen, the
//                            error list, the contract view, the
//                            subcontractor list, a subcontractor's items,
//                            the contract items, the forms, the find
//                            bar, the quick filters, the check panel, the
//                            quote import's preview, the print
//                            preview, the options, About, credits, splash
//                            and proposal windows (in debug mode the
//                            template editor and the cell dump instead),
//                            the history list after a few changes, the offer
//                            to recover changes and the message about a
//                            contract another program holds,
//                            saves each as DIR/*.png and quits.
//   KESTREL_QUIT_AFTER_PAINT=1  quits as soon as the main window has painted.

namespace kestrel {

class CSubApp;

void StartAutomation(CSubApp& app);

} // namespace kestrel
