#include "views/substatusline.h"

#include "app/subdoc.h"
#include "model/subcontract/subcontract.h"

namespace kestrel {

CSubStatusLine::CSubStatusLine(CSubDoc& doc, const QFont& baseFont, QWidget* parent)
    : QLabel(parent), m_doc(doc)
{
    setObjectName(QStringLiteral("subStatusLine"));
    setAlignment(Qt::AlignCenter);
    QFont font = baseFont;
    if (font.pointSizeF() > 0)
        font.setPointSizeF(font.pointSizeF() + 2);
    font.setWeight(QFont::Bold);
    setFont(font);
    QPalette palette = this->palette();
    palette.setColor(QPalette::WindowText, QColor(170, 20, 20));
    setPalette(palette);
    connect(&m_doc, &CSubDoc::contractChanged, this, [this] { Refresh(); });
}

QString CSubStatusLine::StatusText(const CSubcontract* record)
{
    if (!record || FlagTest(record->m_wFlags, SUB_COMPLETE))
        return QString();
    return tr("< SUBCONTRACT RECORD IS INCOMPLETE >");
}

void CSubStatusLine::SetRecord(CSubcontract* record)
{
    m_record = record;
    Refresh();
}

void CSubStatusLine::Refresh()
{
    setText(StatusText(m_doc.IsRecordAlive(m_record) ? m_record : nullptr));
}

} // namespace kestrel
