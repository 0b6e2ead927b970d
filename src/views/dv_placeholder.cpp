#include "views/dv_placeholder.h"

#include <QLabel>
#include <QVBoxLayout>

#include "app/qtext.h"
#include "edit/changeevent.h"
#include "model/subcontract/subcontract.h"
#include "views/substatusline.h"

namespace kestrel {

CDV_Placeholder::CDV_Placeholder(const QString& className, bool reusable, QWidget* parent)
    : CDV(parent), m_className(className), m_reusable(reusable)
{
    auto* layout = new QVBoxLayout(Form());
    layout->setContentsMargins(24, 24, 24, 24);
    m_heading = new QLabel(Form());
    QFont font = m_heading->font();
    font.setPointSizeF(font.pointSizeF() * 1.4);
    font.setBold(true);
    m_heading->setFont(font);
    m_note = new QLabel(Form());
    m_note->setWordWrap(true);
    layout->addWidget(m_heading);
    layout->addWidget(m_note);
    layout->addStretch(1);
}

QString CDV_Placeholder::Heading() const
{
    return m_heading->text();
}

void CDV_Placeholder::Show()
{
    QString heading = Binding().label;
    // A subcontractor's views are named after the record as it is now.
    if (const CSubcontract* record = Record()) {
        const Text* name = record->GetCellText(SUBF_NAME);
        const QString recordName = name ? ToQString(*name) : QString();
        heading =
            Kind() == NODE_SUBCONTRACTOR ? recordName : heading + QStringLiteral(" \u2014 ") + recordName;
    }
    m_heading->setText(heading);
    m_note->setText(tr("This view (%1) is not part of this version of the program.").arg(m_className));
    if (m_status)
        m_status->SetRecord(Record());
}

void CDV_Placeholder::OnInitialUpdate()
{
    if (Kind() == NODE_SUBCONTRACTOR && Document() && !m_status) {
        m_status = new CSubStatusLine(*Document(), font(), Form());
        static_cast<QVBoxLayout*>(Form()->layout())->insertWidget(0, m_status);
    }
    Show();
}

void CDV_Placeholder::OnContractChanged(const ChangeEvent& event)
{
    if (event.record == Binding().record || event.kind == ChangeKind::Undone ||
        event.kind == ChangeKind::Redone)
        Show();
}

} // namespace kestrel
