#include <gtest/gtest.h>

#include "support/clirun.h"
#include "support/implodeencoder.h"
#include "support/testfiles.h"

namespace kestrel {
namespace {

using test::RunCli;

TEST(CliLists, TextListInFileOrder)
{
    test::TempDir dir;
    test::WriteText(dir.file("v.txt"),
                    "; vendors\nVEND    00123 Acme Paving\r\nTYPE    Grading\n\nVEND    \xC9toile\n");
    const auto r = RunCli(dir, "lists " + test::ShellQuote(dir.file("v.txt")));
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "VEND\t00123 Acme Paving\nTYPE\tGrading\nVEND\t\xC3\x89toile\n");
}

TEST(CliLists, CompressedList)
{
    test::TempDir dir;
    const std::string data =
        std::string("\x02\x00", 2) + ";VEND   first\nVEND    second\nVEND    not counted\n";
    test::ImplodeOptions o;
    o.codedLiterals = true;
    test::WriteBytes(dir.file("V.BIN"), test::ImplodeText(data, o));
    const auto r = RunCli(dir, "lists " + test::ShellQuote(dir.file("V.BIN")));
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, ";VEND\tfirst\nVEND\tsecond\n");
}

TEST(CliLists, UnreadableFiles)
{
    test::TempDir dir;
    auto r = RunCli(dir, "lists " + test::ShellQuote(dir.file("missing.txt")));
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "Error: Cannot open the file '" + dir.file("missing.txt") + "'\n");
    EXPECT_TRUE(r.out.empty());
    test::WriteText(dir.file("bad.bin"), "not compressed");
    r = RunCli(dir, "lists " + test::ShellQuote(dir.file("bad.bin")));
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("bad.bin"), std::string::npos);
}

} // namespace
} // namespace kestrel
