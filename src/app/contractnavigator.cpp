#include "app/contractnavigator.h"

#include <QPlainTextEdit>
#include <QTreeWidgetItem>

#include "app/hitmarker.h"
#include "app/mainframe.h"
#include "app/subdoc.h"
#include "app/subtreeview.h"
#include "app/subview.h"
#include "grid/gridview.h"
#include "model/contract/contract.h"
#include "views/dv_gridbase.h"
#include "views/dv_itemschedulegrid.h"
#include "views/dv_subitem.h"
#include "views/dv_subitemgrid.h"
#include "views/dv_template.h"
#include "views/formfield.h"
#include "views/quickfilterbar.h"
#include "views/subitemsplitter.h"

namespace kestrel {

CContractNavigator::CContractNavigator(CMainFrame& frame, CSubDoc& doc)
    : QObject(&frame), m_frame(frame), m_doc(doc)
{
    connect(&doc, &CSubDoc::contractClosing, this, &CContractNavigator::ClearMark);
    // Another node chosen: the mark was the old view's (a kept form would
    // show it around the next record's field). A place shown here is
    // marked after its node is chosen.
    connect(frame.Tree(), &CSubTreeView::nodeSelected, this, &CContractNavigator::ClearMark);
}

void CContractNavigator::ClearMark()
{
    delete m_marker;
}

QWidget* CContractNavigator::MarkedControl() const
{
    return m_marker ? m_marker->Target() : nullptr;
}

void CContractNavigator::Mark(QWidget* control)
{
    ClearMark();
    if (control)
        m_marker = new CHitMarker(control);
}

bool CContractNavigator::SelectNode(int kind, const CSubcontract* record)
{
    // What is typed in the view shown is stored before another place is
    // shown; a refused entry keeps its view.
    if (!m_doc.CommitEdits())
        return false;
    CSubTreeView* tree = m_frame.Tree();
    QTreeWidgetItem* node = nullptr;
    if (kind == NODE_SUBCONTRACTOR || kind == NODE_SUB_ITEMS) {
        node = tree->FindNode(record);
        if (node && kind == NODE_SUB_ITEMS) {
            QTreeWidgetItem* items = nullptr;
            for (int i = 0; i < node->childCount() && !items; ++i)
                if (CSubTreeView::KindOf(node->child(i)) == NODE_SUB_ITEMS)
                    items = node->child(i);
            node = items;
        }
    } else {
        node = tree->FindKind(static_cast<TreeNodeKind>(kind));
    }
    if (!node)
        return false;
    if (tree->currentItem() != node)
        tree->setCurrentItem(node);
    tree->scrollToItem(node);
    return true;
}

bool CContractNavigator::ShowItem(int item, Focus focus)
{
    ClearMark();
    const CContract* contract = m_doc.Contract();
    if (!contract || item < 0 || item >= contract->m_Items.GetSize() ||
        !SelectNode(NODE_CONTRACT_ITEMS, nullptr))
        return false;
    auto* grid = qobject_cast<CDV_ItemScheduleGrid*>(m_frame.View()->CurrentView());
    if (!grid)
        return false;
    const CItem& entry = *contract->m_Items[item];
    if (entry.IsHeading()) {
        // A heading has no line of its own in the table of lines: its row
        // is found by its place, every entry being listed.
        if (grid->FilterBar())
            grid->FilterBar()->SetFilter(std::nullopt);
        for (int row = 0; row < grid->Source().RowCount(); row += 2)
            if (grid->Source().ItemOfRow(row) == item)
                grid->Grid()->MoveToRow(row);
        grid->Grid()->scrollTo(grid->Grid()->currentIndex(), QAbstractItemView::PositionAtCenter);
    } else if (!grid->GoToLine(std::string(TextView(entry.m_strLineNumber)))) {
        return false;
    }
    if (focus == Focus::Take)
        grid->Grid()->setFocus(Qt::OtherFocusReason);
    return true;
}

bool CContractNavigator::ShowField(int field, Focus focus)
{
    auto* form = qobject_cast<CDV_Template*>(m_frame.View()->CurrentView());
    if (!form)
        return false;
    CFormField* f = field >= 0 ? form->FormField(field) : nullptr;
    if (!f || !f->Control())
        return field < 0;
    form->ensureWidgetVisible(f->Control(), 40, 40);
    if (focus == Focus::Take)
        f->FocusAndSelect();
    else
        Mark(f->Control());
    return true;
}

bool CContractNavigator::ShowSubcontractor(const CSubcontract* record, int field, Focus focus)
{
    ClearMark();
    if (!m_doc.IsRecordAlive(record) || !SelectNode(NODE_SUBCONTRACTOR, record))
        return false;
    return ShowField(field, focus);
}

bool CContractNavigator::ShowMiscField(int field, Focus focus)
{
    ClearMark();
    if (!SelectNode(NODE_MISC_DATA, nullptr))
        return false;
    return ShowField(field, focus);
}

bool CContractNavigator::ShowSubItem(const CSubcontract* record, const std::string& line, Focus focus,
                                     bool notes)
{
    ClearMark();
    if (!m_doc.IsRecordAlive(record))
        return false;
    if (!SelectNode(NODE_SUB_ITEMS, record))
        return ShowSubcontractor(record, -1, focus);
    CSubItemSplitter* split = m_frame.View()->ItemSplitter();
    auto* grid = split ? qobject_cast<CDV_SubItemGrid*>(split->Upper()) : nullptr;
    if (!grid || !grid->GoToLine(line))
        return false;
    auto* entry = qobject_cast<CDV_SubItem*>(split->Lower());
    QWidget* target = notes && entry ? static_cast<QWidget*>(entry->NotesEdit()) : grid->Grid();
    if (focus == Focus::Take)
        target->setFocus(Qt::OtherFocusReason);
    else if (target != static_cast<QWidget*>(grid->Grid()))
        Mark(target);
    return true;
}

} // namespace kestrel
