// kestrel-cli export and import-quote, run as the real binary on the demo
// contract: what they write, what they print and their exit statuses.

#include <gtest/gtest.h>
#include <xlsxwriter.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "calc/codepage.h"
#include "exchange/csvreader.h"
#include "exchange/exporttable.h"
#include "exchange/xlsxinspect.h"
#include "file/contractfile.h"
#include "model/contract/contract.h"
#include "model/subcontract/winmeta.h"
#include "support/clirun.h"
#include "support/testfiles.h"

namespace kestrel {
namespace {

using test::CliRun;
using test::RunCli;
using test::TempDir;

const std::string kDemo = std::string(KESTREL_SAMPLES) + "/DEMO.CON";

std::unique_ptr<CContract> Read(const std::string& path)
{
    std::unique_ptr<CContract> c;
    EXPECT_EQ(ReadContractFile(path, c), 0) << path;
    return c;
}

TEST(CliExport, CsvItemsEqualTheItemsCommandItemForItem)
{
    const TempDir dir;
    const CliRun items = RunCli({"items", kDemo});
    ASSERT_EQ(items.status, 0);
    const CliRun r = RunCli({"export", kDemo, "--csv", dir.file("items.csv")});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "");
    const std::string csv = test::ReadText(dir.file("items.csv"));
    ASSERT_EQ(
        csv.rfind("\xEF\xBB\xBFLine,Alternate,Item,Quantity,Unit,Unit Price,Extension,Description\r\n", 0),
        0u);
    EXPECT_EQ(test::SplitText(csv, "\n").size(),
              test::SplitText(csv, "\r\n").size()); // every line ends in CR LF
    const auto sheet = ReadQuoteCsv(csv);
    ASSERT_TRUE(sheet.ok()) << sheet.errorText();

    const auto demo = Read(kDemo);
    const std::vector<std::string> lines = test::SplitText(items.out, "\r\n");
    size_t line = 0;
    for (size_t r = 1; r < sheet->rows.size(); ++r) {
        const QuoteRow& row = sheet->rows[r];
        if (row.Cell(2) == "'==Section==") // made text, not a formula
            continue;
        ASSERT_LT(line + 1, lines.size());
        const auto copy = Utf8ToCp1252(lines[line++]);
        ASSERT_TRUE(copy.ok());
        const std::vector<std::string> want = test::SplitText(copy.value(), "\t");
        ASSERT_EQ(want.size(), 9u);
        const CItem* item = demo->FindItemByLineNumber(want[1]);
        ASSERT_TRUE(item);
        for (int col = 0; col < 8; ++col) {
            const bool lump = col == 3 && FlagTest(item->m_wFlags, ITEM_LUMP_SUM);
            EXPECT_EQ(row.Cell(col), lump ? "LUMP" : want[static_cast<size_t>(col) + 1])
                << "line " << want[1] << " column " << col;
        }
    }
    EXPECT_EQ(line + 1, lines.size());
}

TEST(CliExport, CsvOfTheOtherTables)
{
    const TempDir dir;
    ASSERT_EQ(RunCli({"export", kDemo, "--csv", dir.file("s.csv"), "--table", "subcontractors"}).status, 0);
    const auto subs = ReadQuoteCsv(test::ReadText(dir.file("s.csv")));
    ASSERT_TRUE(subs.ok());
    ASSERT_EQ(subs->rows.size(), 8u);
    EXPECT_EQ(subs->rows[0].Cell(7), "Complete");
    EXPECT_EQ(subs->rows[1].Cell(1), "Tri-County Paving & Milling, Inc.");
    EXPECT_EQ(subs->rows[3].Cell(2), "2"); // the lower tier
    EXPECT_EQ(subs->rows[3].Cell(3), "00000002");
    ASSERT_EQ(RunCli({"export", "--table", "subitems", kDemo, "--csv", dir.file("i.csv")}).status, 0);
    const auto subItems = ReadQuoteCsv(test::ReadText(dir.file("i.csv")));
    ASSERT_TRUE(subItems.ok());
    size_t count = 0;
    const auto demo = Read(kDemo);
    for (const auto& record : demo->m_pSubTable->m_Records)
        count += static_cast<size_t>(record->m_SubItems.GetCount());
    EXPECT_EQ(subItems->rows.size(), count + 1);
}

TEST(CliExport, XlsxHoldsEveryTableOrTheOneAskedFor)
{
    const TempDir dir;
    const CliRun all = RunCli({"export", kDemo, "--xlsx", dir.file("all.xlsx")});
    ASSERT_EQ(all.status, 0) << all.err;
    const std::string workbook = test::ZipPart(dir.file("all.xlsx"), "xl/workbook.xml");
    for (const char* name : {"Items", "Subcontractors", "Subcontractor Items"})
        EXPECT_NE(workbook.find("name=\"" + std::string(name) + "\""), std::string::npos) << name;

    ASSERT_EQ(RunCli({"export", kDemo, "--xlsx", dir.file("subs.xlsx"), "--table", "subcontractors"}).status,
              0);
    const std::vector<std::string> names = test::ZipNames(dir.file("subs.xlsx"));
    EXPECT_EQ(std::count(names.begin(), names.end(), "xl/worksheets/sheet1.xml"), 1);
    EXPECT_EQ(std::count(names.begin(), names.end(), "xl/worksheets/sheet2.xml"), 0);
    const test::XlsxSheet sheet = test::ReadXlsxSheet(dir.file("subs.xlsx"), "xl/worksheets/sheet1.xml");
    const std::vector<std::string> formats = test::XlsxStyleFormats(dir.file("subs.xlsx"));
    ASSERT_TRUE(sheet.At(0, 5));
    EXPECT_EQ(sheet.At(0, 5)->text, "Amount");
    // The amounts are numbers in the contract's money format.
    const test::XlsxCell* amount = sheet.At(1, 5);
    ASSERT_TRUE(amount);
    EXPECT_EQ(amount->type, "");
    EXPECT_EQ(std::stod(amount->value), 385398.0);
    EXPECT_EQ(formats.at(static_cast<size_t>(amount->style)), "$#,##0.00;($#,##0.00)");
}

TEST(CliExport, AReplacedWorkbookKeepsItsPermissions)
{
    const TempDir dir;
    const std::string out = dir.file("shared.xlsx");
    test::WriteText(out, "an older workbook");
    std::filesystem::permissions(out, std::filesystem::perms::owner_read |
                                          std::filesystem::perms::owner_write |
                                          std::filesystem::perms::group_read);
    ASSERT_EQ(RunCli({"export", kDemo, "--xlsx", out}).status, 0);
    EXPECT_EQ(std::filesystem::status(out).permissions() & std::filesystem::perms::all,
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write |
                  std::filesystem::perms::group_read);
    EXPECT_FALSE(test::ZipNames(out).empty());
    EXPECT_EQ(test::FolderEntries(dir.path()), std::set<std::string>{"shared.xlsx"});
}

TEST(CliExport, ExitStatuses)
{
    const TempDir dir;
    test::WriteText(dir.file("bad.con"), "not a contract");
    CliRun r = RunCli({"export", dir.file("bad.con"), "--csv", dir.file("out.csv")});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("Error: " + dir.file("bad.con") + ": "), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(dir.file("out.csv")));

    r = RunCli({"export", kDemo, "--xlsx", dir.file("no/such/out.xlsx")});
    EXPECT_EQ(r.status, 3);
    EXPECT_EQ(r.err.rfind("Error: " + dir.file("no/such/out.xlsx") + ": ", 0), 0u);
    std::filesystem::create_directory(dir.file("folder"));
    EXPECT_EQ(RunCli({"export", kDemo, "--csv", dir.file("folder")}).status, 3);
    EXPECT_TRUE(test::FolderEntries(dir.file("folder")).empty());

    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"export", kDemo},
          {"export", kDemo, "--csv"},
          {"export", kDemo, "--csv", dir.file("a.csv"), "--xlsx", dir.file("a.xlsx")},
          {"export", kDemo, "--csv", dir.file("a.csv"), "--table", "sites"},
          {"export", "--csv", dir.file("a.csv")}}) {
        r = RunCli(args);
        EXPECT_EQ(r.status, 2) << args.size();
        EXPECT_EQ(r.err.rfind("Error: ", 0), 0u);
    }
    EXPECT_EQ(test::FolderEntries(dir.path()), (std::set<std::string>{"bad.con", "folder"}));

    // The spreadsheet never takes the contract's place.
    const std::string copy = dir.file("copy.con");
    std::filesystem::copy_file(kDemo, copy);
    r = RunCli({"export", copy, "--csv", copy});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "Error: " + copy + ": The output file is the contract file\n");
    EXPECT_EQ(test::ReadBytes(copy), test::ReadBytes(kDemo));
}

// The quote of subcontractor 1: a header, rows to enter and rows refused.
std::string WriteQuote(const TempDir& dir)
{
    const std::string path = dir.file("quote.csv");
    test::WriteText(path, "\xEF\xBB\xBFLine,Description,Quantity,Unit Price\r\n"
                          "1130,Milling,90000,1.90\r\n"
                          "0160,Flaggers,\"4,000\",40.50\r\n"
                          "9999,Nothing,1,1\r\n"
                          "1140,Fine milling,12+3,\r\n");
    return path;
}

TEST(CliImportQuote, CsvQuoteEnteredAndWritten)
{
    const TempDir dir;
    const std::string out = dir.file("out.con");
    const CliRun r = RunCli({"import-quote", kDemo, "--sub", "00000001", WriteQuote(dir), out});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "row 4: The contract has no item with line number 9999\n3 rows applied, 1 refused\n");
    const auto c = Read(out);
    CSubcontract* sub = c->m_pSubTable->FindRecordByNumber("00000001");
    ASSERT_TRUE(sub);
    ASSERT_TRUE(sub->FindSubItem("0160"));
    EXPECT_DOUBLE_EQ(sub->FindSubItem("0160")->m_fQuan, 4000);
    EXPECT_DOUBLE_EQ(sub->FindSubItem("0160")->m_fUP, 40.5);
    EXPECT_DOUBLE_EQ(sub->FindSubItem("1130")->m_fUP, 1.9);
    EXPECT_DOUBLE_EQ(sub->FindSubItem("1140")->m_fQuan, 15);
    EXPECT_FALSE(Read(kDemo)->m_pSubTable->FindRecordByNumber("00000001")->FindSubItem("0160"));
}

TEST(CliImportQuote, XlsxQuoteWithTheColumnsNamed)
{
    const TempDir dir;
    const std::string quote = dir.file("quote.xlsx");
    lxw_workbook* wb = workbook_new(quote.c_str());
    lxw_worksheet* ws = workbook_add_worksheet(wb, "Quote");
    worksheet_write_string(ws, 0, 0, "no header here", nullptr);
    worksheet_write_string(ws, 3, 1, "2300", nullptr);
    worksheet_write_number(ws, 3, 3, 20, nullptr);
    worksheet_write_number(ws, 3, 4, 1400, nullptr);
    worksheet_write_string(ws, 4, 1, "2290", nullptr);
    worksheet_write_number(ws, 4, 3, 3, nullptr);
    ASSERT_EQ(workbook_close(wb), LXW_NO_ERROR);
    const std::string out = dir.file("out.con");
    // Without a header row the columns must be named.
    CliRun r = RunCli({"import-quote", kDemo, "--sub", "7", quote, out});
    EXPECT_EQ(r.status, 4);
    EXPECT_EQ(r.err,
              "Error: " + quote +
                  ": No header row naming the columns \"Line\" and \"Quantity\" or \"Unit Price\" in the "
                  "first 50 rows\n");
    EXPECT_FALSE(std::filesystem::exists(out));
    r = RunCli({"import-quote", kDemo, "--sub", "7", quote, out, "--line-col", "B", "--quantity-col", "4",
                "--price-col", "e", "--first-row", "2"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "row 5: The quantity entered must be greater than the original quantity as entered in "
                     "Ironbark, which is 4.000\n1 rows applied, 1 refused\n");
    const auto c = Read(out);
    const CSubcontract* sub = c->m_pSubTable->FindRecordByNumber("00000007");
    EXPECT_DOUBLE_EQ(sub->FindSubItem("2300")->m_fQuan, 20);
    EXPECT_DOUBLE_EQ(sub->FindSubItem("2300")->m_fUP, 1400);
    EXPECT_DOUBLE_EQ(sub->FindSubItem("2290")->m_fQuan, 4);
}

TEST(CliImportQuote, TheContractMayBeWrittenOverItself)
{
    const TempDir dir;
    const std::string copy = dir.file("copy.con");
    std::filesystem::copy_file(kDemo, copy);
    ASSERT_EQ(RunCli({"import-quote", copy, "--sub", "1", WriteQuote(dir), copy}).status, 0);
    EXPECT_TRUE(Read(copy)->m_pSubTable->FindRecordByNumber("00000001")->FindSubItem("0160"));
}

TEST(CliImportQuote, ExitStatuses)
{
    const TempDir dir;
    const std::string quote = WriteQuote(dir);
    const std::string out = dir.file("out.con");
    test::WriteText(dir.file("bad.con"), "not a contract");
    CliRun r = RunCli({"import-quote", dir.file("bad.con"), "--sub", "1", quote, out});
    EXPECT_EQ(r.status, 2);
    r = RunCli({"import-quote", kDemo, "--sub", "1", dir.file("none.csv"), out});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "Error: " + dir.file("none.csv") + ": Cannot open file: No such file or directory\n");
    test::WriteText(dir.file("broken.xlsx"), "PK\x03\x04 not really");
    r = RunCli({"import-quote", kDemo, "--sub", "1", dir.file("broken.xlsx"), out});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err.rfind("Error: " + dir.file("broken.xlsx") + ": The file is not an XLSX workbook: ", 0),
              0u);
    test::WriteText(dir.file("open.csv"), "Line,Qty\n\"0010,1\n");
    EXPECT_EQ(RunCli({"import-quote", kDemo, "--sub", "1", dir.file("open.csv"), out}).status, 2);

    r = RunCli({"import-quote", kDemo, "--sub", "1", quote, dir.file("no/such/out.con")});
    EXPECT_EQ(r.status, 3);
    EXPECT_EQ(r.err.rfind("Error: " + dir.file("no/such/out.con") + ": ", 0), 0u);
    EXPECT_NE(r.out.find("3 rows applied, 1 refused"), std::string::npos);

    r = RunCli({"import-quote", kDemo, "--sub", "00000042", quote, out});
    EXPECT_EQ(r.status, 4);
    EXPECT_EQ(r.err, "Error: The contract has no subcontractor numbered 00000042\n");
    test::WriteText(dir.file("nohead.csv"), "0010,1,2\n");
    EXPECT_EQ(RunCli({"import-quote", kDemo, "--sub", "1", dir.file("nohead.csv"), out}).status, 4);
    // A line column alone is not enough.
    EXPECT_EQ(
        RunCli({"import-quote", kDemo, "--sub", "1", dir.file("nohead.csv"), out, "--line-col", "1"}).status,
        4);
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"import-quote", kDemo, quote, out},
          {"import-quote", kDemo, "--sub", "1", quote},
          {"import-quote", kDemo, "--sub", "1", quote, out, "--line-col", "0"},
          {"import-quote", kDemo, "--sub", "1", quote, out, "--price-col", "A1"},
          {"import-quote", kDemo, "--sub", "1", quote, out, "--first-row", "0"},
          {"import-quote", kDemo, "--sub", "1", quote, out, "--first-row", "x"},
          {"import-quote", kDemo, "--sub", "1", quote, out, "--sheet", "2"}}) {
        r = RunCli(args);
        EXPECT_EQ(r.status, 4) << args.back();
        EXPECT_EQ(r.err.rfind("Error: ", 0), 0u) << args.back();
    }
    EXPECT_FALSE(std::filesystem::exists(out));

    // The subcontractor's quote is never written over.
    const std::string before = test::ReadText(quote);
    r = RunCli({"import-quote", kDemo, "--sub", "1", quote, quote});
    EXPECT_EQ(r.status, 4);
    EXPECT_EQ(r.err, "Error: " + quote + ": The output file is the quote file\n");
    EXPECT_EQ(test::ReadText(quote), before);
}

// A refusal line quotes what the quote holds, a control character shown
// by its symbol, never printed as it is.
TEST(CliImportQuote, RefusalLinesPrintNoControlBytes)
{
    const TempDir dir;
    test::WriteText(dir.file("q.csv"), std::string("Line,Qty,Price\n01\x01"
                                                   "60,3,4\n0150,\"5\x1B[2J\",1\n"));
    const CliRun r = RunCli({"import-quote", kDemo, "--sub", "1", dir.file("q.csv"), dir.file("out.con")});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "row 2: The contract has no item with line number 01\u2401"
                     "60\n"
                     "row 3: The quantity \"5\u241B[2J\" is not a number: Unrecognized character\n"
                     "0 rows applied, 2 refused\n");
}

TEST(CliExchange, HelpListsTheCommands)
{
    const CliRun r = RunCli({"--help"});
    EXPECT_NE(r.out.find("  export FILE --csv|--xlsx OUT [--table items|subcontractors|subitems]\n"),
              std::string::npos);
    EXPECT_NE(
        r.out.find("  import-quote FILE --sub NUMBER QUOTE OUT [--line-col N --quantity-col N --price-col N "
                   "--first-row N]\n"),
        std::string::npos);
}

} // namespace
} // namespace kestrel
