#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/clirun.h"
#include "support/testfiles.h"

namespace kestrel {
namespace {

using test::CliRun;
using test::ReadText;
using test::RunCli;
using test::ShellQuote;
using test::TempDir;
using test::WriteText;

TEST(TemplateSaveCli, ReplacesAndAddsSections)
{
    TempDir dir;
    const std::string cfg = dir.file("ZodEva.cfg");
    WriteText(cfg, "[Report Front]\nold\n; kept\n[Report Back]\nback\n");
    // An edit control's CR LF line ends are stored as LF.
    WriteText(dir.file("front.txt"), "new front\r\nsecond\r\n");
    CliRun run = RunCli(dir, "template-save " + ShellQuote(cfg) + " 'report front' " +
                                 ShellQuote(dir.file("front.txt")));
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "Section report front Replaced in file " + cfg + "\n");
    EXPECT_EQ(ReadText(cfg), "[report front]\nnew front\nsecond\n; kept\n[Report Back]\nback\n");

    WriteText(dir.file("sub.txt"), "sub start");
    run = RunCli(dir, "template-save " + ShellQuote(cfg) + " 'Report Sub Start' " +
                          ShellQuote(dir.file("sub.txt")));
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "Section Report Sub Start Added to file " + cfg + "\n");
    EXPECT_EQ(ReadText(cfg), "[report front]\nnew front\nsecond\n; kept\n[Report Back]\nback\n"
                             "[Report Sub Start]\nsub start\n");
}

TEST(TemplateSaveCli, OpenFailuresPrintTheMessageAndExitTwo)
{
    TempDir dir;
    const std::string cfg = dir.file("missing.cfg");
    WriteText(dir.file("t.txt"), "x\n");
    CliRun run = RunCli(dir, "template-save " + ShellQuote(cfg) + " A " + ShellQuote(dir.file("t.txt")));
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.out, "Cannot open file " + cfg + "\n");
    EXPECT_FALSE(std::filesystem::exists(cfg));

    WriteText(dir.file("ZodEva.cfg"), "[A]\nold\n");
    run = RunCli(dir, "template-save " + ShellQuote(dir.file("ZodEva.cfg")) + " A " +
                          ShellQuote(dir.file("no-such-text.txt")));
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err,
              "Error: " + dir.file("no-such-text.txt") + ": Cannot open file: No such file or directory\n");
    EXPECT_EQ(ReadText(dir.file("ZodEva.cfg")), "[A]\nold\n");
}

} // namespace
} // namespace kestrel
