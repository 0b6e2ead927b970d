#include "report/pageengine.h"

#include <gtest/gtest.h>

namespace kestrel {
namespace {

CPageEngine Started(uint16_t mode = CPageEngine::MODE_DEVICE)
{
    CPageEngine e;
    e.Start(mode, 0, 0);
    return e;
}

TEST(PageEngine, DefaultsTo80By60)
{
    CPageEngine e = Started();
    EXPECT_EQ(e.Columns(), 80);
    EXPECT_EQ(e.Lines(), 60);
}

TEST(PageEngine, TabStopsAtNineSeventeenTwentyFive)
{
    CPageEngine e = Started();
    e.PutText("\tA\n12345678\tB\n123456789\tC\tD\n");
    e.FinishPage();
    ASSERT_EQ(e.Pages().size(), 1u);
    const auto& l = e.Pages()[0].lines;
    EXPECT_EQ(l[0], std::string(9, ' ') + "A");
    EXPECT_EQ(l[1], "12345678" + std::string(9, ' ') + "B");
    EXPECT_EQ(l[2], "123456789" + std::string(8, ' ') + "C" + std::string(7, ' ') + "D");
}

TEST(PageEngine, CarriageReturnOverwritesAndEdgesDrop)
{
    CPageEngine e = Started();
    e.PutText("abc\rX" + std::string(80, 'y') + "zzz\n");
    e.FinishPage();
    const auto& l = e.Pages()[0].lines;
    EXPECT_EQ(l[0], "X" + std::string(79, 'y'));
}

TEST(PageEngine, TrailingBlanksAndEmptyLinesAreNotKept)
{
    CPageEngine e = Started();
    EXPECT_EQ(e.PutText("a  \t\n\n  b   \n\n\n"), 5);
    e.FinishPage();
    const auto& l = e.Pages()[0].lines;
    ASSERT_EQ(l.size(), 3u);
    EXPECT_EQ(l[1], "");
    EXPECT_EQ(l[2], "  b");
}

TEST(PageEngine, BlankPageDrawsNothingButCounts)
{
    CPageEngine e = Started();
    e.PutText("    \f");
    EXPECT_EQ(e.PageCount(), 1);
    ASSERT_EQ(e.Pages().size(), 1u);
    EXPECT_TRUE(e.Pages()[0].lines.empty());
}

TEST(PageEngine, LastLineFeedEndsThePageAndNextCharacterBeginsOne)
{
    CPageEngine e = Started();
    for (int k = 0; k < 60; ++k)
        e.PutText("line\n");
    EXPECT_FALSE(e.PageOpen());
    EXPECT_EQ(e.PageCount(), 1);
    // A CR alone does not begin a page.
    e.PutChar('\r');
    EXPECT_FALSE(e.PageOpen());
    e.PutText("next");
    EXPECT_TRUE(e.PageOpen());
    EXPECT_EQ(e.PageCount(), 2);
    EXPECT_EQ(e.PageNumber(), 2);
    e.End(true);
    ASSERT_EQ(e.Pages().size(), 2u);
    EXPECT_EQ(e.Pages()[0].lines.size(), 60u);
    EXPECT_EQ(e.Pages()[1].lines, std::vector<std::string>{"next"});
}

TEST(PageEngine, SinglePageModeKeepsOnlyTheTarget)
{
    CPageEngine e = Started(CPageEngine::MODE_DEVICE | CPageEngine::MODE_SINGLE);
    e.SetTargetPage(2);
    e.PutText("one\ftwo\fthree\f");
    ASSERT_EQ(e.Pages().size(), 1u);
    EXPECT_EQ(e.Pages()[0].number, 2);
    EXPECT_EQ(e.Pages()[0].lines[0], "two");

    e.Start(CPageEngine::MODE_DEVICE | CPageEngine::MODE_SINGLE, 80, 60);
    e.SetTargetPage(CPageEngine::kAllPages);
    e.PutText("one\ftwo\fthree\f");
    EXPECT_EQ(e.Pages().size(), 3u);
}

TEST(PageEngine, MeasuringCountsLineEndsAndTouchesNothing)
{
    CPageEngine e = Started();
    e.PutText("ab");
    e.SetMeasuring(true);
    EXPECT_EQ(e.PutText("x\ny\fz\n\t"), 3);
    e.SetMeasuring(false);
    EXPECT_EQ(e.Column(), 2);
    EXPECT_EQ(e.Line(), 0);
    EXPECT_EQ(e.PageCount(), 1);
    e.End(true);
    EXPECT_EQ(e.Pages()[0].lines[0], "ab");
}

TEST(PageEngine, FormattedTextIsCutAt255Characters)
{
    CPageEngine e;
    e.Start(CPageEngine::MODE_DEVICE, 300, 10);
    const std::string longText(400, 'x');
    e.PutFormatted("%s|", longText.c_str());
    e.End(true);
    EXPECT_EQ(e.Pages()[0].lines[0], std::string(255, 'x'));
}

TEST(PageEngine, NulBytesNeverReachThePage)
{
    CPageEngine e = Started();
    e.PutText(std::string("a\0b", 3));
    e.End(true);
    EXPECT_EQ(e.Pages()[0].lines[0], "ab");
}

} // namespace
} // namespace kestrel
