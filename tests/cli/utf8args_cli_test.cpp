// Arguments that are not well-formed UTF-8 are refused before anything is
// read or written.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/clirun.h"
#include "support/kvlbuilder.h"
#include "support/testfiles.h"

namespace kestrel {
namespace {

using test::CliRun;
using test::ReadText;
using test::RunCli;
using test::ShellQuote;
using test::TempDir;

TEST(Utf8ArgsCli, KvlExtractRefusesMalformedPatterns)
{
    TempDir dir;
    TempDir out;
    test::WriteBytes(dir.file("lib.kvl"), test::BuildKvl({{"A.kvs", "a"}}));
    // "C1 81" is an overlong "A": taken as "A" it would match the entry.
    const CliRun run =
        RunCli(out, "kvl extract " + ShellQuote(dir.file("lib.kvl")) + " " + ShellQuote("\xC1\x81*"));
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "Error: PATTERNS: not valid UTF-8 (byte 1)\n");
    EXPECT_FALSE(std::filesystem::exists(dir.file("A.kvs")));

    // A pattern with a character of the code page still works.
    const CliRun ok =
        RunCli(out, "kvl extract " + ShellQuote(dir.file("lib.kvl")) + " " + ShellQuote("A*;\xC3\xA9"));
    EXPECT_EQ(ok.status, 0) << ok.err;
    EXPECT_EQ(ReadText(dir.file("A.kvs")), "a");
}

// Saves a one-line template under `name` (UTF-8 as typed) into ZodEva.cfg,
// which holds `cfgText` before.
CliRun SaveTemplateNamed(const TempDir& dir, const std::string& cfgText, const std::string& name)
{
    test::WriteText(dir.file("ZodEva.cfg"), cfgText);
    test::WriteText(dir.file("t.txt"), "x\n");
    return RunCli(dir, "template-save " + ShellQuote(dir.file("ZodEva.cfg")) + " " + ShellQuote(name) + " " +
                           ShellQuote(dir.file("t.txt")));
}

TEST(Utf8ArgsCli, TemplateSaveRefusesAMalformedNameAndLeavesTheFile)
{
    TempDir dir;
    const CliRun run = SaveTemplateNamed(dir, "[Report Front]\nold\n", "Report \xED\xA0\x80");
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "Error: NAME: not valid UTF-8 (byte 8)\n");
    EXPECT_EQ(ReadText(dir.file("ZodEva.cfg")), "[Report Front]\nold\n");
}

TEST(Utf8ArgsCli, TemplateSaveStoresTheNameInTheCodePage)
{
    TempDir dir;
    const CliRun run = SaveTemplateNamed(dir, "", "Caf\xC3\xA9 \xE2\x82\xAC");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(ReadText(dir.file("ZodEva.cfg")), "[Caf\xE9 \x80]\nx\n");
}

} // namespace
} // namespace kestrel
