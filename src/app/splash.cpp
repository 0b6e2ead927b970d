#include "app/splash.h"

#include <QApplication>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QTimer>

#include "app/aboutdlg.h"
#include "app/artwork.h"

namespace kestrel {

CSplash::CSplash(int ms)
    : QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("splash"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(495, 272);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    m_timer = new QTimer(this);
    m_timer->setSingleShot(true);
    m_timer->setInterval(ms);
    connect(m_timer, &QTimer::timeout, this, &CSplash::Finish);
    m_timer->start();
    // A question shown at start-up (a lock, a recovery copy, a file that
    // cannot be read) must not wait under the splash.
    qApp->installEventFilter(this);
}

bool CSplash::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Show && watched != this && watched->isWidgetType()) {
        const auto* widget = static_cast<QWidget*>(watched);
        if (widget->isWindow() && widget->isModal())
            Finish();
    }
    return QWidget::eventFilter(watched, event);
}

void CSplash::Finish()
{
    m_timer->stop();
    close();
}

void CSplash::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        Finish();
}

void CSplash::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    PaintKestrelScene(painter, rect());
    PaintSceneText(painter, QRectF(24, height() - 96, width() - 48, 48), QStringLiteral("Tollgate Kestrel"),
                   40, QFont::Black);
    PaintSceneText(painter, QRectF(26, height() - 48, width() - 52, 22),
                   QStringLiteral("Subcontractor records for highway-construction bids"), 14,
                   QFont::DemiBold);
    QFont release;
    release.setFamilies({QStringLiteral("Arial"), QStringLiteral("Liberation Sans")});
    release.setPixelSize(14);
    release.setWeight(QFont::DemiBold);
    painter.setFont(release);
    painter.setPen(QColor(255, 244, 214));
    painter.drawText(QRect(0, 14, width() - 18, 22), Qt::AlignRight | Qt::AlignVCenter,
                     QStringLiteral("Release %1").arg(ReleaseText(CurrentVersion())));
    painter.setPen(QPen(QColor(255, 255, 255, 60), 1));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

} // namespace kestrel
