#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/clirun.h"
#include "support/kvlbuilder.h"
#include "support/testfiles.h"

namespace kestrel {
namespace {

using test::BuildKvl;
using test::CliRun;
using test::ReadText;
using test::RunCli;
using test::TempDir;
using test::WriteBytes;

TEST(KvlCli, ListPrintsNameAndSizeInDirectoryOrder)
{
    TempDir dir;
    TempDir out;
    WriteBytes(
        dir.file("lib.kvl"),
        BuildKvl({{"Z900.kvs", "zz"}, {"caf\xE9.txt", "1234567"}, {"A100.kvs", std::string(5000, 'a')}}));
    const CliRun run = RunCli(out, "kvl list " + test::ShellQuote(dir.file("lib.kvl")));
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "Z900.kvs\t2\ncaf\xC3\xA9.txt\t7\nA100.kvs\t5000\n");
}

TEST(KvlCli, ListOfSomethingElseFailsWithTwo)
{
    TempDir dir;
    test::WriteText(dir.file("notes.kvl"), "This is not a library at all, but long enough.");
    const CliRun run = RunCli(dir, "kvl list " + test::ShellQuote(dir.file("notes.kvl")));
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "Error: " + dir.file("notes.kvl") + ": Can't open KVL library\n");
    EXPECT_EQ(RunCli(dir, "kvl list " + test::ShellQuote(dir.file("missing.kvl"))).status, 2);
}

TEST(KvlCli, ListOfADamagedDirectoryListsWhatItHoldsAndFails)
{
    TempDir dir;
    WriteBytes(dir.file("lib.kvl"), BuildKvl({{"a.kvs", "1"}, {"b.kvs", "22"}}, 5));
    const CliRun run = RunCli(dir, "kvl list " + test::ShellQuote(dir.file("lib.kvl")));
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.out, "a.kvs\t1\nb.kvs\t2\n");
    EXPECT_EQ(run.err, "Error: " + dir.file("lib.kvl") + ": Error Reading Library\n");
}

TEST(KvlCli, ExtractExitsWithTheResultCode)
{
    TempDir dir;
    TempDir out;
    WriteBytes(dir.file("lib.kvl"), BuildKvl({{"P1.KVS", "proposal one"}, {"notes.txt", "n"}}));

    CliRun run = RunCli(out, "kvl extract " + test::ShellQuote(dir.file("lib.kvl")) + " '*.kvs'");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(ReadText(dir.file("P1.KVS")), "proposal one");
    EXPECT_FALSE(std::filesystem::exists(dir.file("notes.txt")));

    // A failure exits with its result code and says why, naming the library.
    WriteBytes(dir.file("bad.kvl"), BuildKvl({{"../up.kvs", "x"}}));
    WriteBytes(dir.file("short.kvl"), BuildKvl({{"a.kvs", "1"}}, 2));
    struct Failure {
        const char* library;
        const char* patterns;
        int status;
        const char* text;
    };
    for (const Failure& f : {Failure{"missing.kvl", "*", 1, "Can't open KVL library"},
                             Failure{"lib.kvl", "*.doc", 3, "No Matching Files Found"},
                             Failure{"bad.kvl", "*", 4, "Can't Extract File"},
                             Failure{"short.kvl", "*", 2, "Error Reading Library"}}) {
        run = RunCli(out, "kvl extract " + test::ShellQuote(dir.file(f.library)) + " '" + f.patterns + "'");
        EXPECT_EQ(run.status, f.status) << f.library;
        EXPECT_EQ(run.err, "Error: " + dir.file(f.library) + ": " + f.text + "\n");
        EXPECT_EQ(run.out, "");
    }
    EXPECT_FALSE(std::filesystem::exists(dir.path() + "/../up.kvs"));
}

TEST(KvlCli, WrongArgumentsPrintUsage)
{
    TempDir dir;
    const CliRun run = RunCli(dir, "kvl frobnicate");
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("usage"), std::string::npos);
}

} // namespace
} // namespace kestrel
