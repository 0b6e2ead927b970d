// What the exported tables hold: the item schedule, the subcontractors'
// items and the subcontractor list, cell by cell.

#include <gtest/gtest.h>

#include <limits>
#include <memory>
#include <string>

#include "exchange/exporttable.h"
#include "model/contract/contract.h"
#include "model/subcontract/winmeta.h"
#include "support/testcontract.h"

namespace kestrel {
namespace {

using Kind = ExportCell::Kind;

std::unique_ptr<CContract> MakeContract()
{
    auto c = std::make_unique<CContract>();
    c->m_QuanFormat = {8, 3};
    c->m_UPFormat = {7, 4};
    c->m_ExtFormat = {10, 2};
    CItem* h = test::AddHeading(*c, "0001");
    h->m_strAltCode = std::string("A1");
    h->m_strLongDesc = std::string("EARTHWORK");
    h->m_fExtension = 1234.5;
    CItem* a = test::AddItem(*c, "0010", "201-01", "EA", "Clearing, grubbing");
    a->m_fQuantity = 2;
    a->m_fUnitPrice = 1.25;
    a->m_fExtension = 2.5;
    CItem* lump = test::AddItem(*c, "0020", "109-01", "LS", "Mobilization");
    FlagSet(lump->m_wFlags, ITEM_LUMP_SUM, 1);
    lump->m_fQuantity = 1;
    lump->m_fUnitPrice = 500;
    lump->m_fExtension = 500;
    CItem* blank = test::AddItem(*c, "0030", "202-02", "CY", "Caf\xE9");
    SetBlankValue(blank->m_fQuantity);
    SetBlankValue(blank->m_fUnitPrice);
    SetBlankValue(blank->m_fExtension);
    return c;
}

const ExportCell& At(const ExportTable& t, size_t row, size_t column)
{
    return t.rows.at(row).at(column);
}

TEST(ExportTable, ItemScheduleRowsFollowTheContract)
{
    const auto c = MakeContract();
    const ExportTable t = ItemScheduleTable(*c);
    EXPECT_EQ(t.headings, (std::vector<std::string>{"Line", "Alternate", "Item", "Quantity", "Unit",
                                                    "Unit Price", "Extension", "Description"}));
    ASSERT_EQ(t.rows.size(), 4u);
    for (const auto& row : t.rows)
        EXPECT_EQ(row.size(), t.headings.size());

    // The heading: number, alternate code, the marker, total and description.
    EXPECT_EQ(At(t, 0, 0).text, "0001");
    EXPECT_EQ(At(t, 0, 1).text, "A1");
    EXPECT_EQ(At(t, 0, 2).text, "==Section==");
    for (size_t col : {3u, 4u, 5u})
        EXPECT_EQ(At(t, 0, col).kind, Kind::Empty) << col;
    EXPECT_EQ(At(t, 0, 6).kind, Kind::Number);
    EXPECT_EQ(At(t, 0, 6).text, "1234.50");
    EXPECT_EQ(At(t, 0, 7).text, "EARTHWORK");

    // An item: numbers with their format's decimals, as numbers.
    EXPECT_EQ(At(t, 1, 2).text, "201-01");
    EXPECT_EQ(At(t, 1, 3).kind, Kind::Number);
    EXPECT_EQ(At(t, 1, 3).text, "2.000");
    EXPECT_DOUBLE_EQ(At(t, 1, 3).value, 2.0);
    EXPECT_EQ(At(t, 1, 5).text, "1.2500");
    EXPECT_DOUBLE_EQ(At(t, 1, 5).value, 1.25);
    EXPECT_EQ(At(t, 1, 6).text, "2.50");
    EXPECT_EQ(At(t, 1, 7).text, "Clearing, grubbing");

    // A lump-sum item shows "LUMP" as the grid does; its prices stay.
    EXPECT_EQ(At(t, 2, 3).kind, Kind::Text);
    EXPECT_EQ(At(t, 2, 3).text, "LUMP");
    EXPECT_EQ(At(t, 2, 5).text, "500.0000");

    // Blank numbers stay empty; texts stay Windows-1252 until written.
    for (size_t col : {3u, 5u, 6u})
        EXPECT_EQ(At(t, 3, col).kind, Kind::Empty) << col;
    EXPECT_EQ(At(t, 3, 7).text, "Caf\xE9");
    EXPECT_EQ(At(t, 3, 1).kind, Kind::Empty); // an empty alternate code
}

TEST(ExportTable, NumberCellsCarryTheirColumnFormats)
{
    const auto c = MakeContract();
    const ExportTable t = ItemScheduleTable(*c);
    const ExportCell& quantity = At(t, 1, 3);
    const ExportCell& price = At(t, 1, 5);
    const ExportCell& extension = At(t, 1, 6);
    const ExportNumberFormat& q = t.formats.at(static_cast<size_t>(quantity.format));
    const ExportNumberFormat& p = t.formats.at(static_cast<size_t>(price.format));
    const ExportNumberFormat& e = t.formats.at(static_cast<size_t>(extension.format));
    EXPECT_EQ(q.digits, 8);
    EXPECT_EQ(q.decimals, 3);
    EXPECT_FALSE(q.money);
    EXPECT_EQ(p.decimals, 4);
    EXPECT_TRUE(p.money);
    EXPECT_EQ(e.digits, 10);
    EXPECT_EQ(e.decimals, 2);
    EXPECT_TRUE(e.money);
}

TEST(ExportTable, PlainNumbersNeverOverflowIntoStars)
{
    EXPECT_EQ(PlainNumberText(1234567.5, 2), "1234567.50");
    EXPECT_EQ(PlainNumberText(-12.5, 2), "-12.50");
    EXPECT_EQ(PlainNumberText(12.5, 0), "12"); // printf rounds half to even
    EXPECT_EQ(PlainNumberText(1e15, 2), "1000000000000000.00");
    // Decimals from a damaged file are held within 0 to 15.
    EXPECT_EQ(PlainNumberText(1.5, -3), "2");
    EXPECT_EQ(PlainNumberText(0.25, 100), "0.250000000000000");
    // A value wider than its format's digits keeps every digit.
    auto c = MakeContract();
    c->m_ExtFormat = {3, 2};
    c->m_Items[1]->m_fExtension = 123456.78;
    EXPECT_EQ(At(ItemScheduleTable(*c), 1, 6).text, "123456.78");
}

TEST(ExportTable, ValuesThatAreNoNumbersStayText)
{
    auto c = MakeContract();
    c->m_Items[1]->m_fUnitPrice = std::numeric_limits<double>::infinity();
    const ExportTable t = ItemScheduleTable(*c);
    const ExportCell& cell = At(t, 1, 5);
    EXPECT_EQ(cell.kind, Kind::Text);
    EXPECT_EQ(cell.text, "inf");
}

// A subcontractor table of 24 text fields with a vendor drop-down at 10.
void AddSubTable(CContract& c)
{
    c.m_pSubTable = test::MakeTextTable(24);
    c.m_pSubTable->m_PercentFormat = {3, 1};
    CFieldInfo& vendor = *c.m_pSubTable->m_Fields[10];
    vendor.m_iType = FIELD_DROPTYPE;
    vendor.m_strListSource = std::string("VENDORS.BIN: Vendor ");
}

TEST(ExportTable, SubItemsInContractOrderWithTheirMarks)
{
    auto c = MakeContract();
    AddSubTable(*c);
    CSubcontract* first = test::AddSub(*c, "First, Inc.");
    CSubcontract* empty = test::AddSub(*c, "Nothing");
    CSubcontract* second = test::AddSub(*c, "Second");
    (void)empty;
    // Added out of contract order; one for a line the contract lacks.
    CSubItem* late = test::AddSubItem(*first, "0030", 3, 4);
    FlagSet(late->m_wFlags, SUBITEM_COMPLETE, 1);
    CSubItem* early = test::AddSubItem(*first, "0010", 1, 1.25);
    FlagSet(early->m_wFlags, SUBITEM_PARTIAL, 1);
    early->m_strUnitType = std::string("PART");
    early->m_strRemarks = std::string("night work");
    SetBlankValue(early->m_fUP);
    test::AddSubItem(*first, "9990", 5, 6);
    CSubItem* other = test::AddSubItem(*second, "0020", 1, 500);
    FlagSet(other->m_wFlags, SUBITEM_COMPLETE, 1);

    const ExportTable t = SubItemsTable(*c);
    EXPECT_EQ(t.headings,
              (std::vector<std::string>{"Subcontractor", "Name", "Line", "Item", "Quantity", "Unit",
                                        "Unit Price", "Extension", "Partial", "Notes", "Error? "}));
    ASSERT_EQ(t.rows.size(), 4u);
    EXPECT_EQ(At(t, 0, 0).text, "00000001");
    EXPECT_EQ(At(t, 0, 1).text, "First, Inc.");
    EXPECT_EQ(At(t, 0, 2).text, "0010");
    EXPECT_EQ(At(t, 0, 3).text, "201-01");
    EXPECT_EQ(At(t, 0, 4).text, "1.000");
    EXPECT_EQ(At(t, 0, 5).text, "PART");
    EXPECT_EQ(At(t, 0, 6).kind, Kind::Empty); // a blank unit price
    EXPECT_EQ(At(t, 0, 8).text, "Yes");
    EXPECT_EQ(At(t, 0, 9).text, "night work");
    EXPECT_EQ(At(t, 0, 10).text, "X"); // not complete
    EXPECT_EQ(At(t, 1, 2).text, "0030");
    EXPECT_EQ(At(t, 1, 8).text, "No");
    EXPECT_EQ(At(t, 1, 10).kind, Kind::Empty); // complete
    // The line the contract lacks comes last, with no item number.
    EXPECT_EQ(At(t, 2, 2).text, "9990");
    EXPECT_EQ(At(t, 2, 3).kind, Kind::Empty);
    EXPECT_EQ(At(t, 3, 0).text, "00000003");
    EXPECT_EQ(At(t, 3, 7).text, "500.00");

    // One subcontractor's own: its rows alone, as the whole table has them.
    const ExportTable own = SubItemsTable(*c, second);
    ASSERT_EQ(own.rows.size(), 1u);
    EXPECT_EQ(At(own, 0, 0).text, "00000003");
    EXPECT_EQ(At(own, 0, 7).text, "500.00");
    EXPECT_EQ(SubItemsTable(*c, first).rows.size(), 3u);
}

TEST(ExportTable, SubItemsOfALineGivenTwiceAreListedOnce)
{
    auto c = MakeContract();
    test::AddItem(*c, "0010", "201-01", "EA", "Again");
    AddSubTable(*c);
    test::AddSubItem(*test::AddSub(*c, "Only"), "0010", 1, 1);
    EXPECT_EQ(SubItemsTable(*c).rows.size(), 1u);
}

TEST(ExportTable, SubcontractorListWithTiersVendorAndAmounts)
{
    auto c = MakeContract();
    AddSubTable(*c);
    CSubcontract* top = test::AddSub(*c, "Top");
    CSubcontract* middle = test::AddSub(*c, "Middle", top);
    CSubcontract* bottom = test::AddSub(*c, "Bottom", middle);
    top->SetCellText(10, std::string("004117"));
    top->SetCellText(SUBF_AMOUNT, std::string("$1,000.50"));
    top->SetCellText(SUBF_PERCENT, std::string("60.00"));
    middle->SetCellText(SUBF_AMOUNT, std::string("($12.50)"));
    bottom->SetCellText(SUBF_AMOUNT, std::string("about 300"));
    FlagSet(bottom->m_wFlags, SUB_COMPLETE, 0);

    const ExportTable t = SubcontractorsTable(*c);
    EXPECT_EQ(t.headings, (std::vector<std::string>{"Number", "Name", "Tier", "Parent", "Vendor", "Amount",
                                                    "Credited Percentage", "Complete"}));
    ASSERT_EQ(t.rows.size(), 3u);
    EXPECT_EQ(At(t, 0, 1).text, "Top");
    EXPECT_EQ(At(t, 0, 2).text, "1");
    EXPECT_EQ(At(t, 0, 3).kind, Kind::Empty);
    EXPECT_EQ(At(t, 0, 4).text, "004117");
    EXPECT_EQ(At(t, 0, 5).kind, Kind::Number);
    EXPECT_DOUBLE_EQ(At(t, 0, 5).value, 1000.5);
    EXPECT_TRUE(t.formats.at(static_cast<size_t>(At(t, 0, 5).format)).money);
    EXPECT_EQ(At(t, 0, 6).text, "60.0"); // the table's percentage format
    EXPECT_FALSE(t.formats.at(static_cast<size_t>(At(t, 0, 6).format)).money);
    EXPECT_EQ(At(t, 0, 7).text, "Yes");
    EXPECT_EQ(At(t, 1, 2).text, "2");
    EXPECT_EQ(At(t, 1, 3).text, "00000001");
    EXPECT_DOUBLE_EQ(At(t, 1, 5).value, -12.5);
    EXPECT_EQ(At(t, 1, 6).kind, Kind::Empty);
    EXPECT_EQ(At(t, 2, 2).text, "3");
    // An amount that is no number stays as it was typed.
    EXPECT_EQ(At(t, 2, 5).kind, Kind::Text);
    EXPECT_EQ(At(t, 2, 5).text, "about 300");
    EXPECT_EQ(At(t, 2, 7).text, "No");

    // Only a plain decimal number is one: what the C library would also
    // read (infinity, hexadecimal, a number with text after it) stays text.
    for (const char* text : {"inf", "0x10", "12abc", "1.5.5", "$", "()"}) {
        bottom->SetCellText(SUBF_AMOUNT, std::string(text));
        const ExportCell cell = At(SubcontractorsTable(*c), 2, 5);
        EXPECT_EQ(cell.kind, Kind::Text) << text;
        EXPECT_EQ(cell.text, text);
    }
    bottom->SetCellText(SUBF_AMOUNT, std::string(" 1e3 "));
    EXPECT_DOUBLE_EQ(At(SubcontractorsTable(*c), 2, 5).value, 1000);
    bottom->SetCellText(SUBF_AMOUNT, std::string(" \t "));
    EXPECT_EQ(At(SubcontractorsTable(*c), 2, 5).kind, Kind::Empty);
}

TEST(ExportTable, ParentsThatLoopDoNotHang)
{
    auto c = MakeContract();
    AddSubTable(*c);
    CSubcontract* a = test::AddSub(*c, "A");
    CSubcontract* b = test::AddSub(*c, "B", a);
    a->m_pParent = b;
    const ExportTable t = SubcontractorsTable(*c);
    ASSERT_EQ(t.rows.size(), 2u);
    // The walk up the parents ends once it has passed every record.
    EXPECT_LE(At(t, 0, 2).value, 3.0);
    EXPECT_LE(At(t, 1, 2).value, 3.0);
}

TEST(ExportTable, NoSubcontractorTableGivesHeadingsOnly)
{
    const auto c = MakeContract();
    EXPECT_TRUE(SubItemsTable(*c).rows.empty());
    EXPECT_TRUE(SubcontractorsTable(*c).rows.empty());
    EXPECT_EQ(SubcontractorsTable(*c).headings.size(), 8u);
}

TEST(ExportTable, TableNames)
{
    EXPECT_EQ(ExportTableKindFromName("items"), ExportTableKind::Items);
    EXPECT_EQ(ExportTableKindFromName("subitems"), ExportTableKind::SubItems);
    EXPECT_EQ(ExportTableKindFromName("subcontractors"), ExportTableKind::Subcontractors);
    EXPECT_FALSE(ExportTableKindFromName("Items"));
    EXPECT_FALSE(ExportTableKindFromName(""));
    const auto c = MakeContract();
    EXPECT_EQ(MakeExportTable(*c, ExportTableKind::Subcontractors).name, "Subcontractors");
    EXPECT_EQ(MakeExportTable(*c, ExportTableKind::SubItems).name, "Subcontractor Items");
    EXPECT_EQ(MakeExportTable(*c, ExportTableKind::Items).name, "Items");
}

} // namespace
} // namespace kestrel
