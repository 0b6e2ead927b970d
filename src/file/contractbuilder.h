#pragma once
// Turns the records of a contract file into a new contract: one handler per
// record group, reader state kept between records.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "file/recordbudget.h"
#include "file/recordtags.h"
#include "file/substorage.h"

namespace kestrel {

class CContract;
class CPlate;
class CSAStringArray;
class CRecordReader;
struct RecordValue;

class CContractBuilder {
public:
    // A builder that adds at most recordLimit records to the model (see
    // ContractReadLimits).
    explicit CContractBuilder(size_t recordLimit);
    ~CContractBuilder();
    CContractBuilder(const CContractBuilder&) = delete;
    CContractBuilder& operator=(const CContractBuilder&) = delete;

    // One record. Unknown groups and tags are skipped. Returns a contract
    // file error code (the version test, the record limit), 0 to go on.
    [[nodiscard]] int Handle(uint16_t tag, const RecordValue& value);
    // Reads a run of sub-item records straight from the reader, as
    // CSubStorageReader::ReadSubItemRun.
    [[nodiscard]] bool ReadSubItemRun(CRecordReader& reader, uint16_t& tag, RecordValue& value)
    {
        return m_storage.ReadSubItemRun(reader, tag, value);
    }
    static bool IsSubItemRecord(uint16_t tag) { return GroupOf(tag) == GROUP_SUBITEM; }
    // Whether what was read lies within the record limit: no record over
    // it, and tables whose cells as written stay within it.
    [[nodiscard]] bool WithinLimit() const;
    // Completes the tables and the computed values, clears the modified
    // flag and hands the contract over.
    std::unique_ptr<CContract> Finish();

private:
    void Header(uint16_t tag, const RecordValue& v);
    void Item(uint16_t tag, const RecordValue& v);
    void County(uint16_t tag, const RecordValue& v);
    void Site(uint16_t tag, const RecordValue& v);
    void Note(uint16_t tag, const RecordValue& v);
    void PrintOptions(uint16_t tag, const RecordValue& v);
    void Formats(uint16_t tag, const RecordValue& v);
    void OtherReport(uint16_t tag, const RecordValue& v);
    void Template(uint16_t tag, const RecordValue& v);
    void List(uint16_t tag, const RecordValue& v);

    std::unique_ptr<CContract> m_contract;
    CRecordBudget m_budget;
    CSubStorageReader m_storage;
    // The template and the list named by the last name record; dropped when
    // a later name record replaces them.
    CPlate* m_template = nullptr;
    CSAStringArray* m_list = nullptr;
};

} // namespace kestrel
