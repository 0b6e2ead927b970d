#include "app/showcrd.h"

#include <QCloseEvent>
#include <QFontMetrics>
#include <QPainter>
#include <QPushButton>
#include <QTimer>

#include <algorithm>

namespace kestrel {

namespace {

constexpr int kTickMs = 55;
// 301 x 118 dialog units at the usual 7 x 8 pixel font.
constexpr QSize kCreditsSize(527, 236);
// The OK button at the bottom right corner, and the room kept above it.
constexpr int kButtonRightMargin = 12;
constexpr int kButtonBottomMargin = 8;
constexpr int kButtonRoom = 16;
// A window too narrow for the margins of 12 characters keeps these instead.
constexpr int kNarrowestArea = 120;
constexpr int kNarrowMargin = 24;
constexpr int kBands = 65;

QFont CreditsFont(int pixels, int weight)
{
    QFont font;
    font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif"),
                      QStringLiteral("DejaVu Sans"), QStringLiteral("Liberation Sans")});
    font.setPixelSize(pixels);
    font.setWeight(static_cast<QFont::Weight>(weight));
    return font;
}

} // namespace

const std::vector<CreditLine>& CreditLines()
{
    static const std::vector<CreditLine> lines = [] {
        const std::vector<std::pair<const char*, std::vector<const char*>>> groups = {
            {"Designers", {"Margaret Ellison", "Thomas Brandt", "Ruth Okafor"}},
            {"Programmers",
             {"Daniel Whitcomb", "Priya Raman", "Samuel Ortega", "Helen Marsh", "Victor Lindqvist",
              "Carla Benedetti"}},
            {"Project Managers", {"George Hollis", "Anne Calloway", "Peter Drummond"}},
            {"Project Assistants", {"Lucy Fenwick", "Omar Haddad", "Joan Pritchard"}},
            {"Documenters", {"Edith Sandoval", "Martin Kowalski", "Rosa Delgado"}},
            {"Testers", {"Frank Albrecht", "Nora Quinlan", "Walter Seung", "Irene Costa"}},
            {"Customer Support", {"Bernard Yates", "Clara Nyberg", "Dennis Rowe"}},
        };
        std::vector<CreditLine> out;
        for (const auto& [heading, names] : groups) {
            out.push_back({true, QString::fromLatin1(heading)});
            for (const char* name : names)
                out.push_back({false, QString::fromLatin1(name)});
            out.push_back({false, QString()});
        }
        return out;
    }();
    return lines;
}

CreditsScroll::CreditsScroll(int listHeight, int visibleHeight, int step)
    : m_span(std::max(1, listHeight + visibleHeight)), m_visible(visibleHeight), m_step(std::max(1, step))
{
}

bool CreditsScroll::Tick()
{
    if (m_passes >= kPasses)
        return false;
    m_position += m_step;
    if (m_position >= m_span) {
        // The last line has left the top: the list comes round again.
        m_position -= m_span;
        ++m_passes;
    }
    return m_passes < kPasses;
}

CShowCrd::CShowCrd(QWidget* parent)
    : QDialog(parent), m_nameFont(CreditsFont(14, 600)), m_headingFont(CreditsFont(18, 900)),
      m_scroll(0, 0, 1)
{
    setObjectName(QStringLiteral("showCrd"));
    setWindowTitle(tr("Tollgate Credits"));
    setFixedSize(kCreditsSize);
    m_ok = new QPushButton(tr("OK"), this);
    m_ok->setDefault(true);
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
    Layout();
    m_timer = new QTimer(this);
    m_timer->setInterval(kTickMs);
    connect(m_timer, &QTimer::timeout, this, &CShowCrd::Tick);
    m_timer->start();
}

CShowCrd::~CShowCrd() = default;

void CShowCrd::Layout()
{
    const QFontMetrics heading(m_headingFont);
    m_lineHeight = heading.height() + 1;
    // A character of the heading font, as the window's margins count it.
    const int charWidth = (heading.maxWidth() + 2 * heading.averageCharWidth()) / 3;
    const QSize button = m_ok->sizeHint();
    const QRect client(0, 0, width(), height() - button.height() - kButtonRoom);
    m_area = client.adjusted(12 * charWidth, m_lineHeight, -12 * charWidth, -m_lineHeight);
    if (m_area.width() < kNarrowestArea)
        m_area = client.adjusted(kNarrowMargin, m_lineHeight, -kNarrowMargin, -m_lineHeight);
    m_ok->setGeometry(width() - button.width() - kButtonRightMargin,
                      height() - button.height() - kButtonBottomMargin, button.width(), button.height());
    const int count = static_cast<int>(CreditLines().size());
    m_scroll = CreditsScroll(count * m_lineHeight, m_area.height(), m_lineHeight / 6);

    // The background, drawn once: 65 bands from black at the top to blue.
    const qreal ratio = devicePixelRatioF();
    m_background = QPixmap(size() * ratio);
    m_background.setDevicePixelRatio(ratio);
    QPainter painter(&m_background);
    const int h = height();
    for (int i = 0; i < kBands; ++i) {
        const int top = i * h / kBands;
        const int bottom = (i + 1) * h / kBands;
        painter.fillRect(QRect(0, top, width(), bottom - top), QColor(0, 0, 255 * i / (kBands - 1)));
    }
}

bool CShowCrd::Running() const
{
    return m_timer->isActive();
}

void CShowCrd::Tick()
{
    if (!m_scroll.Tick()) {
        m_timer->stop();
        accept();
        return;
    }
    update(m_area);
}

void CShowCrd::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.drawPixmap(0, 0, m_background);
    painter.setClipRect(m_area);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    const auto& lines = CreditLines();
    for (int i = 0; i < static_cast<int>(lines.size()); ++i) {
        const int top = m_area.top() + m_scroll.LineTop(i, m_lineHeight);
        if (top + m_lineHeight < m_area.top() || top > m_area.bottom() || lines[i].text.isEmpty())
            continue;
        painter.setFont(lines[i].heading ? m_headingFont : m_nameFont);
        painter.setPen(lines[i].heading ? QColor(Qt::white) : QColor(Qt::yellow));
        painter.drawText(QRect(m_area.left(), top, m_area.width(), m_lineHeight), Qt::AlignCenter,
                         lines[i].text);
    }
}

void CShowCrd::done(int result)
{
    m_timer->stop();
    QDialog::done(result);
}

void CShowCrd::closeEvent(QCloseEvent* event)
{
    m_timer->stop();
    QDialog::closeEvent(event);
}

} // namespace kestrel
