#include "views/subitemsplitter.h"

#include "app/qtext.h"
#include "views/dataview.h"
#include "views/dv_subitem.h"
#include "views/dv_subitemgrid.h"

namespace kestrel {

CSubItemSplitter::CSubItemSplitter(CDataView* upper, CDataView* lower, int upperHeight, QWidget* parent)
    : QSplitter(Qt::Vertical, parent), m_upper(upper), m_lower(lower)
{
    setObjectName(QStringLiteral("subItemSplitter"));
    setChildrenCollapsible(false);
    addWidget(upper);
    addWidget(lower);
    setStretchFactor(0, 0);
    setStretchFactor(1, 1);
    setSizes({std::max(upperHeight, 40), std::max(height() - upperHeight, 100)});
    connect(this, &QSplitter::splitterMoved, this, [this] { emit upperHeightChanged(sizes().value(0)); });
    // The grid's current row names the line the entry shows.
    auto* grid = qobject_cast<CDV_SubItemGrid*>(upper);
    auto* entry = qobject_cast<CDV_SubItem*>(lower);
    if (grid && entry) {
        connect(grid, &CDV_SubItemGrid::currentLineChanged, entry,
                [entry](const QString& line) { entry->ShowItem(FromQString(line)); });
        entry->ShowItem(grid->CurrentLine());
    }
}

} // namespace kestrel
