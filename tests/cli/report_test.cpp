// kestrel-cli report, run as the real binary.

#include <gtest/gtest.h>

#include "file/contractfile.h"
#include "model/contract/contract.h"
#include "model/subcontract/winmeta.h"
#include "support/clirun.h"
#include "support/testcontract.h"
#include "support/testfiles.h"

namespace kestrel {
namespace {

using test::RunCli;
using test::TempDir;

std::string Quote(const std::string& path)
{
    return test::ShellQuote(path);
}

// A contract with two subcontractors and a small report; written to path.
void WriteReportContract(const std::string& path, const std::string& front = "FRONT {CONTRACT_ID}\n")
{
    CContract c;
    c.m_strHeader[HDR_CONTRACT_ID] = std::string("C-\xE9"); // é in Windows-1252
    c.m_pSubTable = std::make_unique<CWinMeta>();
    for (const char* name : {"VendorNo", "Type", "VendorName"})
        test::AddTextField(*c.m_pSubTable, name);
    for (const char* name : {"Alpha", "Beta"})
        test::AddSub(c, name, nullptr, false);
    c.AddDataTemplate("Report Front", front);
    c.AddDataTemplate("Report Header", "H {PAGE_NUMBER}\n");
    c.AddDataTemplate("Report Sub Start", "SUB {VendorName}\n");
    c.AddDataTemplate("Report Footer", "{DROP}F {PAGE_NUMBER}\f\r\\");
    ASSERT_EQ(WriteContractFile(c, path), 0);
}

TEST(CliReport, TextToStandardOutput)
{
    TempDir dir;
    const std::string con = dir.file("r.CON");
    WriteReportContract(con);
    const test::CliRun r = RunCli(dir, "report " + Quote(con) + " --text -");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out,
              "FRONT C-\xC3\xA9\n\f\nH   1\nSUB Alpha\nSUB Beta\n" + std::string(56, '\n') + "F   1\n\f\n");
}

TEST(CliReport, TextAndPdfFiles)
{
    TempDir dir;
    const std::string con = dir.file("r.CON");
    WriteReportContract(con);
    const std::string txt = dir.file("out.txt");
    const std::string pdf = dir.file("out.pdf");
    const test::CliRun r =
        RunCli(dir, "report " + Quote(con) + " --text " + Quote(txt) + " --pdf " + Quote(pdf));
    if (r.status == 2) {
        // A build without Qt says so and writes nothing.
        EXPECT_NE(r.err.find("Error: "), std::string::npos);
        return;
    }
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(test::ReadText(txt).substr(0, 14), "FRONT C-\xC3\xA9\n\f\nH");
    EXPECT_EQ(test::ReadText(pdf).substr(0, 5), "%PDF-");
}

TEST(CliReport, TemplateFaultOnStandardOutput)
{
    TempDir dir;
    const std::string con = dir.file("r.CON");
    WriteReportContract(con, "{CONTRACT_ID,SIZE = 3}\n");
    const test::CliRun r = RunCli(dir, "report " + Quote(con) + " --text -");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "Field Option SIZE requires value for field CONTRACT_ID in template [Report Front]\n");
}

TEST(CliReport, ExpressionWorkOfTheWholeReportIsLimited)
{
    // Every field calls a function that doubles its calls at each level;
    // each evaluation is stopped on its own, but 2,500 of them would run for
    // minutes. The report ends with a fault instead.
    std::string front = "{#\"set f = @@ > 0 ? f(@@-1) + f(@@-1) : 1\"}\n";
    for (int k = 0; k < 2500; ++k)
        front += "{#\"f(40)\"}\n";
    TempDir dir;
    const std::string con = dir.file("r.CON");
    WriteReportContract(con, front);
    const test::CliRun r = RunCli(dir, "report " + Quote(con) + " --text -");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "Expressions take too long to evaluate in template: Report Front\n");
}

TEST(CliReport, UnreadableFile)
{
    TempDir dir;
    test::WriteText(dir.file("bad.CON"), "not a contract");
    const test::CliRun r = RunCli(dir, "report " + Quote(dir.file("bad.CON")) + " --text -");
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err.substr(0, 7), "Error: ");
    EXPECT_TRUE(r.out.empty());
}

} // namespace
} // namespace kestrel
