#include "views/formmarks.h"

#include <QPaintEvent>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>

namespace kestrel {

namespace {

// The mark's colour: the program's red for what is incomplete, a little
// softened so that it does not shout.
const QColor kMarkColor(196, 40, 40);

} // namespace

CFormMarks::CFormMarks(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("formMarks"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::NoFocus);
}

void CFormMarks::SetMarked(QList<QRect> controls)
{
    if (controls == m_marked)
        return;
    m_marked = std::move(controls);
    update();
}

void CFormMarks::paintEvent(QPaintEvent* event)
{
    if (m_marked.isEmpty())
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(kMarkColor);
    // A triangle in the top left corner, inside the frame, its legs a third
    // of the text height (the font sets the control's height).
    for (const QRect& r : m_marked) {
        if (!r.intersects(event->rect()))
            continue;
        const int leg = std::clamp(r.height() / 3, 4, 12);
        const QPointF corner(r.left() + 1.5, r.top() + 1.5);
        QPainterPath path(corner);
        path.lineTo(corner + QPointF(leg, 0));
        path.lineTo(corner + QPointF(0, leg));
        path.closeSubpath();
        painter.drawPath(path);
    }
}

} // namespace kestrel
