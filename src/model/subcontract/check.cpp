#include "model/subcontract/check.h"

#include <cstdarg>
#include <cstdio>
#include <vector>

#include "model/contract/contract.h"
#include "model/subcontract/subservices.h"
#include "model/subcontract/winmeta.h"

namespace kestrel {

namespace {

constexpr size_t kMaxEntries = 8999;
constexpr size_t kMaxText = 120;
constexpr int kSourceSubcontractor = 20;
constexpr int kSourceMisc = 5;
constexpr const char* kMarkerText = "       <******** MORE ERRORS ********>";

// One list for the whole program: the GUI thread is the only user.
struct CheckState {
    std::vector<CheckEntry> entries;
    bool collecting = false;
    int errors = 0;
    int warnings = 0;
};

CheckState& State()
{
    static CheckState state;
    return state;
}

void CheckSubcontractors(const CWinMeta& table)
{
    const int records = table.m_Records.GetSize();
    for (int i = 0; i < records; ++i) {
        if (!FlagTest(table.m_Records[i]->m_wFlags, SUB_COMPLETE))
            AddCheckMessage(i, kSourceSubcontractor, 2,
                            "%s Error: %s Entry #%d is incomplete or contains item errors", "Subcontractor",
                            "Subcontractor", i + 1);
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
            if (cell && cell->m_psz && cell->m_i == -1)
                AddCheckMessage(i, kSourceSubcontractor, 1, "%s Warning: %s not chosen from list (%s #%d)",
                                "Subcontractor", std::string(cell->m_psz.View()).c_str(), "Subcontractor",
                                i + 1);
        }
    }
}

} // namespace

void ResetCheck(bool collect)
{
    CheckState& s = State();
    if (collect)
        s.entries.clear();
    s.collecting = collect;
    s.errors = 0;
    s.warnings = 0;
}

void AddCheckMessage(int index, int source, int severity, const char* format, ...)
{
    CheckState& s = State();
    if (severity == 2)
        ++s.errors;
    else if (severity == 1)
        ++s.warnings;
    if (!s.collecting || s.entries.size() >= kMaxEntries)
        return;
    CheckEntry e;
    if (s.entries.size() == kMaxEntries - 1) {
        e.text = kMarkerText;
    } else {
        char buf[kMaxText + 1];
        va_list args;
        va_start(args, format);
        std::vsnprintf(buf, sizeof buf, format, args);
        va_end(args);
        e.severity = static_cast<uint16_t>(severity);
        e.index = static_cast<uint16_t>(index);
        e.source = static_cast<uint16_t>(source);
        e.text = buf;
    }
    s.entries.push_back(std::move(e));
}

bool CheckContract(CContract& contract, bool collect)
{
    ResetCheck(collect);
    if (CWinMeta* table = contract.m_pSubTable.get()) {
        ComputeSubcontractedTotal(contract);
        CheckSubcontractors(*table);
    }
    // The flag promises a miscellaneous-data table; one that is missing (or
    // has no record) has nothing to be incomplete.
    if (FlagTest(contract.m_wFlags, CONTRACT_HAS_MISC) && contract.m_pMiscTable) {
        const CSubcontract* rec = contract.m_pMiscTable->m_Records.GetAt(0);
        if (rec && !FlagTest(rec->m_wFlags, SUB_COMPLETE))
            AddCheckMessage(0, kSourceMisc, 2, "Data Error: Required fields not entered in Misc Data screen");
    }
    const int errors = State().errors;
    FlagSet(contract.m_wFlags, CONTRACT_BID_ERRORS, errors > 0 ? 1 : 0);
    return errors == 0;
}

const std::vector<CheckEntry>& GetErrorList()
{
    return State().entries;
}

CheckCounts GetCheckCounts()
{
    const CheckState& s = State();
    return CheckCounts{static_cast<int>(s.entries.size()), s.errors, s.warnings};
}

void FreeErrorList()
{
    std::vector<CheckEntry>().swap(State().entries);
}

} // namespace kestrel
