#pragma once
// Quantities, prices and amounts as the item grids and the sub-item entry
// show them, with the contract's formats: thousands separators, the
// currency sign for money; a blank value shows nothing.

#include <QString>

#include <string_view>

namespace kestrel {

struct NumberFormat;
class CItem;
class Text;

QString QuantityText(double value, const NumberFormat& format);
QString MoneyText(double value, const NumberFormat& format);
// The text an editor starts with: the number with its decimals, without
// separators or currency sign.
QString EntryText(double value, const NumberFormat& format);
// A text of several lines on one line (a long description in a row).
QString OneLineText(const Text& text);
// A typed value for the "counted although fixed price" mark: it is set by
// a text beginning with "T" or "t" or reading as a whole number other than
// 0.
bool IsCountedText(std::string_view text);
// What names an item's rows for a screen reader: "Line 0010", or
// "Section 0100" for a heading; empty without an item.
QString ItemRowHeading(const CItem* item);

} // namespace kestrel
