#include "views/dv_subdebuggrid.h"

#include <algorithm>

#include <QHeaderView>
#include <QTableView>
#include <QVBoxLayout>

#include "edit/changeevent.h"
#include "model/contract/contract.h"
#include "views/accessiblename.h"
#include "views/celldumpmodel.h"

namespace kestrel {

CDV_SubDebugGrid::CDV_SubDebugGrid(QWidget* parent) : CDV(parent)
{
    setObjectName(QStringLiteral("subDebugGrid"));
    auto* layout = new QVBoxLayout(Form());
    layout->setContentsMargins(0, 0, 0, 0);
    m_model = new CCellDumpModel(this);
    m_grid = new QTableView(Form());
    m_grid->setObjectName(QStringLiteral("cellDump"));
    SetAccessibleCaption(m_grid, tr("Cells of the record"));
    m_grid->setModel(m_model);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->setAlternatingRowColors(true);
    m_grid->setWordWrap(false);
    // No side heading; a top heading 20 pixels high.
    m_grid->verticalHeader()->hide();
    m_grid->verticalHeader()->setDefaultSectionSize(m_grid->fontMetrics().height() + 6);
    m_grid->horizontalHeader()->setFixedHeight(20);
    m_grid->horizontalHeader()->setHighlightSections(false);
    // A narrow column still shows its whole heading.
    for (int c = 0; c < CCellDumpModel::ColumnCount; ++c)
        m_grid->setColumnWidth(
            c, std::max(CCellDumpModel::Width(c), m_grid->horizontalHeader()->sectionSizeHint(c)));
    layout->addWidget(m_grid);
}

void CDV_SubDebugGrid::Fill()
{
    const CContract* contract = Contract();
    m_model->SetRecord(contract ? contract->m_pSubTable.get() : nullptr, Record());
}

void CDV_SubDebugGrid::OnInitialUpdate()
{
    Fill();
}

void CDV_SubDebugGrid::OnContractChanged(const ChangeEvent& event)
{
    if (event.record == Binding().record || event.kind == ChangeKind::Undone ||
        event.kind == ChangeKind::Redone || event.treeChanged)
        Fill();
}

} // namespace kestrel
