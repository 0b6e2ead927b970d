#pragma once
// The rules of the form fields of subcontractor and misc-data records that
// do not change anything by themselves: what a field's list offers, how a
// typed number, amount or date is read and written back, and what the form
// shows of a record. CContractEdits applies them; the forms only show what
// these give.

#include <string>
#include <string_view>
#include <vector>

#include "calc/formats.h"
#include "calc/result.h"

namespace kestrel {

class CFieldInfo;
class CSAStringArray;
class CDataFilter;
class Evaluator;

// The messages of a typed value that cannot be read.
inline constexpr const char* kNotANumberMessage = "Not a valid number";
inline constexpr const char* kDateFormatMessage =
    "Date must be in one of the following formats:\n01/31/99, Jan31, 31Jan99, 013199, 01-31-99, today";
// The status line of a subcontractor record that is not complete.
inline constexpr const char* kIncompleteStatus = "< SUBCONTRACT RECORD IS INCOMPLETE >";

// One entry a field's list offers.
struct FieldChoice {
    // The entry's index in the pick list: what a cell stores as its chosen
    // position. It is not the entry's place among the choices, which data
    // filters and a vendor's work types shift.
    int position = -1;
    std::string text; // the columns the field shows
};

// What a field's drop-down (or a text field's entry list) offers.
struct FieldChoices {
    std::vector<FieldChoice> entries;
    // Why the field has no list although it names one (a list file that
    // cannot be read); the form shows it when its "WarnRef" setting is on.
    std::string listMessage;

    // The place among the entries of the entry at list position
    // `position`; -1 when it is not offered.
    [[nodiscard]] int IndexOfPosition(int position) const;
};

// What the form shows of one field of a bound record.
struct FieldDisplay {
    int type = 0;          // the field's data type
    std::string text;      // the text of the edit, of the chosen entry, or the caption
    int position = -1;     // drop-downs and yes/no: the chosen list position, -1 none
    int choice = -1;       // the place of that position among the choices, -1 not offered
    bool readOnly = false; // edits read-only, drop-downs disabled
    // The field's rule requires it in this record and it is empty (what
    // keeps the record incomplete); never for a record exempt from the
    // required fields.
    bool missing = false;
    FieldChoices choices; // text fields with a list, yes/no and drop-downs
};

// What the form shows of a bound record.
struct FormDisplay {
    std::vector<FieldDisplay> fields; // one per field, in field order
    bool complete = false;            // the record's completeness
    bool locked = false;              // received from Ironbark while the contract locks such records
    std::string status;               // the status line (kIncompleteStatus or empty)
};

// The text a field shows of a list entry: the columns from list start to
// list end (1-based, inclusive; an end beyond the entry is taken as its
// length; the whole entry when list end is 0), trailing blanks and tabs
// removed.
[[nodiscard]] std::string ShownColumns(std::string_view entry, const CFieldInfo& field);

// The choices of a list for a field: every entry the filter (when there is
// one) accepts, with its position and shown text. Positions a cell cannot
// hold (past 32767) are not offered by drop-downs.
[[nodiscard]] FieldChoices ChoicesFromList(const CSAStringArray& list, const CFieldInfo& field,
                                           const CDataFilter* filter);
// The choices of a yes/no field: "", "Yes", "No" at positions 0, 1, 2.
[[nodiscard]] FieldChoices YesNoChoices();

// The list key of a drop-down: its list source after the first colon (the
// whole source when it has none or begins with one), trimmed.
[[nodiscard]] std::string_view ListKey(std::string_view listSource);
// The special lists of the subcontractor form, by their list key.
enum class SpecialList { None, SubType, Vendor, WorkType };
[[nodiscard]] SpecialList SpecialListOf(const CFieldInfo& field);

// The work-type codes of a vendor's list entry: from column `column`
// (1-based) to its end, consecutive 4-character codes (the last may be
// shorter), each trimmed; codes that are only blanks are left out. None
// when the column is 0 or less or the entry is shorter.
[[nodiscard]] std::vector<std::string> WorkTypeCodes(std::string_view vendorEntry, int column);
// Leaves of the choices only the work types among the codes (the first 4
// characters of the entry, trimmed); all of them when there are no codes.
void KeepVendorWorkTypes(FieldChoices& choices, const CSAStringArray& list,
                         const std::vector<std::string>& codes);

// A number or money amount as typed into a field and left.
struct FieldNumber {
    std::string text; // what the field shows and stores
    double value = 0; // the value; blank for an empty entry
};

// Reads a typed number or money amount: blanks and tabs trimmed, "," and
// "$" removed; empty stays empty; a trailing "%" takes that share of the
// contract total; the rest is evaluated. Written back with W - 3 integer
// digits (W the field's width), 2 decimals and thousands separators, with
// the currency sign for money. Refused with kNotANumberMessage
// (Refusal::NumberFormat) when it gives no value.
[[nodiscard]] Result<FieldNumber> ReadNumberField(Evaluator& evaluator, std::string_view typed, int width,
                                                  bool money, double contractTotal);
// The integer digits a field of that width writes numbers with.
[[nodiscard]] int NumberFieldDigits(int width);

// Reads a typed date: empty stays empty, a text beginning with "T" or "t"
// is today; read with the time "12:00PM" and written back in date format
// 4. Refused with kDateFormatMessage (Refusal::DateFormat).
[[nodiscard]] Result<std::string> ReadDateField(std::string_view typed, const LocalDateTime& today);

// A stored amount as the amount rule reads it: blanks, tabs, "$" and ","
// removed; blank when the text is empty or not a number.
[[nodiscard]] double StoredAmount(std::string_view text);

} // namespace kestrel
