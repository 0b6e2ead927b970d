// Printing in the program: the print dialog offers every page of one layout
// run and the chosen pages come out, upright; the preview draws only what is
// in view and prints from the same job; a template fault ends only the job;
// the PDF export reads back as the command line's report; Print Errors goes
// through the print dialog as well.

#include <gtest/gtest.h>

#include <QAbstractScrollArea>
#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPageLayout>
#include <QPageRanges>
#include <QPageSize>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSpinBox>
#include <QTest>
#include <QUndoStack>

#include <filesystem>
#include <utility>

#include "app/guitestsupport.h"
#include "app/mainframe.h"
#include "app/printpreview.h"
#include "app/reportprinting.h"
#include "app/subdoc.h"
#include "app/suberrors.h"
#include "calc/evaluator.h"
#include "file/contractfile.h"
#include "model/contract/contract.h"
#include "model/subcontract/winmeta.h"
#include "print/reportprintjob.h"
#include "support/clirun.h"
#include "support/testcontract.h"

namespace kestrel {
namespace {

using test::ProgramFixture;
using test::Q;

// A contract whose front section alone prints `pages` pages, each with its
// number, and then the report's other sections (none here).
std::unique_ptr<CContract> ContractOfPages(int pages)
{
    auto c = test::SmallContract(1);
    std::string front;
    for (int n = 0; n < pages; ++n)
        front += "Front page {PAGE_NUMBER}\f\\\n";
    c->AddDataTemplate("Report Front", front);
    return c;
}

// The program with the contract open, printing neither saving nor checking
// first, on a printer that writes the PDF file `printed.pdf`.
class PrintingTest : public ::testing::Test {
protected:
    void Open(CContract& contract)
    {
        ASSERT_TRUE(program.Doc().OpenDocument(test::WriteContract(contract, program.dir.file("P.CON"))));
        program.App().Settings().printSave = false;
        program.App().Settings().printCheck = false;
    }
    void SetUp() override
    {
        QPrinter& printer = ProgramPrinter();
        printer.setPageOrientation(QPageLayout::Portrait);
        printer.setPrintRange(QPrinter::AllPages);
        printer.setPageRanges(QPageRanges());
        printer.setCopyCount(1);
        printed = program.dir.file("printed.pdf");
        program.asker.onPrintDialog = [this](QPrinter& p) { return PrintToFile(p); };
    }
    // What the print dialog does when confirmed: the printer prints into
    // the file `printed`.
    bool PrintToFile(QPrinter& p)
    {
        p.setOutputFormat(QPrinter::PdfFormat);
        p.setOutputFileName(Q(printed));
        return true;
    }
    void Print() { program.Frame().Action(QStringLiteral("filePrint"))->trigger(); }
    void Preview() { program.Frame().Action(QStringLiteral("filePrintPreview"))->trigger(); }

    ProgramFixture program;
    std::string printed;
};

constexpr int kLayoutWaitMs = 300000;

// Waits for the preview's layout to end; false when it did not.
bool LaidOut(CPrintPreview& preview)
{
    return QTest::qWaitFor([&] { return !preview.LayingOut(); }, kLayoutWaitMs);
}

// The pages of the contract's report, laid out at once.
int ReportPages(CContract& contract)
{
    Evaluator evaluator;
    const Result<CReportPrintJob> job = CReportPrintJob::LayoutReport(contract, evaluator);
    return job ? job.value().PageCount() : -1;
}

int PdfPageCount(const std::string& path)
{
    QProcess p;
    p.start(QStringLiteral("pdfinfo"), {Q(path)});
    EXPECT_TRUE(p.waitForFinished(60000));
    const auto m = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)"))
                       .match(QString::fromUtf8(p.readAllStandardOutput()));
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

// Text pages: split at form feeds, trailing blanks cut, lines without text
// left out (pdftotext does not give empty lines back).
std::vector<std::vector<std::string>> TextPages(const std::string& text)
{
    std::vector<std::vector<std::string>> pages(1);
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        start = end + 1;
        for (size_t ff; (ff = line.find('\f')) != std::string::npos;) {
            std::string before = line.substr(0, ff);
            while (!before.empty() && before.back() == ' ')
                before.pop_back();
            if (!before.empty())
                pages.back().push_back(before);
            pages.emplace_back();
            line.erase(0, ff + 1);
        }
        while (!line.empty() && line.back() == ' ')
            line.pop_back();
        if (!line.empty())
            pages.back().push_back(line);
    }
    while (!pages.empty() && pages.back().empty())
        pages.pop_back();
    return pages;
}

// The pages of a PDF file of the report (Letter, the report 18 points in from
// each edge, as the export writes it) as pdftotext reads them back at the
// report's character pitch.
std::vector<std::vector<std::string>> PdfText(const std::string& path)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"),
            {QStringLiteral("-fixed"), QStringLiteral("6.7"), QStringLiteral("-x"), QStringLiteral("18"),
             QStringLiteral("-y"), QStringLiteral("18"), QStringLiteral("-W"), QStringLiteral("536"),
             QStringLiteral("-H"), QStringLiteral("720"), Q(path), QStringLiteral("-")});
    EXPECT_TRUE(p.waitForFinished(60000));
    return TextPages(p.readAllStandardOutput().toStdString());
}

// The text of a file the printer wrote (its margins are the printer's), each
// line's words with one blank between them.
std::vector<std::vector<std::string>> PrintedText(const std::string& path)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), Q(path), QStringLiteral("-")});
    EXPECT_TRUE(p.waitForFinished(60000));
    auto pages = TextPages(p.readAllStandardOutput().toStdString());
    for (auto& page : pages)
        for (auto& line : page) {
            std::string words;
            for (char c : line)
                if (c != ' ' || (!words.empty() && words.back() != ' '))
                    words.push_back(c);
            line = words;
        }
    return pages;
}

TEST_F(PrintingTest, AReportOfMoreThanAThousandPagesIsOfferedAndPrintedWhole)
{
    auto c = ContractOfPages(1100);
    Open(*c);
    Print();
    ASSERT_EQ(program.asker.printDialogs.size(), 1u);
    EXPECT_EQ(program.asker.printDialogs[0].maxPage, 1100);
    EXPECT_TRUE(program.asker.printDialogs[0].pageRange);
    EXPECT_EQ(PdfPageCount(printed), 1100);
    const auto pages = PrintedText(printed);
    ASSERT_EQ(pages.size(), 1100u);
    EXPECT_EQ(pages[1099], std::vector<std::string>{"Front page 1100"});
}

TEST_F(PrintingTest, ThePageRangeOfThePrintDialogIsHonoured)
{
    auto c = ContractOfPages(12);
    Open(*c);
    program.asker.onPrintDialog = [this](QPrinter& p) {
        p.setPrintRange(QPrinter::PageRange);
        QPageRanges ranges;
        ranges.addRange(3, 5);
        ranges.addPage(11);
        p.setPageRanges(ranges);
        return PrintToFile(p);
    };
    Print();
    const auto pages = PrintedText(printed);
    ASSERT_EQ(pages.size(), 4u);
    EXPECT_EQ(pages[0], std::vector<std::string>{"Front page 3"});
    EXPECT_EQ(pages[2], std::vector<std::string>{"Front page 5"});
    EXPECT_EQ(pages[3], std::vector<std::string>{"Front page 11"});
    // Cancelled: nothing is printed.
    std::filesystem::remove(printed);
    program.asker.onPrintDialog = nullptr;
    Print();
    EXPECT_FALSE(std::filesystem::exists(printed));
}

TEST_F(PrintingTest, LandscapeIsRefusedWithTheMessageAndTheSheetTurnedUpright)
{
    auto c = ContractOfPages(2);
    Open(*c);
    // Chosen in the print dialog.
    program.asker.onPrintDialog = [this](QPrinter& p) {
        p.setPageOrientation(QPageLayout::Landscape);
        return PrintToFile(p);
    };
    Print();
    ASSERT_FALSE(program.asker.asked.empty());
    EXPECT_EQ(program.asker.asked.back().text,
              QStringLiteral("This report cannot be printed in landscape mode"));
    EXPECT_EQ(ProgramPrinter().pageLayout().orientation(), QPageLayout::Portrait);
    // The file's sheets are upright: taller than wide.
    QProcess info;
    info.start(QStringLiteral("pdfinfo"), {Q(printed)});
    ASSERT_TRUE(info.waitForFinished(60000));
    const auto size = QRegularExpression(QStringLiteral("Page size:\\s+([0-9.]+) x ([0-9.]+)"))
                          .match(QString::fromUtf8(info.readAllStandardOutput()));
    ASSERT_TRUE(size.hasMatch());
    EXPECT_LT(size.captured(1).toDouble(), size.captured(2).toDouble());
    EXPECT_EQ(PdfPageCount(printed), 2);

    // Set up beforehand (Print Setup) and then previewed.
    program.asker.asked.clear();
    ProgramPrinter().setPageOrientation(QPageLayout::Landscape);
    Preview();
    ASSERT_EQ(program.asker.asked.size(), 1u);
    EXPECT_EQ(program.asker.asked[0].text, LandscapeRefusal());
    EXPECT_EQ(program.asker.previews, 1);
    EXPECT_EQ(ProgramPrinter().pageLayout().orientation(), QPageLayout::Portrait);
}

TEST_F(PrintingTest, ATemplateFaultInThePreviewEndsOnlyThePrintJob)
{
    // The fault is on the first page: told without a window.
    auto c = ContractOfPages(0);
    c->AddDataTemplate("Report Header", "{CONTRACT_ID,NOSUCHOPTION}\n");
    Open(*c);
    CContract* contract = program.Doc().Contract();
    const std::vector<unsigned char> before = WriteContractStream(*contract);
    Preview();
    EXPECT_EQ(program.asker.previews, 0);
    ASSERT_FALSE(program.asker.asked.empty());
    EXPECT_EQ(program.asker.asked.back().caption, AppTitle());
    EXPECT_EQ(program.asker.asked.back().text,
              QStringLiteral(
                  "Unknown Field Option: NOSUCHOPTION for field: CONTRACT_ID in template [Report Header]"));
    // The program goes on with the same contract, unchanged.
    EXPECT_EQ(program.Doc().Contract(), contract);
    EXPECT_EQ(WriteContractStream(*contract), before);
    EXPECT_FALSE(program.Doc().IsModified());
    EXPECT_EQ(program.Doc().UndoStack().count(), 0);
    EXPECT_TRUE(program.Frame().isVisible());
    // Printing and exporting end the same way, asking nothing more.
    const size_t asked = program.asker.asked.size();
    Print();
    program.Frame().Action(QStringLiteral("fileExportPdf"))->trigger();
    EXPECT_EQ(program.asker.asked.size(), asked + 2);
    EXPECT_TRUE(program.asker.printDialogs.empty());
    EXPECT_EQ(WriteContractStream(*contract), before);
}

TEST_F(PrintingTest, ThePreviewDrawsOnlyThePagesInViewAndPrintsFromTheSameJob)
{
    auto c = ContractOfPages(1500);
    Open(*c);
    bool checked = false;
    program.asker.onPreview = [&](QDialog& dialog) {
        auto* preview = qobject_cast<CPrintPreview*>(&dialog);
        ASSERT_NE(preview, nullptr);
        preview->resize(700, 900);
        preview->show();
        ASSERT_TRUE(LaidOut(*preview));
        // The pages that came in below the view were not drawn.
        EXPECT_LE(preview->PagesDrawn(), 6);
        const int shown = preview->PagesDrawn();
        preview->grab();
        EXPECT_EQ(preview->PageCount(), 1500);
        EXPECT_EQ(preview->CurrentPage(), 1);
        EXPECT_GE(preview->PagesDrawn() - shown, 1);
        EXPECT_LE(preview->PagesDrawn() - shown, 3);
        // The last page: drawn when it is shown, and only what is around it.
        preview->Command(QStringLiteral("last"))->trigger();
        const int before = preview->PagesDrawn();
        preview->grab();
        EXPECT_EQ(preview->CurrentPage(), 1500);
        EXPECT_LE(preview->PagesDrawn() - before, 3);
        EXPECT_EQ(preview->windowTitle(), QStringLiteral("Print Preview - Page 1500 of 1500"));
        preview->Command(QStringLiteral("previous"))->trigger();
        EXPECT_EQ(preview->CurrentPage(), 1499);
        // The keys of the page area.
        auto key = [&](Qt::Key which) {
            QKeyEvent press(QEvent::KeyPress, which, Qt::NoModifier);
            QApplication::sendEvent(preview->Area(), &press);
            return preview->CurrentPage();
        };
        EXPECT_EQ(key(Qt::Key_Home), 1);
        EXPECT_EQ(key(Qt::Key_PageDown), 2);
        EXPECT_EQ(key(Qt::Key_End), 1500);
        EXPECT_EQ(key(Qt::Key_PageUp), 1499);
        preview->GoToPage(700);
        EXPECT_EQ(preview->CurrentPage(), 700);
        // Zooming keeps the page in view.
        preview->SetZoom(2.0);
        EXPECT_DOUBLE_EQ(preview->Zoom(), 2.0);
        EXPECT_EQ(preview->CurrentPage(), 700);
        preview->FitWidth();
        EXPECT_EQ(preview->CurrentPage(), 700);
        // Print and export from the preview: the pages of this job.
        preview->Command(QStringLiteral("print"))->trigger();
        program.asker.pdfFile = Q(program.dir.file("preview.pdf"));
        preview->Command(QStringLiteral("export"))->trigger();
        checked = true;
        preview->hide();
    };
    Preview();
    ASSERT_TRUE(checked);
    ASSERT_EQ(program.asker.printDialogs.size(), 1u);
    EXPECT_EQ(program.asker.printDialogs[0].maxPage, 1500);
    EXPECT_EQ(PdfPageCount(printed), 1500);
    EXPECT_EQ(PdfPageCount(program.dir.file("preview.pdf")), 1500);
    EXPECT_EQ(program.asker.pdfSuggestion, Q(program.dir.file("P.pdf")));
}

// The preview on a report that takes a while to lay out, as it is shown.
CPrintPreview& ShownPreview(QDialog& dialog)
{
    auto& preview = dynamic_cast<CPrintPreview&>(dialog);
    preview.resize(700, 900);
    preview.show();
    preview.grab();
    return preview;
}

// Long enough to be still laid out when its first page is shown: a page
// for each of thousands of subcontractors, each with a screenful of lines.
std::unique_ptr<CContract> LongReport()
{
    auto c = test::SmallContract(600);
    std::string sub;
    for (int line = 0; line < 40; ++line)
        sub += "Subcontractor {#@SubIndex+1,FORMAT=5.0}, line {#@Line+1,FORMAT=2.0} of page {PAGE_NUMBER}\n";
    c->AddDataTemplate("Report Sub Start", sub);
    c->AddDataTemplate("Report Footer", "{DROP}Page {PAGE_NUMBER}\f\r\\");
    return c;
}

TEST_F(PrintingTest, ThePreviewCountsThePagesAsTheyComeAndPrintsTheWholeReport)
{
    auto c = LongReport();
    Open(*c);
    const int total = ReportPages(*c);
    bool checked = false;
    program.asker.onPreview = [&](QDialog& dialog) {
        CPrintPreview& preview = ShownPreview(dialog);
        auto* count = preview.findChild<QLabel*>(QStringLiteral("pageCount"));
        auto* progress = preview.findChild<QProgressBar*>(QStringLiteral("layoutProgress"));
        auto* progressText = preview.findChild<QLabel*>(QStringLiteral("layoutProgressText"));
        ASSERT_TRUE(count && progress && progressText);
        // The first page is on the screen while the others are laid out.
        ASSERT_TRUE(preview.LayingOut());
        EXPECT_EQ(preview.CurrentPage(), 1);
        EXPECT_GE(preview.PagesDrawn(), 1);
        EXPECT_TRUE(progress->isVisible());
        const QRegularExpression growing(QStringLiteral("^Print Preview - Page 1 of (\\d+)\\.\\.\\.$"));
        EXPECT_TRUE(growing.match(preview.windowTitle()).hasMatch()) << preview.windowTitle().toStdString();
        EXPECT_EQ(count->text(), QStringLiteral(" of %1... ").arg(preview.PageCount()));
        // Print, asked for now, waits for the last page: the print dialog
        // offers the exact count.
        preview.Command(QStringLiteral("print"))->trigger();
        EXPECT_TRUE(program.asker.printDialogs.empty());
        EXPECT_EQ(progressText->text(), QStringLiteral("Printing starts when every page is laid out."));
        ASSERT_TRUE(LaidOut(preview));
        EXPECT_EQ(program.asker.printDialogs.size(), 1u);
        EXPECT_EQ(preview.PageCount(), total);
        EXPECT_EQ(count->text(), QStringLiteral(" of %1 ").arg(total));
        EXPECT_EQ(preview.windowTitle(), QStringLiteral("Print Preview - Page 1 of %1").arg(total));
        EXPECT_FALSE(progress->isVisible());
        EXPECT_EQ(progressText->text(), QStringLiteral("All %1 pages are laid out.").arg(total));
        checked = true;
        preview.hide();
    };
    Preview();
    ASSERT_TRUE(checked);
    ASSERT_EQ(program.asker.printDialogs.size(), 1u);
    EXPECT_EQ(program.asker.printDialogs[0].maxPage, total);
    EXPECT_EQ(PdfPageCount(printed), total);
}

TEST_F(PrintingTest, PagingAheadWaitsOnlyForThePageAskedFor)
{
    auto c = LongReport();
    Open(*c);
    const int total = ReportPages(*c);
    const int ahead = total / 4;
    bool checked = false;
    program.asker.onPreview = [&](QDialog& dialog) {
        CPrintPreview& preview = ShownPreview(dialog);
        ASSERT_TRUE(preview.LayingOut());
        ASSERT_LT(preview.PageCount(), ahead);
        // Typed into the page box: the page is awaited, the view stays.
        auto* box = preview.findChild<QSpinBox*>(QStringLiteral("pageNumber"));
        box->selectAll();
        QTest::keyClicks(box, QString::number(ahead));
        QTest::keyClick(box, Qt::Key_Return);
        EXPECT_EQ(preview.PageAwaited(), ahead);
        EXPECT_EQ(box->value(), ahead);
        EXPECT_LT(preview.CurrentPage(), ahead);
        // Shown as soon as it is laid out, the rest still to come.
        ASSERT_TRUE(QTest::qWaitFor([&] { return preview.PageAwaited() == 0; }, kLayoutWaitMs));
        EXPECT_EQ(preview.CurrentPage(), ahead);
        EXPECT_TRUE(preview.LayingOut());
        // The last page: awaited until the count is known.
        QTest::keyClick(preview.Area(), Qt::Key_End);
        EXPECT_GT(preview.PageAwaited(), preview.PageCount());
        ASSERT_TRUE(LaidOut(preview));
        EXPECT_EQ(preview.PageAwaited(), 0);
        EXPECT_EQ(preview.CurrentPage(), total);
        checked = true;
        preview.hide();
    };
    Preview();
    EXPECT_TRUE(checked);
}

TEST_F(PrintingTest, ATemplateFaultFoundLateEndsOnlyThePreview)
{
    auto c = LongReport();
    c->AddDataTemplate("Report Sub List End", "{CONTRACT_ID,NOSUCHOPTION}\n");
    Open(*c);
    CContract* contract = program.Doc().Contract();
    const std::vector<unsigned char> before = WriteContractStream(*contract);
    bool checked = false;
    program.asker.onPreview = [&](QDialog& dialog) {
        CPrintPreview& preview = ShownPreview(dialog);
        ASSERT_TRUE(preview.LayingOut());
        ASSERT_TRUE(QTest::qWaitFor([&] { return !preview.isVisible(); }, kLayoutWaitMs));
        EXPECT_EQ(preview.result(), QDialog::Rejected);
        EXPECT_GT(preview.PageCount(), 1);
        EXPECT_TRUE(program.asker.asked.empty());
        checked = true;
    };
    Preview();
    ASSERT_TRUE(checked);
    ASSERT_EQ(program.asker.asked.size(), 1u);
    EXPECT_EQ(program.asker.asked[0].caption, AppTitle());
    EXPECT_EQ(
        program.asker.asked[0].text,
        QStringLiteral("Unknown Field Option: NOSUCHOPTION for field: CONTRACT_ID in template [Report Sub "
                       "List End]"));
    EXPECT_EQ(program.Doc().Contract(), contract);
    EXPECT_EQ(WriteContractStream(*contract), before);
    EXPECT_TRUE(program.Frame().isVisible());
}

TEST_F(PrintingTest, ClosingThePreviewWhileItLaysOutStopsTheLayout)
{
    auto c = LongReport();
    Open(*c);
    const int total = ReportPages(*c);
    program.asker.onPreview = [&](QDialog& dialog) {
        CPrintPreview& preview = ShownPreview(dialog);
        ASSERT_TRUE(preview.LayingOut());
        // The window's close button.
        preview.close();
        EXPECT_FALSE(preview.isVisible());
        EXPECT_FALSE(preview.LayingOut());
    };
    const PrintOutcome closed =
        PrintContractReport(&program.Frame(), program.asker, *program.Doc().Contract(),
                            program.Doc().GetEvaluator(), PrintTarget::Preview);
    EXPECT_EQ(program.asker.previews, 1);
    EXPECT_LT(closed.pageCount, total);
    EXPECT_TRUE(program.asker.asked.empty());
    // The next preview lays the report out again, to the end.
    program.asker.onPreview = [&](QDialog& dialog) { EXPECT_TRUE(LaidOut(ShownPreview(dialog))); };
    Preview();
    EXPECT_EQ(program.asker.previews, 2);
}

TEST_F(PrintingTest, ThePdfExportReadsBackAsTheCommandLinesReport)
{
    const QString demo = test::CopyDemo(program.dir);
    ASSERT_TRUE(program.Doc().OpenDocument(demo));
    program.App().Settings().printSave = false;
    program.App().Settings().printCheck = false;
    program.asker.pdfFile = Q(program.dir.file("demo.pdf"));
    program.Frame().Action(QStringLiteral("fileExportPdf"))->trigger();
    ASSERT_TRUE(std::filesystem::exists(program.dir.file("demo.pdf")));

    const test::CliRun cli = test::RunCli({"report", demo.toStdString(), "--text", "-"});
    ASSERT_EQ(cli.status, 0) << cli.err;
    const auto expected = TextPages(cli.out);
    ASSERT_GE(expected.size(), 2u);
    EXPECT_EQ(PdfText(program.dir.file("demo.pdf")), expected);
    // Cancelled: no file.
    program.asker.pdfFile.clear();
    std::filesystem::remove(program.dir.file("demo.pdf"));
    program.Frame().Action(QStringLiteral("fileExportPdf"))->trigger();
    EXPECT_FALSE(std::filesystem::exists(program.dir.file("demo.pdf")));
}

// The preview shows the paper the PDF file is written on: the locale's,
// whatever the printer's own default.
TEST_F(PrintingTest, ThePreviewAndThePdfFileShareThePaperOfTheLocale)
{
    const QLocale before;
    auto c = ContractOfPages(2);
    Open(*c);
    using L = QLocale;
    for (const auto& [locale, paper] : {std::pair{L(L::English, L::UnitedStates), QPageSize::Letter},
                                        std::pair{L(L::German, L::Germany), QPageSize::A4},
                                        std::pair{L(L::French, L::Canada), QPageSize::Letter},
                                        std::pair{L::c(), QPageSize::Letter}}) {
        QLocale::setDefault(locale);
        ProgramPrinter().setPageSize(QPageSize(paper == QPageSize::A4 ? QPageSize::Letter : QPageSize::A4));
        program.asker.pdfFile = Q(program.dir.file("paper.pdf"));
        program.asker.onPreview = [paper](QDialog& dialog) {
            auto* preview = qobject_cast<CPrintPreview*>(&dialog);
            EXPECT_EQ(preview->PageLayout().pageSize().id(), paper);
            preview->Command(QStringLiteral("export"))->trigger();
        };
        Preview();
        QProcess info;
        info.start(QStringLiteral("pdfinfo"), {program.asker.pdfFile});
        ASSERT_TRUE(info.waitForFinished(60000));
        const QSize points = QPageSize(paper).sizePoints();
        EXPECT_TRUE(
            QString::fromUtf8(info.readAllStandardOutput())
                .contains(QRegularExpression(
                    QStringLiteral("Page size: +%1 x %2 ").arg(points.width()).arg(points.height()))));
    }
    QLocale::setDefault(before);
}

TEST_F(PrintingTest, PrintErrorsGoesThroughThePrintDialog)
{
    auto c = test::SmallContract(1);
    // A field every record must fill, left empty: the check lists it.
    c->m_pSubTable->m_Fields[20]->m_iRequired = 10000;
    Open(*c);
    int lines = 0;
    program.asker.onErrorList = [&](CSubErrors& errors) {
        lines = errors.List()->count();
        errors.PrintButton()->click();
    };
    program.Frame().Action(QStringLiteral("toolsCheck"))->trigger();
    ASSERT_GT(lines, 0);
    ASSERT_EQ(program.asker.printDialogs.size(), 1u);
    EXPECT_FALSE(program.asker.printDialogs[0].pageRange);
    // Printing to a file is offered only where no printer is installed.
    EXPECT_EQ(program.asker.printDialogs[0].printToFile, QPrinterInfo::availablePrinterNames().isEmpty());
    const auto pages = PrintedText(printed);
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_NE(pages[0][0].find("Prime ID:"), std::string::npos);
    EXPECT_GE(pages[0].size(), 5u + static_cast<size_t>(lines));
}

// A job whose printer could not be started (no printer installed, the
// dialog confirmed as it came) ends with its message; the next job starts
// from a clean printer and prints.
TEST_F(PrintingTest, AFailedPrintJobLeavesTheNextOneAPrinterThatWorks)
{
    auto c = ContractOfPages(2);
    c->m_pSubTable->m_Fields[20]->m_iRequired = 10000;
    Open(*c);
    program.asker.onErrorList = [&](CSubErrors& errors) { errors.PrintButton()->click(); };
    program.asker.onPrintDialog = [](QPrinter& p) {
        // As the dialog leaves it where no printer is installed: output
        // to a file, but no file named. Such a printer cannot start, and
        // stays "active" after its failed start.
        p.setOutputFormat(QPrinter::PdfFormat);
        p.setOutputFileName(QString());
        return true;
    };
    program.Frame().Action(QStringLiteral("toolsCheck"))->trigger();
    ASSERT_FALSE(program.asker.asked.empty());
    EXPECT_EQ(program.asker.asked.back().text, QStringLiteral("The printer cannot be started"));
    const size_t told = program.asker.asked.size();

    program.asker.onPrintDialog = [this](QPrinter& p) { return PrintToFile(p); };
    Print();
    EXPECT_EQ(program.asker.asked.size(), told) << program.asker.asked.back().text.toStdString();
    EXPECT_EQ(PdfPageCount(printed), 2);
}

} // namespace
} // namespace kestrel
