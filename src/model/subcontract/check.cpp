#include "model/subcontract/check.h"

#include <cstdarg>
#include <cstdio>
#include <vector>

#include "model/contract/contract.h"
#include "model/subcontract/subitemsummaries.h"
#include "model/subcontract/subservices.h"
#include "model/subcontract/winmeta.h"

namespace kestrel {

namespace {

constexpr size_t kMaxEntries = 8999;
constexpr size_t kMaxText = 120;
constexpr const char* kMarkerText = "       <******** MORE ERRORS ********>";

// Counts every message and stores those that fit, the last place of a full
// list going to the marker.
class CMessageCollector {
public:
    explicit CMessageCollector(bool store) : m_store(store) {}

    // True when a message of this severity would be stored; the caller
    // then builds it and hands it to Add.
    [[nodiscard]] bool Count(CheckSeverity severity)
    {
        if (severity == CheckSeverity::Error)
            ++m_result.errors;
        else if (severity == CheckSeverity::Warning)
            ++m_result.warnings;
        if (!m_store || m_result.messages.size() >= kMaxEntries)
            return false;
        if (m_result.messages.size() == kMaxEntries - 1) {
            CheckMessage marker;
            marker.text = kMarkerText;
            m_result.messages.push_back(std::move(marker));
            return false;
        }
        return true;
    }
    void Add(CheckMessage message) { m_result.messages.push_back(std::move(message)); }
    CheckResult Take() { return std::move(m_result); }

private:
    bool m_store;
    CheckResult m_result;
};

// The format filled with the arguments, cut to the first 120 characters.
[[gnu::format(printf, 1, 2)]] std::string Format(const char* format, ...)
{
    char buf[kMaxText + 1];
    va_list args;
    va_start(args, format);
    std::vsnprintf(buf, sizeof buf, format, args);
    va_end(args);
    return buf;
}

// Where an incomplete record is to be mended: its first empty required
// field, and the first of its sub-items that is not complete.
CheckMessage IncompleteRecord(const CWinMeta& table, int i, bool exempt, CSubItemSummaries* summaries)
{
    CheckMessage m;
    m.severity = CheckSeverity::Error;
    m.record = i;
    m.field = table.MissingRequiredField(i, exempt);
    const CSubcontract& rec = *table.m_Records[i];
    // The sub-item the record's item error is most likely about: the
    // incomplete one with the lowest line number (contract order for the
    // usual zero-padded numbers).
    if (!FlagTest(rec.m_wFlags, SUB_ITEMS_COMPLETE))
        m.item = summaries ? summaries->Of(rec).firstIncomplete : SummarizeSubItems(rec).firstIncomplete;
    return m;
}

void CheckSubcontractors(const CWinMeta& table, bool exempt, CSubItemSummaries* summaries,
                         CMessageCollector& out)
{
    const int records = table.m_Records.GetSize();
    for (int i = 0; i < records; ++i) {
        if (FlagTest(table.m_Records[i]->m_wFlags, SUB_COMPLETE) || !out.Count(CheckSeverity::Error))
            continue;
        CheckMessage m = IncompleteRecord(table, i, exempt, summaries);
        m.source = CheckSource::Subcontractor;
        m.text = Format("%s Error: %s Entry #%d is incomplete or contains item errors", "Subcontractor",
                        "Subcontractor", i + 1);
        out.Add(std::move(m));
    }
    if (!FlagTest(table.m_wFlags, 2))
        return;
    // The list-checked columns, found once rather than per record.
    std::vector<int> listed;
    for (int j = 0; j < table.m_Fields.GetSize(); ++j) {
        const CFieldInfo* f = table.m_Fields[j];
        if (f->m_iType == FIELD_DROPTYPE && FlagTest(f->m_wFlags, 2))
            listed.push_back(j);
    }
    if (listed.empty())
        return;
    for (int i = 0; i < records; ++i) {
        const CSubcontract* rec = table.m_Records[i];
        for (int j : listed) {
            const CCellData* cell = rec->GetCell(j);
            if (!cell || !cell->m_psz || cell->m_i != -1 || !out.Count(CheckSeverity::Warning))
                continue;
            CheckMessage m;
            m.severity = CheckSeverity::Warning;
            m.source = CheckSource::Subcontractor;
            m.record = i;
            m.field = j;
            m.text = Format("%s Warning: %s not chosen from list (%s #%d)", "Subcontractor",
                            std::string(cell->m_psz.View()).c_str(), "Subcontractor", i + 1);
            out.Add(std::move(m));
        }
    }
}

} // namespace

CheckResult CheckContract(CContract& contract, CheckCollect collect, CSubItemSummaries* summaries)
{
    CMessageCollector out(collect == CheckCollect::Messages);
    if (const CWinMeta* table = contract.m_pSubTable.get()) {
        ComputeSubcontractedTotal(contract, summaries);
        CheckSubcontractors(*table, FlagTest(contract.m_wFlags, CONTRACT_IRONBARK_LOCKED), summaries, out);
    }
    // The flag promises a miscellaneous-data table; one that is missing (or
    // has no record) has nothing to be incomplete.
    if (FlagTest(contract.m_wFlags, CONTRACT_HAS_MISC) && contract.m_pMiscTable) {
        const CWinMeta& misc = *contract.m_pMiscTable;
        const CSubcontract* rec = misc.m_Records.GetAt(0);
        if (rec && !FlagTest(rec->m_wFlags, SUB_COMPLETE) && out.Count(CheckSeverity::Error)) {
            CheckMessage m = IncompleteRecord(misc, 0, false, nullptr);
            m.source = CheckSource::MiscData;
            m.text = "Data Error: Required fields not entered in Misc Data screen";
            out.Add(std::move(m));
        }
    }
    CheckResult result = out.Take();
    FlagSet(contract.m_wFlags, CONTRACT_BID_ERRORS, result.errors > 0 ? 1 : 0);
    return result;
}

} // namespace kestrel
