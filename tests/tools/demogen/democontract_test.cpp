// The demo contract as the generator builds it: a schedule that behaves
// like an agency's, a subcontractor form with the fields at the indexes the
// program relies on, and records whose cells agree with their pick lists.

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "demogen/demoforms.h"
#include "demogen/demogen.h"
#include "demogen/demolists.h"
#include "edit/fieldrules.h"
#include "model/contract/contract.h"
#include "model/subcontract/subservices.h"
#include "model/subcontract/winmeta.h"

using namespace kestrel;
using namespace kestrel::demo;

namespace {

class DemoContractTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { s_contract = BuildDemoContract().release(); }
    static void TearDownTestSuite()
    {
        delete s_contract;
        s_contract = nullptr;
    }

    static CContract& C() { return *s_contract; }
    static CWinMeta& Subs() { return *s_contract->m_pSubTable; }
    static std::string Cell(int record, int field)
    {
        const Text* t = Subs().m_Records[record]->GetCellText(field);
        return t ? std::string(TextView(*t)) : std::string();
    }

    static CContract* s_contract;
};

CContract* DemoContractTest::s_contract = nullptr;

std::string Columns(std::string_view entry, int start, int end)
{
    const size_t from = static_cast<size_t>(start - 1);
    if (from >= entry.size())
        return "";
    std::string s(
        entry.substr(from, end == 0 ? std::string_view::npos : static_cast<size_t>(end - start + 1)));
    while (!s.empty() && s.back() == ' ')
        s.pop_back();
    return s;
}

TEST_F(DemoContractTest, ScheduleLooksLikeAnAgencys)
{
    int items = 0, sections = 0, fixed = 0, lumpSum = 0, options = 0, alternates = 0;
    std::set<std::string> units;
    for (const auto& it : C().m_Items) {
        if (it->IsHeading()) {
            ++sections;
            continue;
        }
        ++items;
        units.insert(std::string(TextView(it->m_strUnit)));
        fixed += FlagTest(it->m_wFlags, ITEM_FIXED_PRICE);
        lumpSum += FlagTest(it->m_wFlags, ITEM_LUMP_SUM);
        options += FlagTest(it->m_wFlags, ITEM_IS_OPTION);
        alternates += FlagTest(it->m_wFlags, ITEM_IS_ALTERNATE);
        EXPECT_FALSE(TextEmpty(it->m_strShortDesc));
        EXPECT_LE(TextView(it->m_strShortDesc).size(), 24u) << TextView(it->m_strShortDesc);
        EXPECT_LE(TextView(it->m_strItemNumber).size(), 13u);
        EXPECT_LE(TextView(it->m_strUnit).size(), 4u);
    }
    EXPECT_GE(items, 240);
    EXPECT_GE(sections, 15);
    for (const char* unit : {"LF", "SY", "CY", "TON", "EACH", "LS", "GAL"})
        EXPECT_TRUE(units.count(unit)) << unit;
    EXPECT_GE(fixed, 2);
    EXPECT_GE(lumpSum, 10);
    EXPECT_GE(options, 2);
    EXPECT_GE(alternates, 4);
    EXPECT_EQ(C().m_QuanFormat.digits, 9);
    EXPECT_EQ(C().m_QuanFormat.decimals, 3);
    EXPECT_EQ(C().m_UPFormat.decimals, 5);
    EXPECT_EQ(C().m_ExtFormat.decimals, 2);
    EXPECT_GE(C().m_Counties.GetSize(), 2);
    EXPECT_GE(C().m_Sites.GetSize(), 2);
    EXPECT_GE(C().m_Notes.GetSize(), 2);
}

// A duplicate line number would hide an item from every lookup after the
// first; sub-items are keyed by line number, so each must find its item.
TEST_F(DemoContractTest, EveryLineNumberFindsItsOwnItem)
{
    for (const auto& it : C().m_Items) {
        if (!it->IsHeading()) {
            EXPECT_EQ(C().FindItemByLineNumber(TextView(it->m_strLineNumber)), it.get())
                << TextView(it->m_strLineNumber);
        }
    }
    for (const auto& rec : Subs().m_Records)
        rec->m_SubItems.ForEach([&](const std::string& line, const CSubItem&) {
            EXPECT_NE(C().FindItemByLineNumber(line), nullptr) << line;
        });
}

TEST_F(DemoContractTest, AlternateSectionsCompeteAndOneIsChosen)
{
    std::vector<const CItem*> deck;
    for (const auto& it : C().m_Items)
        if (it->IsHeading() && FlagTest(it->m_wFlags, ITEM_IS_ALTERNATE))
            deck.push_back(it.get());
    ASSERT_EQ(deck.size(), 2u);
    EXPECT_EQ(TextView(deck[0]->m_strAltCode).substr(0, 2), TextView(deck[1]->m_strAltCode).substr(0, 2));
    EXPECT_NE(FlagTest(deck[0]->m_wFlags, ITEM_CHOSEN), FlagTest(deck[1]->m_wFlags, ITEM_CHOSEN));
    const CItem* chosen = FlagTest(deck[0]->m_wFlags, ITEM_CHOSEN) ? deck[0] : deck[1];
    const CItem* other = chosen == deck[0] ? deck[1] : deck[0];
    EXPECT_LT(chosen->m_fExtension, other->m_fExtension);
}

TEST_F(DemoContractTest, FormHasTheFieldsTheProgramReliesOn)
{
    const CWinMeta& t = Subs();
    ASSERT_EQ(t.m_Fields.GetSize(), DSF_COUNT);
    auto field = [&](int i) { return t.m_Fields[i]; };
    EXPECT_EQ(field(SUBF_NUMBER)->m_iType, FIELD_TEXT);
    EXPECT_EQ(field(SUBF_TYPE)->m_iType, FIELD_DROPLIST);
    EXPECT_TRUE(FlagTest(field(SUBF_TYPE)->m_wFlags, 0));
    EXPECT_EQ(field(SUBF_AMOUNT)->m_iType, FIELD_MONEY);
    EXPECT_EQ(field(SUBF_ORIG_AMOUNT)->m_iType, FIELD_MONEY);
    EXPECT_EQ(field(SUBF_PERCENT)->m_iType, FIELD_NUMBER);
    // 10, 12 and 14 share the vendor list, whose key the form recognises.
    const std::string vendor(TextView(field(DSF_VENDOR_ID)->m_strListSource));
    EXPECT_EQ(TextView(field(DSF_VENDOR_NAME)->m_strListSource), vendor);
    EXPECT_EQ(TextView(field(DSF_VENDOR_ADDRESS)->m_strListSource), vendor);
    EXPECT_EQ(vendor.substr(vendor.find(':') + 1), "VENDOR");
    for (int w : {DSF_WORK_TYPE1, DSF_WORK_TYPE2, DSF_WORK_TYPE3}) {
        const std::string src(TextView(field(w)->m_strListSource));
        EXPECT_EQ(src.substr(src.find(':') + 1), "WORKTYPE");
    }
    // The "sub type" entries carry the two flag characters.
    const CSAStringArray* types = C().FindList(TextView(field(SUBF_TYPE)->m_strListSource), false);
    ASSERT_NE(types, nullptr);
    for (const std::string_view e : *types) {
        ASSERT_GE(e.size(), 3u);
        EXPECT_TRUE((e[0] == '0' || e[0] == '1') && (e[1] == '0' || e[1] == '1')) << e;
    }
    // Every kind of required rule, and cell rules that point at a cell
    // that can hold a true text.
    std::set<int> kinds;
    std::set<std::string> names;
    for (const auto& f : t.m_Fields) {
        EXPECT_TRUE(names.insert(std::string(TextView(f->m_strName))).second) << TextView(f->m_strName);
        EXPECT_FALSE(TextEmpty(f->m_strHelp)) << TextView(f->m_strName);
        const int rule = f->m_iRequired;
        kinds.insert(rule == kAlwaysRequired ? 0 : rule == kNeverRequired ? 1 : 2);
        if (rule != kAlwaysRequired && rule != kNeverRequired) {
            ASSERT_GE(rule, 0);
            ASSERT_LT(rule, t.m_Fields.GetSize());
            const int type = t.m_Fields[rule]->m_iType;
            EXPECT_TRUE(type == FIELD_YESNO || rule == SUBF_YESNO) << TextView(f->m_strName);
        }
    }
    EXPECT_EQ(kinds.size(), 3u);
    EXPECT_FALSE(t.m_Defaults.empty());
    EXPECT_TRUE(FlagTest(t.m_wFlags, 2));
}

// Labels are drawn between the fields of a line, and the search for a
// line's fields stops at the first field of a later line: the fields must
// come in reading order and stay inside their label lines.
TEST_F(DemoContractTest, FieldsAreLaidOutInReadingOrder)
{
    for (const CWinMeta* t : {C().m_pSubTable.get(), C().m_pMiscTable.get()}) {
        int line = -1, end = 0;
        for (const auto& f : t->m_Fields) {
            ASSERT_GE(f->m_iY, line) << TextView(f->m_strName);
            if (f->m_iY != line)
                end = 0;
            EXPECT_GE(f->m_iX, end) << TextView(f->m_strName);
            EXPECT_GT(f->m_iX, 0) << TextView(f->m_strName);
            line = f->m_iY;
            end = f->m_iX + f->m_iCX;
            ASSERT_LT(static_cast<size_t>(line), t->m_LabelLines.size());
            EXPECT_GE(t->m_LabelLines[static_cast<size_t>(line)].size(), static_cast<size_t>(end));
        }
    }
}

TEST_F(DemoContractTest, CertificationFilterDropsDecertifiedFirms)
{
    const CDataFilter* filter = Subs().m_Filters.Lookup(kCertTypeList);
    ASSERT_NE(filter, nullptr);
    const CSAStringArray* list = C().FindList(kCertTypeList, false);
    ASSERT_NE(list, nullptr);
    int accepted = 0;
    for (const std::string_view e : *list) {
        const bool decertified = e.rfind("XDBE", 0) == 0;
        EXPECT_EQ(filter->Accepts(e), !decertified) << e;
        accepted += filter->Accepts(e);
    }
    EXPECT_EQ(accepted, static_cast<int>(list->size()) - 1);
}

TEST_F(DemoContractTest, TiersLinkThroughTheParentNumber)
{
    const CWinMeta& t = Subs();
    ASSERT_EQ(t.m_Records.GetSize(), 7);
    std::vector<const CSubcontract*> parents;
    for (const auto& r : t.m_Records)
        parents.push_back(r->m_pParent);
    EXPECT_EQ(parents[2], t.m_Records[1]);
    EXPECT_EQ(parents[5], t.m_Records[4]);
    EXPECT_EQ(std::count(parents.begin(), parents.end(), nullptr), 5);
    // What the reader rebuilds from field 3 is what the generator linked.
    auto copy = std::make_unique<CWinMeta>();
    copy->Copy(t);
    for (const auto& r : copy->m_Records)
        r->m_pParent = nullptr;
    copy->LinkParents();
    for (int i = 0; i < t.m_Records.GetSize(); ++i) {
        const CSubcontract* p = copy->m_Records[i]->m_pParent;
        EXPECT_EQ(p ? copy->m_Records.IndexOf(p) : -1, parents[i] ? t.m_Records.IndexOf(parents[i]) : -1);
    }
}

TEST_F(DemoContractTest, CompletenessGivesTheCheckSomethingToSay)
{
    std::vector<int> incomplete;
    for (int i = 0; i < Subs().m_Records.GetSize(); ++i)
        if (!Subs().IsRecordComplete(i))
            incomplete.push_back(i + 1);
    EXPECT_EQ(incomplete, (std::vector<int>{2, 5, 6}));
    EXPECT_FALSE(C().m_pMiscTable->IsRecordComplete(0));
    EXPECT_TRUE(FlagTest(C().m_wFlags, CONTRACT_HAS_MISC));

    // The Ironbark record is complete only because it is exempt.
    const int ironbark = 6;
    ASSERT_TRUE(FlagTest(Subs().m_Records[ironbark]->m_wFlags, SUB_FROMIRONBARK));
    auto copy = std::make_unique<CWinMeta>();
    copy->Copy(Subs());
    EXPECT_TRUE(copy->UpdateCompleteness(ironbark, true));
    EXPECT_FALSE(copy->UpdateCompleteness(ironbark, false));
}

TEST_F(DemoContractTest, SubItemsShowPartialAndOverCommittedWork)
{
    int partial = 0, over = 0, ironbark = 0;
    for (const auto& r : Subs().m_Records)
        r->m_SubItems.ForEach([&](const std::string& line, const CSubItem& si) {
            const CItem* item = C().FindItemByLineNumber(line);
            ASSERT_NE(item, nullptr);
            if (FlagTest(si.m_wFlags, SUBITEM_PARTIAL)) {
                ++partial;
                EXPECT_EQ(TextView(si.m_strUnitType), "PART");
            } else {
                EXPECT_EQ(TextView(si.m_strUnitType), TextView(item->m_strUnit));
            }
            if (FlagTest(si.m_wFlags, SUBITEM_OVERCOMMITTED)) {
                ++over;
                EXPECT_LT(RemainingQuantity(C(), item, r->m_pParent), 0.0);
                EXPECT_FALSE(FlagTest(si.m_wFlags, SUBITEM_COMPLETE));
            }
            if (FlagTest(si.m_wFlags, SUBITEM_FROMIRONBARK)) {
                ++ironbark;
                EXPECT_EQ(si.m_fOrigQuan, si.m_fQuan);
            }
            EXPECT_DOUBLE_EQ(si.m_fExt, RoundValue(si.m_fQuan * si.m_fUP, 2));
        });
    EXPECT_EQ(partial, 1);
    EXPECT_EQ(over, 1);
    EXPECT_GT(ironbark, 0);
}

// The cells hold what the form stores when an entry is chosen: the
// position in the list as the form fills it and the entry's own columns.
TEST_F(DemoContractTest, ListCellsAgreeWithTheirLists)
{
    std::vector<std::string> vendors;
    for (const Vendor& v : DemoVendors())
        vendors.push_back(VendorEntry(v));
    std::vector<std::string> sorted = vendors;
    std::sort(sorted.begin(), sorted.end()); // as the list file is sorted when read
    const CSAStringArray& types = *C().FindList(kSubTypeList, false);
    int chosenVendors = 0;
    for (int i = 0; i < Subs().m_Records.GetSize(); ++i) {
        const CSubcontract& r = *Subs().m_Records[i];
        const int v = r.GetCell(DSF_VENDOR_ID)->m_i;
        if (v >= 0) {
            ++chosenVendors;
            const std::string& e = sorted[static_cast<size_t>(v)];
            EXPECT_EQ(Cell(i, DSF_VENDOR_ID), Columns(e, kVendorIdStart, kVendorIdEnd));
            EXPECT_EQ(Cell(i, DSF_VENDOR_NAME), Columns(e, kVendorNameStart, kVendorNameEnd));
            EXPECT_EQ(Cell(i, DSF_VENDOR_ADDRESS), Columns(e, kVendorAddressStart, kVendorAddressEnd));
        }
        // The subcontract type decides itemized, 60 % credit, cells 19 and 23.
        const int t = r.GetCell(SUBF_TYPE)->m_i;
        ASSERT_GE(t, 0);
        const std::string_view entry = types[static_cast<size_t>(t)];
        EXPECT_EQ(Cell(i, SUBF_TYPE), Columns(entry, 4, 0));
        const bool itemized = entry[0] == '1', sixty = entry[1] == '1';
        EXPECT_EQ(FlagTest(r.m_wFlags, SUB_USESSUBITEMS), itemized);
        EXPECT_EQ(FlagTest(r.m_wFlags, SUB_USESIXTY), sixty);
        EXPECT_EQ(Cell(i, SUBF_YESNO), itemized ? "N" : "Y");
        EXPECT_EQ(Cell(i, SUBF_PERCENT), !itemized && sixty ? "60.00" : "100.00");
        EXPECT_EQ(itemized, r.m_SubItems.GetCount() > 0) << i;
    }
    EXPECT_EQ(chosenVendors, 6);
}

// A work type is stored with its position in the work-type list; the
// vendor's work types only decide which entries the drop-down offers, so
// each stored work type is one of them.
TEST_F(DemoContractTest, WorkTypesAreListPositionsAmongTheVendorsTypes)
{
    const int column = C().m_iHeaderB;
    ASSERT_GT(column, 0);
    for (int i = 0; i < Subs().m_Records.GetSize(); ++i) {
        const CSubcontract& r = *Subs().m_Records[i];
        std::string codes;
        if (const int v = r.GetCell(DSF_VENDOR_ID)->m_i; v >= 0) {
            const std::string entry = VendorEntry(DemoVendors()[static_cast<size_t>(v)]);
            codes = entry.size() >= static_cast<size_t>(column)
                        ? entry.substr(static_cast<size_t>(column - 1))
                        : "";
        }
        std::set<std::string> own;
        for (size_t k = 0; k < codes.size(); k += 4)
            own.insert(Columns(codes, static_cast<int>(k) + 1, static_cast<int>(k) + 4));
        for (int f : {DSF_WORK_TYPE1, DSF_WORK_TYPE2, DSF_WORK_TYPE3}) {
            const CCellData* cell = r.GetCell(f);
            if (cell->m_i < 0) {
                EXPECT_TRUE(TextEmpty(cell->m_psz));
                continue;
            }
            ASSERT_LT(static_cast<size_t>(cell->m_i), DemoWorkTypes().size());
            const std::string& type = DemoWorkTypes()[static_cast<size_t>(cell->m_i)];
            EXPECT_EQ(TextView(cell->m_psz), type) << "record " << i + 1;
            EXPECT_TRUE(own.empty() || own.count(Columns(type, 1, 4))) << "record " << i + 1 << ": " << type;
        }
        EXPECT_GE(r.GetCell(DSF_WORK_TYPE1)->m_i, 0) << "record " << i + 1;
    }
}

// Each work-type field has a list of its own, so that a subcontractor can
// do three kinds of work; all of them are the work types, under the key
// the vendor rule knows.
TEST_F(DemoContractTest, EachWorkTypeFieldHasItsOwnList)
{
    std::set<std::string> sources;
    for (int w : {DSF_WORK_TYPE1, DSF_WORK_TYPE2, DSF_WORK_TYPE3}) {
        const CFieldInfo& f = *Subs().m_Fields[w];
        std::string source(TextView(f.m_strListSource));
        std::transform(source.begin(), source.end(), source.begin(),
                       [](unsigned char ch) { return static_cast<char>(std::toupper(ch)); });
        sources.insert(source);
        EXPECT_EQ(ListKey(TextView(f.m_strListSource)), "WORKTYPE");
        if (w == DSF_WORK_TYPE1)
            continue;
        const CSAStringArray* list = C().FindList(TextView(f.m_strListSource), false);
        ASSERT_NE(list, nullptr) << w;
        ASSERT_EQ(list->size(), DemoWorkTypes().size());
        for (size_t i = 0; i < list->size(); ++i)
            EXPECT_EQ((*list)[i], DemoWorkTypes()[i]);
    }
    EXPECT_EQ(sources.size(), 3u);
}

TEST_F(DemoContractTest, SixtyPercentSupplierCountsAtSixtyPercent)
{
    double full = 0, credited = 0;
    for (const auto& r : Subs().m_Records) {
        if (r->m_pParent)
            continue;
        const double amount = ParseAmountText(TextView(*r->GetCellText(SUBF_AMOUNT)));
        full += amount;
        credited += FlagTest(r->m_wFlags, SUB_USESIXTY) ? 0.6 * amount : amount;
    }
    EXPECT_LT(credited, full);
    EXPECT_NEAR(Subs().m_fSubTotal, credited, 0.005);
}

TEST(DemoGenerator, BuildsTheSameContractEveryTime)
{
    auto a = BuildDemoContract();
    auto b = BuildDemoContract();
    ASSERT_EQ(a->m_Items.GetSize(), b->m_Items.GetSize());
    for (int i = 0; i < a->m_Items.GetSize(); ++i) {
        EXPECT_EQ(a->m_Items[i]->m_strLongDesc, b->m_Items[i]->m_strLongDesc);
        EXPECT_EQ(a->m_Items[i]->m_fQuantity, b->m_Items[i]->m_fQuantity);
    }
    EXPECT_EQ(a->m_pSubTable->m_fSubTotal, b->m_pSubTable->m_fSubTotal);
    EXPECT_EQ(VendorListFile(), VendorListFile());
}

TEST(DemoGenerator, LargeContractHasTheRequestedSize)
{
    auto c = BuildLargeContract({600, 12, 7});
    int items = 0;
    for (const auto& it : c->m_Items)
        items += !it->IsHeading();
    EXPECT_EQ(items, 600);
    ASSERT_EQ(c->m_pSubTable->m_Records.GetSize(), 12);
    int itemized = 0;
    for (const auto& r : c->m_pSubTable->m_Records) {
        EXPECT_LE(r->m_SubItems.GetCount(), 7);
        itemized += r->IsItemized() && r->m_SubItems.GetCount() > 0;
    }
    EXPECT_GT(itemized, 0);
    std::set<std::string> lines;
    for (const auto& it : c->m_Items) {
        if (!it->IsHeading()) {
            EXPECT_TRUE(lines.insert(std::string(TextView(it->m_strLineNumber))).second);
        }
    }
}

} // namespace
