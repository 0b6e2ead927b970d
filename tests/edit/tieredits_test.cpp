// Subcontractors in tiers: numbering, adding below a selected record,
// deleting with the lower tiers, the rules of dragging onto the tree, and
// what moving a record does to the subcontracted total and its sub-items.

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "edit/edittestutil.h"
#include "file/contractfile.h"
#include "model/contract/contract.h"
#include "model/subcontract/winmeta.h"
#include "support/testcontract.h"

namespace kestrel::test {
namespace {

std::string Number(const CSubcontract& rec)
{
    const Text* t = rec.GetCellText(SUBF_NUMBER);
    return t ? std::string(t->View()) : std::string();
}

std::string ParentNumber(const CSubcontract& rec)
{
    const Text* t = rec.GetCellText(SUBF_PARENT);
    return t ? std::string(t->View()) : std::string();
}

// --- numbering ----------------------------------------------------------------

TEST(TierNumbering, ANewRecordTakesTheLowestFreeNumber)
{
    EditSession s(SmallContract(0));
    AddNumberedSub(s.Table(), 1);
    AddNumberedSub(s.Table(), 3);
    AddNumberedSub(s.Table(), 250); // beyond 199: takes nothing
    const AppliedEdit added = Made(s.edits->AddSubcontractor(nullptr));
    EXPECT_EQ(added.text, "00000002");
    EXPECT_EQ(Number(*s.Table().m_Records[3]), "00000002");
    EXPECT_EQ(Made(s.edits->AddSubcontractor(nullptr)).text, "00000004");
}

TEST(TierNumbering, TheNumberOfADeletedRecordIsFreeAgain)
{
    auto s = OpenDemo();
    ASSERT_TRUE(s);
    EXPECT_EQ(Made(s->edits->AddSubcontractor(nullptr)).text, "00000008");
    Made(s->edits->DeleteSubcontractor(s->Sub("00000004")));
    EXPECT_EQ(Made(s->edits->AddSubcontractor(nullptr)).text, "00000004");
}

// A record without a number could not hold lower tiers across a save: it is
// not added at all (and a script of thousands of adds stays small).
TEST(TierNumbering, WithEveryNumberInUseNoRecordIsAdded)
{
    EditSession s(SmallContract(0));
    for (int n = 1; n <= 199; ++n)
        AddNumberedSub(s.Table(), n);
    const auto before = s.Bytes();
    const EditResult refused = s.edits->AddSubcontractor(nullptr);
    ASSERT_FALSE(refused.ok());
    EXPECT_EQ(refused.errorText(), "All subcontractor numbers from 1 to 199 are in use");
    EXPECT_EQ(s.Table().m_Records.GetSize(), 199);
    EXPECT_EQ(s.Bytes(), before);
}

// --- adding -------------------------------------------------------------------

TEST(TierAdd, BelowTheSelectedRecordOnlyWhenTheContractAllowsTiers)
{
    for (bool tiers : {true, false}) {
        auto s = OpenDemo();
        ASSERT_TRUE(s);
        FlagSet(s->contract->m_wFlags, CONTRACT_DRAG_TIERS, tiers ? 1 : 0);
        CSubcontract& selected = s->Sub("00000003");
        const AppliedEdit added = Made(s->edits->AddSubcontractor(&selected));
        CSubcontract& rec = s->Sub(added.text);
        EXPECT_EQ(rec.m_pParent, tiers ? &selected : nullptr);
        EXPECT_EQ(ParentNumber(rec), tiers ? "00000003" : "");
        EXPECT_EQ(added.event.record, &rec);
        EXPECT_TRUE(added.event.treeChanged);
    }
}

TEST(TierAdd, ANewRecordIsNamedGetsTheDefaultsAndIsIncomplete)
{
    auto s = OpenDemo();
    ASSERT_TRUE(s);
    const AppliedEdit added = Made(s->edits->AddSubcontractor(nullptr));
    const CWinMeta& t = s->Table();
    const CSubcontract& rec = s->Sub(added.text);
    EXPECT_EQ(rec.GetCellText(SUBF_NAME)->View(), "<Unknown Subcontractor>");
    EXPECT_EQ(rec.GetCellText(t.FindField("CREDITPCT"))->View(), "100.00");
    EXPECT_EQ(rec.GetCellText(t.FindField("RETAINAGE"))->View(), "5.00");
    EXPECT_EQ(rec.GetCellText(t.FindField("PAYTERMS"))->View(), "Net 30");
    EXPECT_TRUE(FlagTest(rec.m_wFlags, SUB_USESSUBITEMS));
    EXPECT_FALSE(FlagTest(rec.m_wFlags, SUB_COMPLETE)); // required fields are empty
    EXPECT_TRUE(s->Modified());
}

TEST(TierAdd, AnIncompleteLowerTierMakesItsParentIncompleteUntilUndone)
{
    auto s = OpenDemo();
    ASSERT_TRUE(s);
    CSubcontract& parent = s->Sub("00000001");
    ASSERT_TRUE(FlagTest(parent.m_wFlags, SUB_COMPLETE));
    AppliedEdit added = Made(s->edits->AddSubcontractor(&parent));
    EXPECT_FALSE(FlagTest(parent.m_wFlags, SUB_TIERS_COMPLETE));
    EXPECT_FALSE(FlagTest(parent.m_wFlags, SUB_COMPLETE));
    s->edits->Undo(added);
    EXPECT_TRUE(FlagTest(parent.m_wFlags, SUB_COMPLETE));
}

// --- deleting -----------------------------------------------------------------

TEST(TierDelete, ARecordWithTwoLowerTiersTakesThreeRowsAndLeavesNoLinkToThem)
{
    auto s = OpenDemo();
    ASSERT_TRUE(s);
    // 00000002 > 00000003 > a new record.
    const AppliedEdit third = Made(s->edits->AddSubcontractor(&s->Sub("00000003")));
    ASSERT_EQ(s->Sub(third.text).m_pParent, &s->Sub("00000003"));
    const auto before = s->Bytes();
    std::vector<CSubcontract*> staying;
    for (const char* n : {"00000001", "00000004", "00000005", "00000006", "00000007"})
        staying.push_back(&s->Sub(n));
    const std::set<const CSubcontract*> going{&s->Sub("00000002"), &s->Sub("00000003"), &s->Sub(third.text)};
    const double total = s->Table().m_fSubTotal;
    ASSERT_EQ(s->Table().m_Records.GetSize(), 8);

    AppliedEdit deleted = Made(s->edits->DeleteSubcontractor(s->Sub("00000002")));
    CWinMeta& t = s->Table();
    ASSERT_EQ(t.m_Records.GetSize(), 5);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(t.m_Records[i], staying[static_cast<size_t>(i)]); // the same records, in order
        EXPECT_EQ(going.count(t.m_Records[i]->m_pParent), 0u);
        EXPECT_EQ(t.FindRecordByNumber(ParentNumber(*t.m_Records[i])), t.m_Records[i]->m_pParent);
    }
    // Its first-tier amount went with it.
    EXPECT_DOUBLE_EQ(t.m_fSubTotal, total - 1493835.00);

    s->edits->Undo(deleted);
    EXPECT_EQ(s->Bytes(), before);
    EXPECT_EQ(s->Table().m_Records.GetSize(), 8);
}

TEST(TierDelete, ALockedIronbarkRecordIsNotDeleted)
{
    auto s = OpenDemo();
    ASSERT_TRUE(s);
    CSubcontract& ironbark = s->Sub("00000007");
    ASSERT_TRUE(FlagTest(ironbark.m_wFlags, SUB_FROMIRONBARK));
    const auto before = s->Bytes();
    const EditResult r = s->edits->DeleteSubcontractor(ironbark);
    ASSERT_FALSE(r.ok());
    EXPECT_EQ(r.errorCode(), static_cast<int>(Refusal::Locked));
    EXPECT_FALSE(s->edits->CanDeleteSubcontractor(ironbark).ok());
    EXPECT_EQ(s->Bytes(), before);

    FlagSet(s->contract->m_wFlags, CONTRACT_IRONBARK_LOCKED, 0);
    EXPECT_TRUE(s->edits->CanDeleteSubcontractor(ironbark).ok());
    Made(s->edits->DeleteSubcontractor(ironbark));
    EXPECT_EQ(s->Table().FindRecordByNumber("00000007"), nullptr);
}

TEST(TierDelete, AParentWhoseIncompleteLowerTierGoesIsCompleteAgain)
{
    auto s = OpenDemo();
    ASSERT_TRUE(s);
    CSubcontract& parent = s->Sub("00000005");
    ASSERT_FALSE(FlagTest(s->Sub("00000006").m_wFlags, SUB_COMPLETE));
    ASSERT_FALSE(FlagTest(parent.m_wFlags, SUB_TIERS_COMPLETE));
    Made(s->edits->DeleteSubcontractor(s->Sub("00000006")));
    // Without lower tiers, all of them are complete.
    EXPECT_TRUE(FlagTest(parent.m_wFlags, SUB_TIERS_COMPLETE));
    // As a contract read afresh sees it.
    std::unique_ptr<CContract> fresh;
    const auto bytes = s->Bytes();
    ASSERT_EQ(ReadContractStream(bytes.data(), bytes.size(), fresh), CF_OK);
    EXPECT_EQ(fresh->m_pSubTable->FindRecordByNumber("00000005")->m_wFlags, parent.m_wFlags);
}

// --- dragging onto the tree ---------------------------------------------------

TEST(TierDrop, TheAcceptanceRules)
{
    auto s = OpenDemo();
    ASSERT_TRUE(s);
    CSubcontract& top = s->Sub("00000002");
    CSubcontract& lower = s->Sub("00000003");
    CSubcontract& other = s->Sub("00000001");
    const AppliedEdit added = Made(s->edits->AddSubcontractor(&lower));
    CSubcontract& lowest = s->Sub(added.text);

    // Onto "Subcontractors": only from a lower tier.
    EXPECT_FALSE(s->edits->AcceptsMove(top, nullptr));
    EXPECT_TRUE(s->edits->AcceptsMove(lower, nullptr));
    // Never onto itself or one of its own lower tiers, at any depth.
    EXPECT_FALSE(s->edits->AcceptsMove(top, &top));
    EXPECT_FALSE(s->edits->AcceptsMove(top, &lower));
    EXPECT_FALSE(s->edits->AcceptsMove(top, &lowest));
    EXPECT_FALSE(s->edits->AcceptsMove(lower, &lowest));
    // Anywhere else, the tier above included.
    EXPECT_TRUE(s->edits->AcceptsMove(top, &other));
    EXPECT_TRUE(s->edits->AcceptsMove(lowest, &top));
    EXPECT_TRUE(s->edits->AcceptsMove(lowest, &other));

    // A locked Ironbark record does not move; nothing moves without tiers.
    EXPECT_FALSE(s->edits->AcceptsMove(s->Sub("00000007"), &other));
    FlagSet(s->contract->m_wFlags, CONTRACT_DRAG_TIERS, 0);
    EXPECT_FALSE(s->edits->AcceptsMove(lower, nullptr));
    EXPECT_FALSE(s->edits->AcceptsMove(top, &other));
}

TEST(TierDrop, ARefusedMoveChangesNothing)
{
    auto s = OpenDemo();
    ASSERT_TRUE(s);
    const auto before = s->Bytes();
    const EditResult r = s->edits->MoveSubcontractor(s->Sub("00000002"), &s->Sub("00000003"));
    ASSERT_FALSE(r.ok());
    EXPECT_EQ(r.errorCode(), static_cast<int>(Refusal::NotAllowed));
    EXPECT_FALSE(s->edits->MoveSubcontractor(s->Sub("00000001"), nullptr).ok());
    EXPECT_EQ(s->Bytes(), before);
    EXPECT_FALSE(s->Modified());
}

// --- moving -------------------------------------------------------------------

TEST(TierMove, OnlyTheFirstTierCountsInTheSubcontractedTotal)
{
    auto s = OpenDemo();
    ASSERT_TRUE(s);
    CWinMeta& t = s->Table();
    const double total = t.m_fSubTotal;
    ASSERT_DOUBLE_EQ(total, 2739483.00);

    // A lump sum of 286,450.00 goes down a tier.
    AppliedEdit lump = Made(s->edits->MoveSubcontractor(s->Sub("00000004"), &s->Sub("00000001")));
    EXPECT_DOUBLE_EQ(t.m_fSubTotal, total - 286450.00);
    EXPECT_EQ(ParentNumber(s->Sub("00000004")), "00000001");
    EXPECT_TRUE(lump.event.totalsChanged);
    s->edits->Undo(lump);
    EXPECT_DOUBLE_EQ(t.m_fSubTotal, total);

    // A supplier credited with 60 % of 212,400.00.
    Made(s->edits->MoveSubcontractor(s->Sub("00000005"), &s->Sub("00000001")));
    EXPECT_DOUBLE_EQ(t.m_fSubTotal, total - 127440.00);
}

TEST(TierMove, ALowerTierMovedUpAddsItsAmount)
{
    auto s = OpenDemo();
    ASSERT_TRUE(s);
    const double total = s->Table().m_fSubTotal;
    Made(s->edits->MoveSubcontractor(s->Sub("00000003"), nullptr));
    EXPECT_EQ(s->Sub("00000003").m_pParent, nullptr);
    EXPECT_EQ(ParentNumber(s->Sub("00000003")), "");
    EXPECT_DOUBLE_EQ(s->Table().m_fSubTotal, total + 62426.00);
}

TEST(TierMove, SubItemsTheNewParentDoesNotHoldGoAndComeBackOnUndo)
{
    auto s = OpenDemo();
    ASSERT_TRUE(s);
    CSubcontract& moved = s->Sub("00000003"); // holds 1460 and 1610, under 00000002
    const AppliedEdit added = Made(s->edits->AddSubcontractor(&moved));
    CSubcontract& below = s->Sub(added.text);
    Made(s->edits->UseItem(below, "1610", true));
    const auto before = s->Bytes();

    // 00000001 holds neither line.
    AppliedEdit move = Made(s->edits->MoveSubcontractor(moved, &s->Sub("00000001")));
    EXPECT_EQ(moved.m_pParent, &s->Sub("00000001"));
    EXPECT_EQ(moved.FindSubItem("1460"), nullptr);
    EXPECT_EQ(moved.FindSubItem("1610"), nullptr);
    EXPECT_EQ(below.FindSubItem("1610"), nullptr); // nor may the tier below it
    EXPECT_EQ(below.m_pParent, &moved);

    s->edits->Undo(move);
    EXPECT_EQ(s->Bytes(), before);
    EXPECT_NE(moved.FindSubItem("1460"), nullptr);
    EXPECT_NE(below.FindSubItem("1610"), nullptr);
}

TEST(TierMove, LinesTheNewParentHoldsStay)
{
    EditSession s(SmallContract(1u << CONTRACT_DRAG_TIERS));
    CSubcontract& a = *AddSub(*s.contract, "A");
    CSubcontract& b = *AddSub(*s.contract, "B");
    AddSubItem(a, "0010", 50, 2);
    AddSubItem(b, "0010", 5, 2);
    AddSubItem(b, "0020", 5, 50);
    Made(s.edits->MoveSubcontractor(b, &a));
    EXPECT_NE(b.FindSubItem("0010"), nullptr);
    EXPECT_EQ(b.FindSubItem("0020"), nullptr);
}

TEST(TierMove, AParentLeftWithoutItsIncompleteLowerTierIsCompleteAgain)
{
    auto s = OpenDemo();
    ASSERT_TRUE(s);
    CSubcontract& parent = s->Sub("00000005");
    ASSERT_FALSE(FlagTest(parent.m_wFlags, SUB_TIERS_COMPLETE));
    Made(s->edits->MoveSubcontractor(s->Sub("00000006"), nullptr));
    EXPECT_TRUE(FlagTest(parent.m_wFlags, SUB_TIERS_COMPLETE));
}

} // namespace
} // namespace kestrel::test
