#pragma once
// The subcontract tables inside the contract file: the records of the groups
// 0x0C to 0x13, read into the contract's two tables and written from them.

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "file/recordbudget.h"
#include "model/subcontract/subitem.h"

namespace kestrel {

class CContract;
class CDataFilter;
class CRecordReader;
class CRecordWriter;
class CSubcontract;
class CWinMeta;
struct RecordValue;

// Reader state for the table groups of one contract file.
class CSubStorageReader {
public:
    // Every sub-item a run creates is taken from budget.
    CSubStorageReader(CContract& contract, CRecordBudget& budget) : m_contract(contract), m_budget(budget) {}

    // One record of the table groups (GROUP_TABLE to GROUP_FILTER, not
    // GROUP_LIST). Records with nowhere to go (no current
    // table, no record, cell, field, sub-item or filter to receive them) are
    // ignored.
    void Handle(uint16_t tag, const RecordValue& value);
    // The sub-item records (GROUP_SUBITEM) are the bulk of a large table:
    // a run of them, starting with the one in tag and value, is read here
    // straight from the reader. Returns false when the records end (see
    // CRecordReader::Next) or the budget is spent; otherwise tag and value
    // hold the next record of another group, not yet handled.
    [[nodiscard]] bool ReadSubItemRun(CRecordReader& reader, uint16_t& tag, RecordValue& value);
    // Hands the sub-items read for the last record over to it; called when
    // another record or table begins and when the file ends.
    void FlushSubItems();

private:
    void HandleTable(uint16_t tag, const RecordValue& value);
    void HandleField(uint16_t tag, const RecordValue& value);
    void HandleRecord(uint16_t tag, const RecordValue& value);
    void HandleSubItem(uint16_t tag, const RecordValue& value);
    void HandleFilter(uint16_t tag, const RecordValue& value);
    void NewTable(bool misc);

    CContract& m_contract;
    CRecordBudget& m_budget;
    CWinMeta* m_table = nullptr; // the current table
    // The sub-item of the remembered key in the last record. A key applies
    // to whichever record is last, and every new record or table starts
    // without sub-items, so the pointer is simply dropped when those change.
    CSubItem* m_subItem = nullptr;
    // The sub-items of the last record, in the order read. They join the
    // record's map all at once (see FlushSubItems), which sizes the map
    // once instead of growing it item by item.
    std::vector<std::pair<std::string, std::unique_ptr<CSubItem>>> m_pending;
    CSubcontract* m_pendingOwner = nullptr;
    CDataFilter* m_filter = nullptr; // the filter of the remembered name
};

// Writes one table in the file's order; misc selects TAG_MISC_TABLE and
// leaves out what the miscellaneous-data table does not store.
void WriteSubTable(CRecordWriter& writer, const CWinMeta& table, bool misc);

// Whether every table, written with one cell per field of every record,
// stays within limit cells.
[[nodiscard]] bool SubTablesFit(const CContract& contract, size_t limit);

// After a whole file was read: links parents, renews the tier bits and the
// completeness of every record of both tables.
void FinishSubTables(CContract& contract);

// Adds a table's cells and sub-items to a check value.
uint32_t CheckValueAddTable(uint32_t crc, const CWinMeta& table);

} // namespace kestrel
