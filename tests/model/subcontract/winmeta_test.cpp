#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/contract/contract.h"
#include "model/contract/wildcard.h"
#include "model/subcontract/subservices.h"
#include "model/subcontract/winmeta.h"
#include "support/testcontract.h"

using namespace kestrel;

namespace {

using test::MakeTextTable;

CSubcontract* AddNumbered(CWinMeta& t, const char* number, const char* parent = "")
{
    CSubcontract* r = t.AddRecord(-1, -1);
    r->SetCellText(SUBF_NUMBER, std::string(number));
    r->SetCellText(SUBF_PARENT, std::string(parent));
    return r;
}

std::vector<std::string> WalkNumbers(const CWinMeta& t)
{
    std::vector<std::string> out;
    for (CSubcontract* r = t.FirstChild(nullptr); r; r = t.FirstChild(r))
        out.push_back(std::string(TextView(*r->GetCellText(SUBF_NUMBER))));
    return out;
}

} // namespace

TEST(Numbering, TakesTheSmallestFreeNumber)
{
    auto t = MakeTextTable(4);
    AddNumbered(*t, "00000001");
    AddNumbered(*t, "00000003");
    CSubcontract* fresh = t->AddRecord(-1, -1);
    t->AssignNumber(fresh);
    EXPECT_EQ(TextView(*fresh->GetCellText(0)), "00000002");

    // All of 1 to 199 in use: the number stays as it was.
    auto full = MakeTextTable(4);
    for (int n = 1; n <= 199; ++n)
        full->AddRecord(-1, -1)->SetNumber(n);
    CSubcontract* extra = full->AddRecord(-1, -1);
    extra->SetCellText(0, std::string("keep"));
    full->AssignNumber(extra);
    EXPECT_EQ(TextView(*extra->GetCellText(0)), "keep");
}

TEST(Completeness, RequiredRulesAndIronbarkExemption)
{
    auto t = MakeTextTable(6);
    t->m_Fields[2]->m_iRequired = kAlwaysRequired;
    t->m_Fields[4]->m_iRequired = 5; // required when cell 5 holds a true text
    CSubcontract* r = t->AddRecord(-1, -1);
    r->SetCellText(5, std::string(" yes"));
    EXPECT_TRUE(t->IsFieldRequired(0, 4));
    r->SetCellText(5, std::string("No"));
    EXPECT_FALSE(t->IsFieldRequired(0, 4));

    EXPECT_FALSE(t->UpdateCompleteness(0, false)); // field 2 empty
    r->SetCellText(2, std::string("Acme"));
    EXPECT_TRUE(t->UpdateCompleteness(0, false));
    r->SetCellText(5, std::string("Y"));
    EXPECT_FALSE(t->UpdateCompleteness(0, false)); // field 4 now required
    r->SetCellText(4, std::string("x"));
    EXPECT_TRUE(t->UpdateCompleteness(0, false));

    // Received from Ironbark and exempt: complete despite empty required
    // cells, as long as bits 5 and 6 hold.
    r->SetCellText(2, std::string(""));
    FlagSet(r->m_wFlags, SUB_FROMIRONBARK, 1);
    EXPECT_FALSE(t->UpdateCompleteness(0, false));
    EXPECT_TRUE(t->UpdateCompleteness(0, true));
    FlagSet(r->m_wFlags, SUB_ITEMS_COMPLETE, 0);
    EXPECT_FALSE(t->UpdateCompleteness(0, true));
}

TEST(Completeness, LowerTierStateTravelsUpTheChain)
{
    auto t = MakeTextTable(4);
    t->m_Fields[1]->m_iRequired = kAlwaysRequired;
    CSubcontract* top = AddNumbered(*t, "00000001");
    CSubcontract* mid = AddNumbered(*t, "00000002", "00000001");
    CSubcontract* low = AddNumbered(*t, "00000003", "00000002");
    top->SetCellText(1, std::string("a"));
    mid->SetCellText(1, std::string("b"));
    t->LinkParents();
    EXPECT_EQ(low->m_pParent, mid);
    EXPECT_EQ(mid->m_pParent, top);

    EXPECT_FALSE(t->UpdateCompleteness(-1, false)); // low lacks field 1
    EXPECT_FALSE(FlagTest(mid->m_wFlags, SUB_TIERS_COMPLETE));
    EXPECT_FALSE(FlagTest(mid->m_wFlags, SUB_COMPLETE));
    EXPECT_FALSE(FlagTest(top->m_wFlags, SUB_COMPLETE));

    low->SetCellText(1, std::string("c"));
    EXPECT_TRUE(t->UpdateCompleteness(2, false));
    EXPECT_TRUE(FlagTest(mid->m_wFlags, SUB_COMPLETE));
    EXPECT_TRUE(FlagTest(top->m_wFlags, SUB_COMPLETE));
    EXPECT_TRUE(t->AllRecordsComplete());
}

TEST(Completeness, RenewedTierBitsFreeALeafStoredIncomplete)
{
    auto t = MakeTextTable(4);
    CSubcontract* top = AddNumbered(*t, "00000001");
    CSubcontract* leaf = AddNumbered(*t, "00000002", "00000001");
    FlagSet(leaf->m_wFlags, SUB_TIERS_COMPLETE, 0); // as a damaged file may hold it
    FlagSet(top->m_wFlags, SUB_TIERS_COMPLETE, 0);
    t->LinkParents();
    t->RenewTierBits();
    EXPECT_TRUE(t->UpdateCompleteness(-1, false));
    EXPECT_TRUE(FlagTest(leaf->m_wFlags, SUB_TIERS_COMPLETE));
    EXPECT_TRUE(FlagTest(top->m_wFlags, SUB_COMPLETE));
}

TEST(Tiers, LinkingLookupAndCycles)
{
    auto t = MakeTextTable(4);
    AddNumbered(*t, "00000001");
    CSubcontract* self = AddNumbered(*t, "00000002", "00000002");
    CSubcontract* a = AddNumbered(*t, "00000003", "00000004");
    CSubcontract* b = AddNumbered(*t, "00000004", "00000003");
    CSubcontract* into = AddNumbered(*t, "00000005", " 00000003 ");
    CSubcontract* shortRec = t->AddRecord(-1, 3); // no field 3: no parent
    shortRec->SetCellText(0, std::string("00000006"));
    t->LinkParents();
    shortRec->SetCellText(1, std::string("x"));
    EXPECT_EQ(self->m_pParent, nullptr);
    EXPECT_EQ(a->m_pParent, nullptr);
    EXPECT_EQ(b->m_pParent, nullptr);
    EXPECT_EQ(into->m_pParent, a); // trimmed lookup; the link itself is fine
    EXPECT_EQ(t->FindRecordByNumber("  "), nullptr);
    EXPECT_EQ(t->FindRecordByNumber("00000001\t"), t->m_Records[0]);

    // Links that loop (set after linking) cannot hang the walks, and the
    // records outside the loop still get the rules' answers.
    a->m_pParent = b;
    b->m_pParent = a;
    EXPECT_TRUE(a->IsItemized());
    FlagSet(b->m_wFlags, SUB_USESSUBITEMS, 0);
    EXPECT_FALSE(a->IsItemized());
    EXPECT_FALSE(into->IsItemized()); // into, a, b, a, ...
    FlagSet(b->m_wFlags, SUB_USESSUBITEMS, 1);

    // Completeness round a loop has no single answer; the records outside
    // it get theirs, and into (below the loop) its own.
    t->UpdateCompleteness(-1, false);
    for (CSubcontract* r : {t->m_Records[0], self, into, shortRec})
        EXPECT_TRUE(FlagTest(r->m_wFlags, SUB_COMPLETE));
    FlagSet(into->m_wFlags, SUB_ITEMS_COMPLETE, 0);
    EXPECT_FALSE(t->UpdateCompleteness(-1, false));
    EXPECT_FALSE(FlagTest(into->m_wFlags, SUB_COMPLETE));
    EXPECT_TRUE(FlagTest(self->m_wFlags, SUB_COMPLETE));

    CSubcontract* first = t->m_Records[0];
    first->AddSubItem("0010")->m_fExt = 100;
    self->AddSubItem("0020")->m_fExt = 50;
    for (CSubcontract* r : {a, b, into})
        r->AddSubItem("0010")->m_fExt = 1000;
    CContract c;
    c.m_pSubTable = std::move(t);
    // Only records without a parent count; the loop's records have one.
    ComputeSubcontractedTotal(c);
    EXPECT_DOUBLE_EQ(c.m_pSubTable->m_fSubTotal, 150);

    RemoveLineBelow(c, "0010", first); // nothing lies below the first record
    for (CSubcontract* r : {first, a, b, into})
        EXPECT_NE(r->FindSubItem("0010"), nullptr);
    RemoveLineBelow(c, "0010", a); // b and into lie below a; a itself keeps its line
    EXPECT_NE(first->FindSubItem("0010"), nullptr);
    EXPECT_NE(a->FindSubItem("0010"), nullptr);
    EXPECT_EQ(b->FindSubItem("0010"), nullptr);
    EXPECT_EQ(into->FindSubItem("0010"), nullptr);
}

TEST(Tiers, DepthFirstWalkInRecordOrder)
{
    auto t = MakeTextTable(4);
    AddNumbered(*t, "00000001");
    AddNumbered(*t, "00000002");
    AddNumbered(*t, "00000003", "00000001");
    AddNumbered(*t, "00000004", "00000003");
    AddNumbered(*t, "00000005", "00000001");
    AddNumbered(*t, "00000006", "00000002");
    t->LinkParents();
    EXPECT_EQ(WalkNumbers(*t), (std::vector<std::string>{"00000001", "00000003", "00000004", "00000005",
                                                         "00000002", "00000006"}));
    auto empty = MakeTextTable(4);
    EXPECT_EQ(empty->FirstChild(nullptr), nullptr);
}

TEST(Defaults, FillOnlyEmptyCellsOfTheNamedFields)
{
    auto t = MakeTextTable(4);
    t->m_Fields[1]->m_strName = "Type";
    t->m_Fields[2]->m_strName = "Remark";
    t->m_Defaults = {"type,   SUB", "Remark,none", "Xnameless"};
    t->m_Fields[3]->m_strName = "";
    CSubcontract* r = t->AddRecord(-1, -1);
    r->SetCellText(2, std::string("typed"));
    t->ApplyDefaults(r);
    EXPECT_EQ(TextView(*r->GetCellText(1)), "SUB");
    EXPECT_EQ(TextView(*r->GetCellText(2)), "typed");
    // No comma: empty field name, the value from the second character.
    EXPECT_EQ(TextView(*r->GetCellText(3)), "nameless");
}

TEST(Totals, SixtyPercentCreditAndLowerTiers)
{
    CContract c;
    c.m_ExtFormat = {9, 2};
    c.m_pSubTable = MakeTextTable(20);
    CWinMeta& t = *c.m_pSubTable;
    CSubcontract* a = AddNumbered(t, "00000001");
    CSubcontract* b = AddNumbered(t, "00000002");
    CSubcontract* lower = AddNumbered(t, "00000003", "00000001");
    for (CSubcontract* r : {a, b, lower})
        FlagSet(r->m_wFlags, SUB_USESSUBITEMS, 0);
    a->SetCellText(SUBF_AMOUNT, std::string("$1,000.00"));
    FlagSet(a->m_wFlags, SUB_USESIXTY, 1);
    b->SetCellText(SUBF_AMOUNT, std::string(" 500.00\t"));
    lower->SetCellText(SUBF_AMOUNT, std::string("300"));
    t.LinkParents();
    ComputeSubcontractedTotal(c);
    EXPECT_DOUBLE_EQ(t.m_fSubTotal, 1100.0);

    // An itemized record's amount is the sum of its sub-items, shown as money.
    FlagSet(b->m_wFlags, SUB_USESSUBITEMS, 1);
    b->AddSubItem("0010")->m_fExt = 1234.5;
    b->AddSubItem("0020")->m_fExt = 1000;
    SetBlankValue(b->AddSubItem("0030")->m_fExt);
    ComputeSubcontractedTotal(c);
    EXPECT_EQ(TextView(*b->GetCellText(SUBF_AMOUNT)), "$2,234.50");
    EXPECT_DOUBLE_EQ(t.m_fSubTotal, 600.0 + 2234.5);

    EXPECT_DOUBLE_EQ(ParseAmountText("($1,234.50)"), -1234.5);
    EXPECT_DOUBLE_EQ(ParseAmountText("n/a"), 0.0);
    EXPECT_DOUBLE_EQ(ParseAmountText(""), 0.0);
}

TEST(Remaining, QuantitiesPerTierWithPartialItems)
{
    CContract c;
    CItem* item = c.m_Items.Add();
    item->m_strLineNumber = "0010";
    item->m_fQuantity = 100;
    item->m_fExtension = 1000;
    c.m_pSubTable = MakeTextTable(4);
    CWinMeta& t = *c.m_pSubTable;
    CSubcontract* first = AddNumbered(t, "00000001");
    CSubcontract* second = AddNumbered(t, "00000002");
    CSubcontract* notItemized = AddNumbered(t, "00000003");
    CSubcontract* child = AddNumbered(t, "00000004", "00000001");
    t.LinkParents();
    CSubItem* s1 = first->AddSubItem("0010");
    s1->m_fQuan = 60;
    s1->m_fExt = 600;
    CSubItem* s2 = second->AddSubItem("0010");
    s2->m_fQuan = 50;
    FlagSet(s2->m_wFlags, SUBITEM_PARTIAL, 1);
    FlagSet(notItemized->m_wFlags, SUB_USESSUBITEMS, 0);
    notItemized->AddSubItem("0010")->m_fQuan = 30;
    child->AddSubItem("0010")->m_fQuan = 70; // over-commits its tier

    EXPECT_DOUBLE_EQ(RemainingQuantity(c, item, nullptr), 40.0);
    EXPECT_DOUBLE_EQ(RemainingExtension(c, item, nullptr), 400.0);
    EXPECT_DOUBLE_EQ(RemainingQuantity(c, item, first), -10.0);
    EXPECT_DOUBLE_EQ(RemainingQuantity(c, item, second), 50.0); // no child of second
    EXPECT_DOUBLE_EQ(RemainingQuantity(c, nullptr, nullptr), 0.0);

    // Removing the line below the first subcontract reaches its child only.
    RemoveLineBelow(c, "0010", first);
    EXPECT_EQ(child->FindSubItem("0010"), nullptr);
    EXPECT_NE(first->FindSubItem("0010"), nullptr);
    EXPECT_NE(second->FindSubItem("0010"), nullptr);
}

TEST(Filters, CharacterRangeTrimmingAndWildcards)
{
    CDataFilter f;
    f.m_iStart = 1;
    f.m_iEnd = 5;
    f.m_strPattern[2] = "001*";
    EXPECT_TRUE(f.Accepts("00123 Acme"));
    EXPECT_FALSE(f.Accepts("00213 Acme"));
    f.m_iStart = 0; // taken as 1
    EXPECT_TRUE(f.Accepts("00123 Acme"));
    f.m_iStart = 7;
    f.m_iEnd = 0; // to the end
    f.m_strPattern[0] = "acme";
    EXPECT_TRUE(f.Accepts("00213 Acme  "));
    f.m_iStart = 9;
    f.m_iEnd = 8; // start beyond end: nothing is tested
    f.m_strPattern[1] = "";
    EXPECT_TRUE(f.Accepts("00213 Acme"));
    CDataFilter none;
    EXPECT_FALSE(none.Accepts("anything"));

    EXPECT_TRUE(WildcardMatch("a*b?d", "AxxxbCd"));
    EXPECT_TRUE(WildcardMatch("*", ""));
    EXPECT_FALSE(WildcardMatch("?", ""));
    EXPECT_TRUE(WildcardMatch("*.kvs", "PROP.KVS"));
    EXPECT_FALSE(WildcardMatch("*.kvs", "prop.kvsx"));
    EXPECT_TRUE(WildcardMatch("\xe9t\xe9", "\xc9T\xc9"));
}

TEST(Tables, CopyRemapsParentsIntoTheCopy)
{
    auto t = MakeTextTable(4);
    AddNumbered(*t, "00000001");
    AddNumbered(*t, "00000002", "00000001");
    t->LinkParents();
    CWinMeta copy;
    copy.Copy(*t);
    ASSERT_EQ(copy.m_Records.GetSize(), 2);
    EXPECT_EQ(copy.m_Records[1]->m_pParent, copy.m_Records[0]);
}
