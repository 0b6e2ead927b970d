#pragma once
// The subcontractor table's services on the contract.

#include <optional>
#include <string>
#include <string_view>

#include "model/contract/values.h"

namespace kestrel {

class CContract;
class CItem;
class CSubcontract;
class CWinMeta;
class CSubItemSummaries;

// Remaining quantity (extension) of a contract item for the tier below s
// (s null: the first tier). May be negative.
double RemainingQuantity(const CContract& contract, const CItem* item, const CSubcontract* s);
double RemainingExtension(const CContract& contract, const CItem* item, const CSubcontract* s);
// Removes the line's sub-item from every itemized record below s; returns
// how many there were.
int RemoveLineBelow(CContract& contract, std::string_view line, const CSubcontract* s);
// Computes the subcontractor table's subcontracted total (itemized amounts
// are written to cell 17 as money). With summaries, a record's sub-items
// are added up only when its summary is not known.
void ComputeSubcontractedTotal(CContract& contract, CSubItemSummaries* summaries = nullptr);
// A cell amount read as a number after removing tabs, blanks, "$" and ",".
double ParseAmountText(std::string_view text);
// The number of an amount cell when all of its text, less what
// ParseAmountText leaves out, is a plain decimal number; none otherwise.
std::optional<double> ParseWholeAmountText(std::string_view text);
// True text: first non-blank character 1, T, t, Y or y.
bool IsTrueText(std::string_view text);
// Blank text: null or only blanks and tabs.
bool IsBlankText(std::string_view text);
inline bool IsBlankText(const Text& text)
{
    return IsBlankText(TextView(text));
}

} // namespace kestrel
