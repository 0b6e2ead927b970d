// Telling a quote's columns: from a header row, or as the caller names
// them.

#include <gtest/gtest.h>

#include "exchange/csvreader.h"
#include "exchange/quotesheet.h"

namespace kestrel {
namespace {

QuoteSheet Csv(std::string_view text)
{
    auto sheet = ReadQuoteCsv(text);
    EXPECT_TRUE(sheet.ok());
    return sheet ? sheet.value() : QuoteSheet();
}

TEST(QuoteColumns, GuessedFromTheHeaderRow)
{
    auto c = GuessQuoteColumns(Csv("Our quote for you\n\nItem,Line #,Description,Qty.,Price\n0010,x\n"));
    ASSERT_TRUE(c.ok()) << c.errorText();
    EXPECT_EQ(c->line, 1);
    EXPECT_EQ(c->quantity, 3);
    EXPECT_EQ(c->price, 4);
    EXPECT_EQ(c->firstRow, 4);
    // "Unit Price" is preferred to a plain "Price"; case and blanks do not matter.
    c = GuessQuoteColumns(Csv("PRICE,line,unit price,QUANTITY\n"));
    ASSERT_TRUE(c.ok());
    EXPECT_EQ(c->line, 1);
    EXPECT_EQ(c->quantity, 3);
    EXPECT_EQ(c->price, 2);
    EXPECT_EQ(c->firstRow, 2);
    // Only a price, or only a quantity, is a quote too.
    c = GuessQuoteColumns(Csv("Line,Unit_Price\n"));
    ASSERT_TRUE(c.ok());
    EXPECT_EQ(c->quantity, -1);
    EXPECT_EQ(c->price, 1);
    c = GuessQuoteColumns(Csv("Line;Qty\n"));
    ASSERT_TRUE(c.ok());
    EXPECT_EQ(c->quantity, 1);
    EXPECT_EQ(c->price, -1);
}

TEST(QuoteColumns, NoHeaderRow)
{
    const char* message =
        "No header row naming the columns \"Line\" and \"Quantity\" or \"Unit Price\" in the first 50 rows";
    EXPECT_EQ(GuessQuoteColumns(Csv("0010,1,2\n")).errorText(), message);
    // A "Line" alone names no quote.
    EXPECT_EQ(GuessQuoteColumns(Csv("Line,Description\n")).errorText(), message);
    // A header below the first 50 rows is not looked for.
    std::string text;
    for (int i = 0; i < 50; ++i)
        text += "x\n";
    EXPECT_FALSE(GuessQuoteColumns(Csv(text + "Line,Qty\n")).ok());
    EXPECT_TRUE(GuessQuoteColumns(Csv(text.substr(2) + "Line,Qty\n")).ok());
}

TEST(QuoteColumns, CheckedForWhatAQuoteNeeds)
{
    EXPECT_TRUE(CheckQuoteColumns({0, 1, -1, 1}).ok());
    EXPECT_TRUE(CheckQuoteColumns({0, -1, 1, 1}).ok());
    EXPECT_EQ(CheckQuoteColumns({-1, 1, 2, 1}).errorText(), "The quote has no line number column");
    EXPECT_EQ(CheckQuoteColumns({0, -1, -1, 1}).errorText(),
              "The quote has neither a quantity nor a unit price column");
    EXPECT_EQ(CheckQuoteColumns({0, 1, 2, 0}).errorText(),
              "The first row of the quote's data must be 1 or more");
}

TEST(QuoteColumns, NamesOfColumns)
{
    EXPECT_EQ(ParseColumnName("1"), 0);
    EXPECT_EQ(ParseColumnName("27"), 26);
    EXPECT_EQ(ParseColumnName("A"), 0);
    EXPECT_EQ(ParseColumnName("c"), 2);
    EXPECT_EQ(ParseColumnName("Z"), 25);
    EXPECT_EQ(ParseColumnName("AA"), 26);
    EXPECT_EQ(ParseColumnName("XFD"), 16383);
    EXPECT_EQ(ParseColumnName("16384"), 16383);
    for (const char* bad : {"", "0", "16385", "XFE", "AAAA", "A1", "-1", "1.5", " 1", "123456"})
        EXPECT_FALSE(ParseColumnName(bad)) << bad;
}

TEST(QuoteColumns, CellsByColumn)
{
    QuoteRow row;
    row.cells = {{1, "b"}, {4, "e"}};
    EXPECT_EQ(row.Cell(0), "");
    EXPECT_EQ(row.Cell(1), "b");
    EXPECT_EQ(row.Cell(3), "");
    EXPECT_EQ(row.Cell(4), "e");
    EXPECT_EQ(row.Cell(5), "");
    EXPECT_EQ(row.Cell(-1), "");
}

} // namespace
} // namespace kestrel
