// kestrel-cli amend, run as the real binary on copies of the demo contract
// and its amendment: the preview on stdout or in a report file, the exit
// statuses, and amended files that change nothing (foreign, damaged).

#include <gtest/gtest.h>

#include <filesystem>

#include "file/contractfile.h"
#include "model/contract/contract.h"
#include "model/subcontract/winmeta.h"
#include "support/clirun.h"
#include "support/testfiles.h"

namespace kestrel {
namespace {

using test::CliRun;
using test::RunCli;
using test::ShellQuote;

struct Demo {
    Demo()
    {
        for (const char* name : {"DEMO.CON", "DEMOAMND.CON", "VENDORS.BIN", "WORKTYPE.LST"})
            std::filesystem::copy_file(std::string(KESTREL_SAMPLES) + "/" + name, dir.file(name));
    }
    CliRun Amend(const std::string& amended, const std::string& out, const std::string& more = {}) const
    {
        return RunCli(dir, "amend " + ShellQuote(dir.file("DEMO.CON")) + " " + ShellQuote(dir.file(amended)) +
                               " " + ShellQuote(out) + more);
    }
    test::TempDir dir;
};

TEST(AmendCli, CarriesTheDemoOverAndListsTheDroppedSubItems)
{
    Demo d;
    const auto working = test::ReadBytes(d.dir.file("DEMO.CON"));
    const CliRun run = d.Amend("DEMOAMND.CON", d.dir.file("out.con"));
    EXPECT_EQ(run.status, 1) << run.err;
    EXPECT_NE(
        run.out.find("Subcontractor 00000003 - Allegheny Rebar Placement Co.\n  Sub-items dropped (1):\n"
                     "    Line 1460  Item 503-04000  Quantity 26,400.000  (line removed)"),
        std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("Line 1190  Item 401-03000: 21,500.000 held, contract now 19,800.000"),
              std::string::npos);
    std::unique_ptr<CContract> out;
    ASSERT_EQ(ReadContractFile(d.dir.file("out.con"), out), CF_OK);
    EXPECT_EQ(out->iAmendCount, 1);
    EXPECT_EQ(out->m_pSubTable->m_Records.GetSize(), 7);
    EXPECT_EQ(out->m_pSubTable->FindRecordByNumber("00000002")->FindSubItem("1460"), nullptr);
    EXPECT_NE(out->m_pSubTable->FindRecordByNumber("00000002")->FindSubItem("1620"), nullptr);
    EXPECT_EQ(test::ReadBytes(d.dir.file("DEMO.CON")), working);

    // The same preview into a report file, nothing on stdout.
    const CliRun reported =
        d.Amend("DEMOAMND.CON", d.dir.file("out2.con"), " --report " + ShellQuote(d.dir.file("r.txt")));
    EXPECT_EQ(reported.status, 1);
    EXPECT_EQ(reported.out, "");
    EXPECT_EQ(test::ReadText(d.dir.file("r.txt")), run.out);
}

TEST(AmendCli, FilesThatChangeNothing)
{
    Demo d;
    std::unique_ptr<CContract> foreign;
    ASSERT_EQ(ReadContractFile(d.dir.file("DEMOAMND.CON"), foreign), CF_OK);
    foreign->m_strHeader[HDR_CONTRACT_ID] = std::string("C24-0488-01");
    ASSERT_EQ(WriteContractFile(*foreign, d.dir.file("FOREIGN.CON")), CF_OK);
    test::WriteText(d.dir.file("DAMAGED.CON"), "SDT!\x03\x02\xff\xff truncated");
    struct Row {
        const char* amended;
        const char* out;
        int status;
        const char* message;
    };
    const std::string missing = d.dir.file("no/such/folder/out.con");
    const Row rows[] = {
        {"FOREIGN.CON", "out.con", 4, "Contract ID \"C24-0488-01\""},
        {"DAMAGED.CON", "out.con", 2, "DAMAGED.CON"},
        {"NOSUCH.CON", "out.con", 2, "NOSUCH.CON"},
        {"DEMOAMND.CON", missing.c_str(), 3, "out.con"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.amended);
        const std::string out = row.out[0] == '/' ? row.out : d.dir.file(row.out);
        const CliRun run = d.Amend(row.amended, out);
        EXPECT_EQ(run.status, row.status) << run.err;
        EXPECT_NE(run.err.find(row.message), std::string::npos) << run.err;
        EXPECT_FALSE(std::filesystem::exists(out));
    }
}

} // namespace
} // namespace kestrel
