#include "views/coloredtreeview.h"

#include <QPaintEvent>
#include <QPainter>

namespace kestrel {

CColoredTreeView::CColoredTreeView(QWidget* parent) : QTreeWidget(parent)
{
}

void CColoredTreeView::SetBackground(const CBackgroundPainter& painter)
{
    m_background = painter;
    // The items are drawn without a background of their own, so that they
    // stand on the gradient.
    viewport()->setAutoFillBackground(!painter.Paints());
    viewport()->update();
}

void CColoredTreeView::paintEvent(QPaintEvent* event)
{
    if (m_background.Paints()) {
        QPainter painter(viewport());
        painter.setClipRect(event->rect());
        // The gradient spans the visible area: the tree's items scroll over it.
        m_background.Paint(painter, viewport()->rect(), 0, QPoint(0, 0));
    }
    QTreeWidget::paintEvent(event);
}

void CColoredTreeView::resizeEvent(QResizeEvent* event)
{
    QTreeWidget::resizeEvent(event);
    if (m_background.Paints())
        viewport()->update();
}

void CColoredTreeView::scrollContentsBy(int dx, int dy)
{
    QTreeWidget::scrollContentsBy(dx, dy);
    // Scrolling would move the painted background with the items.
    if (m_background.Paints())
        viewport()->update();
}

} // namespace kestrel
