// The print job: one layout run for the whole report, the pages a printer
// is set up to print, the upright sheet, and the pages drawn on a printer,
// into a PDF file and as the preview's picture of a sheet.

#include "print/reportprintjob.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QImage>
#include <QPageLayout>
#include <QPageRanges>
#include <QPainter>
#include <QPrinter>
#include <QProcess>

#include "calc/evaluator.h"
#include "file/contractfile.h"
#include "model/contract/contract.h"
#include "print/pagepainter.h"
#include "print/printtestapp.h"
#include "support/testcontract.h"
#include "support/testfiles.h"

namespace kestrel {
namespace {

void App()
{
    test::PrintTestApp();
}

// Pages numbered in their first line.
std::vector<ReportPage> Numbered(int count)
{
    std::vector<ReportPage> pages;
    for (int n = 1; n <= count; ++n) {
        ReportPage page;
        page.number = n;
        page.lines = {"Sheet " + std::to_string(n)};
        pages.push_back(page);
    }
    return pages;
}

// A contract whose front section alone prints `pages` pages.
std::unique_ptr<CContract> ContractOfPages(int pages)
{
    auto c = std::make_unique<CContract>();
    c->m_strHeader[HDR_CONTRACT_ID] = std::string("P-1");
    // Each template line ends its page and, continued by its backslash,
    // prints no line feed of its own.
    std::string front;
    for (int n = 0; n < pages; ++n)
        front += "Front page {PAGE_NUMBER}\f\\\n";
    c->AddDataTemplate("Report Front", front);
    return c;
}

// The text pdftotext reads from a file, one string per page.
std::vector<std::string> PdfPages(const std::string& path)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QString::fromStdString(path), QStringLiteral("-")});
    EXPECT_TRUE(p.waitForFinished(60000));
    std::vector<std::string> pages;
    std::string text = p.readAllStandardOutput().toStdString();
    size_t start = 0;
    for (size_t ff; (ff = text.find('\f', start)) != std::string::npos; start = ff + 1) {
        std::string page = text.substr(start, ff - start);
        while (!page.empty() && (page.back() == '\n' || page.back() == ' '))
            page.pop_back();
        pages.push_back(page);
    }
    return pages;
}

void PdfPrinter(QPrinter& printer, const std::string& path)
{
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(path));
}

TEST(PrintJob, AReportOfMoreThanAThousandPagesIsLaidOutWholeInOneRun)
{
    auto c = ContractOfPages(1234);
    Evaluator evaluator;
    auto job = CReportPrintJob::LayoutReport(*c, evaluator);
    ASSERT_TRUE(job.ok()) << job.errorText();
    ASSERT_EQ(job->PageCount(), 1234);
    EXPECT_EQ(job->Page(1).lines, std::vector<std::string>{"Front page   1"});
    EXPECT_EQ(job->Page(1234).lines, std::vector<std::string>{"Front page 1234"});
}

TEST(PrintJob, ATemplateFaultIsItsMessageAndTheContractStaysAsItWas)
{
    auto c = ContractOfPages(2);
    c->AddDataTemplate("Report Header", "{CONTRACT_ID,NOSUCHOPTION}\n");
    const std::vector<unsigned char> before = WriteContractStream(*c);
    const uint16_t flags = c->m_wFlags;
    Evaluator evaluator;
    auto job = CReportPrintJob::LayoutReport(*c, evaluator);
    ASSERT_FALSE(job.ok());
    EXPECT_EQ(job.errorText(),
              "Unknown Field Option: NOSUCHOPTION for field: CONTRACT_ID in template [Report Header]");
    EXPECT_EQ(WriteContractStream(*c), before);
    EXPECT_EQ(c->m_wFlags, flags);
}

TEST(PrintJob, ThePagesThePrinterAsksFor)
{
    App();
    const CReportPrintJob job(Numbered(6));
    test::TempDir dir;
    QPrinter printer;
    PdfPrinter(printer, dir.file("x.pdf"));
    EXPECT_EQ(job.PagesFor(printer), (std::vector<int>{1, 2, 3, 4, 5, 6}));
    // The print dialog's ranges, clipped to the pages there are.
    printer.setPrintRange(QPrinter::PageRange);
    QPageRanges ranges;
    ranges.addRange(2, 3);
    ranges.addPage(5);
    ranges.addRange(6, 9);
    printer.setPageRanges(ranges);
    EXPECT_EQ(job.PagesFor(printer), (std::vector<int>{2, 3, 5, 6}));
    printer.setPageOrder(QPrinter::LastPageFirst);
    EXPECT_EQ(job.PagesFor(printer), (std::vector<int>{6, 5, 3, 2}));
    printer.setPageOrder(QPrinter::FirstPageFirst);
    // A file cannot make copies itself: they are drawn, collated or not.
    ASSERT_FALSE(printer.supportsMultipleCopies());
    printer.setCopyCount(2);
    printer.setCollateCopies(true);
    EXPECT_EQ(job.PagesFor(printer), (std::vector<int>{2, 3, 5, 6, 2, 3, 5, 6}));
    printer.setCollateCopies(false);
    EXPECT_EQ(job.PagesFor(printer), (std::vector<int>{2, 2, 3, 3, 5, 5, 6, 6}));
    // "All pages" again.
    printer.setCopyCount(1);
    printer.setPrintRange(QPrinter::AllPages);
    EXPECT_EQ(job.PagesFor(printer).size(), 6u);
}

TEST(PrintJob, ALandscapePrinterIsTurnedUpright)
{
    App();
    QPrinter printer;
    printer.setPageOrientation(QPageLayout::Landscape);
    EXPECT_TRUE(CReportPrintJob::KeepPortrait(printer));
    EXPECT_EQ(printer.pageLayout().orientation(), QPageLayout::Portrait);
    EXPECT_FALSE(CReportPrintJob::KeepPortrait(printer));
}

TEST(PrintJob, PrintsTheChosenPagesOneASheet)
{
    App();
    test::TempDir dir;
    const CReportPrintJob job(Numbered(5));
    QPrinter printer;
    PdfPrinter(printer, dir.file("range.pdf"));
    printer.setPrintRange(QPrinter::PageRange);
    QPageRanges ranges;
    ranges.addRange(2, 4);
    printer.setPageRanges(ranges);
    const Status printed = job.Print(printer);
    ASSERT_TRUE(printed.ok()) << printed.errorText();
    EXPECT_EQ(PdfPages(dir.file("range.pdf")), (std::vector<std::string>{"Sheet 2", "Sheet 3", "Sheet 4"}));

    ASSERT_TRUE(job.WritePdf(QString::fromStdString(dir.file("all.pdf")), QPageSize()).ok());
    EXPECT_EQ(PdfPages(dir.file("all.pdf")).size(), 5u);
    // A printer that cannot start is an error, not a crash.
    QPrinter nowhere;
    PdfPrinter(nowhere, dir.file("no/such/folder/x.pdf"));
    EXPECT_FALSE(job.Print(nowhere).ok());
}

TEST(PrintJob, TheSheetPictureHasThePageWhereThePrinterPrintsIt)
{
    App();
    // Letter with one-inch margins, drawn at 40 pixels to the inch: the page
    // starts 40 pixels in; a line is 240 twips (6.67 pixels), a column 134
    // (3.72 pixels).
    const QPageLayout layout(QPageSize(QPageSize::Letter), QPageLayout::Portrait, QMarginsF(1, 1, 1, 1),
                             QPageLayout::Inch);
    QImage image(340, 440, QImage::Format_RGB32);
    image.fill(Qt::gray);
    ReportPage page;
    page.lines = {"", "", std::string(80, 'M')};
    {
        QPainter painter(&image);
        CPagePainter::DrawSheetPicture(painter, page, layout, QRectF(0, 0, 340, 440));
    }
    auto dark = [&](int x0, int y0, int x1, int y1) {
        int n = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x)
                n += qGray(image.pixel(x, y)) < 128;
        return n;
    };
    // The paper is white; the third line is inked from the margin on, and
    // nothing above it or left of the margin.
    EXPECT_EQ(image.pixel(5, 5), qRgb(255, 255, 255));
    EXPECT_EQ(image.pixel(339, 439), qRgb(255, 255, 255));
    EXPECT_EQ(dark(0, 0, 340, 53), 0);
    EXPECT_GT(dark(40, 54, 60, 61), 10);
    EXPECT_EQ(dark(0, 40, 39, 100), 0);
    // The printable area ends at the right margin (6.5 inches in): the
    // line runs up to it and is cut there, as a printer would cut it.
    EXPECT_GT(dark(290, 54, 299, 61), 0);
    EXPECT_EQ(dark(301, 0, 340, 440), 0);
}

} // namespace
} // namespace kestrel
