#include "app/reportprinting.h"

#include <QCoreApplication>

#include <QDir>
#include <QFileInfo>
#include <QPageSetupDialog>
#include <QPrinter>
#include <QPrinterInfo>

#include "app/asker.h"
#include "app/printpreview.h"
#include "app/qtext.h"
#include "app/subdoc.h"
#include "print/backgroundlayout.h"
#include "print/reportpaper.h"
#include "print/reportprintjob.h"
#include "report/errorlistprinter.h"

namespace kestrel {

namespace {

// The report is 80 columns on an upright sheet; a printer set to landscape
// is turned upright, and the user told so.
void KeepPortrait(QWidget* parent, CAsker& asker, QPrinter& printer)
{
    if (CReportPrintJob::KeepPortrait(printer))
        asker.Tell(parent, AppTitle(), LandscapeRefusal(), QMessageBox::Information);
}

// The contract's name with ".pdf", in the folder a report was last
// exported to (while it exists), else beside the contract.
QString PdfSuggestion(const QString& documentPath, const QString& lastFolder)
{
    const QFileInfo info(documentPath);
    const QString name = documentPath.isEmpty() ? QStringLiteral("Report.pdf")
                                                : info.completeBaseName() + QStringLiteral(".pdf");
    if (!lastFolder.isEmpty() && QFileInfo(lastFolder).isDir())
        return QDir(lastFolder).filePath(name);
    return documentPath.isEmpty() ? name : info.dir().filePath(name);
}

// Whether the paper was chosen in Print Setup this run.
bool& PaperChosen()
{
    static bool chosen = false;
    return chosen;
}

// A print command starts on the paper chosen in Print Setup, else on the
// paper of the system's locale (the printer's own default may be another).
void UseReportPaper(QPrinter& printer)
{
    if (!PaperChosen())
        printer.setPageSize(LocalePageSize(QLocale()));
}

// The settings of a printer that are the user's choices (which printer,
// the sheet, copies, colour, sides), not the state of a job.
void CopyPrinterSettings(const QPrinter& from, QPrinter& to)
{
    if (from.outputFormat() == QPrinter::NativeFormat && !from.printerName().isEmpty())
        to.setPrinterName(from.printerName());
    to.setPageLayout(from.pageLayout());
    to.setCopyCount(from.copyCount());
    to.setCollateCopies(from.collateCopies());
    to.setColorMode(from.colorMode());
    to.setDuplex(from.duplex());
}

// The preview: the first page is laid out at once, the rest in the
// background while the window shows the pages laid out so far; printing and
// the export take the pages of that one layout run once it is complete.
void PreviewReport(QWidget* parent, CAsker& asker, CContract& contract, Evaluator& evaluator,
                   const QString& suggestion, QString* pdfFolder, CSubDoc* document, PrintOutcome& outcome)
{
    CBackgroundLayout report(contract, evaluator);
    // A fault in the first page's templates is told without a window.
    if (report.CurrentState() == CBackgroundLayout::State::Failed) {
        asker.Tell(parent, AppTitle(), ToQString(report.Fault()));
        return;
    }
    QPrinter& printer = ProgramPrinter();
    UseReportPaper(printer);
    KeepPortrait(parent, asker, printer);
    CPrintPreview preview(report, printer.pageLayout(), parent);
    // The layout copies the contract once the window has painted; a
    // contract about to go (reloaded meanwhile) is copied first.
    if (document)
        QObject::connect(document, &CSubDoc::contractClosing, &preview, &CPrintPreview::StartLayout);
    preview.SetPrintCommand([&](CPrintPreview& window) {
        outcome.pagesOutput += PrintJobOnPrinter(&window, asker, report.Job(), true);
        window.SetPageLayout(ProgramPrinter().pageLayout());
    });
    preview.SetExportCommand([&](CPrintPreview& window) {
        outcome.pagesOutput += ExportJobToPdf(&window, asker, report.Job(), suggestion, pdfFolder);
    });
    asker.ShowPreview(preview);
    // A fault found late ends the preview and is told as any report fault.
    if (!preview.LayoutFault().isEmpty()) {
        asker.Tell(parent, AppTitle(), preview.LayoutFault());
        return;
    }
    outcome.laidOut = true;
    outcome.pageCount = report.Job().PageCount();
}

} // namespace

QString LandscapeRefusal()
{
    return QCoreApplication::translate("kestrel::CMainFrame",
                                       "This report cannot be printed in landscape mode");
}

QPrinter& ProgramPrinter()
{
    static QPrinter printer(QPrinter::HighResolution);
    return printer;
}

int PrintJobOnPrinter(QWidget* parent, CAsker& asker, const CReportPrintJob& job, bool pageRange)
{
    // Each job prints on a printer of its own, set up from the program's
    // settings: a printer that could not be started (none installed, one
    // gone) leaves nothing behind that would stop the next job.
    QPrinter printer(QPrinter::HighResolution);
    CopyPrinterSettings(ProgramPrinter(), printer);
    PrintDialogOptions options;
    options.maxPage = job.PageCount();
    options.pageRange = pageRange;
    // Where no printer is installed, a file is the only way out.
    options.printToFile = pageRange || QPrinterInfo::availablePrinterNames().isEmpty();
    if (!asker.SetUpPrinter(parent, printer, options))
        return 0;
    KeepPortrait(parent, asker, printer);
    // What the user chose is where the next dialog starts.
    CopyPrinterSettings(printer, ProgramPrinter());
    const std::vector<int> pages = job.PagesFor(printer);
    const Status printed = job.Draw(printer, pages);
    if (!printed) {
        asker.Tell(parent, AppTitle(), ToQString(printed.errorText()));
        return 0;
    }
    return static_cast<int>(pages.size());
}

int ExportJobToPdf(QWidget* parent, CAsker& asker, const CReportPrintJob& job, const QString& suggestion,
                   QString* folder)
{
    const QString path = asker.PdfFileName(parent, suggestion);
    if (path.isEmpty())
        return 0;
    // The paper the preview shows and the printer prints on.
    const Status written = job.WritePdf(path, ProgramPrinter().pageLayout().pageSize());
    if (!written) {
        asker.Tell(parent, AppTitle(), path + QStringLiteral(": ") + ToQString(written.errorText()));
        return 0;
    }
    if (folder)
        *folder = QFileInfo(path).absolutePath();
    return job.PageCount();
}

PrintOutcome PrintContractReport(QWidget* parent, CAsker& asker, CContract& contract, Evaluator& evaluator,
                                 PrintTarget target, const QString& documentPath, QString* pdfFolder,
                                 CSubDoc* document)
{
    PrintOutcome outcome;
    const QString suggestion = PdfSuggestion(documentPath, pdfFolder ? *pdfFolder : QString());
    if (target == PrintTarget::Preview) {
        PreviewReport(parent, asker, contract, evaluator, suggestion, pdfFolder, document, outcome);
        return outcome;
    }
    const Result<CReportPrintJob> laidOut = CReportPrintJob::LayoutReport(contract, evaluator);
    if (!laidOut) {
        asker.Tell(parent, AppTitle(), ToQString(laidOut.errorText()));
        return outcome;
    }
    const CReportPrintJob& job = laidOut.value();
    UseReportPaper(ProgramPrinter());
    outcome.laidOut = true;
    outcome.pageCount = job.PageCount();
    switch (target) {
    case PrintTarget::Printer: outcome.pagesOutput = PrintJobOnPrinter(parent, asker, job, true); break;
    case PrintTarget::PdfFile:
        outcome.pagesOutput = ExportJobToPdf(parent, asker, job, suggestion, pdfFolder);
        break;
    case PrintTarget::Preview: break;
    }
    return outcome;
}

PrintOutcome PrintErrorList(QWidget* parent, CAsker& asker, const CContract& contract,
                            const CheckResult& check)
{
    const CReportPrintJob job(CErrorListPrinter::Print(contract, check));
    UseReportPaper(ProgramPrinter());
    PrintOutcome outcome;
    outcome.laidOut = true;
    outcome.pageCount = job.PageCount();
    outcome.pagesOutput = PrintJobOnPrinter(parent, asker, job, false);
    return outcome;
}

void ShowPrintSetup(QWidget* parent)
{
    UseReportPaper(ProgramPrinter());
    QPageSetupDialog dialog(&ProgramPrinter(), parent);
    if (dialog.exec() == QDialog::Accepted)
        PaperChosen() = true;
}

} // namespace kestrel
