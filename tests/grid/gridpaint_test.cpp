// What drawing and scrolling cost: the grid asks its data source for the
// cells in sight and no others, however long the contract; and the pure
// rules of the column widths and the counted mark's typed text.

#include <QApplication>
#include <QScrollBar>

#include "app/subdoc.h"
#include "grid/columnwidths.h"
#include "grid/gridmodel.h"
#include "grid/gridview.h"
#include "grid/itemgridfixture.h"
#include "grid/itemtexts.h"
#include "model/contract/contract.h"
#include "model/subcontract/winmeta.h"
#include "support/testcontract.h"
#include "views/dv_itemschedulegrid.h"
#include "views/dv_subitemgrid.h"

#include <numeric>

namespace kestrel {
namespace {

// A schedule of `entries` entries, a section heading every 50.
std::unique_ptr<CContract> LongContract(int entries)
{
    auto c = test::ScheduleContract(1);
    c->m_Items.RemoveAll();
    for (int i = 0; i < entries; ++i) {
        char line[16];
        std::snprintf(line, sizeof line, "%05d", i);
        if (i % 50 == 0)
            test::AddHeading(*c, line);
        else
            test::AddItem(*c, line, 10 + i, 2.5)->m_strShortDesc = std::string("Item ") + line;
    }
    c->RecalculateContract();
    return c;
}

class GridPaintTest : public test::ItemGridTest {
protected:
    // The cells a grid asks for to draw what is in sight now.
    uint64_t CellsForOneScreen(CGridView& grid)
    {
        QApplication::processEvents();
        grid.Model()->ResetDataCalls();
        (void)grid.viewport()->grab();
        return grid.Model()->DataCalls();
    }
    // The cells in sight: the rows the viewport holds (a part row at each
    // end) across every column.
    static uint64_t CellsInSight(CGridView& grid)
    {
        const int rows = grid.viewport()->height() / CGridView::kRowHeight + 2;
        return uint64_t(rows) * uint64_t(grid.Model()->columnCount());
    }
};

TEST_F(GridPaintTest, OnlyTheCellsInSightAreAskedFor)
{
    for (int entries : {40, 5000}) {
        SCOPED_TRACE(entries);
        Open(LongContract(entries));
        CGridView& grid = *Schedule().Grid();
        const uint64_t bound = CellsInSight(grid);
        const uint64_t top = CellsForOneScreen(grid);
        EXPECT_GT(top, 0u);
        EXPECT_LE(top, bound);
        // Scrolling down, screen by screen, to the bottom.
        QScrollBar& bar = *grid.verticalScrollBar();
        for (int step = 0; step < 5 && bar.value() < bar.maximum(); ++step) {
            bar.setValue(std::min(bar.maximum(), bar.value() + bar.pageStep()));
            EXPECT_LE(CellsForOneScreen(grid), bound);
        }
        grid.scrollToBottom();
        EXPECT_LE(CellsForOneScreen(grid), bound);
        // Moving the cursor redraws the two items it concerns, no more.
        grid.Model()->ResetDataCalls();
        grid.setCurrentIndex(grid.Model()->index(grid.Model()->rowCount() - 1, 0));
        QApplication::processEvents();
        EXPECT_LE(grid.Model()->DataCalls(), bound);
    }
}

TEST_F(GridPaintTest, ChoosingAnotherSubcontractorCostsTheSameForAnyLengthOfContract)
{
    // The cells asked for from choosing the second subcontractor's items
    // until they are drawn: a long contract asks no more than a short one
    // whose rows also fill the grid.
    std::vector<uint64_t> calls;
    uint64_t screen = 0;
    for (int entries : {60, 5000}) {
        auto c = LongContract(entries);
        test::AddSub(*c, "Sub 2");
        Open(std::move(c));
        (void)SubItems(Sub(0));
        CDV_SubItemGrid& second = SubItems(Sub(1));
        (void)second.Grid()->viewport()->grab();
        calls.push_back(second.Grid()->Model()->DataCalls());
        screen = CellsInSight(*second.Grid());
        ASSERT_GT(second.Grid()->Model()->rowCount(), int(screen / 9));
    }
    EXPECT_GT(calls[0], 0u);
    EXPECT_LE(calls[1], calls[0]);
    EXPECT_LE(calls[1], 4 * screen);
}

TEST(ColumnWidths, SharesAddUpToTheWindow)
{
    const std::vector<int> chars{6, 12, 13, 5, 17, 15};
    for (int width : {400, 681, 1000, 1333}) {
        const std::vector<int> widths = ShareWidth(chars, width);
        EXPECT_EQ(std::accumulate(widths.begin(), widths.end(), 0), width);
        for (size_t i = 0; i < chars.size(); ++i)
            EXPECT_NEAR(widths[i], double(chars[i]) * width / 68, 1.0) << width << " " << i;
    }
    // The schedule shares a window wider than 50 characters, else each
    // column is its width in characters.
    EXPECT_EQ(ScheduleColumnWidths(chars, 351, 7), ShareWidth(chars, 351));
    EXPECT_EQ(ScheduleColumnWidths(chars, 350, 7), (std::vector<int>{42, 84, 91, 35, 119, 105}));
    EXPECT_EQ(ScheduleColumnWidths(chars, 0, 7), (std::vector<int>{42, 84, 91, 35, 119, 105}));
    // The subcontractor's columns stretch only beyond their own widths.
    const std::vector<int> sub{6, 6, 6, 12, 13, 5, 14, 15, 40};
    const std::vector<int> natural = StretchedColumnWidths(sub, 819, 7);
    EXPECT_EQ(natural[8], 280);
    EXPECT_EQ(std::accumulate(natural.begin(), natural.end(), 0), 819);
    const std::vector<int> wide = StretchedColumnWidths(sub, 1638, 7);
    EXPECT_EQ(std::accumulate(wide.begin(), wide.end(), 0), 1638);
    EXPECT_EQ(wide[8], 560);
    EXPECT_EQ(StretchedColumnWidths(sub, 300, 7), natural);
    EXPECT_EQ(ShareWidth({0, 0}, 100), (std::vector<int>{0, 0}));
}

TEST(ItemTexts, CountedMarkAndEntries)
{
    EXPECT_TRUE(IsCountedText("T"));
    EXPECT_TRUE(IsCountedText("true"));
    EXPECT_TRUE(IsCountedText("3"));
    EXPECT_TRUE(IsCountedText("-1"));
    EXPECT_FALSE(IsCountedText(""));
    EXPECT_FALSE(IsCountedText("0"));
    EXPECT_FALSE(IsCountedText("F"));
    EXPECT_FALSE(IsCountedText("yes"));
    EXPECT_FALSE(IsCountedText(".9"));
    const NumberFormat money{8, 2};
    EXPECT_EQ(MoneyText(1234.5, money), QStringLiteral("$1,234.50"));
    EXPECT_EQ(MoneyText(-12, money), QStringLiteral("($12.00)"));
    EXPECT_EQ(MoneyText(BlankValue(), money), QString());
    EXPECT_EQ(QuantityText(-20, NumberFormat{9, 3}), QStringLiteral("-20.000"));
    // The editor starts with the plain number, whatever its size.
    EXPECT_EQ(EntryText(123456789012.5, money), QStringLiteral("123456789012.50"));
    EXPECT_EQ(EntryText(BlankValue(), money), QString());
}

} // namespace
} // namespace kestrel
