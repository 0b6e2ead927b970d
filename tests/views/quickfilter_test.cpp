// The quick filters of the item grids on the demo contract: each filter
// lists exactly the items MatchingItems keeps for the grid's tier (the
// contract's schedule, a first-tier and a lower-tier subcontractor), the
// count beside the buttons says so, and an edit takes an item out of the
// list when it no longer matches.

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QToolButton>

#include <optional>
#include <vector>

#include "app/guitestsupport.h"
#include "app/mainframe.h"
#include "app/subdoc.h"
#include "app/subtreeview.h"
#include "app/subview.h"
#include "edit/itemfilters.h"
#include "grid/gridmodel.h"
#include "grid/gridview.h"
#include "grid/itemgridfixture.h"
#include "model/contract/contract.h"
#include "model/subcontract/subcontract.h"
#include "model/subcontract/winmeta.h"
#include "views/dv_itemschedulegrid.h"
#include "views/dv_subitemgrid.h"
#include "views/quickfilterbar.h"
#include "views/subitemsplitter.h"

namespace kestrel {
namespace {

using test::ItemGridTest;

constexpr ItemFilter kFilters[] = {ItemFilter::Unassigned, ItemFilter::PartlySubcontracted,
                                   ItemFilter::OverCommitted};

class QuickFilterTest : public ItemGridTest {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(program.ShowDemo());
    }
    // Clicks a filter's button.
    static void Choose(CQuickFilterBar& bar, std::optional<ItemFilter> filter)
    {
        bar.Button(filter)->click();
        QApplication::processEvents();
    }
};

// The entries a schedule grid lists, once each, in row order.
std::vector<int> ScheduleItems(CDV_ItemScheduleGrid& grid)
{
    std::vector<int> items;
    for (int row = 0; row < grid.Source().RowCount(); row += 2)
        items.push_back(grid.Source().ItemOfRow(row));
    return items;
}

std::vector<int> SubGridItems(CDV_SubItemGrid& grid)
{
    std::vector<int> items;
    for (int row = 0; row < grid.Source().RowCount(); ++row)
        items.push_back(grid.Source().ItemOfRow(row));
    return items;
}

TEST_F(QuickFilterTest, TheScheduleListsWhatEachFilterKeeps)
{
    CDV_ItemScheduleGrid& grid = Schedule();
    CQuickFilterBar* bar = grid.FilterBar();
    ASSERT_NE(bar, nullptr);
    const int all = grid.Source().RowCount();
    int items = 0;
    for (const auto& item : Contract().m_Items)
        items += item->IsHeading() ? 0 : 1;
    EXPECT_EQ(bar->CountLabel()->text(), QStringLiteral("%1 items").arg(items));
    bool someShown = false;
    for (ItemFilter filter : kFilters) {
        Choose(*bar, filter);
        const std::vector<int> expected = MatchingItems(Contract(), filter, nullptr);
        EXPECT_EQ(ScheduleItems(grid), expected) << int(filter);
        EXPECT_EQ(grid.Grid()->Model()->rowCount(), 2 * static_cast<int>(expected.size()));
        EXPECT_EQ(bar->CountLabel()->text(),
                  QStringLiteral("%1 of %2 items").arg(expected.size()).arg(items));
        someShown = someShown || !expected.empty();
        // A cell is still its item's.
        if (!expected.empty()) {
            EXPECT_EQ(grid.Grid()->Model()->index(0, CContItemDataSource::ColLine).data().toString(),
                      test::Q(std::string(TextView(Contract().m_Items[expected[0]]->m_strLineNumber))));
        }
    }
    EXPECT_TRUE(someShown);
    Choose(*bar, std::nullopt);
    EXPECT_EQ(grid.Source().RowCount(), all);
}

TEST_F(QuickFilterTest, ASubcontractorsGridJudgesItsOwnTier)
{
    CWinMeta& table = *Contract().m_pSubTable;
    for (int row : {1, 2}) { // first tier, then its lower tier
        CSubcontract* record = table.m_Records[row];
        CDV_SubItemGrid& grid = SubItems(record);
        CQuickFilterBar* bar = grid.FilterBar();
        ASSERT_NE(bar, nullptr);
        for (ItemFilter filter : kFilters) {
            Choose(*bar, filter);
            EXPECT_EQ(SubGridItems(grid), MatchingItems(Contract(), filter, record->m_pParent))
                << row << " " << int(filter);
        }
        Choose(*bar, std::nullopt);
    }
}

TEST_F(QuickFilterTest, AnEditTakesAnItemOutOfTheUnassignedOnes)
{
    CSubcontract* record = Contract().m_pSubTable->m_Records[0];
    CDV_SubItemGrid& grid = SubItems(record);
    Choose(*grid.FilterBar(), ItemFilter::Unassigned);
    const std::vector<int> before = SubGridItems(grid);
    ASSERT_GE(before.size(), 2u);
    // "Use?" on the first unassigned item: it is assigned now.
    const QModelIndex use = grid.Grid()->Model()->index(0, CSubItemDataSource::ColUse);
    ASSERT_TRUE(grid.Grid()->Model()->setData(use, Qt::Checked, Qt::CheckStateRole));
    QApplication::processEvents();
    const std::vector<int> after = SubGridItems(grid);
    EXPECT_EQ(after, MatchingItems(Contract(), ItemFilter::Unassigned, nullptr));
    EXPECT_EQ(after, std::vector<int>(before.begin() + 1, before.end()));
    // The cursor is on a listed row, and the entry below shows its line.
    EXPECT_EQ(grid.Grid()->CurrentRow(), 0);
    EXPECT_EQ(grid.CurrentLine(), std::string(TextView(Contract().m_Items[after[0]]->m_strLineNumber)));
    // Undone, it is unassigned again.
    program.Doc().UndoStack().undo();
    QApplication::processEvents();
    EXPECT_EQ(SubGridItems(grid), before);
}

} // namespace
} // namespace kestrel
