// Carrying the demo's and a generated contract's subcontracting over to
// amended files made by the test support: each kind of change alone and all
// together, undo back to the working file's bytes, a file over its own copy,
// and a foreign file.

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "demogen/demogen.h"
#include "edit/amendment.h"
#include "edit/edittestutil.h"
#include "edit/subitemrules.h"
#include "model/contract/contract.h"
#include "model/subcontract/check.h"
#include "model/subcontract/winmeta.h"
#include "support/amendmentmaker.h"

namespace kestrel {
namespace {

using test::EditSession;

const SubcontractorEffects* EffectsOf(const AmendmentPreview& p, const std::string& number)
{
    for (const SubcontractorEffects& fx : p.subcontractors)
        if (fx.number == number)
            return &fx;
    return nullptr;
}

template <class T> const T* FindLine(const std::vector<T>& list, const std::string& line)
{
    const auto it = std::find_if(list.begin(), list.end(), [&](const T& t) { return t.line == line; });
    return it != list.end() ? &*it : nullptr;
}

template <class T> bool HasLine(const std::vector<T>& list, const std::string& line)
{
    return FindLine(list, line) != nullptr;
}

bool HasEntry(const std::vector<AmendedEntry>& list, const std::string& line)
{
    return std::any_of(list.begin(), list.end(), [&](const AmendedEntry& e) { return e.line == line; });
}

bool HasChange(const AmendmentPreview& p, const std::string& line, const std::string& what)
{
    for (const AmendedItem& item : p.itemsChanged)
        if (item.entry.line == line)
            for (const std::string& c : item.changes)
                if (c.rfind(what, 0) == 0)
                    return true;
    return false;
}

const CSubItem* CarriedSubItem(const CContract& c, const char* number, const char* line)
{
    const CSubcontract* rec = c.m_pSubTable->FindRecordByNumber(number);
    return rec ? rec->FindSubItem(line) : nullptr;
}

std::string CellNamed(const CWinMeta& table, const CSubcontract& rec, const char* name)
{
    const int j = table.FindField(name);
    return j >= 0 && rec.GetCell(j) ? std::string(TextView(rec.GetCell(j)->m_psz)) : "<no field>";
}

struct Case {
    const char* name;
    std::function<void(CContract&)> amend;
    std::function<void(const AmendmentPreview&, const CContract&)> expect;
};

const std::vector<Case>& Cases()
{
    static const std::vector<Case> cases = {
        {"quantity below what a subcontractor holds",
         [](CContract& c) { test::ItemAt(c, "1190").m_fQuantity = 19800; },
         [](const AmendmentPreview& p, const CContract& c) {
             EXPECT_TRUE(HasChange(p, "1190", "Quantity: 21,500.000 -> 19,800.000"));
             ASSERT_TRUE(EffectsOf(p, "00000001"));
             EXPECT_TRUE(HasLine(EffectsOf(p, "00000001")->overCommitted, "1190"));
             EXPECT_TRUE(FlagTest(CarriedSubItem(c, "00000001", "1190")->m_wFlags, SUBITEM_OVERCOMMITTED));
         }},
        {"line removed that two tiers hold", [](CContract& c) { test::RemoveLine(c, "1460"); },
         [](const AmendmentPreview& p, const CContract& c) {
             EXPECT_TRUE(HasEntry(p.itemsRemoved, "1460"));
             for (const char* sub : {"00000002", "00000003"}) {
                 ASSERT_TRUE(EffectsOf(p, sub)) << sub;
                 const DroppedSubItem* dropped = FindLine(EffectsOf(p, sub)->dropped, "1460");
                 ASSERT_TRUE(dropped) << sub;
                 EXPECT_EQ(dropped->quantity, "26,400.000");
                 EXPECT_EQ(dropped->reason, "line removed");
                 EXPECT_EQ(CarriedSubItem(c, sub, "1460"), nullptr);
             }
         }},
        {"line added",
         [](CContract& c) { test::InsertLine(c, "2320", "2325", "681-05000", "EACH", 12, 640); },
         [](const AmendmentPreview& p, const CContract& c) {
             EXPECT_TRUE(HasEntry(p.itemsAdded, "2325"));
             EXPECT_NE(c.FindItemByLineNumber("2325"), nullptr);
         }},
        {"unit price changed", [](CContract& c) { test::ItemAt(c, "1620").m_fUnitPrice = 710; },
         [](const AmendmentPreview& p, const CContract& c) {
             EXPECT_TRUE(HasChange(p, "1620", "Unit price"));
             ASSERT_TRUE(EffectsOf(p, "00000002"));
             EXPECT_TRUE(HasLine(EffectsOf(p, "00000002")->otherChanges, "1620"));
             EXPECT_EQ(CarriedSubItem(c, "00000002", "1620")->m_fUP, 612); // the subcontractor's price
         }},
        {"unit changed", [](CContract& c) { test::ItemAt(c, "1140").m_strUnit = "SM"; },
         [](const AmendmentPreview& p, const CContract& c) {
             EXPECT_TRUE(HasChange(p, "1140", "Unit: SY -> SM"));
             ASSERT_TRUE(EffectsOf(p, "00000001"));
             EXPECT_TRUE(HasLine(EffectsOf(p, "00000001")->unitChanged, "1140"));
             EXPECT_EQ(TextView(CarriedSubItem(c, "00000001", "1140")->m_strUnitType), "SM");
         }},
        {"lump sum changed", [](CContract& c) { test::SetLumpSum(c, "2310", true); },
         [](const AmendmentPreview& p, const CContract&) {
             ASSERT_TRUE(EffectsOf(p, "00000007"));
             EXPECT_TRUE(HasLine(EffectsOf(p, "00000007")->lumpSumChanged, "2310"));
         }},
        {"item number changed on the same line",
         [](CContract& c) { test::ItemAt(c, "1510").m_strItemNumber = "999-99999"; },
         [](const AmendmentPreview& p, const CContract& c) {
             EXPECT_TRUE(HasChange(p, "1510", "Item number"));
             ASSERT_TRUE(EffectsOf(p, "00000002"));
             const DroppedSubItem* dropped = FindLine(EffectsOf(p, "00000002")->dropped, "1510");
             ASSERT_TRUE(dropped);
             EXPECT_EQ(dropped->reason, "item number changed to 999-99999");
             EXPECT_EQ(CarriedSubItem(c, "00000002", "1510"), nullptr);
         }},
        {"line moved with its item number",
         [](CContract& c) { test::ItemAt(c, "1240").m_strLineNumber = "1245"; },
         [](const AmendmentPreview& p, const CContract& c) {
             ASSERT_TRUE(EffectsOf(p, "00000001"));
             const auto& moved = EffectsOf(p, "00000001")->moved;
             ASSERT_EQ(moved.size(), 1u);
             EXPECT_EQ(moved[0].fromLine, "1240");
             EXPECT_EQ(moved[0].toLine, "1245");
             EXPECT_EQ(CarriedSubItem(c, "00000001", "1240"), nullptr);
             ASSERT_NE(CarriedSubItem(c, "00000001", "1245"), nullptr);
             EXPECT_EQ(CarriedSubItem(c, "00000001", "1245")->m_fQuan, 14600);
         }},
        {"section added", [](CContract& c) { test::InsertSection(c, "2240", "0019", "SIGNAL UPGRADES"); },
         [](const AmendmentPreview& p, const CContract&) { EXPECT_TRUE(HasEntry(p.sectionsAdded, "0019")); }},
        {"section removed", [](CContract& c) { test::RemoveSection(c, "0018"); },
         [](const AmendmentPreview& p, const CContract&) {
             EXPECT_TRUE(HasEntry(p.sectionsRemoved, "0018"));
         }},
        {"field the form no longer holds", [](CContract& c) { test::RemoveField(*c.m_pSubTable, "INSURER"); },
         [](const AmendmentPreview& p, const CContract& c) {
             ASSERT_TRUE(EffectsOf(p, "00000001"));
             const auto& dropped = EffectsOf(p, "00000001")->droppedFields;
             ASSERT_FALSE(dropped.empty());
             EXPECT_EQ(dropped[0].field, "INSURER");
             EXPECT_EQ(dropped[0].value, "Keystone Mutual");
             // The fields behind it are found by name, not by place.
             const CWinMeta& t = *c.m_pSubTable;
             EXPECT_EQ(CellNamed(t, *t.FindRecordByNumber("00000001"), "POLICYNO"), "GL-88410273");
         }},
        {"misc-data field the form no longer holds",
         [](CContract& c) { test::RemoveField(*c.m_pMiscTable, "SURETY"); },
         [](const AmendmentPreview& p, const CContract& c) {
             ASSERT_EQ(p.miscData.droppedFields.size(), 1u);
             EXPECT_EQ(p.miscData.droppedFields[0].value, "Great Valley Surety Company");
             EXPECT_EQ(CellNamed(*c.m_pMiscTable, *c.m_pMiscTable->m_Records[0], "MISC_NOTES"),
                       "Bid bond number to follow from the surety before the letting.");
         }},
        {"value no longer on a changed list",
         [](CContract& c) {
             CSAStringArray* list = c.FindList("Pay Terms", false);
             CSAStringArray without;
             for (size_t i = 0; i < list->size(); ++i)
                 if ((*list)[i] != "Net 30")
                     without.push_back((*list)[i]);
             *list = without;
         },
         [](const AmendmentPreview& p, const CContract& c) {
             ASSERT_TRUE(EffectsOf(p, "00000001"));
             const auto& misfits = EffectsOf(p, "00000001")->listMisfits;
             ASSERT_EQ(misfits.size(), 1u);
             EXPECT_EQ(misfits[0].field, "PAYTERMS");
             const CWinMeta& t = *c.m_pSubTable;
             EXPECT_EQ(t.FindRecordByNumber("00000001")->GetCell(t.FindField("PAYTERMS"))->m_i, -1);
             EXPECT_EQ(CellNamed(t, *t.FindRecordByNumber("00000001"), "PAYTERMS"), "Net 30");
         }},
    };
    return cases;
}

Result<PreparedAmendment> Prepare(EditSession& s, const std::function<void(CContract&)>& amend)
{
    auto amended = test::AgencyCopy(*s.contract);
    amend(*amended);
    amended->RecalculateContract();
    return PrepareAmendment(*s.contract, std::move(amended), s.paths);
}

TEST(Amendment, EachKindOfChangeAloneAndAllTogether)
{
    for (const Case& c : Cases()) {
        SCOPED_TRACE(c.name);
        auto s = test::OpenDemo();
        const auto before = s->Bytes();
        Result<PreparedAmendment> prepared = Prepare(*s, c.amend);
        ASSERT_TRUE(prepared) << prepared.errorText();
        EXPECT_EQ(s->Bytes(), before) << "preparing changed the working contract";
        c.expect(prepared->preview, *prepared->contract);
    }
    SCOPED_TRACE("all together");
    auto s = test::OpenDemo();
    Result<PreparedAmendment> prepared = Prepare(*s, [](CContract& a) {
        for (const Case& c : Cases())
            c.amend(a);
    });
    ASSERT_TRUE(prepared) << prepared.errorText();
    for (const Case& c : Cases()) {
        SCOPED_TRACE(c.name);
        c.expect(prepared->preview, *prepared->contract);
    }
    EXPECT_EQ(prepared->preview.DroppedSubItemCount(), 3);
}

TEST(Amendment, ApplyThenUndoGivesBackTheWorkingBytes)
{
    auto s = test::OpenDemo();
    const auto before = s->Bytes();
    const CSubcontract* first = s->contract->m_pSubTable->m_Records[0];
    ASSERT_TRUE(FlagTest(first->m_wFlags, SUB_COMPLETE));
    const int errorsBefore = s->edits->LastCheck().errors;
    Result<PreparedAmendment> prepared = PrepareAmendment(*s->contract, demo::BuildDemoAmendment(), s->paths);
    ASSERT_TRUE(prepared);
    AppliedEdit applied = test::Made(s->edits->ApplyAmendment(prepared.value()));
    EXPECT_TRUE(s->Modified());
    EXPECT_EQ(s->contract->iAmendCount, 1);
    EXPECT_EQ(s->contract->FindItemByLineNumber("1460"), nullptr);
    // The follow-up ran: the over-committed tack coat leaves its
    // subcontractor incomplete, and the check says so.
    EXPECT_FALSE(FlagTest(s->Sub("00000001").m_wFlags, SUB_COMPLETE));
    EXPECT_GT(s->edits->LastCheck().errors, errorsBefore);
    EXPECT_EQ(s->contract->m_strPrimeName, demo::BuildDemoContract()->m_strPrimeName);
    EXPECT_NE(s->Bytes(), before);
    s->edits->Undo(applied);
    EXPECT_FALSE(s->Modified());
    EXPECT_EQ(s->Bytes(), before);
    EXPECT_EQ(s->contract->m_pSubTable->m_Records[0], first) << "undo brings back the same records";
    s->edits->Redo(applied);
    EXPECT_EQ(s->contract->iAmendCount, 1);
    EXPECT_TRUE(s->Modified());
}

TEST(Amendment, OwnCopyChangesNothingButTheAgencyParts)
{
    auto s = test::OpenDemo();
    const auto before = s->Bytes();
    // The same file again, and the agency's issue of it (no contractor's
    // work, the amendment count one higher).
    auto same = std::make_unique<CContract>();
    same->Copy(*s->contract);
    for (auto* amended : {same.release(), test::AgencyCopy(*s->contract).release()}) {
        Result<PreparedAmendment> prepared =
            PrepareAmendment(*s->contract, std::unique_ptr<CContract>(amended), s->paths);
        ASSERT_TRUE(prepared);
        const AmendmentPreview& p = prepared->preview;
        EXPECT_TRUE(p.itemsAdded.empty() && p.itemsRemoved.empty() && p.itemsChanged.empty());
        EXPECT_TRUE(p.subcontractors.empty() && p.miscData.IsEmpty());
        AppliedEdit applied = test::Made(s->edits->ApplyAmendment(prepared.value()));
        const int count = s->contract->iAmendCount;
        s->contract->iAmendCount = 0;
        s->contract->SetModified(false);
        EXPECT_EQ(s->Bytes(), before);
        s->contract->iAmendCount = count;
        s->edits->Undo(applied);
    }
}

TEST(Amendment, ForeignContractIsRefusedNamingBoth)
{
    auto s = test::OpenDemo();
    const auto before = s->Bytes();
    for (const HeaderText which : {HDR_CONTRACT_ID, HDR_LETTING_ID}) {
        auto other = test::AgencyCopy(*s->contract);
        other->m_strHeader[which] = std::string("X99-0001");
        Result<PreparedAmendment> prepared = PrepareAmendment(*s->contract, std::move(other), s->paths);
        ASSERT_FALSE(prepared);
        EXPECT_EQ(prepared.errorCode(), kAmendmentNotSameContract);
        EXPECT_NE(prepared.errorText().find("C24-0471-01"), std::string::npos);
        EXPECT_NE(prepared.errorText().find("X99-0001"), std::string::npos);
    }
    EXPECT_EQ(s->Bytes(), before);
}

// A generated contract with one item in ten changed: every sub-item either
// stays on a line the amended contract has or is listed as dropped, and
// undo gives back the working bytes.
TEST(Amendment, GeneratedContractOneItemInTen)
{
    demo::LargeOptions shape;
    shape.items = 800;
    shape.subs = 30;
    shape.subItems = 60;
    auto s = std::make_unique<EditSession>(demo::BuildLargeContract(shape));
    const auto before = s->Bytes();
    auto amended = test::AgencyCopy(*s->contract);
    test::AmendOneInTen(*amended);
    int held = 0;
    int onRemovedLines = 0;
    for (const auto& rec : s->contract->m_pSubTable->m_Records)
        rec->m_SubItems.ForEach([&](const std::string& line, const CSubItem&) {
            ++held;
            onRemovedLines += amended->FindItemByLineNumber(line) ? 0 : 1;
        });
    ASSERT_GT(onRemovedLines, 0);
    Result<PreparedAmendment> prepared = PrepareAmendment(*s->contract, std::move(amended), s->paths);
    ASSERT_TRUE(prepared);
    EXPECT_EQ(prepared->preview.DroppedSubItemCount(), onRemovedLines);
    int carried = 0;
    for (const auto& rec : prepared->contract->m_pSubTable->m_Records)
        rec->m_SubItems.ForEach([&](const std::string& line, const CSubItem&) {
            ++carried;
            EXPECT_NE(prepared->contract->FindItemByLineNumber(line), nullptr) << line;
        });
    EXPECT_EQ(carried, held - onRemovedLines);
    AppliedEdit applied = test::Made(s->edits->ApplyAmendment(prepared.value()));
    s->edits->Undo(applied);
    EXPECT_EQ(s->Bytes(), before);
}

// The carry-over renews the marks of a line in one pass over the records;
// they must be the marks each sub-item gets on its own, in every tier.
TEST(Amendment, LineMarksAgreeWithEachSubItemsMarks)
{
    auto demo = demo::BuildDemoContract();
    FlagSet(demo->m_wFlags, CONTRACT_TRACK_PRICES, 1);
    demo->m_pSubTable->FindRecordByNumber("00000003")->FindSubItem("1610")->m_fQuan = 90000; // over its tier
    for (const auto& item : demo->m_Items)
        if (!item->IsHeading())
            item->m_fQuantity *= 0.9;
    demo->RecalculateContract();
    CContract byLine;
    byLine.Copy(*demo);
    int over = 0;
    for (const auto& item : demo->m_Items) {
        if (item->IsHeading())
            continue;
        RenewLineFlags(byLine, *byLine.FindItemByLineNumber(TextView(item->m_strLineNumber)), kEditTolerance);
        for (int r = 0; r < demo->m_pSubTable->m_Records.GetSize(); ++r) {
            CSubcontract& rec = *demo->m_pSubTable->m_Records[r];
            CSubItem* si = rec.FindSubItem(TextView(item->m_strLineNumber));
            if (!si)
                continue;
            RenewSubItemFlags(*demo, rec, *item, *si, kEditTolerance, true);
            const CSubItem* other =
                byLine.m_pSubTable->m_Records[r]->FindSubItem(TextView(item->m_strLineNumber));
            EXPECT_EQ(si->m_wFlags, other->m_wFlags) << TextView(item->m_strLineNumber) << " of record " << r;
            over += FlagTest(si->m_wFlags, SUBITEM_OVERCOMMITTED) ? 1 : 0;
        }
    }
    EXPECT_GT(over, 2);
}

TEST(Amendment, PreviewAndReportNameWhatChanged)
{
    auto s = test::OpenDemo();
    // A note longer than a printed line: the report breaks it, losing nothing.
    const std::string note =
        "Rebar quote covers epoxy coated bars for the substructure only; placing by "
        "Allegheny under a separate quote dated 03/02/26, delivery to the north abutment";
    s->Sub("00000002").FindSubItem("1460")->m_strRemarks = note;
    Result<PreparedAmendment> prepared = PrepareAmendment(*s->contract, demo::BuildDemoAmendment(), s->paths);
    ASSERT_TRUE(prepared);
    std::string text;
    for (const std::string& line : RenderAmendmentPreview(prepared->preview))
        text += line + "\n";
    for (const char* expected :
         {"Items added (1):\n  Line 2325  Item 681-05000", "Items removed (1):\n  Line 1460",
          "Line 1460  Item 503-04000  Quantity 26,400.000  (line removed)",
          "2 sub-items dropped, 3 subcontractors affected"})
        EXPECT_NE(text.find(expected), std::string::npos) << expected << "\n" << text;
    const auto pages = AmendmentReportPages(prepared->preview);
    ASSERT_EQ(pages.size(), 3u);
    EXPECT_EQ(pages[1][3], "Subcontractor 00000002 - Keystone Bridge & Structures LLC");
    std::string joined;
    for (const std::string& line : pages[1]) {
        EXPECT_LE(line.size(), 79u) << line;
        const size_t from = line.find_first_not_of(' ');
        joined += " " + (from == std::string::npos ? std::string() : line.substr(from));
    }
    EXPECT_NE(joined.find("Note: " + note), std::string::npos) << joined;
}

} // namespace
} // namespace kestrel
