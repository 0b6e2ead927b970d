#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "support/kvlbuilder.h"
#include "support/testfiles.h"

namespace kestrel {
namespace {

using test::BuildKvl;
using test::ReadText;
using test::TempDir;
using test::WriteBytes;

std::string Quote(const std::string& s)
{
    std::string q = "'";
    for (char c : s)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

struct CliRun {
    int status;
    std::string out;
    std::string err;
};

CliRun RunCli(const TempDir& dir, const std::string& args)
{
    const std::string command = Quote(KESTREL_CLI) + " " + args + " >" + Quote(dir.file("stdout.txt")) +
                                " 2>" + Quote(dir.file("stderr.txt"));
    const int raw = std::system(command.c_str());
    CliRun run{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, ReadText(dir.file("stdout.txt")),
            ReadText(dir.file("stderr.txt"))};
    std::filesystem::remove(dir.file("stdout.txt"));
    std::filesystem::remove(dir.file("stderr.txt"));
    return run;
}

TEST(KvlCli, ListPrintsNameAndSizeInDirectoryOrder)
{
    TempDir dir;
    TempDir out;
    WriteBytes(
        dir.file("lib.kvl"),
        BuildKvl({{"Z900.kvs", "zz"}, {"caf\xE9.txt", "1234567"}, {"A100.kvs", std::string(5000, 'a')}}));
    const CliRun run = RunCli(out, "kvl list " + Quote(dir.file("lib.kvl")));
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "Z900.kvs\t2\ncaf\xC3\xA9.txt\t7\nA100.kvs\t5000\n");
}

TEST(KvlCli, ListOfSomethingElseFailsWithTwo)
{
    TempDir dir;
    test::WriteText(dir.file("notes.kvl"), "This is not a library at all, but long enough.");
    const CliRun run = RunCli(dir, "kvl list " + Quote(dir.file("notes.kvl")));
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find("Can't open KVL library"), std::string::npos);
    EXPECT_EQ(RunCli(dir, "kvl list " + Quote(dir.file("missing.kvl"))).status, 2);
}

TEST(KvlCli, ListOfATruncatedDirectoryListsWhatItHolds)
{
    TempDir dir;
    WriteBytes(dir.file("lib.kvl"), BuildKvl({{"a.kvs", "1"}, {"b.kvs", "22"}}, 5));
    const CliRun run = RunCli(dir, "kvl list " + Quote(dir.file("lib.kvl")));
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "a.kvs\t1\nb.kvs\t2\n");
}

TEST(KvlCli, ExtractExitsWithTheResultCode)
{
    TempDir dir;
    TempDir out;
    WriteBytes(dir.file("lib.kvl"), BuildKvl({{"P1.KVS", "proposal one"}, {"notes.txt", "n"}}));

    CliRun run = RunCli(out, "kvl extract " + Quote(dir.file("lib.kvl")) + " '*.kvs'");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(ReadText(dir.file("P1.KVS")), "proposal one");
    EXPECT_FALSE(std::filesystem::exists(dir.file("notes.txt")));

    EXPECT_EQ(RunCli(out, "kvl extract " + Quote(dir.file("missing.kvl")) + " '*'").status, 1);
    EXPECT_EQ(RunCli(out, "kvl extract " + Quote(dir.file("lib.kvl")) + " '*.doc'").status, 3);

    WriteBytes(dir.file("bad.kvl"), BuildKvl({{"../up.kvs", "x"}}));
    EXPECT_EQ(RunCli(out, "kvl extract " + Quote(dir.file("bad.kvl")) + " '*'").status, 4);
    EXPECT_FALSE(std::filesystem::exists(dir.path() + "/../up.kvs"));

    WriteBytes(dir.file("short.kvl"), BuildKvl({{"a.kvs", "1"}}, 2));
    EXPECT_EQ(RunCli(out, "kvl extract " + Quote(dir.file("short.kvl")) + " '*'").status, 2);
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
