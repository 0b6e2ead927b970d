#include "views/formlabels.h"

#include <QPaintEvent>
#include <QPainter>

namespace kestrel {

CFormLabels::CFormLabels(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("formLabels"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setAutoFillBackground(false);
    setFocusPolicy(Qt::NoFocus);
}

void CFormLabels::SetRuns(QList<Run> runs)
{
    m_runs = std::move(runs);
    update();
}

void CFormLabels::SetTextColor(const QColor& color)
{
    m_color = color;
    update();
}

void CFormLabels::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    painter.setFont(font());
    painter.setPen(m_color.isValid() ? m_color : palette().color(QPalette::ButtonText));
    for (const Run& run : m_runs) {
        if (!run.rect.intersects(event->rect()))
            continue;
        painter.drawText(run.rect, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, run.text);
    }
}

} // namespace kestrel
