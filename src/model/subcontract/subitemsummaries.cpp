#include "model/subcontract/subitemsummaries.h"

#include <unordered_set>

#include "model/subcontract/winmeta.h"

namespace kestrel {

SubItemSummary SummarizeSubItems(const CSubcontract& record)
{
    SubItemSummary s;
    record.m_SubItems.ForEach([&](const std::string& line, const CSubItem& si) {
        s.extensionSum += IsBlankValue(si.m_fExt) ? 0.0 : si.m_fExt;
        if (!FlagTest(si.m_wFlags, SUBITEM_COMPLETE) && (!s.incomplete || line < s.firstIncomplete)) {
            s.firstIncomplete = line;
            s.incomplete = true;
        }
    });
    return s;
}

const SubItemSummary& CSubItemSummaries::Of(const CSubcontract& record)
{
    auto it = m_known.find(&record);
    if (it == m_known.end())
        it = m_known.emplace(&record, SummarizeSubItems(record)).first;
    return it->second;
}

void CSubItemSummaries::KeepOnly(const CWinMeta* table)
{
    if (!table) {
        m_known.clear();
        return;
    }
    std::unordered_set<const CSubcontract*> held;
    held.reserve(static_cast<size_t>(table->m_Records.GetSize()));
    for (const auto& rec : table->m_Records)
        held.insert(rec.get());
    std::erase_if(m_known, [&](const auto& entry) { return !held.count(entry.first); });
}

} // namespace kestrel
