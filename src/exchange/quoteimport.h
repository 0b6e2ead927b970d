#pragma once
// Taking a subcontractor's quote into the contract: quantities and unit
// prices by line number, each row entered through the edit layer exactly as
// the user would type it into the sub-item entry, so that every rule of
// entry holds and every refusal is the program's own.

#include <string>
#include <string_view>
#include <vector>

#include "calc/result.h"
#include "edit/contractedits.h"
#include "exchange/quotesheet.h"

namespace kestrel {

class CSubcontract;

struct QuoteRefusal {
    int row = 0;         // the row's number in the quote
    std::string message; // the program's message (Windows-1252)
};

struct QuoteImport {
    int applied = 0;                   // rows entered
    std::vector<QuoteRefusal> refused; // rows refused, in row order; each changed nothing
    // Every change made, in order: the program makes them one undo step
    // (UndoQuoteImport, RedoQuoteImport).
    std::vector<AppliedEdit> edits;
};

// Enters the quote's rows from columns.firstRow on for `record`. A row with
// no line number, or with neither a quantity nor a unit price, is passed
// over; a line number that a spreadsheet turned into a number ("160" for
// "0160") is taken for the one item whose line it reads as; a quantity of "LUMP" (as the item schedule shows
// a lump-sum item) counts as no quantity. For every other row: "Use?" is checked when the line is not yet
// subcontracted to the record, then the quantity and the unit price are entered as typed. When one of these
// is refused, the row's changes are taken back and the row is listed with the refusal's message. Fails only
// when the columns do not name what a quote needs, or the record is not one of the contract's subcontractors.
[[nodiscard]] Result<QuoteImport> ImportQuote(CContractEdits& edits, CSubcontract& record,
                                              const QuoteSheet& sheet, const QuoteColumns& columns);

// Takes every change of the import back, last first; and makes them again.
void UndoQuoteImport(CContractEdits& edits, QuoteImport& import);
void RedoQuoteImport(CContractEdits& edits, QuoteImport& import);

// A number of the quote as it is typed: with a decimal comma ("1.250,50",
// "12,5 €") it becomes the program's form ("1250.50", "12.5"); any other
// text, and every text of a sheet without decimal commas, stays as it is.
std::string QuoteNumberText(std::string_view text, bool decimalComma);

} // namespace kestrel
