#pragma once
// File > Apply Amendment...: carries the open contract's subcontracting
// over to the agency's amended contract file. The amended file is opened
// through the one open routine; a file of another contract is refused
// naming both, an amendment count that is not higher is asked about; the
// preview dialog shows what changes before anything does; Apply makes it
// one step of the undo stack. A contract open read-only refuses first.

#include <QObject>

class QAction;
class QWidget;

namespace kestrel {

class CSubDoc;
struct AmendmentPreview;

class CAmendmentCommand : public QObject {
    Q_OBJECT
public:
    CAmendmentCommand(CSubDoc& doc, QWidget* window);

    QAction* Action() const { return m_action; }
    void UpdateCommandState();
    // The whole command; false when nothing was applied.
    bool OnApplyAmendment();

private:
    CSubDoc& m_doc;
    QWidget* m_window;
    QAction* m_action;
};

// The carry-over report on the printer (the print dialog first): one page
// for each subcontractor the amendment touches. Returns the pages sent.
int PrintAmendmentReport(QWidget* parent, CSubDoc& doc, const AmendmentPreview& preview);

} // namespace kestrel
