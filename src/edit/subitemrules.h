#pragma once
// The rules of sub-item entry that do not change anything by themselves:
// reading an entry, the over-commit marks, the values a new sub-item starts
// with and what the entry view shows. CContractEdits applies them.

#include <string>
#include <string_view>

#include "calc/result.h"

namespace kestrel {

class CContract;
class CItem;
class CSubcontract;
class CSubItem;
class Evaluator;
struct NumberFormat;

// The over-commit tolerance after an edit, and when a line is only shown.
inline constexpr double kEditTolerance = -0.01;
inline constexpr double kShowTolerance = 0.0;

// A typed value rounded to `decimals` as the entry fields round it:
// sign x floor(10^d x |x| + 0.5001) / 10^d, blank staying blank. Dividing
// gives back the number typed (3 stays 3), where multiplying by 10^-d, as
// the stored extensions are rounded, can land one bit beside it. A value
// too large to have those decimals is left as it is.
[[nodiscard]] double RoundEntry(double x, int decimals);

// A typed quantity, price or amount: "$" and "," removed, evaluated, and
// rounded to the format's decimals; blank when it does not evaluate. A
// text that is not empty and that the evaluator cannot read also gives the
// evaluator's message (an emptied field is no error).
struct EntryValue {
    double value = 0;
    std::string unreadable;
};
[[nodiscard]] EntryValue ReadEntryValue(Evaluator& evaluator, std::string_view typed,
                                        const NumberFormat& format);
// Whether a typed entry reads as a number as ReadEntryValue reads it; the
// evaluator's message when it gives none (an empty entry gives none either).
[[nodiscard]] Status CheckEntryNumber(Evaluator& evaluator, std::string_view typed);

// Renews the over-commit marks (bits 1 and 6) of a sub-item of `record` for
// `item` against the tolerance; with `full`, the invalid-quantity and
// complete bits (7 and 5) too. Returns whether the flags changed.
bool RenewSubItemFlags(const CContract& contract, const CSubcontract& record, const CItem& item,
                       CSubItem& subItem, double tolerance, bool full);

// Renews the marks (full) of every sub-item of the item's line, as
// RenewSubItemFlags does for each, with what each tier has left worked out
// once: for changes that touch whole lines in many records.
void RenewLineFlags(const CContract& contract, const CItem& item, double tolerance);

// A new sub-item of `record` for `item`, as checking "Use?" creates it: the
// tier's remaining quantity (not below 0), the parent's unit price in a
// lower tier or the item's, the extension from both, the item's unit.
void InitNewSubItem(const CContract& contract, const CSubcontract& record, const CItem& item,
                    CSubItem& subItem);

// The note shown beside the values: "<invalid quantity>", "<Qty over
// committed>", "<Price over committed>", or "" for a sub-item without a mark.
[[nodiscard]] std::string SubItemMark(const CSubItem& subItem);

// Whether the contract locks this sub-item (received from Ironbark while
// contract flag 8 is set): it can neither be removed nor made partial.
[[nodiscard]] bool IsLockedSubItem(const CContract& contract, const CSubItem& subItem);

// Whether the contract holds quantities received from Ironbark as a floor
// for this sub-item (flag 9 and sub-item bit 3).
[[nodiscard]] bool HasIronbarkFloor(const CContract& contract, const CSubItem& subItem);
// Whether a quantity (blank counting as 0) falls below the floor: the
// sub-item has one and an original quantity that is not blank and above
// the quantity. A blank original quantity is no floor: its bits make a
// tiny positive number, never a quantity received.
[[nodiscard]] bool BelowIronbarkFloor(const CContract& contract, const CSubItem& subItem, double quantity);

// The product of two entries as stored: not rounded, 0 when either is blank.
[[nodiscard]] double StoredExtension(double quantity, double unitPrice);

} // namespace kestrel
