#include "views/dv_itemschedulegrid.h"

#include <QHeaderView>

#include <algorithm>

#include "app/mainframe.h"
#include "app/subdoc.h"
#include "edit/changeevent.h"
#include "grid/columnwidths.h"
#include "grid/gridmodel.h"
#include "grid/gridview.h"
#include "model/contract/contract.h"

namespace kestrel {

CDV_ItemScheduleGrid::CDV_ItemScheduleGrid(QWidget* parent) : CDV_GridBase(parent)
{
    setObjectName(QStringLiteral("itemScheduleGrid"));
    Grid()->SetColumnsMovable(true);
    // Editing goes from unit price to unit price, item by item.
    Grid()->SetNavigator([this](const QModelIndex& from, bool forward) {
        const int row = m_source.NextEditRow(from.row(), forward);
        return row < 0 ? QModelIndex() : Grid()->Model()->index(row, CContItemDataSource::ColUnitPrice);
    });
    connect(Grid(), &CGridView::columnMoved, this, [this] { FitColumns(); });
    EnableQuickFilters();
}

const std::vector<int>& CDV_ItemScheduleGrid::ColumnChars()
{
    static const std::vector<int> chars{6, 12, 13, 5, 17, 15};
    return chars;
}

int CDV_ItemScheduleGrid::TotalPaneWidth() const
{
    return Grid()->horizontalHeader()->sectionSize(CContItemDataSource::ColExtension) - 6;
}

void CDV_ItemScheduleGrid::OnInitialUpdate()
{
    CSubDoc* doc = Document();
    m_source.Bind(Contract(), doc ? doc->Edits() : nullptr);
    SetUpGrid(&m_source);
    // The cursor starts on the first price that can be typed.
    const int first = m_source.FirstEditRow();
    if (m_source.RowCount() > 0)
        Grid()->setCurrentIndex(
            Grid()->Model()->index(std::max(first, 0), CContItemDataSource::ColUnitPrice));
    ShowTotal();
}

void CDV_ItemScheduleGrid::ReleaseContract()
{
    m_source.Bind(nullptr, nullptr);
}

bool CDV_ItemScheduleGrid::ShowOnlyItems(const std::vector<int>* items)
{
    return m_source.ShowOnly(items);
}

std::string CDV_ItemScheduleGrid::LineOfRow(int row) const
{
    const CItem* item = m_source.ItemAt(row);
    return item && !item->IsHeading() ? std::string(TextView(item->m_strLineNumber)) : std::string();
}

void CDV_ItemScheduleGrid::OnContractChanged(const ChangeEvent& event)
{
    // What the filter keeps follows the change (subcontracting an item
    // takes it out of the unassigned ones).
    if (event.valuesChanged && m_source.Filtered())
        RefreshFilter();
    // A contract item's change runs through the totals of its section and
    // the contract: the whole grid shows it (the rows in sight redraw).
    switch (event.kind) {
    case ChangeKind::Item:
    case ChangeKind::Undone:
    case ChangeKind::Redone: Grid()->Model()->RefreshAll(); break;
    default: break;
    }
    if (event.totalsChanged || event.kind == ChangeKind::Undone || event.kind == ChangeKind::Redone)
        ShowTotal();
}

void CDV_ItemScheduleGrid::FitColumns()
{
    Grid()->SetColumnWidths(ScheduleColumnWidths(ColumnChars(), Grid()->AvailableWidth(), CharWidth()));
    ShowTotal();
}

void CDV_ItemScheduleGrid::ShowTotal()
{
    CSubDoc* doc = Document();
    auto* frame = doc ? qobject_cast<CMainFrame*>(doc->MainWindow()) : nullptr;
    if (frame)
        frame->ShowContractTotal(doc->ContractTotalText(), TotalPaneWidth());
}

} // namespace kestrel
