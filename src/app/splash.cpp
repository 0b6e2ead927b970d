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
namespace {

// 283 x 136 dialog units at the usual 7 x 8 pixel font: the window's size.
constexpr QSize kSplashSize(495, 272);
// The title and the line under it, from the bottom edge, inside a margin.
constexpr int kTitleMargin = 24;
constexpr int kTitleFromBottom = 96;
constexpr int kTitleHeight = 48;
constexpr int kTitlePixels = 40;
constexpr int kTaglineFromBottom = 48;
constexpr int kTaglineHeight = 22;
constexpr int kTaglinePixels = 14;
// The release, at the top right corner.
constexpr int kReleasePixels = 14;
constexpr QRect kReleaseBand(0, 14, 18, 22); // left, top, right margin, height
// The hairline border over the scene's dark sky.
constexpr QRgb kBorderColor = qRgba(255, 255, 255, 60);

} // namespace

CSplash::CSplash(int ms)
    : QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("splash"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(kSplashSize);
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
    PaintSceneText(
        painter, QRectF(kTitleMargin, height() - kTitleFromBottom, width() - 2 * kTitleMargin, kTitleHeight),
        QStringLiteral("Tollgate Kestrel"), kTitlePixels, QFont::Black);
    // The tag line stands two pixels further in than the title.
    PaintSceneText(painter,
                   QRectF(kTitleMargin + 2, height() - kTaglineFromBottom, width() - 2 * (kTitleMargin + 2),
                          kTaglineHeight),
                   tr("Subcontractor records for highway-construction bids"), kTaglinePixels,
                   QFont::DemiBold);
    QFont release;
    release.setFamilies({QStringLiteral("Arial"), QStringLiteral("Liberation Sans")});
    release.setPixelSize(kReleasePixels);
    release.setWeight(QFont::DemiBold);
    painter.setFont(release);
    painter.setPen(QColor(kSceneLightText));
    painter.drawText(
        QRect(kReleaseBand.left(), kReleaseBand.top(), width() - kReleaseBand.width(), kReleaseBand.height()),
        Qt::AlignRight | Qt::AlignVCenter, tr("Release %1").arg(ReleaseText(CurrentVersion())));
    painter.setPen(QPen(QColor::fromRgba(kBorderColor), 1));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

} // namespace kestrel
