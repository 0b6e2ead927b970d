#pragma once
// The demo's subcontractors, their form records and sub-items, and the
// miscellaneous data.

namespace kestrel {
class CContract;
}

namespace kestrel::demo {

// Seven subcontractors in two tiers on the contract's subcontractor table
// (which must exist, with the demo form, and the schedule filled):
//   1 Tri-County Paving & Milling   itemized, with a partial item
//   2 Keystone Bridge & Structures  itemized, one item over-committed
//   3   Allegheny Rebar Placement   lower tier of 2, itemized
//   4 Blue Ridge Guardrail          lump sum, certified firm
//   5 Mason Aggregate Supply        supplier credited at 60 %, vendor
//                                   typed instead of chosen from the list
//   6   Hollins Trucking            lower tier of 5, required fields missing
//   7 Piedmont Signal & Lighting    received from Ironbark, itemized
// Then the miscellaneous data, with the bid bond number missing.
void FillDemoSubcontracts(CContract& contract);

// `count` generated subcontractors, every fourth one a lower tier of the
// one before, each with up to `subItems` sub-items spread over the
// schedule; for the benchmarks.
void FillLargeSubcontracts(CContract& contract, int count, int subItems);

// Renews every sub-item's over-commitment and completeness bits and every
// record's completeness, as the sub-item entry leaves them.
void UpdateSubItemMarks(CContract& contract);

} // namespace kestrel::demo
