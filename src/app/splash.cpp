#include "app/splash.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QTimer>

#include "app/aboutdlg.h"
#include "app/artwork.h"

namespace kestrel {

CSplash::CSplash(int ms) : QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint)
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
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    QFont title;
    title.setFamilies({QStringLiteral("Arial"), QStringLiteral("Liberation Sans")});
    title.setPixelSize(40);
    title.setWeight(QFont::Black);
    painter.setFont(title);
    const QRect band(24, height() - 96, width() - 48, 48);
    painter.setPen(QColor(0, 0, 0, 100));
    painter.drawText(band.translated(2, 2), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("Tollgate Kestrel"));
    painter.setPen(QColor(255, 250, 238));
    painter.drawText(band, Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Tollgate Kestrel"));
    QFont small = title;
    small.setPixelSize(14);
    small.setWeight(QFont::DemiBold);
    painter.setFont(small);
    painter.setPen(QColor(255, 244, 214));
    painter.drawText(QRect(26, height() - 48, width() - 52, 22), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("Subcontractor records for highway-construction bids"));
    painter.drawText(QRect(0, 14, width() - 18, 22), Qt::AlignRight | Qt::AlignVCenter,
                     QStringLiteral("Release %1").arg(ReleaseText(CurrentVersion())));
    painter.setPen(QPen(QColor(255, 255, 255, 60), 1));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

} // namespace kestrel
