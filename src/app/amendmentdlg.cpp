#include "app/amendmentdlg.h"

#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/qtext.h"
#include "edit/amendment.h"

namespace kestrel {

namespace {

QString SummaryText(const AmendmentPreview& p, const QString& amendedFile)
{
    const int dropped = p.DroppedSubItemCount();
    const qsizetype affected = static_cast<qsizetype>(p.subcontractors.size());
    QString text =
        QStringLiteral(
            "<b>%1</b> carries amendment %2 of contract %3 (the open contract is at amendment %4).<br>")
            .arg(amendedFile.toHtmlEscaped())
            .arg(p.amendedAmendCount)
            .arg(ToQString(p.contractID).toHtmlEscaped())
            .arg(p.workingAmendCount);
    text += QStringLiteral("Items: %1 added, %2 removed, %3 changed. Subcontractors affected: %4.")
                .arg(p.itemsAdded.size())
                .arg(p.itemsRemoved.size())
                .arg(p.itemsChanged.size())
                .arg(affected);
    if (dropped > 0)
        text += QStringLiteral(
                    "<br><b>%1 sub-item%2 will be dropped</b> (listed below with %3 quantities and notes).")
                    .arg(dropped)
                    .arg(dropped == 1 ? QString() : QStringLiteral("s"))
                    .arg(dropped == 1 ? QStringLiteral("its") : QStringLiteral("their"));
    text += QStringLiteral("<br>Apply changes the open contract as one step that Edit &gt; Undo takes back; "
                           "nothing is saved until you save.");
    return text;
}

} // namespace

CAmendmentDialog::CAmendmentDialog(const AmendmentPreview& preview, const QString& amendedFile,
                                   QWidget* parent)
    : QDialog(parent), m_summary(new QLabel(this)), m_preview(new QPlainTextEdit(this)),
      m_apply(new QPushButton(QStringLiteral("&Apply"), this)),
      m_print(new QPushButton(QStringLiteral("&Print Report..."), this))
{
    setObjectName(QStringLiteral("amendmentDialog"));
    setWindowTitle(QStringLiteral("Apply Amendment"));
    m_summary->setObjectName(QStringLiteral("amendmentSummary"));
    m_summary->setWordWrap(true);
    m_summary->setTextFormat(Qt::RichText);
    m_summary->setText(SummaryText(preview, amendedFile));
    m_preview->setObjectName(QStringLiteral("amendmentPreview"));
    m_preview->setReadOnly(true);
    m_preview->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_preview->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    QString text;
    for (const std::string& line : RenderAmendmentPreview(preview))
        text += ToQString(line) + QLatin1Char('\n');
    m_preview->setPlainText(text);
    m_apply->setObjectName(QStringLiteral("applyButton"));
    m_print->setObjectName(QStringLiteral("printButton"));
    m_print->setEnabled(!preview.subcontractors.empty() || !preview.miscData.IsEmpty());
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(m_apply, QDialogButtonBox::AcceptRole);
    buttons->addButton(m_print, QDialogButtonBox::ActionRole);
    buttons->addButton(QDialogButtonBox::Cancel);
    m_apply->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_print, &QPushButton::clicked, this, [this] {
        if (m_printer)
            m_printer();
    });
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_summary);
    layout->addWidget(m_preview, 1);
    layout->addWidget(buttons);
    resize(760, 560);
}

} // namespace kestrel
