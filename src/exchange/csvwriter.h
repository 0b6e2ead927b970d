#pragma once
// A table as CSV: RFC 4180 (CRLF line ends; a field holding a comma, a
// quote, CR or LF in quotes, its quotes doubled), UTF-8 with a byte order
// mark so that spreadsheets read the accented letters right.

#include <string>
#include <string_view>

#include "calc/result.h"

namespace kestrel {

struct ExportTable;

// One field as it stands in a CSV line (the text already in UTF-8).
std::string CsvField(std::string_view utf8);
// A text cell as CSV holds it: one that begins with "=", "+", "-", "@", a tab
// or a CR, which a spreadsheet would run as a formula, is prefixed with "'";
// a text that is a plain number ("-5", "+1.25") is no formula and stays.
// Number cells are written as they are.
std::string CsvSafeText(std::string_view utf8);
// The whole file: the mark, the headings, then one line per row. Texts are
// converted from Windows-1252; numbers are written in their plain form.
std::string CsvText(const ExportTable& table);
// Writes CsvText to path through the safe replacement of the file.
[[nodiscard]] Status WriteCsvFile(const ExportTable& table, const std::string& path);

} // namespace kestrel
