// The quick filters of the item grids: unassigned, partly subcontracted and
// over-committed items of a tier.

#include "edit/itemfilters.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "edit/edittestutil.h"
#include "model/contract/contract.h"
#include "model/subcontract/winmeta.h"
#include "support/testcontract.h"

namespace kestrel {
namespace {

using test::AddSub;
using test::AddSubItem;

// Heading 0001, then 0010 (100 EA) and 0020 (10 TON).
class QuickFilters : public ::testing::Test {
protected:
    const CItem& Line10() const { return *c->m_Items[1]; }
    const CItem& Line20() const { return *c->m_Items[2]; }
    bool Unassigned(const CItem& item, const CSubcontract* tier = nullptr) const
    {
        return IsUnassigned(*c, item, tier);
    }
    bool Partly(const CItem& item, const CSubcontract* tier = nullptr) const
    {
        return IsPartlySubcontracted(*c, item, tier);
    }
    bool Over(const CItem& item, const CSubcontract* tier = nullptr) const
    {
        return IsOverCommitted(*c, item, tier);
    }

    std::unique_ptr<CContract> c = test::SmallContract(0);
};

TEST_F(QuickFilters, ALineIsUnassignedUntilAnItemizedFirstTierRecordHoldsIt)
{
    EXPECT_TRUE(Unassigned(Line10()));
    CSubcontract* lump = AddSub(*c, "lump sum", nullptr, false);
    AddSubItem(*lump, "0010", 100, 2);
    EXPECT_TRUE(Unassigned(Line10())); // a lump-sum record's sub-items do not count
    CSubcontract* a = AddSub(*c, "A");
    CSubcontract* lower = AddSub(*c, "below A", a);
    AddSubItem(*lower, "0010", 5, 2);
    EXPECT_TRUE(Unassigned(Line10())); // nor do a lower tier's
    FlagSet(AddSubItem(*a, "0010", 5, 2)->m_wFlags, SUBITEM_PARTIAL, 1);
    EXPECT_FALSE(Unassigned(Line10())); // a partial item is held all the same
    EXPECT_TRUE(Unassigned(Line20()));
    EXPECT_FALSE(Unassigned(*c->m_Items[0])); // a heading is no grid row to filter
}

TEST_F(QuickFilters, PartlySubcontractedNeedsAHolderAndMoreThanAHundredthLeft)
{
    EXPECT_FALSE(Partly(Line10())); // all of it left, but nobody holds it
    CSubcontract* a = AddSub(*c, "A");
    CSubItem* si = AddSubItem(*a, "0010", 60, 2);
    EXPECT_TRUE(Partly(Line10()));
    si->m_fQuan = 99.995;
    EXPECT_FALSE(Partly(Line10())); // less than a hundredth left is nothing left
    si->m_fQuan = 99.98;
    EXPECT_TRUE(Partly(Line10()));
    si->m_fQuan = 100;
    EXPECT_FALSE(Partly(Line10()));
    FlagSet(si->m_wFlags, SUBITEM_PARTIAL, 1); // takes no quantity
    EXPECT_TRUE(Partly(Line10()));
}

TEST_F(QuickFilters, OverCommittedByTheRemainingQuantityBeyondAHundredth)
{
    CSubcontract* a = AddSub(*c, "A");
    CSubcontract* b = AddSub(*c, "B");
    AddSubItem(*a, "0010", 60, 2);
    CSubItem* bs = AddSubItem(*b, "0010", 40.005, 2);
    EXPECT_FALSE(Over(Line10())); // less than a hundredth over is within the tolerance
    bs->m_fQuan = 40.02;
    EXPECT_TRUE(Over(Line10()));
    EXPECT_FALSE(Partly(Line10()));
    EXPECT_FALSE(Over(Line20()));
}

// Marks of the quantity (bit 1) or the price (bit 6), on a sub-item of the
// tier or of any tier below it.
TEST_F(QuickFilters, OverCommittedByTheMarksOfTheTierAndTheTiersBelow)
{
    CSubcontract* a = AddSub(*c, "A");
    CSubcontract* b = AddSub(*c, "B");
    CSubcontract* belowA = AddSub(*c, "below A", a);
    CSubcontract* belowBelowA = AddSub(*c, "below below A", belowA);
    AddSubItem(*a, "0010", 50, 2);
    AddSubItem(*b, "0020", 5, 50);
    AddSubItem(*belowA, "0010", 50, 2);
    CSubItem* deep = AddSubItem(*belowBelowA, "0010", 10, 2);
    EXPECT_FALSE(Over(Line10()));
    FlagSet(deep->m_wFlags, SUBITEM_PRICE_OVERCOMMITTED, 1);
    EXPECT_TRUE(Over(Line10()));
    EXPECT_TRUE(Over(Line10(), a));
    EXPECT_TRUE(Over(Line10(), belowA));
    EXPECT_FALSE(Over(Line10(), belowBelowA)); // the mark lies in this record's own tier above
    FlagSet(deep->m_wFlags, SUBITEM_PRICE_OVERCOMMITTED, 0);
    FlagSet(b->FindSubItem("0020")->m_wFlags, SUBITEM_OVERCOMMITTED, 1);
    EXPECT_TRUE(Over(Line20()));
    EXPECT_FALSE(Over(Line20(), b)); // b's own line: its tier is the first
}

// A lower tier's grid lists the lines of its record above: the filters
// measure against that record's sub-item and pass over other lines.
TEST_F(QuickFilters, ALowerTierIsFilteredAgainstTheLinesOfItsRecord)
{
    CSubcontract* a = AddSub(*c, "A");
    AddSubItem(*a, "0010", 60, 2);
    EXPECT_TRUE(Unassigned(Line10(), a));
    EXPECT_FALSE(Unassigned(Line20(), a)); // a does not hold 0020
    CSubcontract* belowA = AddSub(*c, "below A", a);
    CSubItem* si = AddSubItem(*belowA, "0010", 20, 2);
    EXPECT_FALSE(Unassigned(Line10(), a));
    EXPECT_TRUE(Partly(Line10(), a));
    EXPECT_TRUE(Partly(Line10())); // 40 of 100 left in the first tier
    si->m_fQuan = 70;
    EXPECT_TRUE(Over(Line10(), a));
    EXPECT_FALSE(Over(Line10())); // 60 of 100 taken in the first tier
    // Below a record that is not itemized nothing is itemized either.
    FlagSet(a->m_wFlags, SUB_USESSUBITEMS, 0);
    EXPECT_TRUE(Unassigned(Line10(), a));
}

TEST_F(QuickFilters, TheWholeContractGivesTheMatchingItemIndexesInOrder)
{
    CSubcontract* a = AddSub(*c, "A");
    AddSubItem(*a, "0020", 4, 50);
    test::AddItem(*c, "0030", 5, 1);
    test::AddItem(*c, "0040", 5, 1);
    AddSubItem(*a, "0040", 6, 1);
    EXPECT_EQ(MatchingItems(*c, ItemFilter::Unassigned, nullptr), (std::vector<int>{1, 3}));
    EXPECT_EQ(MatchingItems(*c, ItemFilter::PartlySubcontracted, nullptr), (std::vector<int>{2}));
    EXPECT_EQ(MatchingItems(*c, ItemFilter::OverCommitted, nullptr), (std::vector<int>{4}));
    for (int i = 0; i < c->m_Items.GetSize(); ++i)
        EXPECT_EQ(MatchesFilter(*c, *c->m_Items[i], nullptr, ItemFilter::PartlySubcontracted), i == 2);
}

// On the demo contract: Keystone (00000002) took 450 CY of line 1600, which
// holds 412.5; Tri-County (00000001) holds line 0150 as a partial item;
// Allegheny (00000003, below Keystone) took all of lines 1610 and 1460.
TEST(QuickFiltersOnTheDemo, TheDemoContractsLines)
{
    const auto s = test::OpenDemo();
    ASSERT_TRUE(s);
    const CContract& c = *s->contract;
    const CItem& l1600 = *c.FindItemByLineNumber("1600");
    const CItem& l0150 = *c.FindItemByLineNumber("0150");
    const CItem& l1610 = *c.FindItemByLineNumber("1610");
    const CItem& l1510 = *c.FindItemByLineNumber("1510");
    const CItem& l0010 = *c.FindItemByLineNumber("0010");
    const CSubcontract* keystone = &s->Sub("00000002");

    EXPECT_TRUE(IsOverCommitted(c, l1600, nullptr));
    EXPECT_TRUE(IsPartlySubcontracted(c, l0150, nullptr));
    EXPECT_FALSE(IsUnassigned(c, l0150, nullptr));
    EXPECT_TRUE(IsUnassigned(c, l0010, nullptr));
    EXPECT_FALSE(IsUnassigned(c, l1610, keystone));
    EXPECT_FALSE(IsPartlySubcontracted(c, l1610, keystone));
    EXPECT_TRUE(IsUnassigned(c, l1510, keystone));

    const std::vector<int> over = MatchingItems(c, ItemFilter::OverCommitted, nullptr);
    EXPECT_NE(std::find(over.begin(), over.end(), c.m_Items.IndexOf(&l1600)), over.end());
    // Keystone's tier lists only Keystone's nine lines.
    EXPECT_EQ(MatchingItems(c, ItemFilter::Unassigned, keystone).size() +
                  MatchingItems(c, ItemFilter::PartlySubcontracted, keystone).size(),
              7u);
}

} // namespace
} // namespace kestrel
