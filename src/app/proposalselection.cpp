#include "app/proposalselection.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/bidlib/bidlibrary.h"
#include "app/qtext.h"

namespace kestrel {

namespace {

std::string LocalPath(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

} // namespace

QStringList MatchingProposalNames(const QString& library, const QString& patterns)
{
    QStringList names;
    std::unique_ptr<BidLibrary> lib = OpenBidLibrary(LocalPath(library));
    if (!lib)
        return names;
    const std::string pattern = FromQString(patterns);
    std::unique_ptr<BidLibraryEntry> entry;
    for (int i = 0; i < lib->m_iEntryCount; ++i) {
        entry = NextBidLibraryEntry(*lib, std::move(entry));
        if (!entry)
            break;
        if (MatchEntryPatterns(entry->m_strName, pattern))
            names.append(ToQString(entry->m_strName));
    }
    return names;
}

ProposalChoice ExtractProposal(const QString& library, const QString& name, QString* error)
{
    ProposalChoice choice;
    const int result = ExtractMatchingEntries(LocalPath(library), FromQString(name));
    if (result != kBidLibraryOk) {
        if (error)
            *error = QString::fromLatin1(BidLibraryResultText(result));
        return choice;
    }
    choice.confirmed = true;
    choice.path = QFileInfo(library).dir().filePath(name);
    return choice;
}

ProposalChoice RunProposalSelection(QWidget* parent, const QString& library, const QString& patterns,
                                    const QString& title)
{
    QDialog dialog(parent);
    dialog.setWindowTitle(title);
    auto* layout = new QVBoxLayout(&dialog);
    auto* list = new QListWidget(&dialog);
    list->setSortingEnabled(true);
    list->addItems(MatchingProposalNames(library, patterns));
    if (list->count() > 0)
        list->setCurrentRow(0);
    layout->addWidget(list);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    layout->addWidget(buttons);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    QObject::connect(list, &QListWidget::itemDoubleClicked, &dialog, &QDialog::accept);
    dialog.resize(360, 260);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    // Confirming with no line chosen gives an empty path: nothing is opened.
    if (!list->currentItem())
        return {true, QString()};
    QString error;
    ProposalChoice choice = ExtractProposal(library, list->currentItem()->text(), &error);
    if (!choice.confirmed)
        QMessageBox::warning(parent, QStringLiteral("Error Extracting Proposal"), error);
    return choice;
}

} // namespace kestrel
