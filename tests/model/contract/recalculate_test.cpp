#include <gtest/gtest.h>

#include "model/contract/contract.h"
#include "model/subcontract/winmeta.h"

namespace kestrel {
namespace {

double Blank()
{
    return BlankValue();
}

class Recalc : public ::testing::Test {
protected:
    Recalc() { c.m_ExtFormat = {10, 2}; }

    CItem* Heading(const char* code = nullptr, bool alternate = false)
    {
        CItem* e = c.m_Items.Add();
        FlagSet(e->m_wFlags, ITEM_SECTION, 1);
        if (alternate)
            FlagSet(e->m_wFlags, ITEM_IS_ALTERNATE, 1);
        if (code)
            e->m_strAltCode = code;
        return e;
    }
    CItem* Item(double quan, double price, const char* code = nullptr, bool alternate = false)
    {
        CItem* e = c.m_Items.Add();
        e->m_fQuantity = quan;
        e->m_fUnitPrice = price;
        if (alternate)
            FlagSet(e->m_wFlags, ITEM_IS_ALTERNATE, 1);
        if (code)
            e->m_strAltCode = code;
        return e;
    }
    // An alternate section holding one item of the given amount.
    CItem* AltSection(const char* code, double amount)
    {
        CItem* h = Heading(code, true);
        Item(1, amount);
        return h;
    }
    static bool Chosen(const CItem* e) { return FlagTest(e->m_wFlags, ITEM_CHOSEN); }

    CContract c;
};

TEST_F(Recalc, ExtensionsRoundAndDerivePrices)
{
    CItem* a = Item(3, 1.005);
    CItem* b = Item(8, Blank());
    b->m_fExtension = 100;
    CItem* zero = Item(0, Blank());
    zero->m_fExtension = 100;
    CItem* noQuan = Item(Blank(), 4);
    noQuan->m_fExtension = 50;
    CItem* noPrice = Item(2, Blank());
    noPrice->m_fExtension = 0;
    CItem* neg = Item(-2.5, 1);
    c.RecalculateContract();
    EXPECT_DOUBLE_EQ(a->m_fExtension, 3.02);
    EXPECT_DOUBLE_EQ(b->m_fUnitPrice, 12.5);
    EXPECT_DOUBLE_EQ(b->m_fExtension, 100);
    // A quantity of 0 leaves the price blank instead of infinite.
    EXPECT_TRUE(IsBlankValue(zero->m_fUnitPrice));
    EXPECT_DOUBLE_EQ(zero->m_fExtension, 100);
    EXPECT_TRUE(IsBlankValue(noQuan->m_fExtension));
    EXPECT_TRUE(IsBlankValue(noPrice->m_fExtension));
    c.m_ExtFormat.decimals = 0;
    c.RecalculateContract();
    EXPECT_DOUBLE_EQ(neg->m_fExtension, -3);
    EXPECT_DOUBLE_EQ(a->m_fExtension, 3);
}

TEST_F(Recalc, SectionAndContractTotals)
{
    CItem* h1 = Heading();
    Item(2, 10);
    CItem* fixed = Item(1, 5);
    FlagSet(fixed->m_wFlags, ITEM_FIXED_PRICE, 1);
    CItem* counted = Item(1, 7);
    FlagSet(counted->m_wFlags, ITEM_FIXED_PRICE, 1);
    FlagSet(counted->m_wFlags, ITEM_COUNT_FIXED, 1);
    Item(Blank(), 3);
    CItem* h2 = Heading();
    Item(1, 100);
    EXPECT_FALSE(c.RecalculateContract());
    EXPECT_DOUBLE_EQ(h1->m_fExtension, 27); // the fixed price without flag 5 adds nothing
    EXPECT_DOUBLE_EQ(h2->m_fExtension, 100);
    EXPECT_DOUBLE_EQ(c.m_fContractTotal, 127);
}

TEST_F(Recalc, LowestAlternateSectionIsChosen)
{
    Heading();
    Item(1, 50);
    CItem* a = AltSection("A1A", 500);
    CItem* b = AltSection("A1B", 400);
    FlagSet(a->m_wFlags, ITEM_CHOSEN, 1);
    EXPECT_TRUE(c.RecalculateContract());
    EXPECT_FALSE(Chosen(a));
    EXPECT_TRUE(Chosen(b));
    EXPECT_DOUBLE_EQ(c.m_fContractTotal, 450);
    EXPECT_FALSE(c.RecalculateContract()); // nothing changes the second time
}

TEST_F(Recalc, EqualAlternatesChooseTheLaterSection)
{
    CItem* a = AltSection("A1A", 400);
    CItem* b = AltSection("A1B", 400);
    c.RecalculateContract();
    EXPECT_FALSE(Chosen(a));
    EXPECT_TRUE(Chosen(b));
    EXPECT_DOUBLE_EQ(c.m_fContractTotal, 400);
}

TEST_F(Recalc, GroupsCompareWithoutCaseAndDifferentGroupsBothCount)
{
    CItem* a = AltSection("a1A", 300);
    CItem* b = AltSection("A1B", 200);
    CItem* other = AltSection("B2A", 1000);
    c.RecalculateContract();
    EXPECT_FALSE(Chosen(a));
    EXPECT_TRUE(Chosen(b));
    EXPECT_TRUE(Chosen(other));
    EXPECT_DOUBLE_EQ(c.m_fContractTotal, 1200);
}

TEST_F(Recalc, SectionsWithoutValidAmountsAreNotChosen)
{
    // The items of an alternate section carry its code; one without a price
    // spoils the whole section, which must not then win with a total of 0.
    CItem* unpriced = Heading("A1A", true);
    CItem* good = Item(1, 100, "A1A", true);
    Item(Blank(), 5, "A1A", true);
    CItem* empty = Heading("A1B", true);
    Item(Blank(), 1);
    CItem* priced = AltSection("A1C", 900);
    c.RecalculateContract();
    EXPECT_FALSE(Chosen(good));
    EXPECT_DOUBLE_EQ(unpriced->m_fExtension, 0);
    EXPECT_FALSE(Chosen(unpriced));
    EXPECT_FALSE(Chosen(empty));
    EXPECT_TRUE(Chosen(priced));
    EXPECT_DOUBLE_EQ(c.m_fContractTotal, 900);
}

TEST_F(Recalc, RepeatedCodeWithAnInvalidEntryLosesItsAmount)
{
    // Two sections share the code A1A; the second has a total of 0, which
    // is not valid, so A1A has no amount and A1B is chosen although dearer.
    CItem* a1 = AltSection("A1A", 100);
    CItem* a2 = AltSection("A1A", 0);
    CItem* b = AltSection("A1B", 500);
    c.RecalculateContract();
    EXPECT_FALSE(Chosen(a1));
    EXPECT_FALSE(Chosen(a2));
    EXPECT_TRUE(Chosen(b));
    EXPECT_DOUBLE_EQ(c.m_fContractTotal, 500);
}

TEST_F(Recalc, RepeatedCodeAddsUpItsSections)
{
    // A1A is 300 + 300 together, dearer than A1B at 500.
    CItem* a1 = AltSection("A1A", 300);
    CItem* a2 = AltSection("a1a", 300);
    CItem* b = AltSection("A1B", 500);
    c.RecalculateContract();
    EXPECT_FALSE(Chosen(a1));
    EXPECT_FALSE(Chosen(a2));
    EXPECT_TRUE(Chosen(b));
}

TEST_F(Recalc, AlternateItemsWithinASection)
{
    CItem* h = Heading();
    Item(1, 10);
    CItem* x = Item(1, 70, "01A", true);
    CItem* y = Item(1, 60, "01B", true);
    CItem* z = Item(Blank(), 1, "01C", true);
    CItem* exempt = Item(1, 90, "01D", true);
    FlagSet(exempt->m_wFlags, ITEM_NO_CHOICE, 1);
    c.RecalculateContract();
    EXPECT_FALSE(Chosen(x));
    EXPECT_TRUE(Chosen(y));
    EXPECT_FALSE(Chosen(z));
    EXPECT_TRUE(Chosen(exempt)); // exempt: chosen because it counts
    EXPECT_DOUBLE_EQ(h->m_fExtension, 10 + 60 + 90);
}

TEST_F(Recalc, SubcontractedTotalIsPartOfTheRecalculation)
{
    c.m_pSubTable = std::make_unique<CWinMeta>();
    CSubcontract* r = c.m_pSubTable->AddRecord(-1, 20);
    FlagSet(r->m_wFlags, SUB_USESSUBITEMS, 0);
    r->SetCellText(SUBF_AMOUNT, std::string("1,250.00"));
    c.RecalculateContract();
    EXPECT_DOUBLE_EQ(c.m_pSubTable->m_fSubTotal, 1250);
}

TEST_F(Recalc, AlternateGroupsAndCounts)
{
    Heading("A1A", true);    // 0
    Item(1, 1, "01A", true); // 1
    Item(1, 1, "01b", true); // 2
    Item(1, 1, "01B", true); // 3
    Item(1, 1, "02A", true); // 4
    Heading("a1C", true);    // 5
    Item(1, 1, "01C", true); // 6
    Heading();               // 7
    EXPECT_EQ(c.AlternateGroup(*c.m_Items[1]), "01");
    EXPECT_TRUE(c.SameAlternateGroup(0, 5));
    EXPECT_TRUE(c.SameAlternateGroup(1, 2));
    EXPECT_FALSE(c.SameAlternateGroup(1, 4));
    EXPECT_FALSE(c.SameAlternateGroup(0, 7)); // no code
    EXPECT_FALSE(c.SameAlternateGroup(0, 99));
    EXPECT_EQ(c.CountAlternates(0), 2); // A and C over all headings
    EXPECT_EQ(c.CountAlternates(1), 2); // A and B (b) up to the next heading
    EXPECT_EQ(c.CountAlternates(4), 1);
    EXPECT_EQ(c.CountAlternates(6), 1); // the item of the next section is not counted with 01A
    EXPECT_EQ(c.CountAlternates(7), 0);
}

TEST(Contract, DefaultTemplates)
{
    CContract c;
    EXPECT_EQ(c.m_DefaultTemplates.GetCount(), 6);
    EXPECT_EQ(c.m_DataTemplates.GetCount(), 0);
    EXPECT_EQ(c.m_iHeaderB, -1);
    EXPECT_EQ(c.m_pSubTable, nullptr);
    const std::string d79(79, '-');
    EXPECT_EQ(*c.FindDefaultTemplate("Report Simple Footer")->m_strText,
              "{DROP}" + std::string(80, '-') + "\n" + std::string(72, ' ') + "Page {PAGE_NUMBER}\f\r\\");
    EXPECT_EQ(*c.FindDefaultTemplate("Report Quote Proposal Tail")->m_strText,
              " Bid Total" + std::string(55, ' ') + "{CONTRACT_TOTAL}\n" + d79);
    EXPECT_EQ(*c.FindDefaultTemplate("Report Quote Section Head")->m_strText,
              std::string(25, ' ') +
                  "Section {SECTION_NUMBER}    Alt Group {SECTION_ALTERNATE_CODE}\n    "
                  "{SECTION_DESCRIPTION,SIZE=70,REPEAT,JUSTIFY=CENTER}\n" +
                  d79);
    EXPECT_EQ(*c.FindDefaultTemplate("Report Quote Section Tail")->m_strText,
              " Section {SECTION_NUMBER} Total" + std::string(46, ' ') + "{SECTION_TOTAL}\n" + d79);
    EXPECT_EQ(
        *c.FindDefaultTemplate("Report Quote Item")->m_strText,
        "{ITEM_LINE_NUMBER}   {ITEM_NUMBER,SIZE=13} {ITEM_QUANTITY}   {ITEM_UNIT}   {ITEM_UNIT_PRICE}   "
        "{ITEM_EXTENSION}\n{ITEM_ALTERNATE_CODE}  {ITEM_LONG_DESCRIPTION,SIZE=70,REPEAT}\n" +
            d79);
    EXPECT_EQ(*c.FindDefaultTemplate("Report Quote List Labels")->m_strText,
              "LINE  ITEM NUMBER           QUANTITY   UNIT         UNIT PRICE        EXTENSION\nALT  "
              "DESCRIPTION\n" +
                  d79);
}

TEST(Contract, FindItemByLineNumber)
{
    CContract c;
    CItem* head = c.m_Items.Add();
    FlagSet(head->m_wFlags, ITEM_SECTION, 1);
    head->m_strLineNumber = "0010";
    CItem* first = c.m_Items.Add();
    first->m_strLineNumber = "0010";
    CItem* dup = c.m_Items.Add();
    dup->m_strLineNumber = "0010";
    CItem* accented = c.m_Items.Add();
    accented->m_strLineNumber = "a\xE9";
    c.m_Items.Add(); // no line number
    EXPECT_EQ(c.FindItemByLineNumber("0010"), first);
    EXPECT_EQ(c.FindItemByLineNumber("A\xC9"), accented);
    EXPECT_EQ(c.FindItemByLineNumber("0011"), nullptr);
    EXPECT_EQ(c.FindItemByLineNumber("AE"), nullptr);
    c.m_Items.RemoveAt(1);
    EXPECT_EQ(c.FindItemByLineNumber("0010"), dup);
    c.m_Items.RemoveAt(1);
    EXPECT_EQ(c.FindItemByLineNumber("0010"), nullptr); // the heading is never found
}

TEST(Contract, TemplatesAndListsByName)
{
    CContract c;
    c.AddDataTemplate("A", std::string("a"));
    c.AddDataTemplate("B", std::string("b"));
    EXPECT_TRUE(c.MoveDataTemplate("A", "B"));
    EXPECT_EQ(c.FindDataTemplate("A"), nullptr);
    EXPECT_EQ(*c.FindDataTemplate("B")->m_strText, "a");
    EXPECT_FALSE(c.MoveDataTemplate("A", "C"));
    EXPECT_EQ(c.m_DataTemplates.GetCount(), 1);
    c.NewList("L", false)->push_back("x");
    EXPECT_EQ(c.FindList("L", true), nullptr);
    EXPECT_TRUE(c.NewList("L", false)->empty()); // replaces the old list
}

} // namespace
} // namespace kestrel
