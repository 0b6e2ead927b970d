#include "file/opencontract.h"

#include <gtest/gtest.h>

#include <cerrno>

#include "file/contractfile.h"
#include "file/platform.h"
#include "model/contract/contract.h"
#include "model/subcontract/check.h"
#include "model/subcontract/programpaths.h"
#include "model/subcontract/winmeta.h"
#include "support/testfiles.h"

namespace kestrel {
namespace {

// A subcontractor table of 16 fields: column 1 a vendor drop-down whose
// list key is characters 1-5 ("00123"), column 2 the name part of the same
// list (characters 7 on), column 10 a typed drop-down of a second list.
class OpenContractTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        test::WriteText(dir.file("VENDORS.TXT"), "VEND    00123 Acme Paving\n"
                                                 "VEND    00050 Zenith Signs  \n"
                                                 "VEND    00123 Acme Paving Two\n"
                                                 "TYPE    Grading\n");
        contract.m_pSubTable = std::make_unique<CWinMeta>();
        CWinMeta& t = *contract.m_pSubTable;
        for (int j = 0; j < 16; ++j)
            t.m_Fields.Add();
        Field(1, FIELD_DROPLIST, "VENDORS.TXT:VEND", 1, 5);
        Field(2, FIELD_DROPTYPE, "vendors.txt:vend", 7, 0);
        Field(4, FIELD_TEXT, "VENDORS.TXT:VEND", 1, 0); // not a drop-down: untouched
        Field(10, FIELD_DROPTYPE, "VENDORS.TXT:TYPE", 1, 0);
        t.m_Fields[10]->m_wFlags = 4;
        t.m_wFlags = 4;
        for (int i = 0; i < 3; ++i)
            t.AddRecord(-1, -1);
    }
    void Field(int j, int type, const std::string& source, int start, int end)
    {
        CFieldInfo* f = contract.m_pSubTable->m_Fields[j];
        f->m_iType = type;
        f->m_strListSource = source;
        f->m_iListStart = start;
        f->m_iListEnd = end;
    }
    CSubcontract& Row(int i) { return *contract.m_pSubTable->m_Records[i]; }
    OpenedContract Open() { return FinishOpenContract(contract, dir.file("JOB.CON"), paths); }

    test::TempDir dir;
    CContract contract;
    CProgramPaths paths;
};

TEST_F(OpenContractTest, LinksCellsToTheirListEntries)
{
    Row(0).SetCellText(1, std::string(" 00123 "));
    Row(0).SetCellText(2, std::string("old name"));
    Row(0).SetCellText(4, std::string("kept"));
    Row(1).SetCellText(1, std::string("00999"));
    Row(1).SetCellText(2, std::string("typed"));
    Row(2).SetCellText(10, std::string("Grading"));
    const auto opened = Open();
    EXPECT_TRUE(opened.listErrors.empty());
    EXPECT_EQ(paths.ContractPath(), dir.file("JOB.CON"));

    // Sorted list: 00050 Zenith, 00123 Acme Paving, 00123 Acme Paving Two;
    // the later entry of a key wins.
    EXPECT_EQ(Row(0).GetCell(1)->m_i, 2);
    EXPECT_EQ(*Row(0).GetCellText(2), "Acme Paving Two");
    EXPECT_EQ(Row(0).GetCell(2)->m_i, 2);
    EXPECT_EQ(*Row(0).GetCellText(4), "kept");
    EXPECT_EQ(Row(0).GetCell(4)->m_i, -1);
    // No such key: nothing changes.
    EXPECT_EQ(Row(1).GetCell(1)->m_i, -1);
    EXPECT_EQ(*Row(1).GetCellText(2), "typed");
    EXPECT_EQ(Row(2).GetCell(10)->m_i, 0);
}

// Of two entries with the same key, the one a cell already names stays
// named (a vendor chosen keeps its name in the file); linking what is
// linked changes nothing; an unreadable file is no contract, its code
// and text given.
TEST_F(OpenContractTest, AChosenEntryStaysChosenAndLinkingTwiceChangesNothing)
{
    Row(0).SetCellText(1, std::string("00123"));
    Row(0).GetCell(1)->m_i = 1; // "00123 Acme Paving", the first of its key
    Row(1).SetCellText(1, std::string("00123"));
    (void)Open();
    EXPECT_EQ(Row(0).GetCell(1)->m_i, 1);
    EXPECT_EQ(*Row(0).GetCellText(2), "Acme Paving");
    EXPECT_EQ(Row(1).GetCell(1)->m_i, 2);
    for (int row = 0; row < 3; ++row)
        EXPECT_FALSE(LinkRecordLists(contract, Row(row), paths)) << row;

    const Result<OpenedFile> none = OpenContractFile(dir.file("NONE.CON"), paths);
    ASSERT_FALSE(none.ok());
    EXPECT_EQ(none.errorCode(), CF_CANNOT_OPEN);
    EXPECT_EQ(none.errorText(), "Cannot open file: " + SystemErrorText(ENOENT));
}

TEST_F(OpenContractTest, TheSilentCheckSeesTheLinkedPositions)
{
    Row(0).SetCellText(10, std::string("Grading"));
    Row(1).SetCellText(10, std::string("Paving"));
    const auto opened = Open();
    ASSERT_EQ(opened.check.messages.size(), 1u);
    EXPECT_EQ(opened.check.messages[0].record, 1);
    EXPECT_EQ(opened.check.messages[0].field, 10);
    EXPECT_EQ(opened.check.messages[0].severity, CheckSeverity::Warning);
}

TEST_F(OpenContractTest, EmptyCellsAreNeverLinked)
{
    // An entry whose key part is empty must not pull empty cells onto it.
    test::WriteText(dir.file("VENDORS.TXT"), "VEND    0\n");
    Field(1, FIELD_DROPLIST, "VENDORS.TXT:VEND", 3, 5);
    Row(0).SetCellText(1, std::string("  "));
    Row(0).SetCellText(2, std::string(""));
    (void)Open();
    EXPECT_EQ(Row(0).GetCell(1)->m_i, -1);
    EXPECT_EQ(*Row(0).GetCellText(2), "");
    EXPECT_EQ(Row(1).GetCell(2)->m_i, -1);
}

TEST_F(OpenContractTest, MissingListFilesAreReportedInColumnOrder)
{
    Field(12, FIELD_DROPLIST, "GONE.TXT:A", 1, 0);
    Field(14, FIELD_DROPLIST, "ALSO.BIN:B", 1, 0);
    Field(1, FIELD_DROPLIST, "", 1, 0);
    const auto opened = Open();
    ASSERT_EQ(opened.listErrors.size(), 2u);
    EXPECT_EQ(opened.listErrors[0], "Cannot open the file 'GONE.TXT'");
    EXPECT_EQ(opened.listErrors[1], "Cannot open the file 'ALSO.BIN'");
}

TEST_F(OpenContractTest, NameFieldsLastMatchOrZero)
{
    auto opened = Open();
    EXPECT_EQ(opened.subNameField, 0);
    EXPECT_EQ(opened.subField, 0);
    contract.m_pSubTable->m_Fields[3]->m_strName = "subname";
    contract.m_pSubTable->m_Fields[7]->m_strName = "SubName";
    contract.m_pSubTable->m_Fields[5]->m_strName = "Sub";
    opened = Open();
    EXPECT_EQ(opened.subNameField, 7);
    EXPECT_EQ(opened.subField, 5);
}

TEST_F(OpenContractTest, CompletenessAndTotalsAreRenewed)
{
    CWinMeta& t = *contract.m_pSubTable;
    t.m_Fields[2]->m_iRequired = kAlwaysRequired;
    Row(0).SetCellText(2, std::string("Acme"));
    Row(0).m_wFlags = 0x6A;                    // stored without bit 0 although complete
    FlagSet(Row(1).m_wFlags, SUB_COMPLETE, 1); // stored complete, but name empty
    FlagSet(Row(1).m_wFlags, SUB_USESSUBITEMS, 0);
    Row(1).SetCellText(SUBF_AMOUNT, std::string("250.00"));
    (void)Open();
    EXPECT_TRUE(FlagTest(Row(0).m_wFlags, SUB_COMPLETE));
    EXPECT_FALSE(FlagTest(Row(1).m_wFlags, SUB_COMPLETE));
    EXPECT_DOUBLE_EQ(t.m_fSubTotal, 250.0);
    EXPECT_TRUE(FlagTest(contract.m_wFlags, CONTRACT_BID_ERRORS));
}

TEST(OpenContract, ContractWithoutTables)
{
    CContract contract;
    CProgramPaths paths;
    const auto opened = FinishOpenContract(contract, "x.CON", paths);
    EXPECT_TRUE(opened.listErrors.empty());
    EXPECT_TRUE(opened.check.Passed());
    EXPECT_FALSE(FlagTest(contract.m_wFlags, CONTRACT_BID_ERRORS));
}

} // namespace
} // namespace kestrel
