#include "views/dv_contract.h"

#include <QCoreApplication>

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>

#include "app/qtext.h"
#include "app/subdoc.h"
#include "calc/formats.h"
#include "edit/changeevent.h"
#include "file/contractfile.h"
#include "model/contract/contract.h"
#include "views/accessiblename.h"

namespace kestrel {

namespace {

constexpr const char* kContractId = QT_TRANSLATE_NOOP("kestrel::CDV_Contract", "Contract ID:");
constexpr const char* kProjectId = QT_TRANSLATE_NOOP("kestrel::CDV_Contract", "Project ID:");
constexpr const char* kPrimeId = QT_TRANSLATE_NOOP("kestrel::CDV_Contract", "Prime ID:");
constexpr const char* kPcn = QT_TRANSLATE_NOOP("kestrel::CDV_Contract", "Fed/State PCN:");
constexpr const char* kPrimeName = QT_TRANSLATE_NOOP("kestrel::CDV_Contract", "Prime Name:");
constexpr const char* kCounty = QT_TRANSLATE_NOOP("kestrel::CDV_Contract", "County:");
constexpr const char* kLettingDate = QT_TRANSLATE_NOOP("kestrel::CDV_Contract", "Letting Date:");
constexpr const char* kDateGenerated = QT_TRANSLATE_NOOP("kestrel::CDV_Contract", "Date Generated:");
constexpr const char* kCheck = QT_TRANSLATE_NOOP("kestrel::CDV_Contract", "Check:");

// Read-only fields are still selectable, so Copy takes their text.
QLineEdit* ReadOnlyField(QWidget* parent)
{
    auto* edit = new QLineEdit(parent);
    edit->setReadOnly(true);
    edit->setFocusPolicy(Qt::StrongFocus);
    return edit;
}

} // namespace

CDV_Contract::CDV_Contract(QWidget* parent) : CDV(parent)
{
    auto* grid = new QGridLayout(Form());
    grid->setContentsMargins(16, 16, 16, 16);
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(8);
    AddField(tr(kContractId), 0, 0);
    AddField(tr(kLettingDate), 0, 2);
    AddField(tr(kProjectId), 1, 0);
    AddField(tr(kDateGenerated), 1, 2);
    AddField(tr(kPrimeId), 2, 0);
    AddField(tr(kCounty), 2, 2);
    AddField(tr(kPcn), 3, 0);
    AddField(tr(kCheck), 3, 2);
    AddField(tr(kPrimeName), 4, 0, 3);
    auto* label = new QLabel(tr("&Description:"), Form());
    grid->addWidget(label, 5, 0, Qt::AlignLeft | Qt::AlignBottom);
    m_description = new QPlainTextEdit(Form());
    m_description->setReadOnly(true);
    m_description->setTabChangesFocus(true);
    label->setBuddy(m_description);
    SetAccessibleCaption(m_description, label->text());
    grid->addWidget(m_description, 6, 0, 1, 4);
    grid->setRowStretch(6, 1);
    grid->setColumnStretch(1, 3);
    grid->setColumnStretch(3, 2);
}

QLineEdit* CDV_Contract::AddField(const QString& caption, int row, int column, int span)
{
    auto* grid = static_cast<QGridLayout*>(Form()->layout());
    auto* label = new QLabel(caption, Form());
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    QLineEdit* edit = ReadOnlyField(Form());
    label->setBuddy(edit);
    SetAccessibleCaption(edit, caption);
    grid->addWidget(label, row, column);
    grid->addWidget(edit, row, column + 1, 1, span);
    m_fields.append({caption, edit});
    return edit;
}

QLineEdit* CDV_Contract::Field(const QString& caption) const
{
    for (const auto& field : m_fields)
        if (field.first == caption)
            return field.second;
    return nullptr;
}

QString CDV_Contract::ProjectIdText(const QString& projectId)
{
    if (projectId.contains(QLatin1Char('\n')) || projectId.contains(QLatin1Char('\r')))
        return tr("Multiple");
    return projectId;
}

QString CDV_Contract::CountyText(const CContract& contract)
{
    switch (contract.m_Counties.GetSize()) {
    case 0: return QString();
    case 1: return ToQString(contract.m_Counties[0]->m_strName);
    default: return tr("Multiple");
    }
}

QString CDV_Contract::DescriptionText(const QString& description)
{
    QString text = description;
    text.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    text.replace(QLatin1Char('\r'), QLatin1Char(' '));
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return text;
}

QString CDV_Contract::CheckText(uint32_t check)
{
    return QStringLiteral("%1").arg(check, 8, 16, QLatin1Char('0')).toUpper();
}

void CDV_Contract::Fill()
{
    const CContract* c = Contract();
    for (const auto& field : m_fields)
        field.second->clear();
    m_description->clear();
    if (!c)
        return;
    auto set = [this](const QString& caption, const QString& text) {
        QLineEdit* edit = Field(caption);
        edit->setText(text);
        edit->setCursorPosition(0);
    };
    set(tr(kContractId), ToQString(c->pszContractID()));
    set(tr(kProjectId), ProjectIdText(ToQString(c->m_strHeader[HDR_PROJECT_NUMBER])));
    set(tr(kPrimeId), ToQString(c->m_strPrimeID));
    set(tr(kPcn), ToQString(c->m_strHeader[HDR_CONTROLLING_PROJECT]));
    set(tr(kPrimeName), ToQString(c->m_strPrimeName));
    set(tr(kCounty), CountyText(*c));
    set(tr(kLettingDate), ToQString(FormatDate(c->dLetingDate, 4)).trimmed());
    set(tr(kDateGenerated), ToQString(FormatDate(c->dDateGenerated, 4)).trimmed());
    set(tr(kCheck), CheckText(c->m_dwCheck));
    m_description->setPlainText(DescriptionText(ToQString(c->m_strHeader[HDR_CONTRACT_DESCRIPTION])));
}

void CDV_Contract::OnInitialUpdate()
{
    // The header shows the contract as checked now, with its check value.
    if (Document())
        Document()->RenewCheckValue();
    Fill();
}

void CDV_Contract::OnContractChanged(const ChangeEvent& event)
{
    if (!event.valuesChanged || !Contract())
        return;
    // Only shown: the value is stored with the contract when it is saved.
    Field(tr(kCheck))->setText(CheckText(ComputeCheckValue(*Contract())));
}

void CDV_Contract::OnFormResized()
{
    // The description is never shorter than six field heights.
    m_description->setMinimumHeight(6 * Field(tr(kCheck))->sizeHint().height());
}

} // namespace kestrel
