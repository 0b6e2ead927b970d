#include "exchange/quotesheet.h"

#include <algorithm>
#include <cctype>
#include <initializer_list>
#include <string>

namespace kestrel {

namespace {

// Header rows are looked for among this many rows at the top of the sheet.
constexpr size_t kHeaderSearchRows = 50;
// The columns of a spreadsheet: A to XFD.
constexpr int kMaxColumns = 16384;

// A heading reduced to its letters and digits in lower case: "Unit Price",
// "unit_price" and "UNIT PRICE:" all read "unitprice".
std::string HeadingKey(std::string_view text)
{
    std::string key;
    for (char c : text)
        if (std::isalnum(static_cast<unsigned char>(c)))
            key.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(c))));
    return key;
}

int FindHeading(const QuoteRow& row, std::initializer_list<std::string_view> names)
{
    for (std::string_view name : names)
        for (const QuoteCell& cell : row.cells)
            if (HeadingKey(cell.text) == name)
                return cell.column;
    return -1;
}

} // namespace

std::string_view QuoteRow::Cell(int column) const
{
    const auto it = std::lower_bound(cells.begin(), cells.end(), column,
                                     [](const QuoteCell& cell, int c) { return cell.column < c; });
    return it != cells.end() && it->column == column ? std::string_view(it->text) : std::string_view();
}

Result<QuoteColumns> GuessQuoteColumns(const QuoteSheet& sheet)
{
    const size_t rows = std::min(sheet.rows.size(), kHeaderSearchRows);
    for (size_t r = 0; r < rows; ++r) {
        const QuoteRow& row = sheet.rows[r];
        QuoteColumns c;
        c.line = FindHeading(row, {"line", "lineno", "linenumber"});
        c.quantity = FindHeading(row, {"quantity", "qty"});
        c.price = FindHeading(row, {"unitprice", "price"});
        c.firstRow = row.number + 1;
        if (c.line >= 0 && (c.quantity >= 0 || c.price >= 0))
            return c;
    }
    return Result<QuoteColumns>::Fail("No header row naming the columns \"Line\" and \"Quantity\" or "
                                      "\"Unit Price\" in the first " +
                                      std::to_string(kHeaderSearchRows) + " rows");
}

Status CheckQuoteColumns(const QuoteColumns& c)
{
    if (c.line < 0)
        return Status::Fail("The quote has no line number column");
    if (c.quantity < 0 && c.price < 0)
        return Status::Fail("The quote has neither a quantity nor a unit price column");
    if (c.firstRow < 1)
        return Status::Fail("The first row of the quote's data must be 1 or more");
    return Ok();
}

std::optional<int> ParseColumnName(std::string_view text)
{
    if (text.empty() || text.size() > 5)
        return std::nullopt;
    int column = 0;
    if (std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        for (char c : text)
            column = column * 10 + (c - '0');
        if (column < 1 || column > kMaxColumns)
            return std::nullopt;
        return column - 1;
    }
    if (text.size() > 3)
        return std::nullopt;
    for (char c : text) {
        const int letter = std::toupper(static_cast<unsigned char>(c)) - 'A';
        if (letter < 0 || letter >= 26)
            return std::nullopt;
        column = column * 26 + letter + 1;
    }
    if (column > kMaxColumns)
        return std::nullopt;
    return column - 1;
}

} // namespace kestrel
