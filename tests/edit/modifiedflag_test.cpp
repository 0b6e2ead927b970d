// Contract flag 0 (modified): set by a change that changes a stored value
// and by no other, and cleared again when undo or redo comes back to the
// state last saved.

#include <gtest/gtest.h>

#include "edit/edittestutil.h"
#include "file/contractsave.h"
#include "model/contract/contract.h"
#include "model/subcontract/winmeta.h"
#include "support/testfiles.h"

namespace kestrel::test {
namespace {

TEST(ModifiedFlag, ChangesThatChangeNoValueLeaveItClear)
{
    auto s = OpenDemo();
    ASSERT_TRUE(s);
    ASSERT_FALSE(s->Modified());
    const auto before = s->Bytes();
    CContractEdits& e = *s->edits;
    CSubcontract& first = s->Sub("00000001");
    const CSubItem& si = *first.FindSubItem("1190");
    const std::string name(first.GetCellText(SUBF_NAME)->View());
    const std::string remark(si.m_strRemarks.View());
    const CPlate* front = s->contract->FindDataTemplate("Report Front");
    ASSERT_NE(front, nullptr);
    const std::string frontText(front->m_strText.View());

    std::vector<EditResult> unchanged;
    unchanged.push_back(e.SetCell(s->Table(), first, SUBF_NAME, name));
    unchanged.push_back(e.UseItem(first, "1190", true));  // already used
    unchanged.push_back(e.UseItem(first, "0030", false)); // not used
    unchanged.push_back(e.SetSubItemQuantity(first, "1190", "21,500"));
    unchanged.push_back(e.SetSubItemUnitPrice(first, "1190", "$3.05"));
    unchanged.push_back(e.SetSubItemPartial(first, "1190", false));
    unchanged.push_back(e.SetSubItemRemarks(first, "1190", remark));
    unchanged.push_back(e.SetItemQuantity("0030", "9"));
    unchanged.push_back(e.SetItemUnitPrice("0030", "3850"));
    unchanged.push_back(e.SetTemplateText("Report Front", frontText));
    unchanged.push_back(e.MoveSubcontractor(s->Sub("00000003"), &s->Sub("00000002"))); // its own parent
    for (size_t i = 0; i < unchanged.size(); ++i) {
        ASSERT_TRUE(unchanged[i].ok()) << i << ": " << unchanged[i].errorText();
        EXPECT_TRUE(unchanged[i].value().inverse.IsEmpty()) << i;
        EXPECT_FALSE(unchanged[i].value().event.valuesChanged) << i;
    }
    EXPECT_FALSE(s->Modified());
    EXPECT_EQ(s->Bytes(), before);
}

TEST(ModifiedFlag, AChangedValueSetsItAndUndoingBackToTheOpenedStateClearsIt)
{
    auto s = OpenDemo();
    ASSERT_TRUE(s);
    AppliedEdit a = Made(s->edits->SetSubItemRemarks(s->Sub("00000001"), "1190", "checked"));
    EXPECT_TRUE(s->Modified());
    EXPECT_TRUE(a.event.modifiedChanged);
    AppliedEdit b = Made(s->edits->SetItemQuantity("0030", "10"));
    EXPECT_FALSE(b.event.modifiedChanged);
    s->edits->Undo(b);
    EXPECT_TRUE(s->Modified());
    s->edits->Undo(a);
    EXPECT_FALSE(s->Modified());
    s->edits->Redo(a);
    EXPECT_TRUE(s->Modified());
}

TEST(ModifiedFlag, UndoingPastTheSavedStateSetsItAgain)
{
    auto s = OpenDemo();
    ASSERT_TRUE(s);
    const TempDir dir;
    AppliedEdit before = Made(s->edits->SetSubItemRemarks(s->Sub("00000001"), "1190", "first"));
    ASSERT_TRUE(SaveContract(*s->contract, dir.file("saved.con")).ok());
    s->edits->MarkSaved();
    ASSERT_FALSE(s->Modified());

    AppliedEdit after = Made(s->edits->SetSubItemRemarks(s->Sub("00000001"), "1190", "second"));
    EXPECT_TRUE(s->Modified());
    s->edits->Undo(after);
    EXPECT_FALSE(s->Modified()); // as saved
    s->edits->Undo(before);
    EXPECT_TRUE(s->Modified()); // differs from the file on disk
    s->edits->Redo(before);
    EXPECT_FALSE(s->Modified());
    s->edits->Redo(after);
    EXPECT_TRUE(s->Modified());
}

TEST(ModifiedFlag, AContractOpenedModifiedStaysModifiedWhenEverythingIsUndone)
{
    auto s = OpenDemo();
    ASSERT_TRUE(s);
    s->contract->SetModified(true);
    EditSession again(std::move(s->contract)); // as if the file held flag 0
    AppliedEdit a = Made(again.edits->SetItemQuantity("0030", "10"));
    again.edits->Undo(a);
    EXPECT_TRUE(again.Modified());
}

} // namespace
} // namespace kestrel::test
