#pragma once
// Going to a place of the contract from a list of places (the find bar's
// hits, the check panel's messages): the tree node is chosen, so that the
// right pane shows the place's view, and there the place itself: an item's
// row in the item schedule, a sub-item's line in the subcontractor's grid,
// a field of a form. The user either goes there (the focus follows) or only
// looks (the focus stays where it is, in the find bar, and the place is
// marked with a frame until the next one is shown).

#include <QObject>
#include <QPointer>

#include <string>

class QWidget;

namespace kestrel {

class CHitMarker;
class CMainFrame;
class CSubDoc;
class CSubcontract;

class CContractNavigator : public QObject {
    Q_OBJECT
public:
    enum class Focus { Take, Keep };

    CContractNavigator(CMainFrame& frame, CSubDoc& doc);

    // The item (its index in the contract's items) in "Contract Items".
    bool ShowItem(int item, Focus focus);
    // A subcontractor's form, at a field (-1: the form alone).
    bool ShowSubcontractor(const CSubcontract* record, int field, Focus focus);
    // A sub-item's line in the subcontractor's items (with `notes`, its
    // notes in the entry below); the subcontractor's form when it has no
    // item list.
    bool ShowSubItem(const CSubcontract* record, const std::string& line, Focus focus, bool notes = false);
    // The miscellaneous-data form, at a field (-1: the form alone).
    bool ShowMiscField(int field, Focus focus);
    // Takes the mark away.
    void ClearMark();
    // The control the mark frames, none when nothing is marked.
    QWidget* MarkedControl() const;

private:
    bool SelectNode(int kind, const CSubcontract* record);
    bool ShowField(int field, Focus focus);
    void Mark(QWidget* control);

    CMainFrame& m_frame;
    CSubDoc& m_doc;
    QPointer<CHitMarker> m_marker;
};

} // namespace kestrel
