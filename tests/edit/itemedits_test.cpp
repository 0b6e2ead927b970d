// Editing contract items in the item schedule: "@UP" and "@QUAN" in the
// entries, rounding, entries that cannot be read, and the renewal of the
// over-commit marks of the line's sub-items.

#include <gtest/gtest.h>

#include "edit/edittestutil.h"
#include "edit/subitemrules.h"
#include "model/contract/contract.h"
#include "model/subcontract/winmeta.h"
#include "support/testcontract.h"

namespace kestrel::test {
namespace {

const CItem& Item(const EditSession& s, const char* line)
{
    return *s.contract->FindItemByLineNumber(line);
}

TEST(ItemEdits, AUnitPriceOfQuanTimesTwoForAQuantityOfThreeIsSix)
{
    EditSession s(SmallContract(0));
    Made(s.edits->SetItemQuantity("0010", "3"));
    Made(s.edits->SetItemUnitPrice("0010", "@QUAN*2"));
    EXPECT_EQ(Item(s, "0010").m_fUnitPrice, 6);
    EXPECT_EQ(Item(s, "0010").m_fExtension, 18);
    EXPECT_EQ(s.contract->m_fContractTotal, 18 + 500); // the other item: 10 at 50
}

TEST(ItemEdits, AQuantityMayUseTheUnitPrice)
{
    EditSession s(SmallContract(0));
    Made(s.edits->SetItemQuantity("0020", "@UP/4"));
    EXPECT_EQ(Item(s, "0020").m_fQuantity, 12.5);
    EXPECT_EQ(Item(s, "0020").m_fExtension, 625);
}

TEST(ItemEdits, EntriesAreCleanedAndRoundedToTheirFormats)
{
    EditSession s(SmallContract(0));
    Made(s.edits->SetItemQuantity("0010", "  $1,234.56789\t"));
    EXPECT_DOUBLE_EQ(Item(s, "0010").m_fQuantity, 1234.568);
    Made(s.edits->SetItemUnitPrice("0010", "1/3"));
    EXPECT_DOUBLE_EQ(Item(s, "0010").m_fUnitPrice, 0.33333);
}

TEST(ItemEdits, AnEmptyEntryLeavesNoValue)
{
    EditSession s(SmallContract(0));
    Made(s.edits->SetItemQuantity("0010", " "));
    EXPECT_TRUE(IsBlankValue(Item(s, "0010").m_fQuantity));
    EXPECT_EQ(s.contract->m_fContractTotal, 500);
}

TEST(ItemEdits, AMistypedEntryIsRefusedWithTheEvaluatorsMessageAndTheOldValueKept)
{
    EditSession s(SmallContract(0));
    const auto before = s.Bytes();
    for (const char* typed : {"3+", "12abc", "1/0"}) {
        const EditResult q = s.edits->SetItemQuantity("0010", typed);
        ASSERT_FALSE(q.ok()) << typed;
        EXPECT_EQ(q.errorCode(), static_cast<int>(Refusal::Expression));
        const EditResult p = s.edits->SetItemUnitPrice("0010", typed);
        ASSERT_FALSE(p.ok()) << typed;
        EXPECT_EQ(Item(s, "0010").m_fQuantity, 100);
        EXPECT_EQ(Item(s, "0010").m_fUnitPrice, 2);
    }
    EXPECT_EQ(s.edits->SetItemQuantity("0010", "3+").errorText(), "Unrecognized character");
    EXPECT_EQ(s.edits->SetItemUnitPrice("0010", "1/0").errorText(), "Divide by zero error");
    EXPECT_EQ(s.Bytes(), before);
    EXPECT_FALSE(s.Modified());
}

TEST(ItemEdits, ChangingAnItemRenewsTheMarksOfItsSubItems)
{
    EditSession s(SmallContract(0));
    auto [a, b] = TwoOnTheLine(s, "60");
    ASSERT_EQ(SubItemMark(*b.FindSubItem("0010")), "");

    Made(s.edits->SetItemQuantity("0010", "90"));
    EXPECT_EQ(SubItemMark(*a.FindSubItem("0010")), "<Qty over committed>");
    EXPECT_EQ(SubItemMark(*b.FindSubItem("0010")), "<Qty over committed>");
    EXPECT_FALSE(FlagTest(a.m_wFlags, SUB_COMPLETE));

    Made(s.edits->SetItemQuantity("0010", "100"));
    EXPECT_EQ(SubItemMark(*a.FindSubItem("0010")), "");
    EXPECT_EQ(SubItemMark(*b.FindSubItem("0010")), "");
    EXPECT_TRUE(FlagTest(a.m_wFlags, SUB_COMPLETE));
}

TEST(ItemEdits, WithPricesTrackedAPriceCutMarksTheAmounts)
{
    EditSession s(SmallContract(1u << CONTRACT_TRACK_PRICES));
    CSubcontract& a = *AddSub(*s.contract, "A");
    Made(s.edits->UseItem(a, "0010", true)); // 100 at 2: the whole 200
    Made(s.edits->SetItemUnitPrice("0010", "1.5"));
    EXPECT_EQ(SubItemMark(*a.FindSubItem("0010")), "<Price over committed>");
}

TEST(ItemEdits, LinesThatAreNoItemOrFixedByTheContractAreRefused)
{
    EditSession s(SmallContract(0));
    EXPECT_EQ(s.edits->SetItemQuantity("0001", "5").errorCode(), static_cast<int>(Refusal::NotAllowed));
    EXPECT_FALSE(s.edits->SetItemUnitPrice("9999", "5").ok());
    CItem* fixed = s.contract->FindItemByLineNumber("0020");
    FlagSet(fixed->m_wFlags, ITEM_FIXED_PRICE, 1);
    EXPECT_FALSE(s.edits->SetItemUnitPrice("0020", "5").ok());
    FlagSet(fixed->m_wFlags, ITEM_IS_OPTION, 1); // a fixed-price option may be edited
    Made(s.edits->SetItemUnitPrice("0020", "5"));
    EXPECT_EQ(fixed->m_fUnitPrice, 5);
}

// The schedule shows "LUMP" for a lump sum's quantity: a number typed
// there is refused, so that no quantity is used that the grid does not
// show; "LUMP" left as it is changes nothing; the price stays open.
TEST(ItemEdits, ALumpSumsQuantityIsRefusedAndItsPriceTaken)
{
    EditSession s(SmallContract(0));
    CItem* lump = s.contract->FindItemByLineNumber("0010");
    FlagSet(lump->m_wFlags, ITEM_LUMP_SUM, 1);
    const auto before = s.Bytes();
    for (const char* typed : {"5", "1", "", "@UP"}) {
        const EditResult r = s.edits->SetItemQuantity("0010", typed);
        ASSERT_FALSE(r.ok()) << typed;
        EXPECT_EQ(r.errorText(), "Item 0010 is a lump sum: its quantity cannot be changed");
    }
    const EditResult kept = s.edits->SetItemQuantity("0010", " lump ");
    ASSERT_TRUE(kept.ok()) << kept.errorText();
    EXPECT_FALSE(kept->event.valuesChanged);
    EXPECT_EQ(s.Bytes(), before);
    EXPECT_FALSE(s.Modified());
    Made(s.edits->SetItemUnitPrice("0010", "3"));
    EXPECT_EQ(lump->m_fExtension, 300);
}

} // namespace
} // namespace kestrel::test
