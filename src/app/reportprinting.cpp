#include "app/reportprinting.h"

#include <QMessageBox>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>

#include "app/qtext.h"
#include "print/pagepainter.h"
#include "report/errorlistprinter.h"
#include "report/reportrun.h"

namespace kestrel {

QPrinter& ProgramPrinter()
{
    static QPrinter printer(QPrinter::HighResolution);
    return printer;
}

bool PrintPages(QPrinter& printer, const std::vector<ReportPage>& pages)
{
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    const QFont font = CPagePainter::ReportFont();
    for (size_t i = 0; i < pages.size(); ++i) {
        if (i > 0)
            printer.newPage();
        CPagePainter::SetTwipsMapping(painter, printer);
        painter.setFont(font);
        CPagePainter::DrawPage(painter, pages[i]);
    }
    return painter.end();
}

void PrintErrorList(QWidget* parent, const CContract& contract, const CheckResult& check)
{
    QPrinter& printer = ProgramPrinter();
    QPrintDialog dialog(&printer, parent);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintToFile, false);
    if (dialog.exec() != QDialog::Accepted)
        return;
    PrintPages(printer, CErrorListPrinter::Print(contract, check));
}

void PrintContractReport(QWidget* parent, CContract& contract, Evaluator& evaluator, bool preview)
{
    CReportRun run(contract, evaluator);
    const ReportOutcome outcome = run.LayoutAll();
    run.Release();
    if (!outcome.ok) {
        QMessageBox::warning(parent, QStringLiteral("Tollgate Kestrel"), ToQString(outcome.error));
        return;
    }
    QPrinter& printer = ProgramPrinter();
    // The report's pages are 80 columns wide: they are printed upright.
    if (printer.pageLayout().orientation() == QPageLayout::Landscape) {
        QMessageBox::information(parent, QStringLiteral("Tollgate Kestrel"),
                                 QStringLiteral("This report cannot be printed in landscape mode"));
        printer.setPageOrientation(QPageLayout::Portrait);
    }
    if (preview) {
        QPrintPreviewDialog dialog(&printer, parent);
        QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
                         [&outcome](QPrinter* target) { PrintPages(*target, outcome.pages); });
        dialog.exec();
        return;
    }
    QPrintDialog dialog(&printer, parent);
    dialog.setMinMax(1, int(outcome.pages.size()));
    if (dialog.exec() != QDialog::Accepted)
        return;
    if (printer.pageLayout().orientation() == QPageLayout::Landscape) {
        QMessageBox::information(parent, QStringLiteral("Tollgate Kestrel"),
                                 QStringLiteral("This report cannot be printed in landscape mode"));
        printer.setPageOrientation(QPageLayout::Portrait);
    }
    std::vector<ReportPage> pages = outcome.pages;
    if (printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0) {
        const size_t from = size_t(printer.fromPage() - 1);
        const size_t to = std::min(pages.size(), size_t(printer.toPage()));
        pages = from < to ? std::vector<ReportPage>(pages.begin() + long(from), pages.begin() + long(to))
                          : std::vector<ReportPage>{};
    }
    PrintPages(printer, pages);
}

void ShowPrintSetup(QWidget* parent)
{
    QPageSetupDialog dialog(&ProgramPrinter(), parent);
    dialog.exec();
}

} // namespace kestrel
