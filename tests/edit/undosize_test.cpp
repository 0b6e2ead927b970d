// An undo step holds what its change changed, not an image of the tables:
// the same change on a contract with a hundred more subcontractors and
// five hundred more items keeps exactly as much, and so does the step that
// undo and redo leave behind.

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "edit/edittestutil.h"
#include "model/contract/contract.h"
#include "model/subcontract/winmeta.h"
#include "support/testcontract.h"

namespace kestrel::test {
namespace {

struct Sizes {
    size_t made = 0;
    size_t undone = 0;
    size_t redone = 0;
};

using Change = std::function<EditResult(EditSession&, CSubcontract& a, CSubcontract& b)>;

// The small contract with two subcontractors on line 0010 and `others`
// more, each holding a line of its own among `items` more items.
Sizes SizesOf(const Change& change, int others, int items)
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

    AppliedEdit edit = Made(change(s, a, b));
    Sizes sizes;
    sizes.made = edit.inverse.Size();
    s.edits->Undo(edit);
    sizes.undone = edit.inverse.Size();
    s.edits->Redo(edit);
    sizes.redone = edit.inverse.Size();
    return sizes;
}

TEST(UndoSize, AStepHoldsWhatItsChangeChangedWhateverTheSizeOfTheContract)
{
    const std::pair<const char*, Change> changes[] = {
        {"cell", [](EditSession& s, CSubcontract& a,
                    CSubcontract&) { return s.edits->SetCell(s.Table(), a, 5, "x"); }},
        {"quantity", [](EditSession& s, CSubcontract& a,
                        CSubcontract&) { return s.edits->SetSubItemQuantity(a, "0010", "75"); }},
        {"use",
         [](EditSession& s, CSubcontract& a, CSubcontract&) { return s.edits->UseItem(a, "0020", true); }},
        {"unuse",
         [](EditSession& s, CSubcontract&, CSubcontract& b) { return s.edits->UseItem(b, "0010", false); }},
        {"item", [](EditSession& s, CSubcontract&,
                    CSubcontract&) { return s.edits->SetItemQuantity("0010", "120"); }},
        {"add",
         [](EditSession& s, CSubcontract&, CSubcontract&) { return s.edits->AddSubcontractor(nullptr); }},
        {"delete",
         [](EditSession& s, CSubcontract&, CSubcontract& b) { return s.edits->DeleteSubcontractor(b); }},
        {"move",
         [](EditSession& s, CSubcontract& a, CSubcontract& b) { return s.edits->MoveSubcontractor(b, &a); }},
        {"template",
         [](EditSession& s, CSubcontract&, CSubcontract&) { return s.edits->SetTemplateText("T", "t"); }},
    };
    for (const auto& [name, change] : changes) {
        const Sizes small = SizesOf(change, 0, 0);
        const Sizes large = SizesOf(change, 100, 500);
        EXPECT_GT(small.made, 0u) << name;
        EXPECT_EQ(large.made, small.made) << name;
        EXPECT_EQ(large.undone, small.undone) << name;
        EXPECT_EQ(large.redone, small.made) << name;
    }
}

} // namespace
} // namespace kestrel::test
