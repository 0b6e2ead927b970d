// The rules of sub-item entry, each on a contract whose numbers the test
// sets: over-commitment against the tier, the tolerance of an edit against
// that of showing, the Ironbark floor, prices that set the quantity, the
// quantity that empties, the "Use?" box and the values a new sub-item
// starts with.

#include <gtest/gtest.h>

#include "edit/edittestutil.h"
#include "edit/subitemrules.h"
#include "model/contract/contract.h"
#include "model/subcontract/subservices.h"
#include "model/subcontract/winmeta.h"
#include "support/testcontract.h"

namespace kestrel::test {
namespace {

constexpr const char* kQtyOver = "<Qty over committed>";
constexpr const char* kPriceOver = "<Price over committed>";
constexpr const char* kInvalid = "<invalid quantity>";

std::string Mark(const CSubcontract& rec, const char* line)
{
    const CSubItem* si = rec.FindSubItem(line);
    return si ? SubItemMark(*si) : std::string("(none)");
}

bool Bit(const CSubcontract& rec, const char* line, int bit)
{
    const CSubItem* si = rec.FindSubItem(line);
    return si && FlagTest(si->m_wFlags, bit);
}

// A sub-item as the program would have received it from Ironbark.
CSubItem* IronbarkSubItem(CSubcontract& rec, const char* line, double quantity, double price, double orig)
{
    CSubItem* si = AddSubItem(rec, line, quantity, price);
    FlagSet(si->m_wFlags, SUBITEM_FROMIRONBARK, 1);
    FlagSet(si->m_wFlags, SUBITEM_COMPLETE, 1);
    si->m_fOrigQuan = orig;
    si->m_strUnitType = std::string("EA");
    return si;
}

// --- over-commitment within a tier ------------------------------------------

TEST(SubItemOverCommit, TwoFirstTierSubcontractorsOfSixtyEachAreBothMarked)
{
    EditSession s(SmallContract(0));
    auto [a, b] = TwoOnTheLine(s, "60");
    EXPECT_EQ(b.FindSubItem("0010")->m_fQuan, 40); // what the tier has left
    EXPECT_EQ(Mark(a, "0010"), "");
    EXPECT_EQ(Mark(b, "0010"), "");

    Made(s.edits->SetSubItemQuantity(b, "0010", "60"));
    // The edited one at once, and the other one too: the follow-up renews
    // every sub-item of the line.
    EXPECT_EQ(Mark(b, "0010"), kQtyOver);
    EXPECT_EQ(Mark(a, "0010"), kQtyOver);
    EXPECT_FALSE(Bit(a, "0010", SUBITEM_COMPLETE));
    EXPECT_FALSE(Bit(b, "0010", SUBITEM_COMPLETE));
    EXPECT_FALSE(FlagTest(a.m_wFlags, SUB_ITEMS_COMPLETE));
    EXPECT_FALSE(FlagTest(a.m_wFlags, SUB_COMPLETE));
}

TEST(SubItemOverCommit, APartialItemLeavesTheSumsAndClearsTheMarks)
{
    EditSession s(SmallContract(1u << CONTRACT_TRACK_PRICES));
    auto [a, b] = TwoOnTheLine(s, "60");
    Made(s.edits->SetSubItemQuantity(b, "0010", "60"));
    ASSERT_EQ(Mark(a, "0010"), kQtyOver);

    Made(s.edits->SetSubItemPartial(b, "0010", true));
    const CItem* item = s.contract->FindItemByLineNumber("0010");
    EXPECT_EQ(RemainingQuantity(*s.contract, item, nullptr), 40);
    EXPECT_EQ(RemainingExtension(*s.contract, item, nullptr), 80);
    EXPECT_EQ(Mark(a, "0010"), "");
    EXPECT_EQ(Mark(b, "0010"), "");
    EXPECT_TRUE(Bit(b, "0010", SUBITEM_PARTIAL));
    EXPECT_EQ(b.FindSubItem("0010")->m_strUnitType.View(), "PART");

    Made(s.edits->SetSubItemPartial(b, "0010", false));
    EXPECT_EQ(b.FindSubItem("0010")->m_strUnitType.View(), "EA");
    EXPECT_EQ(Mark(a, "0010"), kQtyOver);
}

TEST(SubItemOverCommit, EachTierCountsAgainstItsOwnParent)
{
    EditSession s(SmallContract(1u << CONTRACT_DRAG_TIERS));
    CSubcontract& a = *AddSub(*s.contract, "A");
    CSubcontract& child = *AddSub(*s.contract, "Child", &a);
    Made(s.edits->UseItem(a, "0010", true));
    Made(s.edits->SetSubItemQuantity(a, "0010", "30"));
    Made(s.edits->UseItem(child, "0010", true));
    EXPECT_EQ(child.FindSubItem("0010")->m_fQuan, 30);
    Made(s.edits->SetSubItemQuantity(child, "0010", "31"));
    EXPECT_EQ(Mark(child, "0010"), kQtyOver);
    EXPECT_EQ(Mark(a, "0010"), ""); // the first tier holds 30 of 100
    // Giving the parent more clears the lower tier's mark.
    Made(s.edits->SetSubItemQuantity(a, "0010", "40"));
    EXPECT_EQ(Mark(child, "0010"), "");
}

TEST(SubItemOverCommit, PricesAreCheckedOnlyWhenTheContractTracksThem)
{
    for (bool track : {false, true}) {
        EditSession s(SmallContract(track ? 1u << CONTRACT_TRACK_PRICES : 0));
        CSubcontract& a = *AddSub(*s.contract, "A");
        CSubcontract& b = *AddSub(*s.contract, "B");
        Made(s.edits->UseItem(a, "0010", true));
        Made(s.edits->SetSubItemQuantity(a, "0010", "50"));
        Made(s.edits->SetSubItemUnitPrice(a, "0010", "3")); // 150 of the item's 200
        Made(s.edits->UseItem(b, "0010", true));
        Made(s.edits->SetSubItemQuantity(b, "0010", "40")); // 80: 230 in all
        EXPECT_EQ(Mark(b, "0010"), track ? kPriceOver : "") << track;
        EXPECT_EQ(Mark(a, "0010"), track ? kPriceOver : "") << track;
        EXPECT_EQ(Bit(b, "0010", SUBITEM_COMPLETE), !track);
    }
}

// --- the tolerance of an edit and of showing ----------------------------------

TEST(SubItemOverCommit, FiveThousandthsOverIsAcceptedByAnEditAndFlaggedWhenShown)
{
    EditSession s(SmallContract(0));
    auto [a, b] = TwoOnTheLine(s, "60");
    Made(s.edits->SetSubItemQuantity(b, "0010", "40.005"));
    EXPECT_EQ(Mark(a, "0010"), "");
    EXPECT_EQ(Mark(b, "0010"), "");
    EXPECT_TRUE(Bit(b, "0010", SUBITEM_COMPLETE));

    s.contract->SetModified(false);
    const SubItemDisplay shown = s.edits->ShowSubItem(b, "0010");
    EXPECT_EQ(shown.mark, kQtyOver);
    EXPECT_TRUE(Bit(b, "0010", SUBITEM_OVERCOMMITTED));
    // Showing renews only the over-commit marks, and is no change.
    EXPECT_TRUE(Bit(b, "0010", SUBITEM_COMPLETE));
    EXPECT_FALSE(s.Modified());
    EXPECT_EQ(Mark(a, "0010"), ""); // not shown yet
    EXPECT_EQ(s.edits->ShowSubItem(a, "0010").mark, kQtyOver);
}

TEST(SubItemOverCommit, DescribingALineRenewsNoMark)
{
    EditSession s(SmallContract(0));
    auto [a, b] = TwoOnTheLine(s, "60");
    Made(s.edits->SetSubItemQuantity(b, "0010", "40.005"));
    const uint16_t flags = b.FindSubItem("0010")->m_wFlags;
    const SubItemDisplay described = s.edits->DescribeSubItem(b, "0010");
    // The values as showing gives them, the mark as the edit left it.
    EXPECT_EQ(described.mark, "");
    EXPECT_EQ(b.FindSubItem("0010")->m_wFlags, flags);
    EXPECT_TRUE(described.hasSubItem);
    EXPECT_DOUBLE_EQ(described.quantity, 40.005);
    const SubItemDisplay shown = s.edits->ShowSubItem(b, "0010");
    EXPECT_EQ(shown.mark, kQtyOver);
    EXPECT_EQ(s.edits->DescribeSubItem(b, "0010").mark, kQtyOver);
    EXPECT_DOUBLE_EQ(shown.quantity, described.quantity);
    EXPECT_DOUBLE_EQ(shown.unitPrice, described.unitPrice);
    EXPECT_DOUBLE_EQ(shown.extension, described.extension);
    // A line not taken, and a heading.
    EXPECT_FALSE(s.edits->DescribeSubItem(a, "0020").hasSubItem);
    EXPECT_TRUE(s.edits->DescribeSubItem(a, "0020").isItem);
    EXPECT_FALSE(s.edits->DescribeSubItem(a, "0001").isItem);
}

TEST(SubItemOverCommit, ExactlyUsedUpIsNotFlaggedWhenShown)
{
    EditSession s(SmallContract(0));
    auto [a, b] = TwoOnTheLine(s, "60");
    EXPECT_EQ(s.edits->ShowSubItem(b, "0010").mark, "");
    EXPECT_EQ(s.edits->ShowSubItem(a, "0010").mark, "");
}

// --- the Ironbark floor -------------------------------------------------------

TEST(SubItemIronbarkFloor, AQuantityBelowTheOriginalIsRefusedWithTheMessage)
{
    EditSession s(SmallContract(1u << CONTRACT_IRONBARK_FLOOR));
    CSubcontract& a = *AddSub(*s.contract, "A");
    IronbarkSubItem(a, "0010", 12, 2, 10);
    const auto before = s.Bytes();
    const EditResult r = s.edits->SetSubItemQuantity(a, "0010", "9.5");
    ASSERT_FALSE(r.ok());
    EXPECT_EQ(r.errorText(), "The quantity entered must be greater than the original quantity as entered in "
                             "Ironbark, which is 10.000");
    EXPECT_EQ(r.errorCode(), static_cast<int>(Refusal::Quantity));
    EXPECT_STREQ(RefusalCaption(Refusal::Quantity), "Quantity Error");
    EXPECT_EQ(a.FindSubItem("0010")->m_fQuan, 12);
    EXPECT_EQ(s.Bytes(), before);
    EXPECT_FALSE(s.Modified());

    Made(s.edits->SetSubItemQuantity(a, "0010", "10"));
    EXPECT_EQ(a.FindSubItem("0010")->m_fQuan, 10);
}

TEST(SubItemIronbarkFloor, BlankZeroAndUnreadableEntriesNeverPassTheFloor)
{
    EditSession s(SmallContract(1u << CONTRACT_IRONBARK_FLOOR));
    CSubcontract& a = *AddSub(*s.contract, "A");
    IronbarkSubItem(a, "0010", 12, 2, 10);
    for (const char* typed : {"", "0", "-5", "abc", "3+"}) {
        const EditResult r = s.edits->SetSubItemQuantity(a, "0010", typed);
        EXPECT_FALSE(r.ok()) << '"' << typed << '"';
        EXPECT_EQ(a.FindSubItem("0010")->m_fQuan, 12) << '"' << typed << '"';
    }
}

TEST(SubItemIronbarkFloor, TheOriginalIsShownWithThreeDecimals)
{
    EditSession s(SmallContract(1u << CONTRACT_IRONBARK_FLOOR));
    CSubcontract& a = *AddSub(*s.contract, "A");
    IronbarkSubItem(a, "0010", 12, 2, 10.25);
    const EditResult r = s.edits->SetSubItemQuantity(a, "0010", "10.2");
    ASSERT_FALSE(r.ok());
    EXPECT_NE(r.errorText().find("which is 10.250"), std::string::npos) << r.errorText();
}

TEST(SubItemIronbarkFloor, OnlyIronbarkItemsOfAContractWithTheFloorHaveOne)
{
    {
        EditSession s(SmallContract(0)); // no floor
        CSubcontract& a = *AddSub(*s.contract, "A");
        IronbarkSubItem(a, "0010", 12, 2, 10);
        Made(s.edits->SetSubItemQuantity(a, "0010", "9.5"));
        EXPECT_EQ(a.FindSubItem("0010")->m_fQuan, 9.5);
    }
    {
        EditSession s(SmallContract(1u << CONTRACT_IRONBARK_FLOOR));
        CSubcontract& a = *AddSub(*s.contract, "A");
        CSubItem* si = IronbarkSubItem(a, "0010", 12, 2, 10);
        FlagSet(si->m_wFlags, SUBITEM_FROMIRONBARK, 0); // entered by the user
        Made(s.edits->SetSubItemQuantity(a, "0010", "9.5"));
        EXPECT_EQ(si->m_fQuan, 9.5);
    }
}

TEST(SubItemIronbarkFloor, AQuantityAlreadyBelowTheFloorMayBeEnteredAgain)
{
    EditSession s(SmallContract(1u << CONTRACT_IRONBARK_FLOOR));
    CSubcontract& a = *AddSub(*s.contract, "A");
    IronbarkSubItem(a, "0010", 8, 2, 10); // as the file holds it
    // Only a quantity that differs from the stored one is held to the floor.
    EXPECT_TRUE(s.edits->SetSubItemQuantity(a, "0010", "8").ok());
    EXPECT_FALSE(s.edits->SetSubItemQuantity(a, "0010", "9").ok());
}

// A blank original quantity (its bits make a tiny positive number) is no
// floor, on the quantity's path and on the extension's, with the contract
// locking, holding to the floor and tracking prices.
TEST(SubItemIronbarkFloor, ABlankOriginalQuantityIsNoFloor)
{
    constexpr uint16_t kFlags =
        (1u << CONTRACT_IRONBARK_LOCKED) | (1u << CONTRACT_IRONBARK_FLOOR) | (1u << CONTRACT_TRACK_PRICES);
    const struct {
        bool quantity;
        const char* typed;
        double quantityAfter;
    } cases[] = {{true, "0", BlankValue()}, {true, "3", 3}, {false, "0", 0}, {false, "4", 2}};
    for (const auto& c : cases) {
        EditSession s(SmallContract(kFlags));
        CSubcontract& a = *AddSub(*s.contract, "A");
        IronbarkSubItem(a, "0010", 12, 2, BlankValue());
        const EditResult r = c.quantity ? s.edits->SetSubItemQuantity(a, "0010", c.typed)
                                        : s.edits->SetSubItemExtension(a, "0010", c.typed);
        ASSERT_TRUE(r.ok()) << c.quantity << " " << c.typed << ": " << r.errorText();
        const double after = a.FindSubItem("0010")->m_fQuan;
        EXPECT_TRUE(IsBlankValue(c.quantityAfter) ? IsBlankValue(after) : after == c.quantityAfter)
            << c.quantity << " " << c.typed;
    }
}

TEST(SubItemIronbarkFloor, AnExtensionThatImpliesLessIsRefused)
{
    EditSession s(SmallContract((1u << CONTRACT_IRONBARK_FLOOR) | (1u << CONTRACT_TRACK_PRICES)));
    CSubcontract& a = *AddSub(*s.contract, "A");
    IronbarkSubItem(a, "0010", 12, 2, 10);
    const EditResult r = s.edits->SetSubItemExtension(a, "0010", "19");
    ASSERT_FALSE(r.ok());
    EXPECT_EQ(r.errorText(), "Changing the extended amount to this value will result in an invalid quantity "
                             "lower than the original quantity as entered in Ironbark, which is 10.000");
    EXPECT_EQ(a.FindSubItem("0010")->m_fExt, 24);
    EXPECT_FALSE(s.edits->SetSubItemExtension(a, "0010", "").ok());
    Made(s.edits->SetSubItemExtension(a, "0010", "20"));
    EXPECT_EQ(a.FindSubItem("0010")->m_fQuan, 10);
}

// --- an extension that sets the quantity --------------------------------------

TEST(SubItemExtension, WithPricesTrackedTheExtensionSetsTheQuantity)
{
    EditSession s(SmallContract(1u << CONTRACT_TRACK_PRICES));
    CSubcontract& a = *AddSub(*s.contract, "A");
    Made(s.edits->SetItemUnitPrice("0010", "20")); // 2,000 to subcontract
    Made(s.edits->UseItem(a, "0010", true));
    Made(s.edits->SetSubItemExtension(a, "0010", "500"));
    const CSubItem& si = *a.FindSubItem("0010");
    EXPECT_EQ(si.m_fQuan, 25);
    EXPECT_EQ(si.m_fUP, 20);
    EXPECT_EQ(si.m_fExt, 500);
    EXPECT_EQ(Mark(a, "0010"), "");
}

TEST(SubItemExtension, APriceOfZeroOrNoneGivesAnInvalidQuantityOfZero)
{
    for (const char* price : {"0", ""}) {
        EditSession s(SmallContract(1u << CONTRACT_TRACK_PRICES));
        CSubcontract& a = UsingTheLine(s);
        Made(s.edits->SetSubItemUnitPrice(a, "0010", price));
        Made(s.edits->SetSubItemExtension(a, "0010", "500"));
        const CSubItem& si = *a.FindSubItem("0010");
        EXPECT_EQ(si.m_fQuan, 0) << '"' << price << '"';
        EXPECT_FALSE(IsBlankValue(si.m_fQuan));
        EXPECT_EQ(si.m_fExt, 500);
        EXPECT_EQ(Mark(a, "0010"), kInvalid) << '"' << price << '"';
        EXPECT_FALSE(Bit(a, "0010", SUBITEM_COMPLETE));
    }
}

TEST(SubItemExtension, WithoutPricesTrackedTheQuantityStays)
{
    EditSession s(SmallContract(0));
    CSubcontract& a = UsingTheLine(s);
    Made(s.edits->SetSubItemUnitPrice(a, "0010", "20"));
    Made(s.edits->SetSubItemExtension(a, "0010", "$1,500"));
    const CSubItem& si = *a.FindSubItem("0010");
    EXPECT_EQ(si.m_fQuan, 100);
    EXPECT_EQ(si.m_fExt, 1500); // as entered, not quantity times price
}

// --- the quantity entry -------------------------------------------------------

TEST(SubItemQuantity, ZeroOrLessEmptiesTheQuantity)
{
    for (const char* typed : {"0", "-3", "2-2"}) {
        EditSession s(SmallContract(0));
        CSubcontract& a = UsingTheLine(s);
        Made(s.edits->SetSubItemQuantity(a, "0010", typed));
        const CSubItem& si = *a.FindSubItem("0010");
        EXPECT_TRUE(IsBlankValue(si.m_fQuan)) << typed;
        EXPECT_EQ(si.m_fExt, 0) << typed;
        // Without a value it is not an invalid one, only not complete.
        EXPECT_FALSE(Bit(a, "0010", SUBITEM_INVALID_QUANTITY)) << typed;
        EXPECT_FALSE(Bit(a, "0010", SUBITEM_COMPLETE)) << typed;
        EXPECT_FALSE(FlagTest(a.m_wFlags, SUB_COMPLETE)) << typed;
    }
}

TEST(SubItemQuantity, EntriesAreEvaluatedAndRoundedToTheirFormat)
{
    EditSession s(SmallContract(0));
    CSubcontract& a = UsingTheLine(s);
    Made(s.edits->SetSubItemQuantity(a, "0010", "1,000/3"));
    Made(s.edits->SetSubItemUnitPrice(a, "0010", "$1.234567"));
    const CSubItem& si = *a.FindSubItem("0010");
    EXPECT_DOUBLE_EQ(si.m_fQuan, 333.333);
    EXPECT_DOUBLE_EQ(si.m_fUP, 1.23457);
    // Quantity times price, not rounded.
    EXPECT_DOUBLE_EQ(si.m_fExt, 333.333 * 1.23457);
}

TEST(SubItemQuantity, ATypedNumberIsStoredAsTheNumberTyped)
{
    EditSession s(SmallContract(0));
    CSubcontract& a = UsingTheLine(s);
    for (const char* typed : {"3", "3.05", "0.1", "21,500", "6.00001"}) {
        Made(s.edits->SetSubItemUnitPrice(a, "0010", typed));
        std::string plain;
        for (const char* p = typed; *p; ++p)
            if (*p != ',')
                plain += *p;
        // The very double the text stands for, not one beside it.
        EXPECT_EQ(a.FindSubItem("0010")->m_fUP, std::stod(plain)) << typed;
    }
    Made(s.edits->SetSubItemQuantity(a, "0010", "21,500"));
    EXPECT_EQ(a.FindSubItem("0010")->m_fQuan, 21500);
}

TEST(SubItemQuantity, AnUnreadableEntryLeavesNoValueAndAnIncompleteItem)
{
    EditSession s(SmallContract(0));
    CSubcontract& a = UsingTheLine(s);
    const AppliedEdit unread = Made(s.edits->SetSubItemUnitPrice(a, "0010", "2 x"));
    const CSubItem& si = *a.FindSubItem("0010");
    EXPECT_TRUE(IsBlankValue(si.m_fUP));
    EXPECT_EQ(si.m_fExt, 0);
    EXPECT_FALSE(Bit(a, "0010", SUBITEM_COMPLETE));
    // Why it has no value: the evaluator's message, on each of the three
    // fields; an emptied field or a value read is no such case.
    EXPECT_EQ(unread.unreadable, "Unrecognized character");
    EXPECT_EQ(Made(s.edits->SetSubItemQuantity(a, "0010", "abc")).unreadable, "Unrecognized character");
    EXPECT_EQ(Made(s.edits->SetSubItemExtension(a, "0010", "1/0")).unreadable, "Divide by zero error");
    EXPECT_EQ(Made(s.edits->SetSubItemExtension(a, "0010", " ")).unreadable, "");
    EXPECT_EQ(Made(s.edits->SetSubItemUnitPrice(a, "0010", "2")).unreadable, "");
}

// --- the "Use?" box -----------------------------------------------------------

TEST(SubItemUse, UncheckingRemovesTheLineFromEveryLowerTier)
{
    EditSession s(SmallContract(1u << CONTRACT_DRAG_TIERS));
    CSubcontract& a = *AddSub(*s.contract, "A");
    CSubcontract& b = *AddSub(*s.contract, "B", &a);
    CSubcontract& c = *AddSub(*s.contract, "C", &b);
    CSubcontract& other = *AddSub(*s.contract, "Other");
    for (CSubcontract* rec : {&a, &b, &c, &other})
        Made(s.edits->UseItem(*rec, "0010", true));
    Made(s.edits->UseItem(other, "0020", false)); // nothing to take: no change
    const auto before = s.Bytes();

    AppliedEdit removed = Made(s.edits->UseItem(a, "0010", false));
    EXPECT_EQ(a.FindSubItem("0010"), nullptr);
    EXPECT_EQ(b.FindSubItem("0010"), nullptr);
    EXPECT_EQ(c.FindSubItem("0010"), nullptr);
    EXPECT_NE(other.FindSubItem("0010"), nullptr); // not below A

    s.edits->Undo(removed);
    EXPECT_EQ(s.Bytes(), before);
    EXPECT_NE(c.FindSubItem("0010"), nullptr);
}

TEST(SubItemUse, ALockedIronbarkItemCanNeitherBeRemovedNorMadePartial)
{
    EditSession s(SmallContract(1u << CONTRACT_IRONBARK_LOCKED));
    CSubcontract& a = *AddSub(*s.contract, "A");
    IronbarkSubItem(a, "0010", 12, 2, 10);
    const auto before = s.Bytes();
    const EditResult r = s.edits->UseItem(a, "0010", false);
    ASSERT_FALSE(r.ok());
    EXPECT_EQ(r.errorCode(), static_cast<int>(Refusal::Locked));
    EXPECT_NE(a.FindSubItem("0010"), nullptr);
    EXPECT_FALSE(s.edits->SetSubItemPartial(a, "0010", true).ok());
    EXPECT_EQ(s.Bytes(), before);
    EXPECT_TRUE(s.edits->ShowSubItem(a, "0010").locked);

    // Unlocked, the same item may go.
    FlagSet(s.contract->m_wFlags, CONTRACT_IRONBARK_LOCKED, 0);
    EXPECT_FALSE(s.edits->ShowSubItem(a, "0010").locked);
    Made(s.edits->UseItem(a, "0010", false));
    EXPECT_EQ(a.FindSubItem("0010"), nullptr);
}

TEST(SubItemUse, PartialItemsAreRefusedWhenTheContractOffersNone)
{
    EditSession s(SmallContract(1u << CONTRACT_NO_PARTIALS));
    CSubcontract& a = UsingTheLine(s);
    EXPECT_FALSE(s.edits->SetSubItemPartial(a, "0010", true).ok());
    EXPECT_FALSE(Bit(a, "0010", SUBITEM_PARTIAL));
}

TEST(SubItemUse, ANewSubItemTakesWhatItsTierHasLeftButNotLessThanZero)
{
    EditSession s(SmallContract(0));
    CSubcontract& a = *AddSub(*s.contract, "A");
    CSubcontract& b = *AddSub(*s.contract, "B");
    CSubcontract& c = *AddSub(*s.contract, "C");
    Made(s.edits->UseItem(a, "0010", true));
    Made(s.edits->SetSubItemQuantity(a, "0010", "60"));
    Made(s.edits->UseItem(b, "0010", true));
    const CSubItem& sb = *b.FindSubItem("0010");
    EXPECT_EQ(sb.m_fQuan, 40);
    EXPECT_EQ(sb.m_fUP, 2); // the item's price
    EXPECT_EQ(sb.m_fExt, 80);
    EXPECT_EQ(sb.m_strUnitType.View(), "EA");
    EXPECT_EQ(sb.m_fOrigQuan, 0);
    Made(s.edits->SetSubItemQuantity(b, "0010", "50"));

    Made(s.edits->UseItem(c, "0010", true)); // the tier is 10 over
    const CSubItem& sc = *c.FindSubItem("0010");
    EXPECT_EQ(sc.m_fQuan, 0);
    EXPECT_EQ(sc.m_fExt, 0);
    EXPECT_EQ(Mark(c, "0010"), kInvalid);
}

TEST(SubItemUse, ALowerTierStartsFromItsParentsQuantityAndPrice)
{
    EditSession s(SmallContract(1u << CONTRACT_DRAG_TIERS));
    CSubcontract& a = *AddSub(*s.contract, "A");
    CSubcontract& child = *AddSub(*s.contract, "Child", &a);
    EXPECT_FALSE(s.edits->UseItem(child, "0010", true).ok()); // the parent does not hold it
    EXPECT_EQ(child.FindSubItem("0010"), nullptr);

    Made(s.edits->UseItem(a, "0010", true));
    Made(s.edits->SetSubItemQuantity(a, "0010", "60"));
    Made(s.edits->SetSubItemUnitPrice(a, "0010", "3"));
    Made(s.edits->UseItem(child, "0010", true));
    const CSubItem& si = *child.FindSubItem("0010");
    EXPECT_EQ(si.m_fQuan, 60);
    EXPECT_EQ(si.m_fUP, 3);
    EXPECT_EQ(si.m_fExt, 180);
}

TEST(SubItemUse, ARecordThatDoesNotWorkByItemsTakesNone)
{
    EditSession s(SmallContract(0));
    CSubcontract& lump = *AddSub(*s.contract, "Lump", nullptr, false);
    EXPECT_FALSE(s.edits->UseItem(lump, "0010", true).ok());
    EXPECT_EQ(lump.FindSubItem("0010"), nullptr);
    EXPECT_FALSE(s.edits->UseItem(lump, "9999", true).ok()); // no such line
    EXPECT_FALSE(s.edits->UseItem(lump, "0001", true).ok()); // a heading
}

// --- what the entry shows without a sub-item --------------------------------

TEST(SubItemShow, WithoutASubItemTheFirstTierShowsWhatIsLeftAndALowerTierItsParent)
{
    EditSession s(SmallContract(1u << CONTRACT_DRAG_TIERS));
    CSubcontract& a = *AddSub(*s.contract, "A");
    CSubcontract& b = *AddSub(*s.contract, "B");
    CSubcontract& child = *AddSub(*s.contract, "Child", &a);
    Made(s.edits->UseItem(a, "0010", true));
    Made(s.edits->SetSubItemQuantity(a, "0010", "60"));
    Made(s.edits->SetSubItemUnitPrice(a, "0010", "3"));

    const SubItemDisplay first = s.edits->ShowSubItem(b, "0010");
    EXPECT_TRUE(first.isItem);
    EXPECT_FALSE(first.hasSubItem);
    EXPECT_EQ(first.quantity, 40);
    EXPECT_EQ(first.unitPrice, 2);
    EXPECT_EQ(first.extension, 200);

    const SubItemDisplay lower = s.edits->ShowSubItem(child, "0010");
    EXPECT_EQ(lower.quantity, 60);
    EXPECT_EQ(lower.unitPrice, 3);
    EXPECT_EQ(lower.extension, 180);

    EXPECT_FALSE(s.edits->ShowSubItem(b, "0001").isItem); // a heading
}

} // namespace
} // namespace kestrel::test
