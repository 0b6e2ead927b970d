#include "views/dv2.h"

#include <QApplication>
#include <QFontMetrics>
#include <QStyle>

namespace kestrel {

CDV2::CDV2(QWidget* parent) : CDataView(parent)
{
    m_form = new QWidget;
    m_form->setObjectName(QStringLiteral("form"));
    setWidgetResizable(false);
    SetContent(m_form);
    SetScrollSize(QSize(100, 100));
}

void CDV2::SetScrollSize(const QSize& size)
{
    m_form->resize(size);
}

QFont CDV2::CreateFormFont(int extraHeight, int weight)
{
    QFont font = QApplication::font();
    if (font.pointSizeF() > 0)
        font.setPointSizeF(font.pointSizeF() + extraHeight);
    font.setWeight(static_cast<QFont::Weight>(weight));
    return font;
}

void CDV2::ComputeMetrics()
{
    if (!m_fontCreated) {
        m_font = CreateFormFont(0, QFont::Normal);
        m_fontCreated = true;
    }
    m_form->setFont(m_font);
    const QPalette pal = palette();
    m_faceColor = pal.color(QPalette::Button);
    m_textColor = pal.color(QPalette::ButtonText);
    const QFontMetrics fm(m_font);
    m_textHeight = fm.height();
    m_charWidth = (fm.maxWidth() + 2 * fm.averageCharWidth()) / 3;
    const int frame = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, this);
    m_borderX = frame + 1;
    m_borderY = frame + 1;
    m_lineHeight = m_textHeight + 4 * m_borderY + 2;
}

void CDV2::OnInitialUpdate()
{
    ComputeMetrics();
}

} // namespace kestrel
