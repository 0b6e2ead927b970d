#pragma once
// What the subcontracted total and the contract check read of a record's
// sub-items, kept per record between changes. A contract holds its
// sub-items by the hundred thousand; a change touches a few of them, so
// whoever changes the contract (the edit layer) keeps these and forgets
// the records whose sub-items it changed, and the totals and the check of
// the next change walk only the sub-items of those records.

#include <string>
#include <unordered_map>

namespace kestrel {

class CSubcontract;
class CWinMeta;

struct SubItemSummary {
    // The sub-items' extensions (no value counting as 0), added in map
    // order, as the subcontracted total adds them.
    double extensionSum = 0;
    // The lowest line of a sub-item that is not complete; "" when every
    // sub-item is complete (see incomplete).
    std::string firstIncomplete;
    bool incomplete = false;
};

// The summary of a record as its sub-items stand now.
SubItemSummary SummarizeSubItems(const CSubcontract& record);

class CSubItemSummaries {
public:
    // The summary of a record, made when it is not known.
    const SubItemSummary& Of(const CSubcontract& record);
    // The record's sub-items changed (or may have).
    void Forget(const CSubcontract* record) { m_known.erase(record); }
    void ForgetAll() { m_known.clear(); }
    // Forgets every record the table no longer holds: a record freed later
    // may leave its address to a new one.
    void KeepOnly(const CWinMeta* table);

private:
    std::unordered_map<const CSubcontract*, SubItemSummary> m_known;
};

} // namespace kestrel
