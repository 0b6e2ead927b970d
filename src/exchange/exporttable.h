#pragma once
// The contract's tables as rows of cells, ready for a spreadsheet: the item
// schedule, the subcontractors' items and the subcontractor list. Both file
// formats (CSV and XLSX) write these tables, so what a table holds is
// decided here alone.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kestrel {

class CContract;
class CSubcontract;

enum class ExportTableKind { Items, SubItems, Subcontractors };

// "items", "subitems", "subcontractors"; none for any other name.
std::optional<ExportTableKind> ExportTableKindFromName(std::string_view name);

// How a number column shows its numbers: the contract's integer digits and
// decimals, with thousands separators and, for money, the currency sign.
struct ExportNumberFormat {
    int digits = 0;
    int decimals = 0;
    bool money = false;
    bool separators = false;
};

struct ExportCell {
    enum class Kind { Empty, Text, Number };
    Kind kind = Kind::Empty;
    // A text in Windows-1252; for a number, its plain form with the
    // format's decimals (no separators, no currency sign).
    std::string text;
    double value = 0; // a number's value: exactly what `text` reads as
    int format = -1;  // a number's format, an index into ExportTable::formats

    static ExportCell Text(std::string_view text);
    // A number with the format's decimals; a blank value gives an empty cell.
    static ExportCell Number(double x, int format, const ExportNumberFormat& f);
};

struct ExportTable {
    std::string name; // the sheet's name
    std::vector<std::string> headings;
    std::vector<ExportNumberFormat> formats;
    std::vector<std::vector<ExportCell>> rows; // each as long as headings
};

// Every contract entry in contract order: line, alternate code, item,
// quantity ("LUMP" for a lump-sum item), unit, unit price, extension and
// short description. A section heading is a row of its own: the section
// number under "Line", its alternate code, "==Section==" under "Item", its
// total under "Extension" and its description.
ExportTable ItemScheduleTable(const CContract& contract);
// Every subcontractor's sub-items, subcontractors in table order and their
// items in contract order (sub-items of lines the contract does not hold
// last): number, name, line, item, quantity, unit shown, unit price,
// extension, partial, notes and "X" for a sub-item that is not complete.
// With `only`, that subcontractor's sub-items alone.
ExportTable SubItemsTable(const CContract& contract, const CSubcontract* only = nullptr);
// One row per subcontractor in table order: number, name, tier (1 for the
// first), parent's number, vendor, amount, credited percentage, complete.
ExportTable SubcontractorsTable(const CContract& contract);

ExportTable MakeExportTable(const CContract& contract, ExportTableKind kind);

// A number's plain form: `decimals` places (held within 0 to 15), no
// separators, no currency sign, never the overflow stars of the display.
std::string PlainNumberText(double x, int decimals);

} // namespace kestrel
