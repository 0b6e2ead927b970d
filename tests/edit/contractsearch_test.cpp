// Find: what is looked at, case folding in Windows-1252, the order of the
// hits and where each points, on small contracts and on the demo contract.

#include "edit/contractsearch.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "calc/codepage.h"
#include "edit/edittestutil.h"
#include "model/contract/contract.h"
#include "model/subcontract/winmeta.h"
#include "support/testcontract.h"

namespace kestrel {
namespace {

using test::AddItem;

// The text a hit points to, looked up the way the program will.
std::string_view TextOf(const CContract& c, const SearchHit& hit)
{
    switch (hit.place) {
    case HitPlace::Item: {
        const CItem& item = *c.m_Items[hit.item];
        switch (hit.itemText) {
        case ItemText::LineNumber: return TextView(item.m_strLineNumber);
        case ItemText::ItemNumber: return TextView(item.m_strItemNumber);
        case ItemText::ShortDescription: return TextView(item.m_strShortDesc);
        case ItemText::LongDescription: return TextView(item.m_strLongDesc);
        }
        break;
    }
    case HitPlace::SubcontractorField:
    case HitPlace::SubcontractorRemark:
    case HitPlace::MiscField: return TextView(*hit.record->GetCellText(hit.field));
    case HitPlace::SubItemNote: return TextView(hit.record->FindSubItem(hit.line)->m_strRemarks);
    }
    return {};
}

class Find : public ::testing::Test {
protected:
    void SetUp() override
    {
        c.m_pSubTable = test::MakeTextTable(20);
        test::AddHeading(c, "0001")->m_strLongDesc = "GENERAL";
        for (const char* line : {"0010", "0020", "0030", "0040", "0050", "0060"})
            AddItem(c, line, std::string("ITEM-") + line, "EA", "plain text");
    }
    CSubcontract* Sub(const std::string& name) { return test::AddSub(c, name); }

    CContract c;
};

TEST_F(Find, ItemTextsMatchWithoutRegardToCaseInWindows1252)
{
    CItem& item = *c.m_Items[2];
    item.m_strShortDesc = "Reinforced B\xE9ton arm\xE9"; // Béton armé
    item.m_strLongDesc = "\x9A"
                         "arka s\xFF";                                // šarka sÿ
    const SearchResult upper = SearchContract(c, "B\xC9TON ARM\xC9"); // BÉTON ARMÉ
    ASSERT_EQ(upper.hits.size(), 1u);
    const SearchHit& hit = upper.hits[0];
    EXPECT_EQ(hit.place, HitPlace::Item);
    EXPECT_EQ(hit.item, 2);
    EXPECT_EQ(hit.itemText, ItemText::ShortDescription);
    EXPECT_EQ(hit.line, "0020");
    EXPECT_EQ(hit.offset, 11u);
    EXPECT_EQ(hit.matched, "B\xE9ton arm\xE9"); // as the contract holds it
    EXPECT_EQ(SearchContract(c, "\x8A"
                                "ARKA S\x9F")
                  .hits.size(),
              1u);
    // Case, not accents: an e is not an é.
    EXPECT_TRUE(SearchContract(c, "beton").hits.empty());
}

// Every byte is found by itself and by its upper case, at the start, the
// middle and the end of a text, and among other bytes that fold alike.
TEST(FindBytes, EveryByteIsFoundInEitherCaseAnywhereInAText)
{
    CContract c;
    CItem& item = *c.m_Items.Add(); // only its short description is set
    for (int b = 1; b < 256; ++b) {
        const std::string one(1, static_cast<char>(b));
        const std::string upper = UpperNoCase(one);
        for (const std::string& text : {one, "xy" + one + "z", "xy" + one, "a" + upper + "b" + one}) {
            item.m_strShortDesc = text;
            for (const std::string& needle : {one, upper}) {
                const SearchResult r = SearchContract(c, needle);
                ASSERT_EQ(r.hits.size(), 1u) << "byte " << b << " in " << text;
                EXPECT_EQ(r.hits[0].offset, UpperNoCase(text).find(upper)) << "byte " << b;
            }
        }
    }
}

TEST_F(Find, EachTextGivesOneHitForItsFirstMatchInItemTextOrder)
{
    CItem& item = *c.m_Items[4]; // line 0040
    item.m_strItemNumber = "PIPE-0040";
    item.m_strShortDesc = "pipe, pipe and pipe";
    item.m_strLongDesc = "no match here";
    const SearchResult r = SearchContract(c, "pipe");
    ASSERT_EQ(r.hits.size(), 2u);
    EXPECT_EQ(r.hits[0].itemText, ItemText::ItemNumber);
    EXPECT_EQ(r.hits[1].itemText, ItemText::ShortDescription);
    EXPECT_EQ(r.hits[1].offset, 0u);
    // Line numbers and headings are items too.
    const SearchResult line = SearchContract(c, "0040");
    ASSERT_EQ(line.hits.size(), 2u);
    EXPECT_EQ(line.hits[0].itemText, ItemText::LineNumber);
    const SearchResult heading = SearchContract(c, "general");
    ASSERT_EQ(heading.hits.size(), 1u);
    EXPECT_EQ(heading.hits[0].item, 0);
    EXPECT_EQ(heading.hits[0].itemText, ItemText::LongDescription);
}

TEST_F(Find, AnEmptyNeedleFindsNothing)
{
    EXPECT_TRUE(SearchContract(c, "").hits.empty());
    EXPECT_FALSE(SearchContract(c, "").truncated);
}

// Every field of a record that holds data is looked at, in field order
// (the remark as a remark, a caption not), then the miscellaneous data's.
TEST_F(Find, EveryFieldOfTheRecordsAndOfTheMiscellaneousDataIsLookedAt)
{
    c.m_pSubTable->m_Fields[18]->m_iType = FIELD_STATIC;
    CSubcontract* a = Sub("Acme Paving");
    for (int f : {4, 9, 11, 13, 15, 18, 19}) // contact, remark, tax ID, quote number, ..., a caption
        a->SetCellText(f, "acme " + std::to_string(f));
    c.m_pMiscTable = test::MakeTextTable(3);
    c.m_pMiscTable->AddRecord(-1, -1)->SetCellText(2, "Acme surety");
    std::string found;
    for (const SearchHit& h : SearchContract(c, "ACME").hits)
        found += std::string(h.place == HitPlace::MiscField             ? " M"
                             : h.place == HitPlace::SubcontractorRemark ? " R"
                                                                        : " F") +
                 std::to_string(h.field);
    EXPECT_EQ(found, " F2 F4 R9 F11 F13 F15 F19 M2");
}

TEST_F(Find, NotesFollowTheItemOrderOfTheirLinesNotTheMapOrder)
{
    CSubcontract* a = Sub("A");
    const char* lines[] = {"0060", "0010", "0050", "0030", "9999"};
    for (const char* line : lines)
        test::AddSubItem(*a, line, 1, 1)->m_strRemarks = "culvert pipe";
    const std::vector<std::string> keys = a->m_SubItems.Keys();
    ASSERT_FALSE(std::is_sorted(keys.begin(), keys.end())) << "the map happens to be in item order";
    a->SetCellText(SUBF_REMARK, "pipe crew");
    CSubcontract* b = Sub("B");
    test::AddSubItem(*b, "0020", 1, 1)->m_strRemarks = "Pipe";

    const SearchResult r = SearchContract(c, "pipe");
    std::vector<std::string> order;
    for (const SearchHit& h : r.hits) {
        ASSERT_NE(h.place, HitPlace::Item);
        order.push_back((h.record == a ? "A " : "B ") +
                        (h.place == HitPlace::SubItemNote ? h.line : "remark"));
    }
    EXPECT_EQ(order, (std::vector<std::string>{"A remark", "A 0010", "A 0030", "A 0050", "A 0060", "A 9999",
                                               "B 0020"}));
    EXPECT_EQ(r.hits[1].item, 1);  // line 0010
    EXPECT_EQ(r.hits[5].item, -1); // no item has line 9999
    EXPECT_EQ(r.hits[0].place, HitPlace::SubcontractorRemark);
    EXPECT_EQ(r.hits[0].field, SUBF_REMARK);
}

TEST_F(Find, TheAreasChooseWhatIsLookedAt)
{
    c.m_Items[1]->m_strShortDesc = "rebar";
    CSubcontract* a = Sub("Rebar Co");
    a->SetCellText(SUBF_REMARK, "rebar only");
    test::AddSubItem(*a, "0010", 1, 1)->m_strRemarks = "rebar ties";
    auto places = [&](unsigned areas) {
        std::vector<HitPlace> p;
        for (const SearchHit& h : SearchContract(c, "REBAR", {areas, 0}).hits)
            p.push_back(h.place);
        return p;
    };
    EXPECT_EQ(places(SEARCH_ITEMS), std::vector<HitPlace>{HitPlace::Item});
    EXPECT_EQ(places(SEARCH_SUBCONTRACTORS), std::vector<HitPlace>{HitPlace::SubcontractorField});
    EXPECT_EQ(places(SEARCH_REMARKS),
              (std::vector<HitPlace>{HitPlace::SubcontractorRemark, HitPlace::SubItemNote}));
    c.m_pMiscTable = test::MakeTextTable(1);
    c.m_pMiscTable->AddRecord(-1, -1)->SetCellText(0, "no rebar");
    EXPECT_EQ(places(SEARCH_MISC), std::vector<HitPlace>{HitPlace::MiscField});
    EXPECT_EQ(places(SEARCH_ALL).size(), 5u);
}

// The demo contract, opened as the program opens it.
class FindInDemo : public ::testing::Test {
protected:
    void SetUp() override
    {
        demo = test::OpenDemo();
        ASSERT_TRUE(demo);
    }
    const CContract& C() const { return *demo->contract; }

    std::unique_ptr<test::EditSession> demo;
};

TEST_F(FindInDemo, EveryHitPointsAtItsMatchAndEveryMatchingItemTextIsFound)
{
    for (const char* needle : {"bridge", "a", "00", "PAVING", "temp conc", "zzz-none"}) {
        const SearchResult r = SearchContract(C(), needle);
        size_t itemHits = 0;
        for (const SearchHit& h : r.hits) {
            const std::string_view text = TextOf(C(), h);
            ASSERT_LE(h.offset + h.matched.size(), text.size()) << needle;
            EXPECT_EQ(text.substr(h.offset, h.matched.size()), h.matched) << needle;
            EXPECT_TRUE(EqualNoCase(h.matched, needle)) << needle;
            itemHits += h.place == HitPlace::Item;
        }
        size_t expected = 0;
        const std::string folded = UpperNoCase(needle);
        for (const auto& item : C().m_Items)
            for (const Text* t : {&item->m_strLineNumber, &item->m_strItemNumber, &item->m_strShortDesc,
                                  &item->m_strLongDesc})
                expected += UpperNoCase(TextView(*t)).find(folded) != std::string::npos;
        EXPECT_EQ(itemHits, expected) << needle;
    }
}

TEST_F(FindInDemo, NamesRemarksAndNotesOfTheDemo)
{
    const CSubcontract& keystone = demo->Sub("00000002");
    std::vector<int> fields;
    for (const SearchHit& h : SearchContract(C(), "keystone bridge").hits) {
        EXPECT_EQ(h.record, &keystone);
        fields.push_back(h.field);
    }
    EXPECT_EQ(fields, (std::vector<int>{SUBF_NAME, 12})); // the name and the vendor's name

    const SearchResult remark = SearchContract(C(), "BRIDGE APPROACHES", {SEARCH_REMARKS, 0});
    ASSERT_EQ(remark.hits.size(), 1u);
    EXPECT_EQ(remark.hits[0].place, HitPlace::SubcontractorRemark);
    EXPECT_EQ(remark.hits[0].record, &demo->Sub("00000001"));

    // A subcontractor's description, as well as the item's.
    EXPECT_EQ(SearchContract(C(), "tuckahoe").hits.at(1).field, 29);

    const SearchResult note = SearchContract(C(), "450 cy take-off");
    ASSERT_EQ(note.hits.size(), 1u);
    EXPECT_EQ(note.hits[0].place, HitPlace::SubItemNote);
    EXPECT_EQ(note.hits[0].line, "1600");
    ASSERT_GE(note.hits[0].item, 0);
    EXPECT_EQ(TextView(C().m_Items[note.hits[0].item]->m_strLineNumber), "1600");
}

TEST_F(FindInDemo, ALimitGivesTheFirstHitsOfTheFullSearch)
{
    const SearchResult all = SearchContract(C(), "e");
    ASSERT_GT(all.hits.size(), 20u);
    EXPECT_FALSE(all.truncated);
    const SearchResult first = SearchContract(C(), "e", {SEARCH_ALL, 20});
    ASSERT_EQ(first.hits.size(), 20u);
    EXPECT_TRUE(first.truncated);
    for (size_t i = 0; i < first.hits.size(); ++i) {
        EXPECT_EQ(first.hits[i].place, all.hits[i].place) << i;
        EXPECT_EQ(first.hits[i].item, all.hits[i].item) << i;
        EXPECT_EQ(first.hits[i].itemText, all.hits[i].itemText) << i;
    }
}

} // namespace
} // namespace kestrel
