// The XLSX workbook, looked into with libzip and expat: sheets, the bold
// frozen header, numbers as numbers in the contract's formats, and the
// demo contract's item schedule equal, item for item, to the Copy text.

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "calc/codepage.h"
#include "exchange/exporttable.h"
#include "exchange/quotefile.h"
#include "exchange/xlsxexport.h"
#include "exchange/xlsxinspect.h"
#include "file/contractfile.h"
#include "model/contract/contract.h"
#include "model/contract/itemstext.h"
#include "support/testfiles.h"

namespace kestrel {
namespace {

std::unique_ptr<CContract> ReadDemo()
{
    std::unique_ptr<CContract> c;
    EXPECT_EQ(ReadContractFile(std::string(KESTREL_SAMPLES) + "/DEMO.CON", c), 0);
    return c;
}

TEST(XlsxExport, NumberFormatsFollowTheContractFormats)
{
    EXPECT_EQ(XlsxNumberFormat({9, 3, false, true}), "#,##0.000");
    EXPECT_EQ(XlsxNumberFormat({8, 5, true, true}), "$#,##0.00000;($#,##0.00000)");
    EXPECT_EQ(XlsxNumberFormat({9, 0, true, true}), "$#,##0;($#,##0)");
    EXPECT_EQ(XlsxNumberFormat({3, 2, false, false}), "0.00");
    EXPECT_EQ(XlsxNumberFormat({3, 0, false, false}), "0");
}

TEST(XlsxExport, DemoWorkbookHoldsTheThreeTables)
{
    const auto c = ReadDemo();
    ASSERT_TRUE(c);
    const test::TempDir dir;
    const std::string path = dir.file("demo.xlsx");
    const std::vector<ExportTable> tables{ItemScheduleTable(*c), SubcontractorsTable(*c), SubItemsTable(*c)};
    const Status written = WriteXlsxFile(tables, path);
    ASSERT_TRUE(written.ok()) << written.errorText();
    const std::string workbook = test::ZipPart(path, "xl/workbook.xml");
    const size_t items = workbook.find("name=\"Items\"");
    const size_t subs = workbook.find("name=\"Subcontractors\"");
    const size_t subItems = workbook.find("name=\"Subcontractor Items\"");
    ASSERT_NE(items, std::string::npos);
    ASSERT_NE(subs, std::string::npos);
    ASSERT_NE(subItems, std::string::npos);
    EXPECT_LT(items, subs);
    EXPECT_LT(subs, subItems);

    const std::vector<std::string> formats = test::XlsxStyleFormats(path);
    const std::vector<bool> bold = test::XlsxStyleBold(path);
    for (int sheet = 0; sheet < 3; ++sheet) {
        const test::XlsxSheet s =
            test::ReadXlsxSheet(path, "xl/worksheets/sheet" + std::to_string(sheet + 1) + ".xml");
        const ExportTable& t = tables[static_cast<size_t>(sheet)];
        EXPECT_EQ(s.Rows(), static_cast<int>(t.rows.size()) + 1) << sheet;
        // The header row: the headings, bold, and frozen above the data.
        for (size_t col = 0; col < t.headings.size(); ++col) {
            const test::XlsxCell* h = s.At(0, static_cast<int>(col));
            ASSERT_TRUE(h);
            EXPECT_EQ(h->text, t.headings[col]);
            EXPECT_TRUE(bold.at(static_cast<size_t>(h->style))) << t.headings[col];
        }
        EXPECT_NE(s.xml.find("ySplit=\"1\""), std::string::npos);
        EXPECT_NE(s.xml.find("state=\"frozen\""), std::string::npos);
        EXPECT_NE(s.xml.find("customWidth=\"1\""), std::string::npos);
        // Every data cell: numbers as numbers with their column's format,
        // texts as texts, empty cells absent.
        for (size_t r = 0; r < t.rows.size(); ++r)
            for (size_t col = 0; col < t.rows[r].size(); ++col) {
                const ExportCell& want = t.rows[r][col];
                const test::XlsxCell* got = s.At(static_cast<int>(r) + 1, static_cast<int>(col));
                if (want.kind == ExportCell::Kind::Empty) {
                    EXPECT_FALSE(got) << sheet << " " << r << " " << col;
                    continue;
                }
                ASSERT_TRUE(got) << sheet << " " << r << " " << col;
                if (want.kind == ExportCell::Kind::Number) {
                    EXPECT_EQ(got->type, "");
                    EXPECT_EQ(std::stod(got->value), want.value);
                    EXPECT_EQ(formats.at(static_cast<size_t>(got->style)),
                              XlsxNumberFormat(t.formats.at(static_cast<size_t>(want.format))));
                } else {
                    EXPECT_EQ(got->type, "s");
                    EXPECT_EQ(got->text, Cp1252ToUtf8(want.text));
                    EXPECT_FALSE(bold.at(static_cast<size_t>(got->style)));
                }
            }
    }
}

TEST(XlsxExport, DemoItemsEqualTheCopyTextItemForItem)
{
    const auto c = ReadDemo();
    ASSERT_TRUE(c);
    const test::TempDir dir;
    const std::string path = dir.file("items.xlsx");
    ASSERT_TRUE(WriteXlsxFile({ItemScheduleTable(*c)}, path).ok());
    const test::XlsxSheet s = test::ReadXlsxSheet(path, "xl/worksheets/sheet1.xml");
    const std::vector<std::string> formats = test::XlsxStyleFormats(path);
    const std::vector<std::string> lines = test::SplitText(ContractItemsText(*c), "\r\n");
    size_t line = 0;
    int numbers = 0;
    for (int r = 1; r < s.Rows(); ++r) {
        const test::XlsxCell* item = s.At(r, 2);
        if (item && item->text == "==Section==")
            continue;
        ASSERT_LT(line + 1, lines.size());
        const std::string& copy = lines[line++];
        const std::vector<std::string> want = test::SplitText(copy, "\t");
        ASSERT_EQ(want.size(), 9u);
        const CItem* it = c->FindItemByLineNumber(want[1]);
        ASSERT_TRUE(it);
        const NumberFormat* numberFormat[8] = {nullptr, nullptr,        nullptr,         &c->m_QuanFormat,
                                               nullptr, &c->m_UPFormat, &c->m_ExtFormat, nullptr};
        for (int col = 0; col < 8; ++col) {
            const test::XlsxCell* cell = s.At(r, col);
            const std::string& expected = want[static_cast<size_t>(col) + 1];
            if (col == 3 && FlagTest(it->m_wFlags, ITEM_LUMP_SUM)) {
                ASSERT_TRUE(cell);
                EXPECT_EQ(cell->text, "LUMP");
            } else if (expected.empty()) {
                EXPECT_FALSE(cell) << "line " << want[1] << " column " << col;
            } else if (numberFormat[col]) {
                ASSERT_TRUE(cell) << "line " << want[1] << " column " << col;
                EXPECT_EQ(cell->type, "") << "a number cell";
                EXPECT_EQ(PlainNumberText(std::stod(cell->value), numberFormat[col]->decimals), expected);
                EXPECT_NE(
                    formats.at(static_cast<size_t>(cell->style))
                        .find("0." + std::string(static_cast<size_t>(numberFormat[col]->decimals), '0')),
                    std::string::npos);
                ++numbers;
            } else {
                ASSERT_TRUE(cell) << "line " << want[1] << " column " << col;
                EXPECT_EQ(cell->text, expected) << "line " << want[1] << " column " << col;
            }
        }
    }
    EXPECT_EQ(line + 1, lines.size()); // every item, and nothing after the last line end
    EXPECT_GT(numbers, 500);
}

TEST(XlsxExport, ATextTooLongForACellIsRefusedAndNothingWritten)
{
    const test::TempDir dir;
    const std::string path = dir.file("long.xlsx");
    test::WriteText(path, "previous");
    ExportTable t;
    t.name = "Items";
    t.headings = {"Line", "Description"};
    t.rows.push_back({ExportCell::Text("0010"), ExportCell::Text(std::string(32768, 'x'))});
    const Status written = WriteXlsxFile({t}, path);
    ASSERT_FALSE(written.ok());
    EXPECT_EQ(written.errorText(),
              "Cell B2 of \"Items\" holds more than 32767 characters, more than an XLSX cell can hold");
    EXPECT_EQ(test::ReadText(path), "previous");
    EXPECT_EQ(test::FolderEntries(dir.path()), std::set<std::string>{"long.xlsx"});
    // One character less fits.
    t.rows[0][1] = ExportCell::Text(std::string(32767, 'x'));
    EXPECT_TRUE(WriteXlsxFile({t}, path).ok());
    EXPECT_EQ(test::ReadXlsxSheet(path, "xl/worksheets/sheet1.xml").At(1, 1)->text.size(), 32767u);
}

// A text that holds what a workbook reads as the escape of a character is
// written so that it reads back as written, by spreadsheets and by the
// program's own quote reader.
TEST(XlsxExport, ALiteralCharacterEscapeReadsBackAsWritten)
{
    const test::TempDir dir;
    const std::string path = dir.file("esc.xlsx");
    const std::pair<const char*, const char*> texts[] = {
        {"_x0041_", "_x005F_x0041_"},
        {"a_x00e9_b_x0041_", "a_x005F_x00e9_b_x005F_x0041_"},
        {"_x41_ _xZZZZ_ _x0041", "_x41_ _xZZZZ_ _x0041"}, // no escape: as it is
    };
    ExportTable t;
    t.name = "T";
    t.headings = {"_x0048_"};
    for (const auto& [text, written] : texts)
        t.rows.push_back({ExportCell::Text(text)});
    ASSERT_TRUE(WriteXlsxFile({t}, path).ok());
    const test::XlsxSheet sheet = test::ReadXlsxSheet(path, "xl/worksheets/sheet1.xml");
    EXPECT_EQ(sheet.At(0, 0)->text, "_x005F_x0048_");
    const auto read = ReadQuoteFile(path);
    ASSERT_TRUE(read.ok()) << read.errorText();
    ASSERT_EQ(read->rows.size(), 4u);
    EXPECT_EQ(read->rows[0].Cell(0), "_x0048_");
    for (size_t i = 0; i < std::size(texts); ++i) {
        EXPECT_EQ(sheet.At(static_cast<int>(i) + 1, 0)->text, texts[i].second);
        EXPECT_EQ(read->rows[i + 1].Cell(0), texts[i].first);
    }
}

TEST(XlsxExport, AnUnwritableTargetLeavesNoFileBehind)
{
    const test::TempDir dir;
    std::filesystem::create_directory(dir.file("folder"));
    ExportTable t;
    t.name = "Items";
    t.headings = {"Line"};
    EXPECT_FALSE(WriteXlsxFile({t}, dir.file("folder")).ok());
    EXPECT_FALSE(WriteXlsxFile({t}, dir.file("missing/out.xlsx")).ok());
    EXPECT_EQ(test::FolderEntries(dir.path()), std::set<std::string>{"folder"});
    EXPECT_TRUE(test::FolderEntries(dir.file("folder")).empty());
}

} // namespace
} // namespace kestrel
