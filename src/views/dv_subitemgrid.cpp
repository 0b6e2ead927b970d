#include "views/dv_subitemgrid.h"

#include "app/qtext.h"
#include "app/subdoc.h"
#include "app/subsettings.h"
#include "edit/changeevent.h"
#include "grid/columnwidths.h"
#include "grid/gridmodel.h"
#include "grid/gridview.h"
#include "model/subcontract/subcontract.h"

namespace kestrel {

CDV_SubItemGrid::CDV_SubItemGrid(QWidget* parent) : CDV_GridBase(parent)
{
    setObjectName(QStringLiteral("subItemGrid"));
    connect(Grid(), &CGridView::currentRowChanged, this,
            [this](int row) { emit currentLineChanged(ToQString(m_source.LineOfRow(row))); });
    EnableQuickFilters();
}

const CSubcontract* CDV_SubItemGrid::FilterTier() const
{
    return m_source.Record() ? m_source.Record()->m_pParent : nullptr;
}

const std::vector<int>& CDV_SubItemGrid::ColumnChars()
{
    static const std::vector<int> chars{6, 6, 6, 12, 13, 5, 14, 15, 40};
    return chars;
}

std::string CDV_SubItemGrid::CurrentLine() const
{
    return m_source.LineOfRow(Grid()->CurrentRow());
}

void CDV_SubItemGrid::SelectLine(const std::string& line)
{
    const int row = m_source.RowOfLine(line);
    if (row >= 0)
        Grid()->MoveToRow(row);
}

void CDV_SubItemGrid::BindSource()
{
    CSubDoc* doc = Document();
    m_source.Bind(Contract(), doc ? doc->Edits() : nullptr, Record());
    SetUpGrid(&m_source);
    // The first row is the current one: the entry below shows it.
    if (m_source.RowCount() > 0)
        Grid()->setCurrentIndex(Grid()->Model()->index(0, CSubItemDataSource::ColUse));
}

void CDV_SubItemGrid::OnInitialUpdate()
{
    BindSource();
}

void CDV_SubItemGrid::ReleaseContract()
{
    m_source.Bind(nullptr, nullptr, nullptr);
}

void CDV_SubItemGrid::OnContractChanged(const ChangeEvent& event)
{
    if (m_source.Record() && !Record()) {
        // The subcontractor is gone: nothing left to show.
        ReleaseContract();
        Grid()->Model()->Reset();
        emit currentLineChanged(QString());
        return;
    }
    // A lower tier lists what its parent holds, and a move or an undone
    // change may give the subcontractor another parent. What a quick filter
    // keeps follows every change (taking an item makes it no longer
    // unassigned).
    bool rebuild = event.valuesChanged && m_source.Filtered();
    switch (event.kind) {
    case ChangeKind::SubItem: rebuild = rebuild || event.record != m_source.Record(); break;
    case ChangeKind::SubcontractorMoved:
    case ChangeKind::SubcontractorDeleted:
    case ChangeKind::Undone:
    case ChangeKind::Redone: rebuild = true; break;
    default: break;
    }
    if (rebuild)
        RefreshFilter();
    const bool oneLine =
        (event.kind == ChangeKind::SubItem || event.kind == ChangeKind::SubItemMarks) && !event.line.empty();
    if (oneLine)
        Grid()->Model()->RefreshRecordOfRow(m_source.RowOfLine(event.line));
    else
        Grid()->Model()->RefreshAll();
}

void CDV_SubItemGrid::FitColumns()
{
    Grid()->SetColumnWidths(StretchedColumnWidths(ColumnChars(), Grid()->AvailableWidth(), CharWidth()));
}

void CDV_SubItemGrid::resizeEvent(QResizeEvent* event)
{
    CDV_GridBase::resizeEvent(event);
    if (isVisible() && Document())
        Document()->Settings().hSplitterPos = height();
}

} // namespace kestrel
