#include "report/integerformat.h"

#include <gtest/gtest.h>

namespace kestrel {
namespace {

TEST(IntegerFormat, IntegerConversions)
{
    EXPECT_EQ(FormatInteger("%u", 42), "42");
    EXPECT_EQ(FormatInteger("%3u", 7), "  7");
    EXPECT_EQ(FormatInteger("%-4d|", 7), "7   |");
    EXPECT_EQ(FormatInteger("%8.8lX", 0xABCu), "00000ABC");
    EXPECT_EQ(FormatInteger("%d", 0xFFFFFFFFu), "-1");
    EXPECT_EQ(FormatInteger("Page %u of it", 3), "Page 3 of it");
    EXPECT_EQ(FormatInteger("100%% %x", 255), "100% ff");
}

TEST(IntegerFormat, OtherConversionsAreCopiedNotRead)
{
    EXPECT_EQ(FormatInteger("%s", 1), "%s");
    EXPECT_EQ(FormatInteger("%n%u", 5), "%n5");
    EXPECT_EQ(FormatInteger("%u %u", 5), "5 %u");
    EXPECT_EQ(FormatInteger("%*d", 5), "%*d");
    EXPECT_EQ(FormatInteger("tail %", 5), "tail %");
    EXPECT_EQ(FormatInteger("%5", 5), "%5");
}

TEST(IntegerFormat, HugeWidthsAreLimited)
{
    EXPECT_EQ(FormatInteger("%99999999999u", 1).size(), 512u);
    EXPECT_EQ(FormatInteger("%.99999u", 1).size(), 512u);
}

} // namespace
} // namespace kestrel
