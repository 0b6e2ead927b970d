// The report laid out in the background: the first page at once, then the
// pages of one layout run made from the contract as it was when the layout
// started; the identifiers the report defined reach the program's evaluator
// only once it is done; a fault and a stop end it with the pages laid out
// before.

#include "print/backgroundlayout.h"

#include <gtest/gtest.h>

#include <climits>

#include "model/contract/contract.h"

namespace kestrel {
namespace {

constexpr int kWaitMs = 120000;

// A contract whose front section alone prints `pages` pages; each page
// counts itself in the identifier @Pages.
std::unique_ptr<CContract> ContractOfPages(int pages)
{
    auto c = std::make_unique<CContract>();
    c->m_strHeader[HDR_CONTRACT_ID] = std::string("P-1");
    std::string front;
    for (int n = 0; n < pages; ++n)
        front += "{CONTRACT_ID} page {PAGE_NUMBER}{#@Pages=@Pages+1,FORMAT=1.0}\f\\\n";
    c->AddDataTemplate("Report Front", front);
    return c;
}

TEST(BackgroundLayout, LaysOutTheContractAsItWasWhenItStarted)
{
    auto c = ContractOfPages(300);
    Evaluator direct;
    const Result<CReportPrintJob> once = CReportPrintJob::LayoutReport(*c, direct);
    ASSERT_TRUE(once) << once.errorText();
    ASSERT_EQ(once.value().PageCount(), 300);

    Evaluator program;
    CBackgroundLayout report(*c, program);
    // The first page is there at once; the rest waits for the start.
    EXPECT_TRUE(report.Running());
    ASSERT_EQ(report.Job().PageCount(), 1);
    EXPECT_EQ(report.Job().Page(1), once.value().Page(1));
    EXPECT_EQ(program.Evaluate("@Pages"), 0);
    EXPECT_FALSE(report.Collect());
    report.Start();
    // What the program does to the contract from now on is not printed.
    c->m_strHeader[HDR_CONTRACT_ID] = std::string("CHANGED");
    c->AddDataTemplate("Report Front", "Another report\n");
    report.WaitForPages(INT_MAX, kWaitMs);
    ASSERT_EQ(report.CurrentState(), CBackgroundLayout::State::Done) << report.Fault();
    EXPECT_EQ(report.Job().Pages(), once.value().Pages());
    EXPECT_EQ(report.Progress(), 1.0);
    // Done, the report's identifiers are the program's, as after the
    // layout on the program's own evaluator.
    EXPECT_EQ(program.Evaluate("@Pages"), 300);
    EXPECT_EQ(direct.Evaluate("@Pages"), 300);
    EXPECT_FALSE(report.Collect());
}

TEST(BackgroundLayout, AFaultEndsItWithThePagesBefore)
{
    auto c = ContractOfPages(40);
    CPlate* front = c->m_DataTemplates.Lookup("Report Front");
    *front->m_strText += "{CONTRACT_ID,NOSUCHOPTION}\n";
    Evaluator program;
    CBackgroundLayout report(*c, program);
    report.WaitForPages(INT_MAX, kWaitMs);
    EXPECT_EQ(report.CurrentState(), CBackgroundLayout::State::Failed);
    EXPECT_EQ(report.Fault(),
              "Unknown Field Option: NOSUCHOPTION for field: CONTRACT_ID in template [Report Front]");
    EXPECT_EQ(report.Job().PageCount(), 40);
    // A run that did not finish leaves the program's identifiers alone.
    EXPECT_EQ(program.Evaluate("@Pages"), 0);
}

TEST(BackgroundLayout, StopsWhenAsked)
{
    auto c = ContractOfPages(20000);
    Evaluator program;
    CBackgroundLayout report(*c, program);
    ASSERT_TRUE(report.WaitForPages(1, kWaitMs));
    report.Stop();
    report.WaitForPages(INT_MAX, kWaitMs);
    EXPECT_EQ(report.CurrentState(), CBackgroundLayout::State::Stopped);
    EXPECT_LT(report.Job().PageCount(), 20000);
    EXPECT_TRUE(report.Fault().empty());
    EXPECT_EQ(program.Evaluate("@Pages"), 0);
}

} // namespace
} // namespace kestrel
