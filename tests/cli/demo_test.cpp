// kestrel-cli on the committed demo contract: what `make run` shows must
// work on it, and the report must fit its pages.

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "support/clirun.h"
#include "support/testfiles.h"

using namespace kestrel;

namespace {

const std::string kDemo = std::string(KESTREL_SAMPLES) + "/DEMO.CON";

// Runs kestrel-cli with the arguments (no quoting needed for them).
test::CliRun Cli(const std::string& args)
{
    test::TempDir scratch;
    return test::RunCli(scratch, args);
}

bool HasCommand(const std::string& name)
{
    return Cli("--help").out.find("\n  " + name + " ") != std::string::npos;
}

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        out.push_back(line);
    return out;
}

TEST(DemoCli, InfoNamesTheDemoContract)
{
    ASSERT_TRUE(HasCommand("info")) << "kestrel-cli --help does not list info";
    const test::CliRun r = Cli("info " + kDemo);
    ASSERT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("Contract ID: C24-0471-01\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("Letting ID: L260312\n"), std::string::npos);
    EXPECT_NE(r.out.find("Call Order: 017\n"), std::string::npos);
    EXPECT_NE(r.out.find("Version: 410\n"), std::string::npos);
    EXPECT_NE(r.out.find("Subcontractors: 7\n"), std::string::npos);
}

// The demo is built to be incomplete in three records and the
// miscellaneous data, with one vendor typed instead of chosen.
TEST(DemoCli, CheckReportsTheDemosFaults)
{
    ASSERT_TRUE(HasCommand("check")) << "kestrel-cli --help does not list check";
    const test::CliRun r = Cli("check " + kDemo);
    EXPECT_EQ(r.status, 1);
    const std::vector<std::string> expected = {
        "Subcontractor Error: Subcontractor Entry #2 is incomplete or contains item errors",
        "Subcontractor Error: Subcontractor Entry #5 is incomplete or contains item errors",
        "Subcontractor Error: Subcontractor Entry #6 is incomplete or contains item errors",
        "Subcontractor Warning: MASON not chosen from list (Subcontractor #5)",
        "Data Error: Required fields not entered in Misc Data screen",
        "4 errors, 1 warnings",
    };
    EXPECT_EQ(Lines(r.out), expected);
}

TEST(DemoCli, ReportFitsItsPagesAndShowsEverySubcontractor)
{
    ASSERT_TRUE(HasCommand("report")) << "kestrel-cli --help does not list report";
    const test::CliRun r = Cli("report " + kDemo + " --text -");
    ASSERT_EQ(r.status, 0) << r.out;
    int pages = 0, lines = 0;
    for (const std::string& line : Lines(r.out)) {
        if (line == "\f") {
            ++pages;
            EXPECT_LE(lines, 60) << "page " << pages;
            lines = 0;
            continue;
        }
        ++lines;
        EXPECT_LE(line.size(), 80u) << line;
    }
    EXPECT_GE(pages, 4);
    for (const char* text :
         {"SUBCONTRACTOR REPORT", "Tri-County Paving & Milling, Inc.", "Keystone Bridge & Structures LLC",
          "Allegheny Rebar Placement Co.", "Blue Ridge Guardrail Co.", "Mason Aggregate Supply Corp.",
          "Hollins Trucking LLC", "Piedmont Signal & Lighting, Inc.", "Page 1",
          "Error: Subcontractor Entry #2 is incomplete or contains item errors",
          "Data Error: Required fields not entered in Misc Data screen", "CERTIFICATION"})
        EXPECT_NE(r.out.find(text), std::string::npos) << text;
}

TEST(DemoCli, ReportWritesAPdf)
{
    ASSERT_TRUE(HasCommand("report")) << "kestrel-cli --help does not list report";
    test::TempDir dir;
    const std::string pdf = dir.file("demo.pdf");
    const test::CliRun r = Cli("report " + kDemo + " --text " + dir.file("demo.txt") + " --pdf " + pdf);
    ASSERT_EQ(r.status, 0) << r.out;
    const std::vector<unsigned char> bytes = test::ReadBytes(pdf);
    ASSERT_GT(bytes.size(), 1000u);
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 5), "%PDF-");
}

} // namespace
