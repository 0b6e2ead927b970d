// kestrel-cli check and save, run as the real binary on contracts written
// by the contract file writer, with pick-list files beside them.

#include <gtest/gtest.h>

#include <filesystem>

#include "file/contractfile.h"
#include "model/contract/contract.h"
#include "model/subcontract/winmeta.h"
#include "support/clirun.h"
#include "support/implodeencoder.h"
#include "support/testcontract.h"
#include "support/testfiles.h"

namespace kestrel {
namespace {

using test::TempDir;

using test::CliRun;
using test::RunCli;
using test::ShellQuote;

// Field 1 a vendor list from a text file, field 10 a typed choice from a
// compressed list that the check tests, field 2 required.
std::unique_ptr<CContract> MakeContract()
{
    auto c = std::make_unique<CContract>();
    c->m_ExtFormat = {10, 2};
    c->m_pSubTable = test::MakeTextTable(18);
    CWinMeta& t = *c->m_pSubTable;
    t.m_wFlags = 4;
    t.m_Fields[1]->m_iType = FIELD_DROPLIST;
    t.m_Fields[1]->m_strListSource = "VENDORS.TXT:VEND";
    t.m_Fields[1]->m_iListStart = 1;
    t.m_Fields[1]->m_iListEnd = 5;
    t.m_Fields[2]->m_iRequired = kAlwaysRequired;
    t.m_Fields[10]->m_iType = FIELD_DROPTYPE;
    t.m_Fields[10]->m_wFlags = 4;
    t.m_Fields[10]->m_strListSource = "TYPES.BIN:TYPE";
    t.m_Fields[10]->m_iListStart = 1;
    CSubcontract* a = test::AddNumberedSub(t, 1);
    a->SetCellText(1, std::string("00123"));
    a->SetCellText(2, std::string("Acme Paving"));
    a->SetCellText(10, std::string("Grading"));
    a->SetCellText(SUBF_REMARK, std::string("Uses our crane"));
    CSubcontract* b = test::AddNumberedSub(t, 2);
    b->SetCellText(10, std::string("Hand typed \xE9"));
    return c;
}

void WriteLists(const TempDir& dir)
{
    test::WriteText(dir.file("VENDORS.TXT"), "VEND    00200 Baker\nVEND    00123 Acme Paving\n");
    const std::string types = std::string("\x02\x00", 2) + "TYPE    Paving\nTYPE    Grading\n";
    test::ImplodeOptions o;
    o.codedLiterals = true;
    test::WriteBytes(dir.file("TYPES.BIN"), test::ImplodeText(types, o));
}

TEST(CliCheck, MessagesAndCounts)
{
    TempDir dir;
    WriteLists(dir);
    auto c = MakeContract();
    ASSERT_EQ(WriteContractFile(*c, dir.file("JOB.CON")), CF_OK);
    const CliRun r = RunCli(dir, "check " + ShellQuote(dir.file("JOB.CON")));
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_EQ(r.out, "Subcontractor Error: Subcontractor Entry #2 is incomplete or contains item errors\n"
                     "Subcontractor Warning: Hand typed \xC3\xA9 not chosen from list (Subcontractor #2)\n"
                     "1 errors, 1 warnings\n");
    EXPECT_EQ(r.err, "");
}

TEST(CliCheck, CompleteContractAndMissingLists)
{
    TempDir dir;
    auto c = MakeContract();
    c->m_pSubTable->m_Records.RemoveAt(1);
    ASSERT_EQ(WriteContractFile(*c, dir.file("JOB.CON")), CF_OK);
    // Without the list files the typed cell stays unchosen: a warning, and
    // the files' messages on stderr.
    CliRun r = RunCli(dir, "check " + ShellQuote(dir.file("JOB.CON")));
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(
        r.out,
        "Subcontractor Warning: Grading not chosen from list (Subcontractor #1)\n0 errors, 1 warnings\n");
    EXPECT_NE(r.err.find("Cannot open the file 'VENDORS.TXT'"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("Cannot open the file 'TYPES.BIN'"), std::string::npos) << r.err;
    WriteLists(dir);
    r = RunCli(dir, "check " + ShellQuote(dir.file("JOB.CON")));
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "0 errors, 0 warnings\n");
}

TEST(CliCheck, UnreadableFile)
{
    TempDir dir;
    test::WriteText(dir.file("x.con"), "not a contract");
    const CliRun r = RunCli(dir, "check " + ShellQuote(dir.file("x.con")));
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err.rfind("Error: ", 0), 0u);
    EXPECT_EQ(r.out, "");
}

TEST(CliSave, StampsLinksAndMarksSaved)
{
    TempDir dir;
    WriteLists(dir);
    auto c = MakeContract();
    c->SetModified(true);
    ASSERT_EQ(WriteContractFile(*c, dir.file("JOB.CON")), CF_OK);
    const auto before = test::ReadBytes(dir.file("JOB.CON"));
    const CliRun r =
        RunCli(dir, "save " + ShellQuote(dir.file("JOB.CON")) + " " + ShellQuote(dir.file("OUT.CON")));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(test::ReadBytes(dir.file("JOB.CON")), before);

    std::unique_ptr<CContract> back;
    ASSERT_EQ(ReadContractFile(dir.file("OUT.CON"), back), CF_OK);
    EXPECT_TRUE(FlagTest(back->m_wFlags, CONTRACT_SAVED_BY_US));
    EXPECT_FALSE(FlagTest(back->m_wFlags, CONTRACT_MODIFIED));
    EXPECT_TRUE(FlagTest(back->m_wFlags, CONTRACT_BID_ERRORS)); // row 2 lacks its name
    const CSubcontract* a = back->m_pSubTable->m_Records[0];
    EXPECT_EQ(TextView(*a->GetCellText(SUBF_REMARK_ID)).size(), 28u);
    EXPECT_EQ(*a->GetCellText(SUBF_REMARK_KIND), "GEN ");
    EXPECT_EQ(*a->GetCellText(SUBF_REMARK_SEQ), "001");
    // Linked to the sorted lists: 00123 is entry 0, Grading entry 0.
    EXPECT_EQ(a->GetCell(1)->m_i, 0);
    EXPECT_EQ(a->GetCell(10)->m_i, 0);
    EXPECT_EQ(back->m_pSubTable->m_Records[1]->GetCell(10)->m_i, -1);
}

TEST(CliSave, FailuresKeepTheTarget)
{
    TempDir dir;
    auto c = MakeContract();
    ASSERT_EQ(WriteContractFile(*c, dir.file("JOB.CON")), CF_OK);
    CliRun r =
        RunCli(dir, "save " + ShellQuote(dir.file("JOB.CON")) + " " + ShellQuote(dir.file("none/OUT.CON")));
    EXPECT_EQ(r.status, 3);
    // After the messages of the missing list files.
    EXPECT_NE(r.err.find("\nError: " + dir.file("none/OUT.CON") + ": Cannot create a temporary file"),
              std::string::npos)
        << r.err;
    r = RunCli(dir, "save " + ShellQuote(dir.file("MISSING.CON")) + " " + ShellQuote(dir.file("OUT.CON")));
    EXPECT_EQ(r.status, 2);
    EXPECT_FALSE(std::filesystem::exists(dir.file("OUT.CON")));
}

} // namespace
} // namespace kestrel
