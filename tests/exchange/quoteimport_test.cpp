// A subcontractor's quote entered into the demo contract: each row as the
// user would type it, refusals with the program's messages, and every
// change taken back as one step.

#include <gtest/gtest.h>
#include <xlsxwriter.h>

#include <memory>
#include <string>
#include <vector>

#include "calc/evaluator.h"
#include "edit/contractedits.h"
#include "exchange/csvreader.h"
#include "exchange/quotefile.h"
#include "exchange/quoteimport.h"
#include "file/contractfile.h"
#include "model/contract/contract.h"
#include "model/subcontract/programpaths.h"
#include "model/subcontract/winmeta.h"
#include "support/testcontract.h"
#include "support/testfiles.h"

namespace kestrel {
namespace {

// The demo contract with its edit layer, as the program holds it open.
struct Demo {
    Demo()
    {
        EXPECT_EQ(ReadContractFile(std::string(KESTREL_SAMPLES) + "/DEMO.CON", contract), 0);
        edits = std::make_unique<CContractEdits>(*contract, evaluator, paths);
        edits->RunCheck();
    }
    CSubcontract& Sub(const char* number) { return *contract->m_pSubTable->FindRecordByNumber(number); }
    const CSubItem* SubItem(const char* number, const char* line) { return Sub(number).FindSubItem(line); }

    std::unique_ptr<CContract> contract;
    Evaluator evaluator;
    CProgramPaths paths;
    std::unique_ptr<CContractEdits> edits;
};

QuoteSheet Csv(std::string_view text)
{
    auto sheet = ReadQuoteCsv(text);
    EXPECT_TRUE(sheet.ok()) << sheet.errorText();
    return sheet ? sheet.value() : QuoteSheet();
}

QuoteColumns Columns(int line, int quantity, int price, int firstRow)
{
    QuoteColumns c;
    c.line = line;
    c.quantity = quantity;
    c.price = price;
    c.firstRow = firstRow;
    return c;
}

TEST(QuoteImport, RowsEnteredAsTypedAndUndoneAsOneStep)
{
    Demo d;
    ASSERT_TRUE(d.contract);
    const auto before = WriteContractStream(*d.contract);
    ASSERT_FALSE(FlagTest(d.contract->m_wFlags, CONTRACT_MODIFIED));
    ASSERT_FALSE(d.SubItem("00000001", "0160"));
    const QuoteSheet sheet = Csv("Line,Description,Quantity,Unit Price\r\n"
                                 "1130,Milling,90000,1.90\r\n"        // subcontracted already
                                 "0160,Flaggers,\"4,000\",$40.50\r\n" // not yet: checked first
                                 "9999,Nothing,1,1\r\n"
                                 "0001,==Section==,,\r\n" // nothing to enter
                                 "0170,Signs,,95\r\n"     // a price alone
                                 ",,5,5\r\n"              // no line
                                 "1140,Fine milling,12+3,\r\n");
    auto import = ImportQuote(*d.edits, d.Sub("00000001"), sheet, Columns(0, 2, 3, 2));
    ASSERT_TRUE(import.ok()) << import.errorText();
    EXPECT_EQ(import->applied, 4);
    ASSERT_EQ(import->refused.size(), 1u);
    EXPECT_EQ(import->refused[0].row, 4);
    EXPECT_EQ(import->refused[0].message, "The contract has no item with line number 9999");

    const CSubItem* milling = d.SubItem("00000001", "1130");
    EXPECT_DOUBLE_EQ(milling->m_fQuan, 90000);
    EXPECT_DOUBLE_EQ(milling->m_fUP, 1.9);
    EXPECT_DOUBLE_EQ(milling->m_fExt, 171000);
    const CSubItem* flaggers = d.SubItem("00000001", "0160");
    ASSERT_TRUE(flaggers);
    EXPECT_DOUBLE_EQ(flaggers->m_fQuan, 4000);
    EXPECT_DOUBLE_EQ(flaggers->m_fUP, 40.5);
    const CSubItem* signs = d.SubItem("00000001", "0170");
    ASSERT_TRUE(signs);
    EXPECT_DOUBLE_EQ(signs->m_fQuan, 540); // as "Use?" created it: the whole remaining quantity
    EXPECT_DOUBLE_EQ(signs->m_fUP, 95);
    EXPECT_DOUBLE_EQ(d.SubItem("00000001", "1140")->m_fQuan, 15); // an expression, as typed
    EXPECT_FALSE(d.SubItem("00000001", "0001"));
    EXPECT_TRUE(FlagTest(d.contract->m_wFlags, CONTRACT_MODIFIED));
    // The amount follows from the items, through the common follow-up.
    EXPECT_NE(std::string(d.Sub("00000001").GetCellText(SUBF_AMOUNT)->View()), "$385,398.00");
    const auto after = WriteContractStream(*d.contract);
    EXPECT_NE(after, before);

    UndoQuoteImport(*d.edits, import.value());
    EXPECT_EQ(WriteContractStream(*d.contract), before);
    EXPECT_FALSE(FlagTest(d.contract->m_wFlags, CONTRACT_MODIFIED));
    EXPECT_FALSE(d.SubItem("00000001", "0160"));
    RedoQuoteImport(*d.edits, import.value());
    EXPECT_EQ(WriteContractStream(*d.contract), after);
}

// A quote workbook as the subcontractor's spreadsheet program writes it:
// numbers as number cells.
std::string QuoteWorkbook(const test::TempDir& dir)
{
    const std::string path = dir.file("quote.xlsx");
    lxw_workbook* wb = workbook_new(path.c_str());
    lxw_worksheet* ws = workbook_add_worksheet(wb, "Quote");
    worksheet_write_string(ws, 0, 0, "Piedmont Signal quote 2026-03", nullptr);
    const char* headings[] = {"Line", "Qty", "Unit Price"};
    for (int c = 0; c < 3; ++c)
        worksheet_write_string(ws, 2, static_cast<lxw_col_t>(c), headings[c], nullptr);
    worksheet_write_string(ws, 3, 0, "2300", nullptr); // raises the quantity received from Ironbark
    worksheet_write_number(ws, 3, 1, 20, nullptr);
    worksheet_write_number(ws, 3, 2, 1400.5, nullptr);
    worksheet_write_string(ws, 4, 0, "2290", nullptr); // lowers it below what Ironbark sent
    worksheet_write_number(ws, 4, 1, 3, nullptr);
    worksheet_write_number(ws, 4, 2, 30000, nullptr);
    worksheet_write_number(ws, 5, 0, 2310, nullptr); // a line written as a number, a price alone
    worksheet_write_number(ws, 5, 2, 40000, nullptr);
    worksheet_write_string(ws, 6, 0, "7777", nullptr);
    worksheet_write_number(ws, 6, 2, 1, nullptr);
    EXPECT_EQ(workbook_close(wb), LXW_NO_ERROR);
    return path;
}

TEST(QuoteImport, AnXlsxQuoteForTheLockedIronbarkSubcontractor)
{
    Demo d;
    ASSERT_TRUE(d.contract);
    // The demo locks what Ironbark sent (flag 8) and keeps its quantities
    // as a floor (flag 9).
    ASSERT_TRUE(FlagTest(d.contract->m_wFlags, CONTRACT_IRONBARK_LOCKED));
    ASSERT_TRUE(FlagTest(d.contract->m_wFlags, CONTRACT_IRONBARK_FLOOR));
    const test::TempDir dir;
    const auto sheet = ReadQuoteFile(QuoteWorkbook(dir));
    ASSERT_TRUE(sheet.ok()) << sheet.errorText();
    const auto columns = GuessQuoteColumns(sheet.value());
    ASSERT_TRUE(columns.ok()) << columns.errorText();
    EXPECT_EQ(columns->firstRow, 4);
    const auto before = WriteContractStream(*d.contract);
    const CSubItem lowered = *d.SubItem("00000007", "2290");
    ASSERT_TRUE(FlagTest(lowered.m_wFlags, SUBITEM_FROMIRONBARK));

    auto import = ImportQuote(*d.edits, d.Sub("00000007"), sheet.value(), columns.value());
    ASSERT_TRUE(import.ok()) << import.errorText();
    EXPECT_EQ(import->applied, 2);
    ASSERT_EQ(import->refused.size(), 2u);
    EXPECT_EQ(import->refused[0].row, 5);
    EXPECT_EQ(import->refused[0].message,
              "The quantity entered must be greater than the original quantity as "
              "entered in Ironbark, which is 4.000");
    EXPECT_EQ(import->refused[1].row, 7);
    EXPECT_EQ(import->refused[1].message, "The contract has no item with line number 7777");

    // The refused row changed nothing, not even its price.
    const CSubItem* kept = d.SubItem("00000007", "2290");
    EXPECT_EQ(kept->m_fQuan, lowered.m_fQuan);
    EXPECT_EQ(kept->m_fUP, lowered.m_fUP);
    EXPECT_EQ(kept->m_wFlags, lowered.m_wFlags);
    // A locked item takes a higher quantity and a new price.
    const CSubItem* raised = d.SubItem("00000007", "2300");
    EXPECT_DOUBLE_EQ(raised->m_fQuan, 20);
    EXPECT_DOUBLE_EQ(raised->m_fUP, 1400.5);
    EXPECT_TRUE(FlagTest(raised->m_wFlags, SUBITEM_FROMIRONBARK));
    EXPECT_DOUBLE_EQ(d.SubItem("00000007", "2310")->m_fUP, 40000);
    EXPECT_DOUBLE_EQ(d.SubItem("00000007", "2310")->m_fQuan, 1);

    UndoQuoteImport(*d.edits, import.value());
    EXPECT_EQ(WriteContractStream(*d.contract), before);
}

TEST(QuoteImport, TheIronbarkFloorHoldsWithoutTheLockAndGoesWithItsFlag)
{
    const QuoteSheet sheet = Csv("Line,Quantity\n2290,3\n");
    for (bool floor : {true, false}) {
        Demo d;
        ASSERT_TRUE(d.contract);
        FlagSet(d.contract->m_wFlags, CONTRACT_IRONBARK_LOCKED, 0);
        FlagSet(d.contract->m_wFlags, CONTRACT_IRONBARK_FLOOR, floor ? 1 : 0);
        auto import = ImportQuote(*d.edits, d.Sub("00000007"), sheet, Columns(0, 1, -1, 2));
        ASSERT_TRUE(import.ok());
        EXPECT_EQ(import->applied, floor ? 0 : 1);
        EXPECT_EQ(import->refused.size(), floor ? 1u : 0u);
        EXPECT_DOUBLE_EQ(d.SubItem("00000007", "2290")->m_fQuan, floor ? 4 : 3);
        // At the floor itself the quantity is taken.
        auto equal =
            ImportQuote(*d.edits, d.Sub("00000007"), Csv("Line,Quantity\n2290,4\n"), Columns(0, 1, -1, 2));
        ASSERT_TRUE(equal.ok());
        EXPECT_EQ(equal->applied, 1);
    }
}

TEST(QuoteImport, ALowerTierTakesOnlyWhatItsParentHolds)
{
    Demo d;
    ASSERT_TRUE(d.contract);
    auto import = ImportQuote(*d.edits, d.Sub("00000003"), Csv("Line,Unit Price\n0160,1\n1610,0.60\n"),
                              Columns(0, -1, 1, 2));
    ASSERT_TRUE(import.ok());
    EXPECT_EQ(import->applied, 1);
    ASSERT_EQ(import->refused.size(), 1u);
    EXPECT_EQ(import->refused[0].message,
              "Line 0160 is not subcontracted to the subcontractor of the tier above");
    EXPECT_DOUBLE_EQ(d.SubItem("00000003", "1610")->m_fUP, 0.6);
}

// A cell that holds text but gives no number refuses its row with the
// reason, and the row changes nothing; an empty cell leaves its value.
TEST(QuoteImport, ACellThatGivesNoNumberRefusesItsRow)
{
    const std::pair<const char*, const char*> cells[] = {
        {"NaN", "Unrecognized character"},
        {"5 apples", "Unrecognized character"},
        {"=1+2", "Unrecognized character"},
        {"0x10", "Unrecognized character"},
        {"1/0", "Divide by zero error"},
        {"1\xC2\xA0"
         "234",
         "Unrecognized character"},
        {"1e999", "Function Overflow"},
    };
    std::string quote = "Line,Qty,Price\n";
    for (const auto& [cell, why] : cells)
        quote += std::string("0150,\"") + cell + "\",\n0150,2,\"" + cell + "\"\n";
    quote += "0150,,36000\n"; // an empty quantity leaves the one the subcontractor has
    Demo d;
    auto import = ImportQuote(*d.edits, d.Sub("00000001"), Csv(quote), Columns(0, 1, 2, 2));
    ASSERT_TRUE(import.ok());
    EXPECT_EQ(import->applied, 1);
    ASSERT_EQ(import->refused.size(), 2 * std::size(cells));
    for (size_t i = 0; i < import->refused.size(); ++i) {
        const auto& [cell, why] = cells[i / 2];
        const std::string shown = Csv(std::string("\"") + cell + "\"").rows[0].cells[0].text;
        EXPECT_EQ(import->refused[i].message, std::string(i % 2 ? "The unit price \"" : "The quantity \"") +
                                                  shown + "\" is not a number: " + why);
    }
    EXPECT_DOUBLE_EQ(d.SubItem("00000001", "0150")->m_fQuan, 1);
    EXPECT_DOUBLE_EQ(d.SubItem("00000001", "0150")->m_fUP, 36000);
}

TEST(QuoteImport, LumpQuantitiesAndRowsBeforeTheFirst)
{
    Demo d;
    ASSERT_TRUE(d.contract);
    // Our own export shows a lump-sum item's quantity as "LUMP": it is no
    // quantity, and the price alone is entered.
    auto import = ImportQuote(*d.edits, d.Sub("00000004"), Csv("0160,5,5\nLine,Qty,Price\n0020,LUMP,40000\n"),
                              Columns(0, 1, 2, 3));
    ASSERT_TRUE(import.ok());
    // Subcontractor 4 does not work by items.
    ASSERT_EQ(import->refused.size(), 1u);
    EXPECT_EQ(import->refused[0].row, 3);
    EXPECT_EQ(import->refused[0].message, "This subcontractor does not work by items");
    import = ImportQuote(*d.edits, d.Sub("00000001"), Csv("0160,5,5\nLine,Qty,Price\n0020,lump,40000\n"),
                         Columns(0, 1, 2, 3));
    ASSERT_TRUE(import.ok());
    EXPECT_EQ(import->applied, 1);
    EXPECT_FALSE(d.SubItem("00000001", "0160")); // row 1 lies before the first
    const CSubItem* lump = d.SubItem("00000001", "0020");
    ASSERT_TRUE(lump);
    EXPECT_DOUBLE_EQ(lump->m_fQuan, 1);
    EXPECT_DOUBLE_EQ(lump->m_fUP, 40000);
}

TEST(QuoteImport, SemicolonQuotesWithDecimalCommas)
{
    Demo d;
    ASSERT_TRUE(d.contract);
    const QuoteSheet sheet =
        Csv("Line;Menge;Qty;Price\n1130;x;90.000;1,95 \xE2\x82\xAC\n1140;x;12,5;\"2.100,25\"\n");
    ASSERT_TRUE(sheet.decimalComma);
    auto import = ImportQuote(*d.edits, d.Sub("00000001"), sheet, Columns(0, 2, 3, 2));
    ASSERT_TRUE(import.ok());
    EXPECT_EQ(import->applied, 2);
    EXPECT_DOUBLE_EQ(d.SubItem("00000001", "1130")->m_fQuan, 90000);
    EXPECT_DOUBLE_EQ(d.SubItem("00000001", "1130")->m_fUP, 1.95);
    EXPECT_DOUBLE_EQ(d.SubItem("00000001", "1140")->m_fQuan, 12.5);
    EXPECT_DOUBLE_EQ(d.SubItem("00000001", "1140")->m_fUP, 2100.25);
}

TEST(QuoteImport, NumbersWithADecimalComma)
{
    EXPECT_EQ(QuoteNumberText("1,5", false), "1,5");
    EXPECT_EQ(QuoteNumberText("1,5", true), "1.5");
    EXPECT_EQ(QuoteNumberText("1.250,50", true), "1250.50");
    EXPECT_EQ(QuoteNumberText("-1.250.000,5", true), "-1250000.5");
    EXPECT_EQ(QuoteNumberText("1 250,5 \x80", true), "1250.5");
    EXPECT_EQ(QuoteNumberText("\xA0"
                              "12,5",
                              true),
              "12.5");
    EXPECT_EQ(QuoteNumberText("1.250", true), "1250"); // points that group thousands
    EXPECT_EQ(QuoteNumberText("12.5", true), "12.5");  // a point that does not
    EXPECT_EQ(QuoteNumberText("1.2500", true), "1.2500");
    EXPECT_EQ(QuoteNumberText("12*3", true), "12*3"); // an expression stays as typed
    EXPECT_EQ(QuoteNumberText("@QUAN", true), "@QUAN");
    EXPECT_EQ(QuoteNumberText("", true), "");
    EXPECT_EQ(QuoteNumberText(",5", true), ",5");
}

TEST(QuoteImport, LineNumbersASpreadsheetTurnedIntoNumbers)
{
    Demo d;
    ASSERT_TRUE(d.contract);
    auto import = ImportQuote(*d.edits, d.Sub("00000001"),
                              Csv("Line,Unit Price\n160,41\n0170,95\n00170,96\n"), Columns(0, -1, 1, 2));
    ASSERT_TRUE(import.ok());
    EXPECT_EQ(import->applied, 3);
    EXPECT_DOUBLE_EQ(d.SubItem("00000001", "0160")->m_fUP, 41);
    EXPECT_DOUBLE_EQ(d.SubItem("00000001", "0170")->m_fUP, 96);
    // Where two lines read as the same number, neither is guessed.
    Demo twice;
    ASSERT_TRUE(twice.contract);
    test::AddItem(*twice.contract, "160", 1, 1);
    import = ImportQuote(*twice.edits, twice.Sub("00000001"), Csv("Line,Unit Price\n00160,41\n160,42\n"),
                         Columns(0, -1, 1, 2));
    ASSERT_TRUE(import.ok());
    EXPECT_EQ(import->applied, 1);
    ASSERT_EQ(import->refused.size(), 1u);
    EXPECT_EQ(import->refused[0].message, "The contract has no item with line number 00160");
    EXPECT_DOUBLE_EQ(twice.SubItem("00000001", "160")->m_fUP, 42);
    EXPECT_FALSE(twice.SubItem("00000001", "0160"));
}

TEST(QuoteImport, WhatAQuoteCannotBeEnteredWith)
{
    Demo d;
    ASSERT_TRUE(d.contract);
    const QuoteSheet sheet = Csv("Line,Qty\n1130,1\n");
    EXPECT_EQ(ImportQuote(*d.edits, d.Sub("00000001"), sheet, Columns(-1, 1, -1, 2)).errorText(),
              "The quote has no line number column");
    EXPECT_EQ(ImportQuote(*d.edits, d.Sub("00000001"), sheet, Columns(0, -1, -1, 2)).errorText(),
              "The quote has neither a quantity nor a unit price column");
    CSubcontract stranger;
    EXPECT_EQ(ImportQuote(*d.edits, stranger, sheet, Columns(0, 1, -1, 2)).errorText(),
              "The subcontractor is not in this contract");
    EXPECT_FALSE(FlagTest(d.contract->m_wFlags, CONTRACT_MODIFIED));
}

} // namespace
} // namespace kestrel
