#include "views/subitemsplitter.h"

#include "views/dataview.h"

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
}

} // namespace kestrel
