#include "app/hitmarker.h"

#include <QEvent>
#include <QPainter>

namespace kestrel {

namespace {
constexpr int kMargin = 3;
}

CHitMarker::CHitMarker(QWidget* target) : QWidget(target->parentWidget()), m_target(target)
{
    setObjectName(QStringLiteral("hitMarker"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::NoFocus);
    target->installEventFilter(this);
    Follow();
    show();
    raise();
}

bool CHitMarker::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_target) {
        switch (event->type()) {
        case QEvent::Move:
        case QEvent::Resize: Follow(); break;
        case QEvent::Show: show(); break;
        case QEvent::Hide: hide(); break;
        default: break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void CHitMarker::Follow()
{
    if (!m_target)
        return;
    setGeometry(m_target->geometry().adjusted(-kMargin, -kMargin, kMargin, kMargin));
    raise();
}

void CHitMarker::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(palette().color(QPalette::Highlight), 2.5));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(QRectF(rect()).adjusted(1.5, 1.5, -1.5, -1.5), 4, 4);
}

} // namespace kestrel
