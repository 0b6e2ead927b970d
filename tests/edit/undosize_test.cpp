// An undo step holds what its change changed, not an image of the tables:
// the same change on a contract with a hundred more subcontractors and
// five hundred more items keeps exactly as much, and so does the step that
// undo and redo leave behind.

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <string>

#include "edit/edittestutil.h"
#include "model/contract/contract.h"
#include "model/subcontract/winmeta.h"
#include "support/testcontract.h"

namespace kestrel::test {
namespace {

using Change = std::function<EditResult(CContractEdits&, CWinMeta&, CSubcontract& a, CSubcontract& b)>;

// The sizes of the step as made, undone and redone, on the small contract
// with two subcontractors on line 0010 and `others` more, each holding a
// line of its own among `items` more items.
std::array<size_t, 3> SizesOf(const Change& change, int others, int items)
{
    EditSession s(SmallContract(1u << CONTRACT_DRAG_TIERS));
    CContract& c = *s.contract;
    for (int i = 0; i < items; ++i)
        AddItem(c, "1" + std::to_string(1000 + i), 2, 3);
    for (int i = 0; i < others; ++i)
        AddSubItem(*AddSub(c, "Other"), "1" + std::to_string(1000 + i % (items ? items : 1)), 1, 3);
    CSubcontract& a = *AddSub(c, "A");
    CSubcontract& b = *AddSub(c, "B");
    AddSubItem(a, "0010", 60, 2);
    AddSubItem(b, "0010", 30, 2);
    // The state a full recompute gives, so that the change renews no more.
    c.RecalculateContract();
    for (int i = 0; i < s.Table().m_Records.GetSize(); ++i)
        s.Table().UpdateSubItemState(i, false);
    s.edits->RunCheck();

    AppliedEdit edit = Made(change(*s.edits, s.Table(), a, b));
    const size_t made = edit.inverse.Size();
    s.edits->Undo(edit);
    const size_t undone = edit.inverse.Size();
    s.edits->Redo(edit);
    return {made, undone, edit.inverse.Size()};
}

TEST(UndoSize, AStepHoldsWhatItsChangeChangedWhateverTheSizeOfTheContract)
{
    const std::pair<const char*, Change> changes[] = {
        {"cell", [](auto& e, auto& t, auto& a, auto&) { return e.SetCell(t, a, 5, "x"); }},
        {"quantity", [](auto& e, auto&, auto& a, auto&) { return e.SetSubItemQuantity(a, "0010", "75"); }},
        {"use", [](auto& e, auto&, auto& a, auto&) { return e.UseItem(a, "0020", true); }},
        {"unuse", [](auto& e, auto&, auto&, auto& b) { return e.UseItem(b, "0010", false); }},
        {"item", [](auto& e, auto&, auto&, auto&) { return e.SetItemQuantity("0010", "120"); }},
        {"add", [](auto& e, auto&, auto&, auto&) { return e.AddSubcontractor(nullptr); }},
        {"delete", [](auto& e, auto&, auto&, auto& b) { return e.DeleteSubcontractor(b); }},
        {"move", [](auto& e, auto&, auto& a, auto& b) { return e.MoveSubcontractor(b, &a); }},
        {"template", [](auto& e, auto&, auto&, auto&) { return e.SetTemplateText("T", "t"); }},
    };
    for (const auto& [name, change] : changes) {
        const std::array<size_t, 3> small = SizesOf(change, 0, 0);
        EXPECT_GT(small[0], 0u) << name;
        EXPECT_EQ(small[2], small[0]) << name;
        EXPECT_EQ(SizesOf(change, 100, 500), small) << name;
    }
}

} // namespace
} // namespace kestrel::test
