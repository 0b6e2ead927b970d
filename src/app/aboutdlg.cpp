#include "app/aboutdlg.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/artwork.h"
#include "app/showcrd.h"

#ifndef KESTREL_VERSION_MAJOR
#define KESTREL_VERSION_MAJOR 0
#define KESTREL_VERSION_MINOR 0
#define KESTREL_VERSION_PATCH 0
#define KESTREL_VERSION_TWEAK 0
#endif

namespace kestrel {

namespace {

// The picture fills the box's 249 dialog units of width and the room above
// the OK button's row.
constexpr int kPictureWidth = 436;
constexpr int kPictureHeight = 228;
// The OK button's row under the picture.
constexpr int kButtonRowHeight = 54;
constexpr int kButtonGap = 10;
constexpr int kButtonRightMargin = 12;
// The program's name and tag line over the fields, from the picture's foot.
constexpr QRectF kTitleBand(16, 64, 400, 40); // left, from the foot, width, height
constexpr QRectF kTaglineBand(18, 30, 400, 20);
constexpr int kTitlePixels = 30;
constexpr int kTaglinePixels = 12;

} // namespace

ProgramVersion CurrentVersion()
{
    return {KESTREL_VERSION_MAJOR, KESTREL_VERSION_MINOR, KESTREL_VERSION_PATCH, KESTREL_VERSION_TWEAK};
}

QString ReleaseText(const ProgramVersion& v)
{
    QString text = QStringLiteral("%1.%2%3").arg(v.major).arg(v.minor).arg(QChar(u'a' + v.patch));
    if (v.build != 0)
        text += QStringLiteral("-%1").arg(v.build);
    return text;
}

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("aboutDlg"));
    setWindowTitle(tr("About Tollgate Kestrel"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, kPictureHeight + kButtonGap, kButtonRightMargin, kButtonGap);
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    m_ok = new QPushButton(tr("OK"), this);
    m_ok->setDefault(true);
    m_ok->installEventFilter(this);
    row->addWidget(m_ok);
    layout->addLayout(row);
    connect(m_ok, &QPushButton::clicked, this, [this] {
        // The modifiers of the click or key on the button itself; for Enter
        // on the dialog, the keyboard's.
        const Qt::KeyboardModifiers modifiers =
            m_pressModifiers ? *m_pressModifiers : QGuiApplication::keyboardModifiers();
        m_pressModifiers.reset();
        OnOK(modifiers);
    });
    m_credits = [](QWidget* owner) {
        CShowCrd credits(owner);
        credits.exec();
    };
    setFixedSize(kPictureWidth, kPictureHeight + kButtonRowHeight);
}

QString CAboutDlg::ReleaseLine() const
{
    return tr("Release %1").arg(ReleaseText(CurrentVersion()));
}

bool CAboutDlg::eventFilter(QObject* watched, QEvent* event)
{
    // The modifiers of the click or key that pressed OK, which a test's
    // synthetic events carry too.
    if (watched == m_ok) {
        switch (event->type()) {
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonPress:
            m_pressModifiers = static_cast<QMouseEvent*>(event)->modifiers();
            break;
        case QEvent::KeyPress:
        case QEvent::KeyRelease: m_pressModifiers = static_cast<QKeyEvent*>(event)->modifiers(); break;
        default: break;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void CAboutDlg::OnOK(Qt::KeyboardModifiers modifiers)
{
    if (modifiers & Qt::ShiftModifier) {
        if (m_credits)
            m_credits(this);
        return;
    }
    accept();
}

void CAboutDlg::paintEvent(QPaintEvent* event)
{
    QDialog::paintEvent(event);
    QPainter painter(this);
    const QRectF picture(0, 0, kPictureWidth, kPictureHeight);
    PaintKestrelScene(painter, picture);
    // The program's name over the fields, its release in the sky.
    auto band = [](const QRectF& b) {
        return QRectF(b.left(), kPictureHeight - b.top(), b.width(), b.height());
    };
    PaintSceneText(painter, band(kTitleBand), QStringLiteral("Tollgate Kestrel"), kTitlePixels, QFont::Black);
    PaintSceneText(painter, band(kTaglineBand), tr("Subcontractor records for highway-construction bids"),
                   kTaglinePixels, QFont::Normal);
    QFont release;
    release.setFamilies({QStringLiteral("Arial"), QStringLiteral("Liberation Sans")});
    release.setPointSize(12);
    release.setBold(true);
    painter.setFont(release);
    painter.setPen(QColor(kSceneLightText));
    // Its top left corner at (280, 25), as the box has always placed it.
    painter.drawText(QRectF(280, 25, kPictureWidth - 280, 30), Qt::AlignLeft | Qt::AlignTop, ReleaseLine());
}

} // namespace kestrel
