#include "views/coloredscrollview.h"

#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>

namespace kestrel {

CColoredScrollView::CColoredScrollView(QWidget* parent) : QScrollArea(parent)
{
    setFrameShape(QFrame::NoFrame);
    viewport()->setAutoFillBackground(false);
}

void CColoredScrollView::SetBackground(const CBackgroundPainter& painter)
{
    m_background = painter;
    viewport()->update();
}

void CColoredScrollView::SetContent(QWidget* content)
{
    setWidget(content);
    // QScrollArea gives its widget a filled background; the view paints it.
    content->setAutoFillBackground(false);
}

void CColoredScrollView::paintEvent(QPaintEvent* event)
{
    QPainter painter(viewport());
    const QRect client = viewport()->rect();
    if (!m_background.Paints()) {
        painter.fillRect(event->rect(), palette().color(QPalette::Window));
        return;
    }
    const int contentHeight = widget() ? widget()->height() : 0;
    painter.setClipRect(event->rect());
    m_background.Paint(painter, client, contentHeight,
                       QPoint(horizontalScrollBar()->value(), verticalScrollBar()->value()));
}

void CColoredScrollView::resizeEvent(QResizeEvent* event)
{
    QScrollArea::resizeEvent(event);
    // The bands are computed for the height: all of them move.
    if (m_background.GetMode() == CBackgroundPainter::Gradient)
        viewport()->update();
}

void CColoredScrollView::scrollContentsBy(int dx, int dy)
{
    QScrollArea::scrollContentsBy(dx, dy);
    viewport()->update();
}

} // namespace kestrel
