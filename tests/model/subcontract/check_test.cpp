#include "model/subcontract/check.h"

#include <gtest/gtest.h>

#include "model/contract/contract.h"
#include "model/subcontract/winmeta.h"

namespace kestrel {
namespace {

constexpr uint16_t kComplete = 1u << SUB_COMPLETE;
constexpr uint16_t kItemsAndTiers = (1u << SUB_ITEMS_COMPLETE) | (1u << SUB_TIERS_COMPLETE);

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
    static std::vector<std::string> Texts(const CheckResult& r)
    {
        std::vector<std::string> texts;
        for (const CheckMessage& m : r.messages)
            texts.push_back(m.text);
        return texts;
    }
    CContract contract;
};

TEST_F(CheckTest, CompleteContractHasNoMessages)
{
    FlagSet(contract.m_wFlags, CONTRACT_BID_ERRORS, 1);
    const CheckResult r = CheckContract(contract);
    EXPECT_TRUE(r.Passed());
    EXPECT_TRUE(r.messages.empty());
    EXPECT_FALSE(FlagTest(contract.m_wFlags, CONTRACT_BID_ERRORS));
    EXPECT_EQ(r.errors + r.warnings, 0);
}

TEST_F(CheckTest, IncompleteRecordIsAnError)
{
    contract.m_pSubTable->m_Records[2]->m_wFlags = kItemsAndTiers; // only bit 0 clear
    const CheckResult r = CheckContract(contract);
    EXPECT_FALSE(r.Passed());
    ASSERT_EQ(r.messages.size(), 1u);
    const CheckMessage& m = r.messages[0];
    EXPECT_EQ(m.text, "Subcontractor Error: Subcontractor Entry #3 is incomplete or contains item errors");
    EXPECT_EQ(m.severity, CheckSeverity::Error);
    EXPECT_EQ(m.record, 2);
    EXPECT_EQ(m.source, CheckSource::Subcontractor);
    // Nothing more to point at: no required field, no sub-item.
    EXPECT_EQ(m.field, -1);
    EXPECT_EQ(m.item, "");
    EXPECT_EQ(r.errors, 1);
    EXPECT_TRUE(FlagTest(contract.m_wFlags, CONTRACT_BID_ERRORS));
}

// An incomplete record's error points at what keeps it incomplete: its
// first empty required field and its first incomplete sub-item.
TEST_F(CheckTest, IncompleteRecordPointsAtFieldAndItem)
{
    CWinMeta& t = *contract.m_pSubTable;
    t.m_Fields[4]->m_iRequired = kAlwaysRequired;
    t.m_Fields[7]->m_iRequired = kAlwaysRequired;
    t.m_Fields[9]->m_iRequired = kAlwaysRequired;
    CSubcontract& rec = *t.m_Records[1];
    rec.SetCellText(4, std::string("filled"));
    rec.AddSubItem("0030")->m_wFlags = 1u << SUBITEM_COMPLETE;
    rec.AddSubItem("0050");
    rec.AddSubItem("0040");
    rec.AddSubItem("0020")->m_wFlags = 1u << SUBITEM_COMPLETE;
    rec.m_wFlags = 1u << SUB_TIERS_COMPLETE; // sub-items incomplete
    const CheckResult r = CheckContract(contract);
    ASSERT_EQ(r.messages.size(), 1u);
    EXPECT_EQ(r.messages[0].record, 1);
    EXPECT_EQ(r.messages[0].field, 7);
    EXPECT_EQ(r.messages[0].item, "0040");

    // With the fields filled and the sub-items marked complete, the record
    // (still flagged incomplete) points nowhere but at itself.
    rec.SetCellText(7, std::string("x"));
    rec.SetCellText(9, std::string("y"));
    rec.m_wFlags = kItemsAndTiers;
    const CheckResult again = CheckContract(contract);
    ASSERT_EQ(again.messages.size(), 1u);
    EXPECT_EQ(again.messages[0].field, -1);
    EXPECT_EQ(again.messages[0].item, "");
}

// A record received from Ironbark is exempt from the required fields when
// contract flag 8 is set; its error then names no field.
TEST_F(CheckTest, ExemptRecordNamesNoField)
{
    CWinMeta& t = *contract.m_pSubTable;
    t.m_Fields[5]->m_iRequired = kAlwaysRequired;
    t.m_Records[0]->m_wFlags = kItemsAndTiers | (1u << SUB_FROMIRONBARK);
    EXPECT_EQ(CheckContract(contract).messages.at(0).field, 5);
    FlagSet(contract.m_wFlags, CONTRACT_IRONBARK_LOCKED, 1);
    EXPECT_EQ(CheckContract(contract).messages.at(0).field, -1);
}

TEST_F(CheckTest, TypedTextNotFromListIsAWarning)
{
    CWinMeta& t = *contract.m_pSubTable;
    t.m_Fields[5]->m_iType = FIELD_DROPTYPE;
    t.m_Fields[5]->m_wFlags = 4;
    t.m_Fields[6]->m_iType = FIELD_DROPLIST; // not typed: never warned
    t.m_Fields[6]->m_wFlags = 4;
    t.m_Fields[7]->m_iType = FIELD_DROPTYPE; // not flagged
    t.m_Fields[9]->m_iType = FIELD_DROPTYPE;
    t.m_Fields[9]->m_wFlags = 4;
    for (int j = 5; j <= 7; ++j)
        t.m_Records[1]->SetCellText(j, std::string("Typed by hand"));
    t.m_Records[3]->SetCellText(5, std::string("")); // an empty text counts too
    t.m_Records[3]->SetCellText(9, std::string("Also typed"));
    t.m_Records[0]->SetCellText(5, std::string("Chosen"));
    t.m_Records[0]->GetCell(5)->m_i = 4;

    // Without table flag 2 nothing is tested.
    EXPECT_TRUE(CheckContract(contract).messages.empty());

    t.m_wFlags = 4;
    const CheckResult r = CheckContract(contract);
    EXPECT_TRUE(r.Passed());
    EXPECT_EQ(Texts(r), (std::vector<std::string>{
                            "Subcontractor Warning: Typed by hand not chosen from list (Subcontractor #2)",
                            "Subcontractor Warning:  not chosen from list (Subcontractor #4)",
                            "Subcontractor Warning: Also typed not chosen from list (Subcontractor #4)",
                        }));
    const CheckMessage& m = r.messages[0];
    EXPECT_EQ(m.severity, CheckSeverity::Warning);
    EXPECT_EQ(m.source, CheckSource::Subcontractor);
    EXPECT_EQ(m.record, 1);
    EXPECT_EQ(m.field, 5);
    EXPECT_EQ(m.item, "");
    EXPECT_EQ(r.messages[1].record, 3);
    EXPECT_EQ(r.messages[1].field, 5);
    EXPECT_EQ(r.messages[2].record, 3);
    EXPECT_EQ(r.messages[2].field, 9);
    EXPECT_EQ(r.warnings, 3);
    EXPECT_EQ(r.errors, 0);
    EXPECT_FALSE(FlagTest(contract.m_wFlags, CONTRACT_BID_ERRORS));
}

TEST_F(CheckTest, LongTextsAreCutTo120Characters)
{
    CWinMeta& t = *contract.m_pSubTable;
    t.m_wFlags = 4;
    t.m_Fields[5]->m_iType = FIELD_DROPTYPE;
    t.m_Fields[5]->m_wFlags = 4;
    t.m_Records[0]->SetCellText(5, std::string(300, 'W'));
    t.m_Records[1]->SetCellText(5, std::string(57, 'V')); // exactly 120 characters
    const CheckResult r = CheckContract(contract);
    ASSERT_EQ(r.messages.size(), 2u);
    const std::string expected = "Subcontractor Warning: " + std::string(300, 'W');
    EXPECT_EQ(r.messages[0].text, expected.substr(0, 120));
    EXPECT_EQ(r.messages[1].text,
              "Subcontractor Warning: " + std::string(57, 'V') + " not chosen from list (Subcontractor #2)");
    EXPECT_EQ(r.messages[1].text.size(), 120u);
}

TEST_F(CheckTest, MiscDataOnlyWithFlag10)
{
    contract.m_pMiscTable->m_Fields[1]->m_iRequired = kAlwaysRequired;
    contract.m_pMiscTable->m_Records[0]->m_wFlags = kItemsAndTiers;
    const CheckResult r = CheckContract(contract);
    EXPECT_FALSE(r.Passed());
    ASSERT_EQ(r.messages.size(), 1u);
    EXPECT_EQ(r.messages[0].text, "Data Error: Required fields not entered in Misc Data screen");
    EXPECT_EQ(r.messages[0].severity, CheckSeverity::Error);
    EXPECT_EQ(r.messages[0].source, CheckSource::MiscData);
    EXPECT_EQ(r.messages[0].record, 0);
    EXPECT_EQ(r.messages[0].field, 1);

    FlagSet(contract.m_wFlags, CONTRACT_HAS_MISC, 0);
    EXPECT_TRUE(CheckContract(contract).messages.empty());
    EXPECT_FALSE(FlagTest(contract.m_wFlags, CONTRACT_BID_ERRORS));
}

TEST_F(CheckTest, Flag10WithoutMiscTableIsSafe)
{
    contract.m_pMiscTable.reset();
    EXPECT_TRUE(CheckContract(contract).Passed());
    contract.m_pSubTable.reset();
    EXPECT_TRUE(CheckContract(contract).Passed());
    // A table without its record has nothing to be incomplete either.
    contract.m_pMiscTable = Table(2, 0, 0);
    EXPECT_TRUE(CheckContract(contract).Passed());
}

TEST_F(CheckTest, FullListEndsWithTheMarkerAndCountsGoOn)
{
    contract.m_pSubTable = Table(1, 9000, 0);
    // Two warnings after the 9000 errors: counted, never stored.
    CWinMeta& t = *contract.m_pSubTable;
    t.m_wFlags = 4;
    t.m_Fields[0]->m_iType = FIELD_DROPTYPE;
    t.m_Fields[0]->m_wFlags = 4;
    t.m_Records[5]->SetCellText(0, std::string("typed"));
    t.m_Records[8999]->SetCellText(0, std::string("typed"));
    // And the miscellaneous-data error after those.
    contract.m_pMiscTable->m_Records[0]->m_wFlags = 0;
    const CheckResult r = CheckContract(contract);
    EXPECT_FALSE(r.Passed());
    ASSERT_EQ(r.messages.size(), 8999u);
    EXPECT_EQ(r.messages[8997].text,
              "Subcontractor Error: Subcontractor Entry #8998 is incomplete or contains item errors");
    EXPECT_EQ(r.messages[8997].record, 8997);
    const CheckMessage& marker = r.messages[8998];
    EXPECT_EQ(marker.text, "       <******** MORE ERRORS ********>");
    EXPECT_EQ(marker.severity, CheckSeverity::Marker);
    EXPECT_EQ(marker.record, 0);
    EXPECT_EQ(marker.source, CheckSource::None);
    EXPECT_EQ(marker.field, -1);
    EXPECT_EQ(r.errors, 9001);
    EXPECT_EQ(r.warnings, 2);
}

// A list of exactly 8998 messages is not full: no marker.
TEST_F(CheckTest, ListOneShortOfFullHasNoMarker)
{
    contract.m_pSubTable = Table(1, 8998, 0);
    const CheckResult r = CheckContract(contract);
    ASSERT_EQ(r.messages.size(), 8998u);
    EXPECT_EQ(r.messages.back().severity, CheckSeverity::Error);
    EXPECT_EQ(r.errors, 8998);
}

// A check that only counts stores nothing but gives the same counts and
// flag; the caller keeps the messages of an earlier check if it wants them.
TEST_F(CheckTest, CountingCheckStoresNoMessages)
{
    contract.m_pSubTable->m_Records[0]->m_wFlags = 0;
    contract.m_pSubTable->m_Records[1]->m_wFlags = 0;
    const CheckResult full = CheckContract(contract);
    ASSERT_EQ(full.messages.size(), 2u);
    FlagSet(contract.m_wFlags, CONTRACT_BID_ERRORS, 0);
    const CheckResult counted = CheckContract(contract, CheckCollect::CountsOnly);
    EXPECT_TRUE(counted.messages.empty());
    EXPECT_EQ(counted.errors, 2);
    EXPECT_TRUE(FlagTest(contract.m_wFlags, CONTRACT_BID_ERRORS));
    contract.m_pSubTable->m_Records[0]->m_wFlags = kComplete;
    contract.m_pSubTable->m_Records[1]->m_wFlags = kComplete;
    EXPECT_TRUE(CheckContract(contract, CheckCollect::CountsOnly).Passed());
    EXPECT_FALSE(FlagTest(contract.m_wFlags, CONTRACT_BID_ERRORS));
    EXPECT_EQ(full.messages.size(), 2u);
}

TEST_F(CheckTest, CheckRenewsTheSubcontractedTotal)
{
    CWinMeta& t = *contract.m_pSubTable;
    for (int i = 0; i < 4; ++i) {
        FlagSet(t.m_Records[i]->m_wFlags, SUB_USESSUBITEMS, 0);
        t.m_Records[i]->SetCellText(SUBF_AMOUNT, std::string("$1,000.00"));
    }
    t.m_fSubTotal = 0;
    EXPECT_TRUE(CheckContract(contract, CheckCollect::CountsOnly).Passed());
    EXPECT_DOUBLE_EQ(t.m_fSubTotal, 4000.0);
}

} // namespace
} // namespace kestrel
