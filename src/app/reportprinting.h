#pragma once
// Printing of laid-out pages: the contract's report (print, preview, page
// set-up) and the error list. The print windows of the program build on
// these.

#include <vector>

#include "report/reportpage.h"

class QPrinter;
class QWidget;

namespace kestrel {

class CContract;
class Evaluator;
struct CheckResult;

// The printer the program prints on, kept for the run (Print Setup changes it).
QPrinter& ProgramPrinter();
// Draws the pages on a printer already set up; false when it cannot start.
bool PrintPages(QPrinter& printer, const std::vector<ReportPage>& pages);
// "Print Errors": the print dialog (no page range, no selection, no print
// to file), then the error list on the chosen printer.
void PrintErrorList(QWidget* parent, const CContract& contract, const CheckResult& check);
// Lays the contract's report out; a template or report fault is shown in a
// message box and ends only the print job. Then prints it through the
// print dialog, or shows it in the print preview.
void PrintContractReport(QWidget* parent, CContract& contract, Evaluator& evaluator, bool preview);
// "Print Setup...".
void ShowPrintSetup(QWidget* parent);

} // namespace kestrel
