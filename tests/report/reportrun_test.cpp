#include "report/reportrun.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <new>
#include <stdexcept>
#include <vector>

#include "file/contractfile.h"
#include "model/subcontract/check.h"
#include "model/subcontract/winmeta.h"
#include "report/errorlistprinter.h"
#include "report/reportfault.h"
#include "reporttestutil.h"

namespace kestrel {
namespace {

using test::AddItem;
using test::AddSub;
using test::AddSubItem;
using test::MakeReportContract;
using test::PagesText;
using test::RunReport;
using test::SetTemplate;

std::string Blank(int n)
{
    return std::string(static_cast<size_t>(n), '\n');
}

TEST(ReportRun, NoSubcontractors)
{
    auto c = MakeReportContract();
    SetTemplate(*c, "Report Front", "FRONT\n");
    SetTemplate(*c, "Report Header", "HEADER {PAGE_NUMBER}\n");
    SetTemplate(*c, "Report Sub List Start", "LIST START\n");
    SetTemplate(*c, "Report Sub Start", "never\n");
    SetTemplate(*c, "Report Sub List End", "LIST END\n");
    SetTemplate(*c, "Report Footer", "{DROP}FOOTER {PAGE_NUMBER}\n");
    SetTemplate(*c, "Report Back", "BACK\n");
    EXPECT_EQ(RunReport(*c),
              "FRONT\n\f\nHEADER   1\nLIST START\nLIST END\n" + Blank(56) + "FOOTER   1\n\f\nBACK\n\f\n");
}

TEST(ReportRun, PageNumberBeforeThePageBeginsIsTheComingPage)
{
    auto c = MakeReportContract();
    SetTemplate(*c, "Report Front", "FRONT\n");
    SetTemplate(*c, "Report Header", "{PAGE_NUMBER}/{#@Page,FORMAT=1.0}: HEADER\n");
    SetTemplate(*c, "Report Footer", "{PAGE_NUMBER}\f\r\\");
    EXPECT_EQ(RunReport(*c), "FRONT\n\f\n  1/1: HEADER\n  1\n\f\n");
}

TEST(ReportRun, SimpleFooterEndsEveryPage)
{
    auto c = MakeReportContract();
    const CPlate* footer = c->FindDefaultTemplate("Report Simple Footer");
    ASSERT_TRUE(footer);
    SetTemplate(*c, "Report Footer", std::string(footer->m_strText.View()));
    SetTemplate(*c, "Report Header", "H\n");
    EXPECT_EQ(RunReport(*c),
              "H\n" + Blank(57) + std::string(80, '-') + "\n" + std::string(72, ' ') + "Page   1\n\f\n");
}

class SubReport : public ::testing::Test {
protected:
    void SetUp() override
    {
        c = MakeReportContract();
        AddItem(*c, "0010", "100-01", "EA", "Clearing");
        CItem* head = AddItem(*c, "S1", "", "", "Section");
        FlagSet(head->m_wFlags, ITEM_SECTION, 1);
        AddItem(*c, "0020", "200-02", "LF", "Fence");
        a = AddSub(*c, "A");
        a1 = AddSub(*c, "A1", a);
        b = AddSub(*c, "B", nullptr, false);
        AddSubItem(*a, "0020", 1500, 2);
        AddSubItem(*a, "0010", 5, 10);
        // The check writes an itemized subcontractor's amount from its items.
        c->m_ExtFormat = {10, 2};
        AddSubItem(*a1, "0010", 100, 10);
        SetTemplate(*c, "Report Sub Start",
                    "SUB {VendorName} {SUB_ISCHILDSUB?\"child\":\"top\"} {SUB_CHILDSUBCOUNT} "
                    "{#@SubIndex,FORMAT=1.0}{SUB_AMMTSUBBED}\n");
        SetTemplate(*c, "Report SubItem List Header", "  ITEMS\n");
        SetTemplate(*c, "Report SubItem",
                    "  {SUBITEM_QUANTITY>#1200?\"*\":\" \"}{SUBITEM_LINE_NUMBER} {SUBITEM_QUANTITY} "
                    "{SUBITEM_UNIT}\n");
        SetTemplate(*c, "Report SubItem List Footer", "  END ITEMS\n");
        SetTemplate(*c, "Report Sub No Items", "  NO ITEMS\n");
        SetTemplate(*c, "Report Sub End", "END {VendorName}\n");
    }
    std::unique_ptr<CContract> c;
    CSubcontract* a = nullptr;
    CSubcontract* a1 = nullptr;
    CSubcontract* b = nullptr;
};

TEST_F(SubReport, SectionsInTierOrder)
{
    EXPECT_EQ(RunReport(*c), "SUB A top 1 0    1,000.00\n"
                             "  ITEMS\n"
                             "   0010           5.000 EA\n"
                             "  *0020       1,500.000 LF\n"
                             "  END ITEMS\n"
                             "END A\n"
                             "SUB A1 child 0 1        0.00\n"
                             "  ITEMS\n"
                             "   0010         100.000 EA\n"
                             "  END ITEMS\n"
                             "END A1\n"
                             "SUB B top 0 2        0.00\n"
                             "  NO ITEMS\n"
                             "END B\n\f\n");
}

TEST_F(SubReport, PositionsAreZeroUntilTheSectionsMoveThem)
{
    // Before the first "Report Sub Start" the current subcontractor is the
    // one at position 0, as @SubIndex says.
    const std::string probe =
        "{#@SubIndex,FORMAT=1.0}/{#@SubItemIndex,FORMAT=1.0} {VendorName} "
        "{SUB_ISCHILDSUB}{SUB_USESSUBITEMS} {SUB_CHILDSUBCOUNT} {SUBITEM_LINE_NUMBER}|\n";
    SetTemplate(*c, "Report Front", probe);
    SetTemplate(*c, "Report Sub List Start", probe);
    SetTemplate(*c, "Report Sub Start", "");
    SetTemplate(*c, "Report Sub End", "");
    SetTemplate(*c, "Report SubItem List Header", "");
    SetTemplate(*c, "Report SubItem List Footer", "");
    SetTemplate(*c, "Report SubItem", "");
    SetTemplate(*c, "Report Sub No Items", "");
    SetTemplate(*c, "Report Sub List End", probe);
    // Sub-item 0 of A in contract order is line 0010. After the list the
    // last subcontractor visited (B, position 2) is still current, and the
    // sub-item number is where A1's items left it.
    EXPECT_EQ(RunReport(*c), "0/0 A 1 1 0010|\n\f\n0/0 A 1 1 0010|\n2/1 B  0     |\n\f\n");
}

TEST(ReportRun, PositionsAreZeroWithoutSubcontractors)
{
    const std::string probe = "{#@SubIndex,FORMAT=1.0}/{#@SubItemIndex,FORMAT=1.0}"
                              "<{VendorName}{SUB_ISCHILDSUB}{SUB_USESSUBITEMS}{SUB_CHILDSUBCOUNT}"
                              "{SUB_AMMTSUBBED,SIZE=0}{SUBITEM_QUANTITY,SIZE=0}{SUBITEM_UNIT,SIZE=0}>\n";
    auto c = MakeReportContract();
    SetTemplate(*c, "Report Front", probe);
    SetTemplate(*c, "Report Sub List Start", probe);
    SetTemplate(*c, "Report Sub List End", probe);
    const std::string want = "0/0<>\n\f\n0/0<>\n0/0<>\n\f\n";
    EXPECT_EQ(RunReport(*c), want);
    // No subcontractor table at all: the column name is unknown and prints
    // nothing, every subcontractor field has no value.
    c->m_pSubTable.reset();
    EXPECT_EQ(RunReport(*c), want);
}

TEST_F(SubReport, ChildOfANonItemizedParentHasNoItems)
{
    FlagSet(a->m_wFlags, SUB_USESSUBITEMS, 0);
    const std::string out = RunReport(*c);
    EXPECT_NE(out.find("SUB A1 child 0 1        0.00\n  NO ITEMS\nEND A1\n"), std::string::npos) << out;
}

TEST_F(SubReport, SectionsThatDoNotFitMoveToTheNextPage)
{
    SetTemplate(*c, "Report Header", "H {PAGE_NUMBER}\n");
    SetTemplate(*c, "Report Footer", "{DROP}F {PAGE_NUMBER}\n");
    SetTemplate(*c, "Report Sub Start", "SUB {VendorName}\n{\"\",MINLINES=27}\n");
    const std::string out = RunReport(*c);
    const std::string page1 = "H   1\nSUB A\n" + Blank(28) + "  ITEMS\n   0010           5.000 EA\n" +
                              "  *0020       1,500.000 LF\n  END ITEMS\nEND A\n" + Blank(24) + "F   1\n\f\n";
    EXPECT_EQ(out.substr(0, page1.size()), page1);
    EXPECT_NE(out.find("H   2\nSUB A1\n"), std::string::npos);
    EXPECT_NE(out.find("H   3\nSUB B\n"), std::string::npos);
    EXPECT_EQ(std::count(out.begin(), out.end(), '\f'), 3);
}

TEST_F(SubReport, TallSectionFirstOnItsPageIsPrintedAnyway)
{
    SetTemplate(*c, "Report Footer", "{DROP}F\n");
    SetTemplate(*c, "Report Sub List Start", "L\n");
    SetTemplate(*c, "Report Sub Start", "{\"S\",MINLINES=69}\n");
    const std::string out = RunReport(*c);
    // The list start fills page 1; the 70 lines of the first Sub Start then
    // run over the footer area of page 2 and on to page 3.
    std::string sixty;
    for (int k = 0; k < 60; ++k)
        sixty += "S\n";
    const std::string want = "L\n" + Blank(58) + "F\n\f\n" + sixty + "\f\nS\n";
    EXPECT_EQ(out.substr(0, want.size()), want);
}

TEST_F(SubReport, PrintOptionZeroStartsEachSubcontractorOnANewPage)
{
    c->m_wPrintOptions = 1;
    SetTemplate(*c, "Report Header", "H {PAGE_NUMBER}\n");
    SetTemplate(*c, "Report Footer", "F\f\r\\");
    SetTemplate(*c, "Report Sub List Start", "LIST\n");
    SetTemplate(*c, "Report Sub Start", "SUB {VendorName}\n");
    SetTemplate(*c, "Report SubItem", "  item\n");
    EXPECT_EQ(RunReport(*c), "H   1\nLIST\nF\n\f\n"
                             "H   2\nSUB A\n  ITEMS\n  item\n  item\n  END ITEMS\nEND A\nF\n\f\n"
                             "H   3\nSUB A1\n  ITEMS\n  item\n  END ITEMS\nEND A1\nF\n\f\n"
                             "H   4\nSUB B\n  NO ITEMS\nEND B\nF\n\f\n");
}

TEST_F(SubReport, FooterWithoutFormFeedLetsTheNextHeaderFollow)
{
    c->m_wPrintOptions = 1;
    SetTemplate(*c, "Report Header", "H\n");
    SetTemplate(*c, "Report Footer", "F\n");
    SetTemplate(*c, "Report Sub Start", "SUB {VendorName}\n");
    SetTemplate(*c, "Report SubItem", "");
    const std::string out = RunReport(*c);
    EXPECT_EQ(out.substr(0, 20), "H\nF\nH\nSUB A\n  ITEMS\n");
    EXPECT_NE(out.find("END A\nF\nH\nSUB A1\n"), std::string::npos) << out;
}

TEST_F(SubReport, CheckMessagesAreCurrent)
{
    FlagSet(a1->m_wFlags, SUB_COMPLETE, 0);
    FlagSet(b->m_wFlags, SUB_COMPLETE, 0);
    // BID_ERRORS tests bit 3, which also makes it print on every pass.
    SetTemplate(*c, "Report Sub List Start", "{BID_ERRORS}:{BID_ERROR,REPEAT,STRSTR=Entry}\n");
    SetTemplate(*c, "Report Sub Start", "");
    const std::string out = RunReport(*c);
    EXPECT_EQ(out.substr(0, out.find("  ITEMS")), "1:Entry #2 is incomplete or contains item errors\n"
                                                  "1:Entry #3 is incomplete or contains item errors\n");
}

// Forty more subcontractors in tiers, with up to six sub-items each, and a
// report of some ten pages with front and back.
void AddManySubs(CContract& c, CSubcontract* parent)
{
    for (int k = 0; k < 40; ++k) {
        CSubcontract* s = AddSub(c, "Sub" + std::to_string(k), k % 3 ? nullptr : parent);
        for (int j = 0; j < k % 7; ++j)
            AddSubItem(*s, j % 2 ? "0010" : "0020", j + k, 1.5);
    }
    SetTemplate(c, "Report Front", "{COUNTY_NAME}FRONT {PAGE_NUMBER}\n\f{#@Page,FORMAT=3.0}\n");
    SetTemplate(c, "Report Header", "{PAGE_NUMBER} {#@Line,FORMAT=2.0}\n");
    SetTemplate(c, "Report Footer", "{DROP}-- {PAGE_NUMBER} --\f\r\\");
    SetTemplate(c, "Report Back", "BACK {#@Page,FORMAT=3.0}\n");
}

TEST_F(SubReport, OneLayoutGivesTheSamePagesAsPageByPageRuns)
{
    AddManySubs(*c, a);
    Evaluator evaluator;
    CReportRun run(*c, evaluator);
    const ReportOutcome all = run.LayoutAll();
    ASSERT_TRUE(all.ok) << all.error;
    ASSERT_GE(all.pages.size(), 8u);
    EXPECT_EQ(all.pagesStarted, static_cast<int>(all.pages.size()));
    for (size_t p = 1; p <= all.pages.size(); ++p) {
        const ReportOutcome one = run.RunToPage(static_cast<int>(p));
        ASSERT_TRUE(one.ok);
        ASSERT_EQ(one.pages.size(), 1u) << p;
        EXPECT_EQ(one.pages[0], all.pages[p - 1]) << "page " << p;
    }
    const ReportOutcome past = run.RunToPage(static_cast<int>(all.pages.size()) + 1);
    EXPECT_TRUE(past.pages.empty());
    EXPECT_EQ(past.pagesStarted, static_cast<int>(all.pages.size()));
}

TEST_F(SubReport, PagesHandedOnAsTheyAreFinishedAreThoseOfOneLayout)
{
    AddManySubs(*c, a);
    Evaluator evaluator;
    CReportRun run(*c, evaluator);
    const ReportOutcome all = run.LayoutAll();
    ASSERT_TRUE(all.ok) << all.error;
    std::vector<ReportPage> handed;
    std::vector<double> progress;
    const ReportOutcome streamed = run.LayoutAll([&](ReportPage&& page, double done) {
        handed.push_back(std::move(page));
        progress.push_back(done);
    });
    ASSERT_TRUE(streamed.ok) << streamed.error;
    EXPECT_TRUE(streamed.pages.empty());
    EXPECT_EQ(handed, all.pages);
    // The progress only grows, from the front pages at 0 to the back at 1.
    EXPECT_TRUE(std::is_sorted(progress.begin(), progress.end()));
    EXPECT_EQ(progress.front(), 0.0);
    EXPECT_GT(progress[progress.size() / 2], 0.2);
    EXPECT_LT(progress[progress.size() / 2], 0.8);
    EXPECT_EQ(progress.back(), 1.0);

    // Asked to stop, here by the sink itself, the run ends before the next
    // page; a run after it starts afresh.
    std::atomic<bool> stop{false};
    int got = 0;
    const ReportOutcome stopped = run.LayoutAll(
        [&](ReportPage&&, double) {
            if (++got == 3)
                stop = true;
        },
        &stop);
    EXPECT_FALSE(stopped.ok);
    EXPECT_TRUE(stopped.stopped);
    EXPECT_EQ(got, 3);
    const ReportOutcome again = run.LayoutAll();
    EXPECT_FALSE(again.stopped);
    EXPECT_EQ(again.pages, all.pages);
}

TEST_F(SubReport, EveryRunStartsFromThePreparedEvaluatorState)
{
    c->m_wPrintOptions = 1;
    SetTemplate(*c, "Report Header", "H{#@foot,FORMAT=1.0}\n");
    SetTemplate(*c, "Report Footer", "F{#@foot=@foot+1,FORMAT=1.0}\f\r\\");
    Evaluator evaluator;
    CReportRun run(*c, evaluator);
    const ReportOutcome first = run.LayoutAll();
    ASSERT_TRUE(first.ok);
    ASSERT_EQ(first.pages.size(), 4u);
    // Measuring the footer while preparing counted once.
    EXPECT_EQ(first.pages[0].lines[0], "H1");
    EXPECT_EQ(first.pages[3].lines[0], "H4");
    EXPECT_EQ(run.LayoutAll().pages, first.pages);
    EXPECT_EQ(run.RunToPage(3).pages[0], first.pages[2]);
}

TEST(ReportRun, TemplatesUseTheEvaluatorTheRunIsGiven)
{
    auto c = MakeReportContract();
    SetTemplate(*c, "Report Front", "{#\"twice(@base)\",FORMAT=3.0} {#@base=@base+1,FORMAT=3.0}|\n");
    // The program's definitions are seen by the report; every run starts
    // from them and they stay after it.
    Evaluator program;
    program.Evaluate("set twice = @@*2");
    program.Evaluate("@base = 20");
    {
        CReportRun run(*c, program);
        EXPECT_EQ(run.LayoutAll().pages[0].lines[0], "40 21|");
        EXPECT_EQ(run.LayoutAll().pages[0].lines[0], "40 21|");
    }
    EXPECT_EQ(program.Evaluate("twice(3)"), 6);
    // A run with an evaluator of its own does not see them (twice is
    // unknown and has no value).
    Evaluator own;
    CReportRun run(*c, own);
    EXPECT_EQ(run.LayoutAll().pages[0].lines[0], " 1|");
    EXPECT_EQ(own.Evaluate("@base"), 1);
    program.Evaluate("@base = 50");
    EXPECT_EQ(run.LayoutAll().pages[0].lines[0], " 1|");
}

TEST(ReportRun, CheckFieldShowsTheCurrentCheckValue)
{
    auto c = MakeReportContract();
    c->m_strHeader[HDR_CONTRACT_ID] = std::string("C-1");
    c->m_dwCheck = 0;
    SetTemplate(*c, "Report Front", "{CHECK}\n");
    char expected[16];
    std::snprintf(expected, sizeof expected, "%8.8X\n\f\n", ComputeCheckValue(*c));
    EXPECT_EQ(RunReport(*c), expected);
    EXPECT_NE(c->m_dwCheck, 0u);
    // A report that does not show it does not spend the time on it.
    c->m_dwCheck = 0;
    SetTemplate(*c, "Report Front", "{CONTRACT_ID}\n");
    EXPECT_EQ(RunReport(*c), "C-1\n\f\n");
    EXPECT_EQ(c->m_dwCheck, 0u);
}

TEST(ReportFaults, MessagesComeBackAsValues)
{
    const std::pair<const char*, const char*> cases[] = {
        {"{ITEM_NUMBER}", "Internal Error GFSD # 6"},
        {"{SECTION_TOTAL}", "Internal Error GFSD # 7"},
        {"{ITEM_LUMP_SUM}", "Internal Error GFSD # 6"},
        {"{SECTION_INDEX}", "Unknown special Value"},
        {"{ITEM_COUNT}", "Unknown special Value"},
        {"ok\n{AGENCY", "Found end of line where } was expected in template [Report Front]"},
    };
    for (const auto& [text, message] : cases)
        EXPECT_EQ(test::Render(text), message) << text;
}

TEST(ReportFaults, FaultWhileMeasuringTheFooter)
{
    auto c = MakeReportContract();
    SetTemplate(*c, "Report Front", "front\n");
    SetTemplate(*c, "Report Footer", "{SECTION_COUNT}");
    Evaluator evaluator;
    CReportRun run(*c, evaluator);
    EXPECT_EQ(run.LayoutAll().error, "Unknown special Value");
    EXPECT_EQ(run.RunToPage(1).error, "Unknown special Value");
}

TEST(ReportFaults, RunawayTemplatesStop)
{
    auto c = MakeReportContract();
    SetTemplate(*c, "A", "{\"\",MINLINES=400}{[B]}");
    SetTemplate(*c, "B", "{\"\",MINLINES=400}{[C]}");
    SetTemplate(*c, "C", "{\"\",MINLINES=400}");
    SetTemplate(*c, "Report Front", "{[A]}");
    Evaluator evaluator;
    CReportRun run(*c, evaluator);
    run.SetWorkLimit(100000);
    EXPECT_EQ(run.LayoutAll().error, "The report is too large to lay out");
}

// A template of n fields that each call a recursive user function.
std::string RecursiveFields(int n)
{
    std::string text = "{#\"set f = @@ > 0 ? f(@@-1) + f(@@-1) : 1\"}\n";
    for (int k = 0; k < n; ++k)
        text += "{#\"f(4)\",FORMAT=3.0}\n";
    return text;
}

TEST(ReportFaults, EvaluationWorkIsLimitedForTheWholeRun)
{
    // The steps of one field, as the run's evaluator counts them.
    Evaluator probe;
    probe.Evaluate("set f = @@ > 0 ? f(@@-1) + f(@@-1) : 1");
    ASSERT_EQ(probe.Evaluate("f(4)"), 16);
    const long long perField = probe.LastSteps();
    ASSERT_GT(perField, 1000);

    auto c = MakeReportContract();
    SetTemplate(*c, "Report Front", RecursiveFields(20));
    SetTemplate(*c, "Many", RecursiveFields(40));
    Evaluator evaluator;
    CReportRun run(*c, evaluator);
    run.SetEvaluationLimit(perField * 30);
    // Twenty fields stay within the limit, run after run: each run counts
    // its own work.
    for (int k = 0; k < 2; ++k) {
        const ReportOutcome o = run.LayoutAll();
        ASSERT_TRUE(o.ok) << o.error;
        EXPECT_EQ(o.pages[0].lines[1], "16");
    }
    // Forty do not, each of them well within the limit of one evaluation;
    // the fault names the template where the work ran out.
    SetTemplate(*c, "Report Front", "{[Many]}");
    EXPECT_EQ(run.LayoutAll().error, "Expressions take too long to evaluate in template: Many");
    run.SetEvaluationLimit(0);
    EXPECT_TRUE(run.LayoutAll().ok);
}

TEST(ReportFaults, EntryPointsTurnEveryFailureIntoAMessage)
{
    EXPECT_TRUE(CatchReportFault([] {}).ok());
    EXPECT_EQ(CatchReportFault([] { ThrowReportFault("Bad %s #%d", "x", 3); }).errorText(), "Bad x #3");
    EXPECT_EQ(CatchReportFault([] { throw std::bad_alloc(); }).errorText(),
              "Unable to allocate memory for SEQ");
    EXPECT_EQ(CatchReportFault([] { throw std::out_of_range("out of range"); }).errorText(), "out of range");
    EXPECT_FALSE(CatchReportFault([] { throw 3; }).ok());
    // A fault is a runtime error: whoever catches those catches it.
    EXPECT_EQ(CatchReportFault([] {
                  try {
                      ThrowReportFault("inner");
                  } catch (const std::runtime_error& e) {
                      throw std::logic_error(std::string("seen ") + e.what());
                  }
              }).errorText(),
              "seen inner");
}

TEST(ReportFaults, PageLimit)
{
    auto c = MakeReportContract();
    SetTemplate(*c, "Report Front", "{\"\f\",MINLINES=300}");
    Evaluator evaluator;
    CReportRun run(*c, evaluator);
    run.SetPageLimit(100);
    EXPECT_EQ(run.LayoutAll().error, "The report is too large to lay out");
    run.SetPageLimit(0);
    EXPECT_EQ(run.LayoutAll().pagesStarted, 302);
}

TEST(ReportRun, LongTemplatesAreCompiledLineByLineAndNotKept)
{
    auto c = MakeReportContract();
    c->m_strHeader[HDR_AGENCY] = std::string("AG");
    std::string text;
    for (int k = 0; k < 120; ++k)
        text += "{AGENCY}" + std::to_string(k % 10) + "\n";
    ASSERT_GE(text.size(), 1024u);
    SetTemplate(*c, "Report Front", text);
    SetTemplate(*c, "Short", "x\n");
    Evaluator evaluator;
    CReportRun run(*c, evaluator);
    const ReportOutcome o = run.LayoutAll();
    ASSERT_TRUE(o.ok);
    ASSERT_EQ(o.pages.size(), 2u);
    EXPECT_EQ(o.pages[0].lines[0], "AG0");
    // Each line has its own AGENCY occurrence sharing one position: only the
    // first prints the value.
    EXPECT_EQ(o.pages[0].lines[1], "1");
    EXPECT_FALSE(c->FindDataTemplate("Report Front")->m_pCompiled);
    run.Release();
}

TEST(ReportRun, ShortTemplatesAreKeptUntilRelease)
{
    auto c = MakeReportContract();
    SetTemplate(*c, "Report Front", "x\n");
    Evaluator evaluator;
    CReportRun run(*c, evaluator);
    ASSERT_TRUE(run.LayoutAll().ok);
    EXPECT_TRUE(c->FindDataTemplate("Report Front")->m_pCompiled);
    run.Release();
    EXPECT_FALSE(c->FindDataTemplate("Report Front")->m_pCompiled);
}

TEST(ErrorListPrint, HeaderAndMessages)
{
    auto c = MakeReportContract();
    c->m_strPrimeID = std::string("P01");
    c->m_strPrimeName = std::string("Prime Co");
    c->m_strHeader[HDR_CONTRACT_ID] = std::string("C-1");
    c->m_strHeader[HDR_LETTING_ID] = std::string("L-9");
    c->m_strHeader[HDR_CALL_ORDER] = std::string("007");
    CSubcontract* s = AddSub(*c, "S");
    FlagSet(s->m_wFlags, SUB_COMPLETE, 0);
    const CheckResult check = CheckContract(*c);
    const auto pages = CErrorListPrinter::Print(*c, check);
    EXPECT_EQ(PagesText(pages),
              "\n    Prime ID: P01 - Prime Co\n Contract ID: C-1\n  Letting ID: L-9\n"
              "Letting Date:\n  Call Order: 007\n\n\n\n"
              "Subcontractor Error: Subcontractor Entry #1 is incomplete or contains item error\n\f\n");
}

} // namespace
} // namespace kestrel
