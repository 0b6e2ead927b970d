#include "model/subcontract/check.h"

#include <gtest/gtest.h>

#include "model/contract/contract.h"
#include "model/subcontract/winmeta.h"

namespace kestrel {
namespace {

constexpr uint16_t kComplete = 1u << SUB_COMPLETE;

std::unique_ptr<CWinMeta> Table(int fields, int records, uint16_t recordFlags)
{
    auto t = std::make_unique<CWinMeta>();
    for (int j = 0; j < fields; ++j)
        t->m_Fields.Add();
    for (int i = 0; i < records; ++i)
        t->AddRecord(-1, -1)->m_wFlags = recordFlags;
    return t;
}

class CheckTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        contract.m_pSubTable = Table(20, 4, kComplete);
        contract.m_pMiscTable = Table(3, 1, kComplete);
        FlagSet(contract.m_wFlags, CONTRACT_HAS_MISC, 1);
    }
    void TearDown() override { FreeErrorList(); }
    CContract contract;
};

TEST_F(CheckTest, CompleteContractHasNoMessages)
{
    FlagSet(contract.m_wFlags, CONTRACT_BID_ERRORS, 1);
    EXPECT_TRUE(CheckContract(contract, true));
    EXPECT_TRUE(GetErrorList().empty());
    EXPECT_FALSE(FlagTest(contract.m_wFlags, CONTRACT_BID_ERRORS));
    const auto c = GetCheckCounts();
    EXPECT_EQ(c.entries + c.errors + c.warnings, 0);
}

TEST_F(CheckTest, IncompleteRecordIsAnError)
{
    contract.m_pSubTable->m_Records[2]->m_wFlags = 0;
    EXPECT_FALSE(CheckContract(contract, true));
    ASSERT_EQ(GetErrorList().size(), 1u);
    const CheckEntry& e = GetErrorList()[0];
    EXPECT_EQ(e.text, "Subcontractor Error: Subcontractor Entry #3 is incomplete or contains item errors");
    EXPECT_EQ(e.severity, 2);
    EXPECT_EQ(e.index, 2);
    EXPECT_EQ(e.source, 20);
    EXPECT_TRUE(FlagTest(contract.m_wFlags, CONTRACT_BID_ERRORS));
}

TEST_F(CheckTest, TypedTextNotFromListIsAWarning)
{
    CWinMeta& t = *contract.m_pSubTable;
    t.m_Fields[5]->m_iType = FIELD_DROPTYPE;
    t.m_Fields[5]->m_wFlags = 4;
    t.m_Fields[6]->m_iType = FIELD_DROPLIST; // not typed: never warned
    t.m_Fields[6]->m_wFlags = 4;
    t.m_Fields[7]->m_iType = FIELD_DROPTYPE; // not flagged
    for (int j = 5; j <= 7; ++j)
        t.m_Records[1]->SetCellText(j, std::string("Typed by hand"));
    t.m_Records[3]->SetCellText(5, std::string("")); // an empty text counts too
    t.m_Records[0]->SetCellText(5, std::string("Chosen"));
    t.m_Records[0]->GetCell(5)->m_i = 4;

    // Without table flag 2 nothing is tested.
    EXPECT_TRUE(CheckContract(contract, true));
    EXPECT_TRUE(GetErrorList().empty());

    t.m_wFlags = 4;
    EXPECT_TRUE(CheckContract(contract, true));
    ASSERT_EQ(GetErrorList().size(), 2u);
    EXPECT_EQ(GetErrorList()[0].text,
              "Subcontractor Warning: Typed by hand not chosen from list (Subcontractor #2)");
    EXPECT_EQ(GetErrorList()[0].severity, 1);
    EXPECT_EQ(GetErrorList()[0].index, 1);
    EXPECT_EQ(GetErrorList()[1].text, "Subcontractor Warning:  not chosen from list (Subcontractor #4)");
    EXPECT_EQ(GetCheckCounts().warnings, 2);
    EXPECT_EQ(GetCheckCounts().errors, 0);
    EXPECT_FALSE(FlagTest(contract.m_wFlags, CONTRACT_BID_ERRORS));
}

TEST_F(CheckTest, LongTextsAreCutTo120Characters)
{
    CWinMeta& t = *contract.m_pSubTable;
    t.m_wFlags = 4;
    t.m_Fields[5]->m_iType = FIELD_DROPTYPE;
    t.m_Fields[5]->m_wFlags = 4;
    t.m_Records[0]->SetCellText(5, std::string(300, 'W'));
    CheckContract(contract, true);
    ASSERT_EQ(GetErrorList().size(), 1u);
    const std::string expected = "Subcontractor Warning: " + std::string(300, 'W');
    EXPECT_EQ(GetErrorList()[0].text, expected.substr(0, 120));
}

TEST_F(CheckTest, MiscDataOnlyWithFlag10)
{
    contract.m_pMiscTable->m_Records[0]->m_wFlags = 0;
    EXPECT_FALSE(CheckContract(contract, true));
    ASSERT_EQ(GetErrorList().size(), 1u);
    EXPECT_EQ(GetErrorList()[0].text, "Data Error: Required fields not entered in Misc Data screen");
    EXPECT_EQ(GetErrorList()[0].source, 5);
    EXPECT_EQ(GetErrorList()[0].index, 0);

    FlagSet(contract.m_wFlags, CONTRACT_HAS_MISC, 0);
    EXPECT_TRUE(CheckContract(contract, true));
    EXPECT_TRUE(GetErrorList().empty());
}

TEST_F(CheckTest, Flag10WithoutMiscTableIsSafe)
{
    contract.m_pMiscTable.reset();
    EXPECT_TRUE(CheckContract(contract, true));
    contract.m_pSubTable.reset();
    EXPECT_TRUE(CheckContract(contract, true));
    // A table without its record has nothing to be incomplete either.
    contract.m_pMiscTable = Table(2, 0, 0);
    EXPECT_TRUE(CheckContract(contract, true));
}

TEST_F(CheckTest, FullListEndsWithTheMarkerAndCountsGoOn)
{
    contract.m_pSubTable = Table(1, 9000, 0);
    EXPECT_FALSE(CheckContract(contract, true));
    const auto& list = GetErrorList();
    ASSERT_EQ(list.size(), 8999u);
    EXPECT_EQ(list[8997].text,
              "Subcontractor Error: Subcontractor Entry #8998 is incomplete or contains item errors");
    EXPECT_EQ(list[8998].text, "       <******** MORE ERRORS ********>");
    EXPECT_EQ(list[8998].severity, 0);
    EXPECT_EQ(list[8998].index, 0);
    EXPECT_EQ(list[8998].source, 0);
    const auto c = GetCheckCounts();
    EXPECT_EQ(c.entries, 8999);
    EXPECT_EQ(c.errors, 9000);
}

TEST_F(CheckTest, SilentCheckKeepsTheListButRecounts)
{
    contract.m_pSubTable->m_Records[0]->m_wFlags = 0;
    contract.m_pSubTable->m_Records[1]->m_wFlags = 0;
    EXPECT_FALSE(CheckContract(contract, true));
    ASSERT_EQ(GetErrorList().size(), 2u);
    contract.m_pSubTable->m_Records[0]->m_wFlags = kComplete;
    EXPECT_FALSE(CheckContract(contract, false));
    EXPECT_EQ(GetErrorList().size(), 2u);
    EXPECT_EQ(GetCheckCounts().errors, 1);
    contract.m_pSubTable->m_Records[1]->m_wFlags = kComplete;
    EXPECT_TRUE(CheckContract(contract, false));
    EXPECT_FALSE(FlagTest(contract.m_wFlags, CONTRACT_BID_ERRORS));
    EXPECT_EQ(GetErrorList().size(), 2u);
    FreeErrorList();
    EXPECT_TRUE(GetErrorList().empty());
}

TEST_F(CheckTest, MessagesAddedByHandFollowTheSameRules)
{
    ResetCheck(true);
    AddCheckMessage(7, 20, 1, "%s-%d", "w", 3);
    AddCheckMessage(1, 20, 0, "neither");
    ResetCheck(false);
    AddCheckMessage(1, 20, 2, "not stored");
    EXPECT_EQ(GetErrorList().size(), 2u);
    EXPECT_EQ(GetErrorList()[0].text, "w-3");
    EXPECT_EQ(GetCheckCounts().errors, 1);
    EXPECT_EQ(GetCheckCounts().warnings, 0);
}

TEST_F(CheckTest, CheckRenewsTheSubcontractedTotal)
{
    CWinMeta& t = *contract.m_pSubTable;
    for (int i = 0; i < 4; ++i) {
        FlagSet(t.m_Records[i]->m_wFlags, SUB_USESSUBITEMS, 0);
        t.m_Records[i]->SetCellText(SUBF_AMOUNT, std::string("$1,000.00"));
    }
    t.m_fSubTotal = 0;
    CheckContract(contract, true);
    EXPECT_DOUBLE_EQ(t.m_fSubTotal, 4000.0);
}

} // namespace
} // namespace kestrel
