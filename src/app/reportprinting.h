#pragma once
// The print commands of the program: the contract's report on the printer,
// in the preview or in a PDF file, and the error list on the printer. Each
// command is one print job: the report is laid out once, and the printer,
// the preview and the file all take their pages from that one layout. A
// template or report fault is shown in a message box and ends only the
// job; the program and the contract stay as they were.

#include <QString>

class QPrinter;
class QWidget;

namespace kestrel {

class CAsker;
class CContract;
class CReportPrintJob;
class CSubDoc;
class Evaluator;
struct CheckResult;

enum class PrintTarget : int {
    Printer, // the print dialog, then the printer
    Preview, // the preview window (which can print and export)
    PdfFile, // File > Export to PDF
};

// What a print command came to.
struct PrintOutcome {
    bool laidOut = false; // the pages were laid out without a fault
    int pageCount = 0;    // the pages of the job
    int pagesOutput = 0;  // the pages sent to the printer or written to the file
};

// "This report cannot be printed in landscape mode"
QString LandscapeRefusal();

// The program's printer settings, kept for the run: Print Setup changes
// them, and each print dialog starts from them and keeps what the user
// chose. Every job prints on a printer of its own set up from them.
QPrinter& ProgramPrinter();

// Runs a print command on the contract's report. `documentPath` names the
// suggested PDF file; `pdfFolder`, when given, is the folder a PDF file was
// last written to (suggested first) and becomes the folder of the next.
// `document`, when the contract is a document's: the preview takes its copy
// of the contract before the document lets it go.
PrintOutcome PrintContractReport(QWidget* parent, CAsker& asker, CContract& contract, Evaluator& evaluator,
                                 PrintTarget target, const QString& documentPath = QString(),
                                 QString* pdfFolder = nullptr, CSubDoc* document = nullptr);
// The pages of a job through the print dialog onto the printer; the number
// of pages sent.
int PrintJobOnPrinter(QWidget* parent, CAsker& asker, const CReportPrintJob& job, bool pageRange);
// The pages of a job into a PDF file the user names; the pages written. The
// file's folder goes into `folder` when given.
int ExportJobToPdf(QWidget* parent, CAsker& asker, const CReportPrintJob& job, const QString& suggestion,
                   QString* folder = nullptr);
// "Print Errors": the print dialog (no page range; print to file only where
// no printer is installed), then the list on the printer.
PrintOutcome PrintErrorList(QWidget* parent, CAsker& asker, const CContract& contract,
                            const CheckResult& check);
// "Print Setup...".
void ShowPrintSetup(QWidget* parent);

} // namespace kestrel
