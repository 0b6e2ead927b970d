#include "app/suberrors.h"

#include <QCloseEvent>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/asker.h"
#include "app/checklistmodel.h"
#include "app/qtext.h"
#include "app/reportprinting.h"
#include "views/accessiblename.h"

namespace kestrel {

CSubErrors::CSubErrors(const CContract& contract, const CheckResult& check, QWidget* parent)
    : QDialog(parent), m_contract(contract), m_check(check)
{
    setWindowTitle(tr("Tollgate Error List"));
    auto* layout = new QVBoxLayout(this);
    auto* summary = new QLabel(this);
    summary->setText(tr("%1 error(s), %2 warning(s)").arg(check.errors).arg(check.warnings));
    layout->addWidget(summary);
    m_list = new QListWidget(this);
    m_list->setSortingEnabled(false);
    m_list->setAlternatingRowColors(true);
    m_list->setWordWrap(false);
    m_list->setIconSize(QSize(16, 16));
    for (const CheckMessage& message : m_check.messages)
        if (message.severity != CheckSeverity::Marker || !message.text.empty())
            m_list->addItem(
                new QListWidgetItem(CheckSeverityIcon(message.severity), ToQString(message.text)));
    if (m_list->count() > 0)
        m_list->setCurrentRow(0);
    layout->addWidget(m_list, 1);
    summary->setBuddy(m_list);
    SetAccessibleCaption(m_list, windowTitle(), summary->text());

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    auto* ok = new QPushButton(tr("OK"), this);
    ok->setDefault(true);
    m_printButton = new QPushButton(tr("&Print Errors"), this);
    buttons->addWidget(ok);
    buttons->addWidget(m_printButton);
    layout->addLayout(buttons);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_printButton, &QPushButton::clicked, this, &CSubErrors::PrintErrors);
    m_print = [](CSubErrors& dialog) {
        CDialogAsker asker;
        PrintErrorList(&dialog, asker, dialog.Contract(), dialog.Check());
    };
    resize(620, 380);
}

void CSubErrors::PrintErrors()
{
    if (m_print)
        m_print(*this);
}

void CSubErrors::reject()
{
    PrintErrors();
}

void CSubErrors::closeEvent(QCloseEvent* event)
{
    // The base would reject, which here means printing.
    event->accept();
    done(QDialog::Rejected);
}

} // namespace kestrel
