#pragma once
// The quick filters of the item grids: which items of a tier are still
// unassigned, which are partly subcontracted and which are over-committed.
// A tier is named by the record above it: null for the first tier (the
// contract item schedule and the grids of first-tier subcontractors), a
// record for the tier below that record (the grids of its subcontractors).
//
// A lower tier's grid lists only the lines its record above holds, so for
// a record given as tier an item that record does not hold matches none of
// the filters; a section heading never matches. Each filter costs one pass
// over the records per item.

#include <vector>

namespace kestrel {

class CContract;
class CItem;
class CSubcontract;

enum class ItemFilter { Unassigned, PartlySubcontracted, OverCommitted };

// No itemized record of the tier holds the item's line.
[[nodiscard]] bool IsUnassigned(const CContract& contract, const CItem& item, const CSubcontract* tier);
// Some quantity is left (the tier's remaining quantity is above 0.01) and
// an itemized record of the tier holds the line.
[[nodiscard]] bool IsPartlySubcontracted(const CContract& contract, const CItem& item,
                                         const CSubcontract* tier);
// The tier's remaining quantity is below -0.01, or a sub-item of the line
// held by a record of the tier or of any tier below it is marked quantity
// or price over-committed.
[[nodiscard]] bool IsOverCommitted(const CContract& contract, const CItem& item, const CSubcontract* tier);

[[nodiscard]] bool MatchesFilter(const CContract& contract, const CItem& item, const CSubcontract* tier,
                                 ItemFilter filter);
// The indexes (in the contract's items) of every item the filter keeps, in
// item order.
[[nodiscard]] std::vector<int> MatchingItems(const CContract& contract, ItemFilter filter,
                                             const CSubcontract* tier);

} // namespace kestrel
