// Reading a quote from CSV: records, quoting, line ends, encodings,
// separators, and the limits that keep a hostile file from taking memory.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "exchange/csvreader.h"

namespace kestrel {
namespace {

QuoteSheet Read(std::string_view bytes, const QuoteLimits& limits = {})
{
    auto sheet = ReadQuoteCsv(bytes, limits);
    EXPECT_TRUE(sheet.ok()) << sheet.errorText();
    return sheet ? sheet.value() : QuoteSheet();
}

// The rows as "number: a|b|c" with empty cells as "".
std::vector<std::string> Dump(const QuoteSheet& sheet)
{
    std::vector<std::string> out;
    for (const QuoteRow& row : sheet.rows) {
        std::string line = std::to_string(row.number) + ":";
        const int last = row.cells.empty() ? -1 : row.cells.back().column;
        for (int c = 0; c <= last; ++c)
            line += (c ? "|" : "") + std::string(row.Cell(c));
        out.push_back(line);
    }
    return out;
}

using Rows = std::vector<std::string>;

TEST(CsvReader, RecordsFieldsAndQuotes)
{
    EXPECT_EQ(Dump(Read("a,b,c\r\n1,\"2,5\",\"say \"\"hi\"\"\"\r\n")),
              (Rows{"1:a|b|c", "2:1|2,5|say \"hi\""}));
    // An empty quoted field, a quoted empty line and a last line without end.
    EXPECT_EQ(Dump(Read("\"\",x\n\n,,z")), (Rows{"1:|x", "3:||z"}));
    // Characters after a closing quote and a quote inside a field are kept.
    EXPECT_EQ(Dump(Read("\"ab\"cd,12\" pipe\n")), (Rows{"1:abcd|12\" pipe"}));
}

TEST(CsvReader, LineEndsOfEveryKindAndInsideQuotes)
{
    EXPECT_EQ(Dump(Read("a\r\nb\nc\rd")), (Rows{"1:a", "2:b", "3:c", "4:d"}));
    // A line end inside quotes belongs to the field; rows count records.
    EXPECT_EQ(Dump(Read("\"two\r\nlines\",x\r\nnext\r\n")), (Rows{"1:two\r\nlines|x", "2:next"}));
    EXPECT_EQ(Dump(Read("\"cr\ronly\"\n")), (Rows{"1:cr\ronly"}));
}

TEST(CsvReader, AQuoteLeftOpenIsRefused)
{
    const auto sheet = ReadQuoteCsv("a,b\n1,\"open\n2,3\n");
    ASSERT_FALSE(sheet.ok());
    EXPECT_EQ(sheet.errorText(), "The quoted field that begins in row 2 is not closed");
}

TEST(CsvReader, Utf8WithOrWithoutMarkAndWindows1252)
{
    EXPECT_EQ(Dump(Read("\xEF\xBB\xBF"
                        "Caf\xC3\xA9,1\n")),
              (Rows{"1:Caf\xE9|1"}));
    EXPECT_EQ(Dump(Read("Caf\xC3\xA9,1\n")), (Rows{"1:Caf\xE9|1"}));
    // Not UTF-8: the bytes are Windows-1252 already.
    EXPECT_EQ(Dump(Read("Caf\xE9,\x80 5\n")), (Rows{"1:Caf\xE9|\x80 5"}));
    // A character Windows-1252 has no place for.
    EXPECT_EQ(Dump(Read("\xE2\x82\xAC 5,\xE4\xB8\xAD\n")), (Rows{"1:\x80 5|?"}));
}

// UTF-16 text with its byte order mark, in either byte order.
std::string Utf16(std::u16string_view text, bool bigEndian)
{
    std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (const char16_t c : text) {
        const char high = static_cast<char>(c >> 8), low = static_cast<char>(c & 0xFF);
        bytes += bigEndian ? std::string{high, low} : std::string{low, high};
    }
    return bytes;
}

// UTF-16 is told by its byte order mark, in either byte order; other
// bytes holding a NUL are no text at all.
TEST(CsvReader, Utf16ByItsMarkAndNoBinary)
{
    EXPECT_EQ(Dump(Read(Utf16(u"Caf\u00E9,1\r\n", false))), (Rows{"1:Caf\xE9|1"}));
    EXPECT_EQ(Dump(Read(Utf16(u"Caf\u00E9,1", true))), (Rows{"1:Caf\xE9|1"}));
    EXPECT_EQ(Dump(Read(Utf16(u"\u20AC,\U0001F600", false))), (Rows{"1:\x80|?"})); // a surrogate pair
    EXPECT_EQ(ReadQuoteCsv(Utf16(u"1,", false).substr(0, 5)).errorText(),
              "The quote ends inside a UTF-16 character");
    for (const std::string& binary :
         {std::string("L\0i\0n\0e\0", 8), std::string("\x89PNG\r\n\x1A\n\0\0\0\r", 12)})
        EXPECT_EQ(ReadQuoteCsv(binary).errorText(), "The quote is not a text file (nor an XLSX workbook)");
}

TEST(CsvReader, SemicolonsSeparateWhenTheFirstRecordSaysSo)
{
    const QuoteSheet semi = Read("Line;Qty;Price\n0010;1,5;\"2,25\"\n");
    EXPECT_TRUE(semi.decimalComma);
    EXPECT_EQ(Dump(semi), (Rows{"1:Line|Qty|Price", "2:0010|1,5|2,25"}));
    const QuoteSheet comma = Read("Line,Note\n0010,\"a;b;c\"\n");
    EXPECT_FALSE(comma.decimalComma);
    EXPECT_EQ(Dump(comma), (Rows{"1:Line|Note", "2:0010|a;b;c"}));
    // Quoted separators of the first record do not count.
    EXPECT_EQ(Dump(Read("\"a;b;c\",d\n")), (Rows{"1:a;b;c|d"}));
    // A tie is a comma.
    EXPECT_FALSE(Read("a;b,c\n").decimalComma);
}

TEST(CsvReader, ASeparatorLineNamesTheSeparator)
{
    const QuoteSheet semi = Read("sep=;\r\nLine,x;Qty\r\n");
    EXPECT_TRUE(semi.decimalComma);
    EXPECT_EQ(Dump(semi), (Rows{"1:Line,x|Qty"}));
    EXPECT_EQ(Dump(Read("sep=,\nLine;x,Qty\n")), (Rows{"1:Line;x|Qty"}));
    // Only a line of its own is one.
    EXPECT_EQ(Dump(Read("sep=,x\n")), (Rows{"1:sep=|x"}));
}

TEST(CsvReader, LimitsOfRowsCellsAndSize)
{
    QuoteLimits limits;
    limits.maxRows = 3;
    EXPECT_TRUE(ReadQuoteCsv("1\n2\n3\n", limits).ok());
    const auto rows = ReadQuoteCsv("1\n2\n3\n4\n", limits);
    ASSERT_FALSE(rows.ok());
    EXPECT_EQ(rows.errorText(), "The quote has more than 3 rows");
    limits = QuoteLimits();
    limits.maxCells = 4;
    EXPECT_TRUE(ReadQuoteCsv("a,b\n,,c,d\n", limits).ok()); // empty cells take nothing
    EXPECT_EQ(ReadQuoteCsv("a,b\nc,d,e\n", limits).errorText(), "The quote has more than 4 cells");
    limits = QuoteLimits();
    limits.maxFileBytes = std::size_t(1) << 20;
    EXPECT_EQ(ReadQuoteCsv(std::string((std::size_t(1) << 20) + 1, 'x'), limits).errorText(),
              "The quote is larger than 1 MiB");
    // Empty lines are counted against the rows as well: a file of nothing
    // but line ends ends at the limit.
    limits = QuoteLimits();
    limits.maxRows = 10;
    EXPECT_FALSE(ReadQuoteCsv(std::string(100, '\n'), limits).ok());
}

TEST(CsvReader, EmptyInput)
{
    EXPECT_TRUE(Read("").rows.empty());
    EXPECT_TRUE(Read("\xEF\xBB\xBF").rows.empty());
    EXPECT_TRUE(Read(",,,\r\n").rows.empty());
}

} // namespace
} // namespace kestrel
