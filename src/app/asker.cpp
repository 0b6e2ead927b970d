#include "app/asker.h"

#include <QCoreApplication>

#include <QFileDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>

#include "app/kvlload.h"
#include "app/suberrors.h"

namespace kestrel {

QMessageBox::StandardButton CDialogAsker::Ask(QWidget* parent, const QString& caption, const QString& text,
                                              QMessageBox::StandardButtons buttons, QMessageBox::Icon icon)
{
    QMessageBox box(icon, caption, text, buttons, parent);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

QStringList OpenFileFilters()
{
    return {QCoreApplication::translate("kestrel::CAsker",
                                        "Contracts and Bid Libraries (*.CON *.con *.KVS *.kvs *.KVL *.kvl)"),
            QCoreApplication::translate("kestrel::CAsker", "Tollgate Contract Files (*.CON *.con)"),
            QCoreApplication::translate("kestrel::CAsker", "Bid Libraries (*.KVL *.kvl)"),
            QCoreApplication::translate("kestrel::CAsker", "All Files (*)")};
}

QString CDialogAsker::OpenFileName(QWidget* parent)
{
    QFileDialog dialog(parent, QCoreApplication::translate("kestrel::CDialogAsker", "Open Contract"));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(QStringLiteral("CON"));
    dialog.setNameFilters(OpenFileFilters());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().constFirst();
}

QString CDialogAsker::SaveFileName(QWidget* parent, const QString& suggestion)
{
    QFileDialog dialog(parent, QCoreApplication::translate("kestrel::CDialogAsker", "Save As"), suggestion);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("con"));
    dialog.setNameFilters(
        {QCoreApplication::translate("kestrel::CDialogAsker", "Contract Files (*.con *.CON)"),
         QCoreApplication::translate("kestrel::CDialogAsker", "All Files (*)")});
    if (!suggestion.isEmpty())
        dialog.selectFile(suggestion);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().constFirst();
}

ProposalChoice CDialogAsker::ChooseProposal(QWidget* parent, const QString& library, const QString& patterns,
                                            const QString& title)
{
    CKVLLoad dialog(*this, parent);
    dialog.m_strLibrary = library;
    dialog.m_strPatterns = patterns;
    dialog.m_strTitle = title;
    dialog.OnInitDialog();
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return {true, dialog.m_strResult};
}

void CDialogAsker::ShowErrorList(CSubErrors& dialog)
{
    dialog.exec();
}

// --- the windows an asker may show -------------------------------------------

int CAsker::Choose(QWidget*, const QString&, const QString&, const QStringList&, QMessageBox::Icon)
{
    return -1;
}

int CAsker::ChooseWithDefault(QWidget* parent, const QString& caption, const QString& text,
                              const QStringList& buttons, QMessageBox::Icon icon, int)
{
    return Choose(parent, caption, text, buttons, icon);
}

bool CAsker::SetUpPrinter(QWidget*, QPrinter&, const PrintDialogOptions&)
{
    return false;
}

void CAsker::ShowPreview(QDialog&)
{
}

QString CAsker::PdfFileName(QWidget*, const QString&)
{
    return QString();
}

QString CAsker::SectionFileName(QWidget*)
{
    return QString();
}

QString CAsker::ExportFileName(QWidget*, const QString&)
{
    return QString();
}

QString CAsker::QuoteFileName(QWidget*, const QString&)
{
    return QString();
}

QString CAsker::AmendmentFileName(QWidget*, const QString&)
{
    return QString();
}

int CAsker::RunDialog(QDialog&)
{
    return QDialog::Rejected;
}

std::unique_ptr<QMessageBox> MakeChoiceBox(QWidget* parent, const QString& caption, const QString& text,
                                           const QStringList& buttons, QMessageBox::Icon icon,
                                           int defaultChoice)
{
    // The first paragraph is the message; what follows explains it, in the
    // box's smaller text below.
    const qsizetype split = text.indexOf(QStringLiteral("\n\n"));
    auto box = std::make_unique<QMessageBox>(icon, caption, split < 0 ? text : text.left(split),
                                             QMessageBox::NoButton, parent);
    if (split >= 0)
        box->setInformativeText(text.mid(split + 2));
    QList<QAbstractButton*> added;
    for (qsizetype i = 0; i < buttons.size(); ++i) {
        // The last button is the one Esc stands for.
        const auto role =
            i + 1 == buttons.size() && buttons.size() > 1 ? QMessageBox::RejectRole : QMessageBox::AcceptRole;
        QAbstractButton* button = box->addButton(buttons[i], role);
        button->setProperty("choice", int(i));
        added.append(button);
    }
    if (!added.isEmpty()) {
        const qsizetype chosen = defaultChoice >= 0 && defaultChoice < added.size() ? defaultChoice : 0;
        box->setDefaultButton(qobject_cast<QPushButton*>(added[chosen]));
        box->setEscapeButton(added.last());
    }
    return box;
}

int CDialogAsker::Choose(QWidget* parent, const QString& caption, const QString& text,
                         const QStringList& buttons, QMessageBox::Icon icon)
{
    return ChooseWithDefault(parent, caption, text, buttons, icon, 0);
}

int CDialogAsker::ChooseWithDefault(QWidget* parent, const QString& caption, const QString& text,
                                    const QStringList& buttons, QMessageBox::Icon icon, int defaultChoice)
{
    const std::unique_ptr<QMessageBox> box =
        MakeChoiceBox(parent, caption, text, buttons, icon, defaultChoice);
    box->exec();
    const QAbstractButton* clicked = box->clickedButton();
    return clicked ? clicked->property("choice").toInt() : -1;
}

bool CDialogAsker::SetUpPrinter(QWidget* parent, QPrinter& printer, const PrintDialogOptions& options)
{
    QPrintDialog dialog(&printer, parent);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, options.pageRange);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    dialog.setOption(QAbstractPrintDialog::PrintToFile, options.printToFile);
    if (options.pageRange)
        dialog.setMinMax(1, std::max(1, options.maxPage));
    return dialog.exec() == QDialog::Accepted;
}

void CDialogAsker::ShowPreview(QDialog& preview)
{
    preview.exec();
}

QString CDialogAsker::PdfFileName(QWidget* parent, const QString& suggestion)
{
    QFileDialog dialog(parent, QCoreApplication::translate("kestrel::CDialogAsker", "Export to PDF"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("pdf"));
    dialog.setNameFilters({QCoreApplication::translate("kestrel::CDialogAsker", "PDF Files (*.pdf)"),
                           QCoreApplication::translate("kestrel::CDialogAsker", "All Files (*)")});
    if (!suggestion.isEmpty())
        dialog.selectFile(suggestion);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().constFirst();
}

QString CDialogAsker::SectionFileName(QWidget* parent)
{
    QFileDialog dialog(parent, QCoreApplication::translate("kestrel::CDialogAsker", "Save Template Section"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("cfg"));
    dialog.setNameFilters({QCoreApplication::translate("kestrel::CDialogAsker", "CFG Files (*.cfg)"),
                           QCoreApplication::translate("kestrel::CDialogAsker", "All Files (*)")});
    dialog.selectFile(QStringLiteral("gen"));
    // Choosing a file that is there adds a section to it: no question.
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().constFirst();
}

} // namespace kestrel

namespace kestrel {

QString CDialogAsker::ExportFileName(QWidget* parent, const QString& suggestion)
{
    const QString workbook = QCoreApplication::translate("kestrel::CDialogAsker", "Excel Workbook (*.xlsx)");
    const QString csv = QCoreApplication::translate("kestrel::CDialogAsker", "CSV, comma-separated (*.csv)");
    QFileDialog dialog(parent, QCoreApplication::translate("kestrel::CDialogAsker", "Export"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilters({workbook, csv});
    const bool isCsv = suggestion.endsWith(QStringLiteral(".csv"), Qt::CaseInsensitive);
    dialog.selectNameFilter(isCsv ? csv : workbook);
    dialog.setDefaultSuffix(isCsv ? QStringLiteral("csv") : QStringLiteral("xlsx"));
    // The type chosen names the file's extension.
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog, csv](const QString& filter) {
        dialog.setDefaultSuffix(filter == csv ? QStringLiteral("csv") : QStringLiteral("xlsx"));
    });
    if (!suggestion.isEmpty())
        dialog.selectFile(suggestion);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().constFirst();
}

QString CDialogAsker::QuoteFileName(QWidget* parent, const QString& folder)
{
    QFileDialog dialog(parent, QCoreApplication::translate("kestrel::CDialogAsker", "Import Quote"), folder);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters(
        {QCoreApplication::translate("kestrel::CDialogAsker", "Quotes (*.xlsx *.csv *.txt)"),
         QCoreApplication::translate("kestrel::CDialogAsker", "All Files (*)")});
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().constFirst();
}

int CDialogAsker::RunDialog(QDialog& dialog)
{
    return dialog.exec();
}

QString CDialogAsker::AmendmentFileName(QWidget* parent, const QString& folder)
{
    QFileDialog dialog(parent, QStringLiteral("Apply Amendment"), folder);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters(
        {QStringLiteral("Tollgate Contract Files (*.CON *.con)"), QStringLiteral("All Files (*)")});
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().constFirst();
}

} // namespace kestrel
