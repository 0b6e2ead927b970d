#pragma once
// The program's icons, drawn with QPainter at whatever size and pixel ratio
// they are shown in, so they stay sharp at any display scaling: the tree's
// folders in the colours of the completeness marks, the toolbar's buttons
// and the program's own icon.

#include <QIcon>

namespace kestrel {

// The folder states of the navigation tree's nodes.
enum FolderState : int {
    FOLDER_RED = 0,    // incomplete, or the check found errors
    FOLDER_GREEN = 1,  // complete
    FOLDER_YELLOW = 2, // no state
    FOLDER_CYAN = 3,   // not used by any node
};

// A closed folder; shown selected it opens.
QIcon FolderIcon(int state);

enum class ToolIcon { Open, Save, Print, Check };
QIcon ToolbarIcon(ToolIcon which);

// The print preview's tool buttons.
enum class PreviewIcon { First, Previous, Next, Last, ZoomIn, ZoomOut, FitWidth, FitPage, Pdf };
QIcon PreviewToolIcon(PreviewIcon which);

// A bid proposal: a sheet with a folded corner and the road's colours.
QIcon ProposalIcon();

// The program's icon (a kestrel's head over a road).
QIcon ProgramIcon();

} // namespace kestrel
