#pragma once
// A subcontractor's quote as read from a CSV or XLSX file: rows of texts by
// column, and which columns hold the line number, the quantity and the unit
// price.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "calc/result.h"

namespace kestrel {

struct QuoteCell {
    int column = 0;   // from 0 (column A)
    std::string text; // Windows-1252
};

struct QuoteRow {
    int number = 0;               // the row's number as a spreadsheet shows it (from 1)
    std::vector<QuoteCell> cells; // the cells that hold something, by column

    // The text of a column, empty when the row has nothing there.
    std::string_view Cell(int column) const;
};

struct QuoteSheet {
    std::vector<QuoteRow> rows; // by row number; empty rows left out
    // Numbers are written with a decimal comma (a semicolon-separated CSV,
    // as spreadsheets write it where the comma is the decimal sign).
    bool decimalComma = false;
};

// What a reader of a quote takes from a file at most. Beyond these a file is
// refused with a message: a quote is a few hundred lines, and a hostile file
// must not take the machine's memory.
struct QuoteLimits {
    std::size_t maxFileBytes = std::size_t(64) << 20;
    std::size_t maxPartBytes = std::size_t(64) << 20; // inflated size of one XLSX part
    std::size_t maxRows = 100000;
    std::size_t maxCells = 1000000;
    std::size_t maxSharedStrings = 1000000;
    int maxDepth = 64; // nesting of XML elements
};

// Where the values of a quote are: columns from 0, -1 for a column the
// quote does not have (a quote needs a line column and at least one of
// the quantity and unit price columns); firstRow is a row number from 1.
struct QuoteColumns {
    int line = -1;
    int quantity = -1;
    int price = -1;
    int firstRow = 1;
};

// The columns named in a header row ("Line", "Quantity" or "Qty", "Unit
// Price" or "Price", without regard to case, blanks or punctuation) among
// the first rows of the sheet; the data begin in the row after it.
[[nodiscard]] Result<QuoteColumns> GuessQuoteColumns(const QuoteSheet& sheet);

// Whether the columns name what a quote needs; the reason when not.
[[nodiscard]] Status CheckQuoteColumns(const QuoteColumns& columns);

// A column given as a number from 1 ("3") or as letters ("C", "aa"); none
// for anything else or a column past XFD.
std::optional<int> ParseColumnName(std::string_view text);

} // namespace kestrel
