#include "print/reportprintjob.h"

#include <QPageLayout>
#include <QPageRanges>
#include <QPainter>
#include <QPrinter>

#include <algorithm>

#include "model/contract/contract.h"
#include "print/pagepainter.h"
#include "print/reportpdf.h"
#include "report/reportrun.h"

namespace kestrel {

CReportPrintJob::CReportPrintJob(std::vector<ReportPage> pages) : m_pages(std::move(pages))
{
}

bool CReportPrintJob::Put(size_t index, ReportPage&& page)
{
    if (index >= m_pages.size()) {
        m_pages.push_back(std::move(page));
        return true;
    }
    if (m_pages[index] == page)
        return false;
    m_pages[index] = std::move(page);
    return true;
}

Result<CReportPrintJob> CReportPrintJob::LayoutReport(CContract& contract, Evaluator& evaluator)
{
    CReportRun run(contract, evaluator);
    ReportOutcome outcome = run.LayoutAll();
    run.Release();
    if (!outcome.ok)
        return Result<CReportPrintJob>::Fail(outcome.error);
    return CReportPrintJob(std::move(outcome.pages));
}

std::vector<int> CReportPrintJob::PagesFor(const QPrinter& printer) const
{
    std::vector<int> once;
    const QPageRanges ranges = printer.pageRanges();
    const bool chosen = printer.printRange() == QPrinter::PageRange && !ranges.isEmpty();
    for (int n = 1; n <= PageCount(); ++n)
        if (!chosen || ranges.contains(n))
            once.push_back(n);
    if (printer.pageOrder() == QPrinter::LastPageFirst)
        std::reverse(once.begin(), once.end());
    const int copies = printer.supportsMultipleCopies() ? 1 : std::max(1, printer.copyCount());
    if (copies == 1)
        return once;
    std::vector<int> out;
    out.reserve(once.size() * static_cast<size_t>(copies));
    if (printer.collateCopies()) {
        for (int c = 0; c < copies; ++c)
            out.insert(out.end(), once.begin(), once.end());
    } else {
        for (int n : once)
            out.insert(out.end(), static_cast<size_t>(copies), n);
    }
    return out;
}

bool CReportPrintJob::KeepPortrait(QPrinter& printer)
{
    if (printer.pageLayout().orientation() != QPageLayout::Landscape)
        return false;
    printer.setPageOrientation(QPageLayout::Portrait);
    return true;
}

Status CReportPrintJob::Draw(QPagedPaintDevice& device, const std::vector<int>& numbers) const
{
    std::vector<const ReportPage*> sheets;
    sheets.reserve(numbers.size());
    for (int n : numbers)
        if (n >= 1 && n <= PageCount())
            sheets.push_back(&Page(n));
    if (sheets.empty())
        return Ok();
    QPainter painter;
    if (!painter.begin(&device))
        return Status::Fail("The printer cannot be started");
    const bool drawn = CPagePainter::DrawSheets(painter, device, sheets);
    if (!painter.end() || !drawn)
        return Status::Fail("The pages could not all be printed");
    return Ok();
}

Status CReportPrintJob::Print(QPrinter& printer) const
{
    return Draw(printer, PagesFor(printer));
}

Status CReportPrintJob::WritePdf(const QString& path, const QPageSize& paper) const
{
    return CReportPdf::Write(path, m_pages, paper);
}

} // namespace kestrel
