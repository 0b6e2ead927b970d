#include "model/subcontract/remarkstamp.h"

#include <gtest/gtest.h>

#include <set>

#include "model/contract/contract.h"
#include "model/subcontract/winmeta.h"

namespace kestrel {
namespace {

bool AllDigits(const std::string& s)
{
    return s.find_first_not_of("0123456789") == std::string::npos;
}

class RemarkStampTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        contract.m_pSubTable = std::make_unique<CWinMeta>();
        for (int j = 0; j < 12; ++j)
            contract.m_pSubTable->m_Fields.Add();
        for (int i = 0; i < 3; ++i)
            contract.m_pSubTable->AddRecord(-1, -1);
    }
    CSubcontract& Row(int i) { return *contract.m_pSubTable->m_Records[i]; }
    std::string Cell(int i, int j) { return std::string(TextView(*Row(i).GetCellText(j))); }
    void Stamp()
    {
        StampRemarks(contract, [this] { return random.Next(); });
    }

    CContract contract;
    CRemarkRandom random{12345};
};

TEST(RemarkRandom, FollowsThePlatformSequence)
{
    // The generator of the platform the files come from, seeded with 1.
    CRemarkRandom r(1);
    EXPECT_EQ(r.Next(), 41);
    EXPECT_EQ(r.Next(), 18467);
    EXPECT_EQ(r.Next(), 6334);
}

TEST(RemarkId, SevenScaledDrawsLastFirst)
{
    int calls = 0;
    const int draws[] = {0, 32767, 16384, 1, 3276, 32766, 100};
    const std::string id = NewRemarkId([&] { return draws[calls++]; });
    EXPECT_EQ(calls, 7);
    // 100 -> 30, 32766 -> 9998, 3276 -> 999, 1 -> 0, 16384 -> 4999, 32767 -> 9999, 0 -> 0
    EXPECT_EQ(id, "0030999809990000499999990000");
    // Values outside the generator's range cannot widen the identifier.
    EXPECT_EQ(NewRemarkId([] { return 99999; }).size(), 28u);
}

TEST_F(RemarkStampTest, RowRemarksGetKindSequenceAndIdentifier)
{
    Row(0).SetCellText(SUBF_REMARK, std::string("Uses our crane"));
    Row(1).SetCellText(SUBF_REMARK, std::string(" \t "));
    Row(1).SetCellText(SUBF_REMARK_ID, std::string("1234"));
    Row(1).SetCellText(SUBF_REMARK_KIND, std::string("GEN "));
    Row(1).SetCellText(SUBF_REMARK_SEQ, std::string("001"));
    Row(2).SetCellText(SUBF_REMARK, std::string("Second"));
    Stamp();
    EXPECT_EQ(Cell(0, SUBF_REMARK_KIND), "GEN ");
    EXPECT_EQ(Cell(0, SUBF_REMARK_SEQ), "001");
    EXPECT_EQ(Cell(0, SUBF_REMARK_ID).size(), 28u);
    EXPECT_TRUE(AllDigits(Cell(0, SUBF_REMARK_ID)));
    // A blank remark empties cells 6 to 8.
    EXPECT_EQ(Cell(1, SUBF_REMARK_ID), "");
    EXPECT_EQ(Cell(1, SUBF_REMARK_KIND), "");
    EXPECT_EQ(Cell(1, SUBF_REMARK_SEQ), "");
    // One seed per save: two rows never share an identifier.
    EXPECT_NE(Cell(0, SUBF_REMARK_ID), Cell(2, SUBF_REMARK_ID));
}

TEST_F(RemarkStampTest, IdentifiersAreKeptAcrossSaves)
{
    Row(0).SetCellText(SUBF_REMARK, std::string("Uses our crane"));
    Stamp();
    const std::string id = Cell(0, SUBF_REMARK_ID);
    Row(0).SetCellText(SUBF_REMARK_KIND, std::string("XXX"));
    Row(0).SetCellText(SUBF_REMARK_SEQ, std::string("999"));
    Row(0).SetCellText(SUBF_REMARK, std::string("Changed remark"));
    Stamp();
    EXPECT_EQ(Cell(0, SUBF_REMARK_ID), id);
    EXPECT_EQ(Cell(0, SUBF_REMARK_KIND), "GEN ");
    EXPECT_EQ(Cell(0, SUBF_REMARK_SEQ), "001");
    // A remark emptied later loses its identifier; a blank identifier is renewed.
    Row(0).SetCellText(SUBF_REMARK, std::nullopt);
    Row(1).SetCellText(SUBF_REMARK, std::string("x"));
    Row(1).SetCellText(SUBF_REMARK_ID, std::string("  "));
    Stamp();
    EXPECT_EQ(Cell(0, SUBF_REMARK_ID), "");
    EXPECT_EQ(Cell(1, SUBF_REMARK_ID).size(), 28u);
}

TEST_F(RemarkStampTest, SubItemRemarksAreTrimmedAndStamped)
{
    CSubItem* a = Row(0).AddSubItem("0010");
    a->m_strRemarks = std::string("  night work \t");
    CSubItem* b = Row(0).AddSubItem("0020");
    b->m_strRemarks = std::string(" \t ");
    b->m_strExtra = {std::string("55"), std::string("GEN "), std::string("001")};
    CSubItem* c = Row(0).AddSubItem("0030");
    c->m_strRemarks = std::string("kept");
    c->m_strExtra[0] = std::string("1111");
    Stamp();
    EXPECT_EQ(*a->m_strRemarks, "night work");
    EXPECT_EQ(*a->m_strExtra[1], "GEN ");
    EXPECT_EQ(*a->m_strExtra[2], "001");
    EXPECT_EQ(a->m_strExtra[0]->size(), 28u);
    EXPECT_TRUE(AllDigits(*a->m_strExtra[0]));
    EXPECT_EQ(*b->m_strRemarks, "");
    EXPECT_EQ(*b->m_strExtra[0], "");
    EXPECT_EQ(*b->m_strExtra[1], "");
    EXPECT_EQ(*b->m_strExtra[2], "");
    EXPECT_EQ(*c->m_strExtra[0], "1111");
    // The row has no remark: its cells stay empty.
    EXPECT_EQ(Cell(0, SUBF_REMARK_ID), "");
}

TEST_F(RemarkStampTest, ManyIdentifiersAllHave28DigitsAndDiffer)
{
    std::set<std::string> ids;
    for (int i = 0; i < 500; ++i) {
        CSubItem* si = Row(1).AddSubItem(std::to_string(1000 + i));
        si->m_strRemarks = std::string("r");
    }
    Stamp();
    Row(1).m_SubItems.ForEach([&](const std::string&, const CSubItem& si) {
        EXPECT_EQ(si.m_strExtra[0].View().size(), 28u);
        EXPECT_TRUE(AllDigits(std::string(si.m_strExtra[0].View())));
        ids.insert(std::string(si.m_strExtra[0].View()));
    });
    EXPECT_EQ(ids.size(), 500u);
}

TEST_F(RemarkStampTest, ShortRowsGetNoNewCells)
{
    CSubcontract* shortRow = contract.m_pSubTable->AddRecord(-1, 5);
    Stamp();
    EXPECT_EQ(shortRow->m_Cells.GetSize(), 5);
    contract.m_pSubTable.reset();
    Stamp(); // no table: nothing to do
}

} // namespace
} // namespace kestrel
