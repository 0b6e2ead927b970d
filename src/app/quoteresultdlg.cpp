#include "app/quoteresultdlg.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QStyle>
#include <QTableWidget>
#include <QVBoxLayout>

#include "app/qtext.h"
#include "exchange/quoteimport.h"
#include "views/accessiblename.h"

namespace kestrel {

CQuoteResultDialog::CQuoteResultDialog(const QuoteImport& import, const QString& subcontractor,
                                       QWidget* parent)
    : QDialog(parent), m_summary(new QLabel(this)), m_refused(new QTableWidget(this))
{
    setObjectName(QStringLiteral("quoteResultDialog"));
    setWindowTitle(tr("Import Quote"));
    auto* layout = new QVBoxLayout(this);
    const int refused = static_cast<int>(import.refused.size());
    m_summary->setObjectName(QStringLiteral("quoteSummary"));
    m_summary->setWordWrap(true);
    m_summary->setText(tr("<b>%1</b>: %2 %3 entered, %4 %5 refused.")
                           .arg(subcontractor.toHtmlEscaped())
                           .arg(import.applied)
                           .arg(import.applied == 1 ? QStringLiteral("row") : QStringLiteral("rows"))
                           .arg(refused)
                           .arg(refused == 1 ? QStringLiteral("row") : QStringLiteral("rows")) +
                       (refused > 0 ? tr(" A refused row changed nothing.") : QString()));
    layout->addWidget(m_summary);

    m_refused->setObjectName(QStringLiteral("quoteRefused"));
    SetAccessibleCaption(m_refused, tr("Refused rows"));
    m_refused->setColumnCount(2);
    m_refused->setHorizontalHeaderLabels({tr("Row"), tr("Message")});
    m_refused->setRowCount(refused);
    m_refused->verticalHeader()->hide();
    m_refused->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_refused->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_refused->horizontalHeader()->setStretchLastSection(true);
    const QIcon warning = QApplication::style()->standardIcon(QStyle::SP_MessageBoxWarning);
    for (int i = 0; i < refused; ++i) {
        const QuoteRefusal& r = import.refused[static_cast<size_t>(i)];
        auto* number = new QTableWidgetItem(warning, QString::number(r.row));
        m_refused->setItem(i, 0, number);
        m_refused->setItem(i, 1, new QTableWidgetItem(ToQString(r.message)));
    }
    m_refused->resizeColumnToContents(0);
    m_refused->setVisible(refused > 0);
    layout->addWidget(m_refused, 1);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);
    resize(refused > 0 ? 620 : 420, refused > 0 ? 380 : 140);
}

} // namespace kestrel
