#pragma once
// One print job: pages laid out once, then drawn wherever they go. The
// contract's report is laid out by one run of the layout, whatever the number
// of its pages; the printer, the preview and the PDF file all draw from that
// run, and a page is drawn only when it is output or shown.

#include <QString>

#include <vector>

#include "calc/result.h"
#include "report/reportpage.h"

class QPageSize;
class QPagedPaintDevice;
class QPrinter;

namespace kestrel {

class CContract;
class Evaluator;

class CReportPrintJob {
public:
    explicit CReportPrintJob(std::vector<ReportPage> pages);

    // Lays the contract's report out once. A template or report fault comes
    // back as its message; the contract is as it was.
    [[nodiscard]] static Result<CReportPrintJob> LayoutReport(CContract& contract, Evaluator& evaluator);

    // Puts a page laid out later at `index` (from 0): in place of the page
    // there, or at the end. True when the job changed.
    bool Put(size_t index, ReportPage&& page);
    // Drops the pages after the first `count`.
    void Truncate(size_t count)
    {
        if (count < m_pages.size())
            m_pages.resize(count);
    }

    int PageCount() const { return static_cast<int>(m_pages.size()); }
    // Page `number`, from 1 to PageCount().
    const ReportPage& Page(int number) const { return m_pages[static_cast<size_t>(number - 1)]; }
    const std::vector<ReportPage>& Pages() const { return m_pages; }

    // The numbers of the pages a printer set up by the print dialog is to
    // print, in the order they come out: every page, or those of its page
    // ranges that the report has; last page first when the printer asks for
    // it; repeated for copies the printer cannot make itself.
    std::vector<int> PagesFor(const QPrinter& printer) const;
    // The report's pages are 80 columns on an upright sheet: a printer set
    // to landscape is turned upright. True when it had to be.
    static bool KeepPortrait(QPrinter& printer);

    // Draws the pages, one a sheet, on a printer or PDF device.
    [[nodiscard]] Status Draw(QPagedPaintDevice& device, const std::vector<int>& numbers) const;
    // Draws the pages the printer's settings ask for.
    [[nodiscard]] Status Print(QPrinter& printer) const;
    // Writes every page to a PDF file (replaced only by a complete one) on
    // the paper given (none: the paper of the system's locale).
    [[nodiscard]] Status WritePdf(const QString& path, const QPageSize& paper) const;

private:
    std::vector<ReportPage> m_pages;
};

} // namespace kestrel
