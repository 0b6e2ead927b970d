#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/clirun.h"

namespace {

using kestrel::test::CliRun;
using kestrel::test::RunCli;

} // namespace

TEST(EvalCommand, OneLinePerExpressionInOneTable)
{
    const CliRun r =
        RunCli({"eval", "2+3*4", "@a = 5, @a * 2", "@a", "set twice = @@*2", "twice(@a)", "1/3"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "14\n5\n5\n0\n10\n0.3333333333\n");
}

TEST(EvalCommand, ErrorLines)
{
    const CliRun r = RunCli({"eval", "1/0", "-(1)", "", "1 ? 2", "sqrt(-1)", "set sin = 1", "x"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "error 9: Divide by zero error at 1\n"
                     "error 3: Unrecognized character at 0\n"
                     "error 4: Empty String at 0\n"
                     "error 10: Colon Expected ':' at 5\n"
                     "error 6: Function param out of range at 0\n"
                     "error 12: Cannot change identifier type at 4\n"
                     "error 3: Unrecognized character at 0\n");
}

TEST(EvalCommand, TenSignificantDigits)
{
    const CliRun r = RunCli({"eval", "pi", "e", "1e15+1", "-0.5"});
    EXPECT_EQ(r.out, "3.141592654\n2.718281828\n1e+15\n-0.5\n");
}

TEST(FormatNumberCommand, StylesAndBlank)
{
    EXPECT_EQ(RunCli({"format-number", "1234567.5", "9", "2", "--commas"}).out, "1,234,567.50\n");
    EXPECT_EQ(RunCli({"format-number", "1234567.5", "9", "2", "--money", "--commas"}).out, "$1,234,567.50\n");
    EXPECT_EQ(RunCli({"format-number", "-12.5", "9", "2", "--money"}).out, "($12.50)\n");
    EXPECT_EQ(RunCli({"format-number", "1e9", "9", "2"}).out, "*********.**\n");
    EXPECT_EQ(RunCli({"format-number", "5", "-2", "4"}).out, "***\n");
    const CliRun blank = RunCli({"format-number", "blank", "9", "2", "--money"});
    EXPECT_EQ(blank.status, 0);
    EXPECT_EQ(blank.out, "\n");
}

TEST(FormatNumberCommand, BadArgumentsAreRefused)
{
    EXPECT_EQ(RunCli({"format-number", "12x", "9", "2"}).status, 2);
    EXPECT_EQ(RunCli({"format-number", "12", "9"}).status, 2);
    EXPECT_EQ(RunCli({"format-number", "12", "9", "2", "--dollars"}).status, 2);
    EXPECT_EQ(RunCli({"format-number", "12", "9", "2", "--dollars"}).out, "");
}

TEST(FormatDateCommand, StylesAndNoDate)
{
    const CliRun r = RunCli({"format-date", "1299283200", "7"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "Saturday, March 05, 2011\n");
    EXPECT_EQ(RunCli({"format-date", "1299283200", "0"}).out, "03-05-11\n");
    EXPECT_EQ(RunCli({"format-date", "0", "5"}).out, "        \n");
    EXPECT_EQ(RunCli({"format-date", "4294967296", "1"}).status, 2);
    EXPECT_EQ(RunCli({"format-date", "-1", "1"}).status, 2);
}
