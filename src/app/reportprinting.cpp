#include "app/reportprinting.h"

#include <QDir>
#include <QFileInfo>
#include <QPageSetupDialog>
#include <QPrinter>

#include "app/asker.h"
#include "app/printpreview.h"
#include "app/qtext.h"
#include "app/subdoc.h"
#include "print/backgroundlayout.h"
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
    return QStringLiteral("This report cannot be printed in landscape mode");
}

QPrinter& ProgramPrinter()
{
    static QPrinter printer(QPrinter::HighResolution);
    return printer;
}

int PrintJobOnPrinter(QWidget* parent, CAsker& asker, const CReportPrintJob& job, bool pageRange)
{
    QPrinter& printer = ProgramPrinter();
    PrintDialogOptions options;
    options.maxPage = job.PageCount();
    options.pageRange = pageRange;
    options.printToFile = pageRange;
    if (!pageRange)
        printer.setPrintRange(QPrinter::AllPages);
    if (!asker.SetUpPrinter(parent, printer, options))
        return 0;
    KeepPortrait(parent, asker, printer);
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
    const Status written = job.WritePdf(path);
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
    PrintOutcome outcome;
    outcome.laidOut = true;
    outcome.pageCount = job.PageCount();
    outcome.pagesOutput = PrintJobOnPrinter(parent, asker, job, false);
    return outcome;
}

void ShowPrintSetup(QWidget* parent)
{
    QPageSetupDialog dialog(&ProgramPrinter(), parent);
    dialog.exec();
}

} // namespace kestrel
