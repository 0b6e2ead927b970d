// Reading a quote from XLSX: a workbook written with libxlsxwriter as a
// spreadsheet program would, hand-made parts for what writers differ in
// (inline strings, rich text, escapes, relationships), and hostile files
// (a zip bomb, deep nesting, entity declarations, huge counts).

#include <gtest/gtest.h>
#include <xlsxwriter.h>

#include <cstdint>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "exchange/xlsxinspect.h"
#include "exchange/xlsxreader.h"
#include "support/testfiles.h"

namespace kestrel {
namespace {

using Parts = std::vector<std::pair<std::string, std::string>>;

const char* const kWorkbook =
    R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
    R"(<workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" )"
    R"(xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships">)"
    R"(<sheets><sheet name="Quote" sheetId="1" r:id="rId1"/></sheets></workbook>)";

std::string Sheet(const std::string& rows)
{
    return R"(<?xml version="1.0" encoding="UTF-8"?>)"
           R"(<worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><sheetData>)" +
           rows + "</sheetData></worksheet>";
}

Parts Workbook(const std::string& sheetXml, const std::string& sharedXml = "")
{
    Parts parts{{"xl/workbook.xml", kWorkbook}, {"xl/worksheets/sheet1.xml", sheetXml}};
    if (!sharedXml.empty())
        parts.emplace_back("xl/sharedStrings.xml", sharedXml);
    return parts;
}

QuoteSheet Read(const Parts& parts, const QuoteLimits& limits = {})
{
    auto sheet = ReadQuoteXlsx(test::MakeZip(parts), limits);
    EXPECT_TRUE(sheet.ok()) << sheet.errorText();
    return sheet ? sheet.value() : QuoteSheet();
}

std::string Failure(const Parts& parts, const QuoteLimits& limits = {})
{
    auto sheet = ReadQuoteXlsx(test::MakeZip(parts), limits);
    EXPECT_FALSE(sheet.ok());
    return sheet ? std::string() : sheet.errorText();
}

TEST(XlsxReader, AWorkbookAsASpreadsheetProgramWritesIt)
{
    const test::TempDir dir;
    const std::string path = dir.file("quote.xlsx");
    lxw_workbook* wb = workbook_new(path.c_str());
    lxw_worksheet* first = workbook_add_worksheet(wb, "Quote");
    lxw_worksheet* second = workbook_add_worksheet(wb, "Other");
    worksheet_write_string(first, 0, 0, "Line", nullptr);
    worksheet_write_string(first, 0, 2, "Unit Price", nullptr);
    worksheet_write_string(first, 2, 0, "0010", nullptr);
    worksheet_write_number(first, 2, 2, 12.5, nullptr);
    worksheet_write_number(first, 3, 27, 0.00001, nullptr);
    worksheet_write_string(first, 4, 1, "Caf\xC3\xA9 \xE2\x82\xAC", nullptr);
    worksheet_write_boolean(first, 5, 0, 1, nullptr);
    worksheet_write_formula_num(first, 6, 0, "=1+2", nullptr, 3);
    worksheet_write_string(second, 0, 0, "not this one", nullptr);
    ASSERT_EQ(workbook_close(wb), LXW_NO_ERROR);

    auto sheet = ReadQuoteXlsx(test::ReadText(path));
    ASSERT_TRUE(sheet.ok()) << sheet.errorText();
    ASSERT_EQ(sheet->rows.size(), 6u);
    EXPECT_FALSE(sheet->decimalComma);
    EXPECT_EQ(sheet->rows[0].number, 1);
    EXPECT_EQ(sheet->rows[0].Cell(0), "Line");
    EXPECT_EQ(sheet->rows[0].Cell(1), "");
    EXPECT_EQ(sheet->rows[0].Cell(2), "Unit Price");
    EXPECT_EQ(sheet->rows[1].number, 3); // the empty row is left out
    EXPECT_EQ(sheet->rows[1].Cell(0), "0010");
    EXPECT_EQ(sheet->rows[1].Cell(2), "12.5");
    EXPECT_EQ(sheet->rows[2].Cell(27), "1E-05"); // column AB, as the workbook stores the number
    EXPECT_EQ(sheet->rows[3].Cell(1), "Caf\xE9 \x80");
    EXPECT_EQ(sheet->rows[4].Cell(0), "1");
    EXPECT_EQ(sheet->rows[5].Cell(0), "3"); // a formula's last value
}

TEST(XlsxReader, InlineAndRichStringsEscapesAndMissingReferences)
{
    const std::string shared =
        R"(<sst xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" count="2">)"
        R"(<si><t>plain</t></si>)"
        R"(<si><r><t>ri</t></r><r><rPr><b/></rPr><t xml:space="preserve">ch </t></r>)"
        R"(<rPh><t>phonetic</t></rPh></si></sst>)";
    const QuoteSheet s =
        Read(Workbook(Sheet(R"(<row r="2"><c r="A2" t="s"><v>1</v></c>)"
                            R"(<c t="inlineStr"><is><t>inline_x000D__x000A_two</t></is></c>)"
                            R"(<c t="str"><f>A1</f><v>from &amp; formula</v></c></row>)"
                            R"(<row><c t="s"><v>0</v></c><c r="C3" t="s"/><c r="D3"><v>-4.25</v></c></row>)"
                            R"(<row r="9"><c r="B9" t="inlineStr"><is><t>_x005F_x0041_</t></is></c>)"
                            R"(<c r="C9"><v>first</v></c><c r="C9"><v>later</v></c>)"
                            R"(<c r="D9" t="inlineStr"><is><t>_x00E9_t_x20AC__x4E2D_</t></is></c></row>)"),
                      shared));
    ASSERT_EQ(s.rows.size(), 3u);
    EXPECT_EQ(s.rows[0].number, 2);
    EXPECT_EQ(s.rows[0].Cell(0), "rich ");
    EXPECT_EQ(s.rows[0].Cell(1), "inline\r\ntwo");
    EXPECT_EQ(s.rows[0].Cell(2), "from & formula");
    EXPECT_EQ(s.rows[1].number, 3); // a row without a number follows the one before
    EXPECT_EQ(s.rows[1].Cell(0), "plain");
    EXPECT_EQ(s.rows[1].Cell(2), ""); // a shared-string cell without a value is empty
    EXPECT_EQ(s.rows[1].Cell(3), "-4.25");
    EXPECT_EQ(s.rows[2].number, 9);
    EXPECT_EQ(s.rows[2].Cell(1), "_x0041_");    // an escaped escape stays as written
    EXPECT_EQ(s.rows[2].Cell(2), "later");      // a column given twice keeps its last cell
    EXPECT_EQ(s.rows[2].Cell(3), "\xE9t\x80?"); // escapes of letters Windows-1252 has, and one it has not
}

TEST(XlsxReader, TheFirstSheetIsTheOneTheWorkbookListsFirst)
{
    const std::string workbook =
        R"(<workbook xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships">)"
        R"(<sheets><sheet name="B" sheetId="2" r:id="rIdB"/><sheet name="A" sheetId="1" r:id="rIdA"/></sheets>)"
        R"(</workbook>)";
    const std::string rels =
        R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
        R"(<Relationship Id="rIdA" Type="http://x/worksheet" Target="worksheets/sheet1.xml"/>)"
        R"(<Relationship Id="rIdB" Type="http://x/worksheet" Target="/xl/other/./../tabs/b.xml"/>)"
        R"(<Relationship Id="rIdS" Type="http://x/sharedStrings" Target="strings/s.xml"/>)"
        R"(</Relationships>)";
    const QuoteSheet s =
        Read({{"xl/workbook.xml", workbook},
              {"xl/_rels/workbook.xml.rels", rels},
              {"xl/worksheets/sheet1.xml", Sheet(R"(<row r="1"><c r="A1"><v>1</v></c></row>)")},
              {"xl/tabs/b.xml", Sheet(R"(<row r="1"><c r="A1" t="s"><v>0</v></c></row>)")},
              {"xl/strings/s.xml", "<sst><si><t>sheet B</t></si></sst>"}});
    ASSERT_EQ(s.rows.size(), 1u);
    EXPECT_EQ(s.rows[0].Cell(0), "sheet B");
}

TEST(XlsxReader, FilesThatAreNoWorkbooks)
{
    EXPECT_EQ(ReadQuoteXlsx("PK\x03\x04 but nothing more").ok(), false);
    EXPECT_EQ(Failure({{"other.xml", "<x/>"}}),
              "The file is not an XLSX workbook: it has no part xl/workbook.xml");
    EXPECT_EQ(Failure({{"xl/workbook.xml", "<workbook><sheets/></workbook>"}}), "The workbook has no sheet");
    EXPECT_EQ(Failure({{"xl/workbook.xml", kWorkbook}}),
              "The workbook has no part xl/worksheets/sheet1.xml for its first sheet");
    EXPECT_EQ(Failure(Workbook("<worksheet><sheetData><row></sheetData></worksheet>"))
                  .rfind("The workbook part xl/worksheets/sheet1.xml is not well-formed XML (line 1): ", 0),
              0u);
    EXPECT_EQ(Failure(Workbook(Sheet(R"(<row><c t="s"><v>2</v></c></row>)"), "<sst><si><t>a</t></si></sst>")),
              "The cell in row 1 refers to a shared string the workbook does not hold");
    EXPECT_EQ(Failure(Workbook(Sheet(R"(<row><c t="s"><v>x</v></c></row>)"), "<sst/>")),
              "The cell in row 1 refers to a shared string the workbook does not hold");
}

TEST(XlsxReader, AZipBombEndsAtThePartLimit)
{
    QuoteLimits limits;
    limits.maxPartBytes = std::size_t(1) << 20;
    // Two MiB of blanks inside the sheet compress to a few kilobytes.
    const std::string bomb = Sheet(std::string(std::size_t(2) << 20, ' '));
    const std::string zip = test::MakeZip(Workbook(bomb));
    EXPECT_LT(zip.size(), std::size_t(64) << 10);
    const auto sheet = ReadQuoteXlsx(zip, limits);
    ASSERT_FALSE(sheet.ok());
    EXPECT_EQ(sheet.errorText(), "The workbook part xl/worksheets/sheet1.xml is larger than 1 MiB");
    // The same bomb in the shared strings.
    EXPECT_EQ(
        Failure(Workbook(Sheet(""), "<sst>" + std::string(std::size_t(2) << 20, ' ') + "</sst>"), limits),
        "The workbook part xl/sharedStrings.xml is larger than 1 MiB");
}

// Sets the uncompressed size that the archive declares for a part, in its
// local header and in the central directory, to `size`.
std::string DeclareSize(std::string zip, const std::string& name, uint32_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(&size), 4);
    for (const auto& [signature, offset, nameAt] :
         {std::tuple<std::string, size_t, size_t>{"PK\x03\x04", 22, 30}, {"PK\x01\x02", 24, 46}}) {
        for (size_t at = zip.find(signature); at != std::string::npos; at = zip.find(signature, at + 1))
            if (zip.compare(at + nameAt, name.size(), name) == 0)
                zip.replace(at + offset, 4, bytes);
    }
    return zip;
}

TEST(XlsxReader, APartThatInflatesPastItsDeclaredSizeEndsAtTheLimit)
{
    QuoteLimits limits;
    limits.maxPartBytes = std::size_t(1) << 20;
    const std::string zip =
        DeclareSize(test::MakeZip(Workbook(Sheet(std::string(std::size_t(4) << 20, ' ')))),
                    "xl/worksheets/sheet1.xml", 100);
    const auto sheet = ReadQuoteXlsx(zip, limits);
    ASSERT_FALSE(sheet.ok());
    // The declared size passes; the inflating stops at the limit.
    EXPECT_EQ(sheet.errorText(), "The workbook part xl/worksheets/sheet1.xml is larger than 1 MiB");
}

TEST(XlsxReader, DeepNestingIsRefused)
{
    std::string deep;
    for (int i = 0; i < 200; ++i)
        deep += "<x>";
    for (int i = 0; i < 200; ++i)
        deep += "</x>";
    EXPECT_EQ(Failure(Workbook(Sheet(deep))),
              "The workbook part xl/worksheets/sheet1.xml nests its elements more than 64 deep");
    // Within the limit it reads.
    QuoteLimits limits;
    limits.maxDepth = 300;
    EXPECT_TRUE(Read(Workbook(Sheet(deep)), limits).rows.empty());
}

TEST(XlsxReader, EntityDeclarationsAreRefused)
{
    const std::string laughs =
        R"(<?xml version="1.0"?><!DOCTYPE sst [<!ENTITY a "aaaaaaaaaa">)"
        R"(<!ENTITY b "&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;"><!ENTITY c "&b;&b;&b;&b;&b;&b;&b;&b;">]>)"
        R"(<sst><si><t>&c;</t></si></sst>)";
    EXPECT_EQ(
        Failure(Workbook(Sheet(""), laughs)),
        "The workbook part xl/sharedStrings.xml has a document type declaration, which a workbook never has");
    const std::string external = R"(<?xml version="1.0"?><!DOCTYPE w SYSTEM "file:///etc/passwd"><w/>)";
    EXPECT_NE(Failure({{"xl/workbook.xml", external}}).find("document type declaration"), std::string::npos);
}

TEST(XlsxReader, HugeCountsEndAtTheirLimits)
{
    QuoteLimits limits;
    limits.maxRows = 3;
    std::string rows;
    for (int r = 1; r <= 4; ++r)
        rows += "<row><c><v>" + std::to_string(r) + "</v></c></row>";
    EXPECT_EQ(Failure(Workbook(Sheet(rows)), limits), "The sheet has more than 3 rows");
    // Empty rows take nothing; a row number past the sheet's last is not
    // taken as one.
    EXPECT_EQ(Read(Workbook(Sheet(R"(<row r="1"/><row r="2"/><row r="3"/><row r="4"/><row r="99999999">)"
                                  R"(<c><v>1</v></c></row>)")),
                   limits)
                  .rows.at(0)
                  .number,
              5);
    limits = QuoteLimits();
    limits.maxCells = 2;
    EXPECT_EQ(Failure(Workbook(Sheet("<row><c><v>1</v></c><c><v>2</v></c><c><v>3</v></c></row>")), limits),
              "The sheet has more than 2 cells");
    limits = QuoteLimits();
    limits.maxSharedStrings = 2;
    EXPECT_EQ(Failure(Workbook(Sheet(""), "<sst><si/><si/><si/></sst>"), limits),
              "The workbook has more than 2 shared strings");
}

} // namespace
} // namespace kestrel
