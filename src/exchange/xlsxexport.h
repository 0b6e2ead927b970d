#pragma once
// Tables as an XLSX workbook, one sheet per table: numbers as numbers in
// the contract's formats (money with the currency sign), texts as texts, a
// bold header row that stays in view, columns wide enough for their cells.

#include <string>
#include <vector>

#include "calc/result.h"

namespace kestrel {

struct ExportTable;

// Writes the workbook to path through the safe replacement of the file:
// the target is replaced only by a complete workbook. A cell that XLSX
// cannot hold (a text of more than 32,767 characters, more rows than a
// sheet has) is refused with its place, and nothing is written.
[[nodiscard]] Status WriteXlsxFile(const std::vector<ExportTable>& tables, const std::string& path);

// The spreadsheet number format of a column: thousands separators where the
// program shows them, the format's decimals, "$" and parentheses for money.
struct ExportNumberFormat;
std::string XlsxNumberFormat(const ExportNumberFormat& format);

} // namespace kestrel
