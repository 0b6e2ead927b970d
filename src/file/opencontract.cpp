#include "file/opencontract.h"

#include <cstdint>
#include <limits>
#include <string_view>
#include <unordered_map>

#include "calc/codepage.h"
#include "model/contract/contract.h"
#include "model/subcontract/programpaths.h"
#include "model/subcontract/referencelist.h"
#include "model/subcontract/subservices.h"
#include "model/subcontract/texttrim.h"
#include "model/subcontract/winmeta.h"

namespace kestrel {

namespace {

int LastFieldNamed(const CWinMeta& table, std::string_view name)
{
    int found = 0;
    for (int j = 0; j < table.m_Fields.GetSize(); ++j)
        if (EqualNoCase(TextView(table.m_Fields[j]->m_strName), name))
            found = j;
    return found;
}

// Puts entry g of the list into record rec: the chosen position of column
// k, and for every other drop-down column of the same list its part of
// the entry.
void ApplyEntry(const CWinMeta& table, CSubcontract& rec, int k, std::string_view entry, int16_t g)
{
    rec.GetCell(k)->m_i = g;
    for (int c : FieldsOnSameList(table, k)) {
        const CFieldInfo* f = table.m_Fields[c];
        if (c == k || !IsDropDownField(f->m_iType))
            continue;
        rec.SetCellText(c, std::string(TrimWhite(EntryPart(entry, f->m_iListStart, f->m_iListEnd))));
        rec.GetCell(c)->m_i = g;
    }
}

} // namespace

int SubNameField(const CWinMeta& table)
{
    return LastFieldNamed(table, "SubName");
}

Status LinkReferenceList(CContract& contract, int column, const CProgramPaths& paths)
{
    CWinMeta* table = contract.m_pSubTable.get();
    if (!table || !table->m_Fields.GetAt(column))
        return Ok();
    const Result<CSAStringArray*> loaded = LoadReferenceList(contract, *table, column, paths);
    if (!loaded)
        return Status(loaded.error());
    const CSAStringArray* list = loaded.value();
    if (!list)
        return Ok();
    const CFieldInfo* info = table->m_Fields[column];
    // A later entry with the same key wins. Positions past what a cell can
    // hold are not linked.
    std::unordered_map<std::string_view, int16_t> positions;
    const size_t count = std::min<size_t>(list->size(), size_t(std::numeric_limits<int16_t>::max()) + 1);
    for (size_t i = 0; i < count; ++i)
        positions[TrimWhite(EntryPart((*list)[i], info->m_iListStart, info->m_iListEnd))] =
            static_cast<int16_t>(i);
    for (const auto& rec : table->m_Records) {
        const Text* text = rec->GetCellText(column);
        const std::string_view key = text ? TrimWhite(TextView(*text)) : std::string_view();
        // An empty cell names no entry, even when some entry's key is empty.
        if (key.empty())
            continue;
        const auto it = positions.find(key);
        if (it != positions.end())
            ApplyEntry(*table, *rec, column, (*list)[size_t(it->second)], it->second);
    }
    return Ok();
}

OpenedContract FinishOpenContract(CContract& contract, const std::string& path, CProgramPaths& paths)
{
    OpenedContract result;
    paths.SetContractPath(path);
    if (CWinMeta* sub = contract.m_pSubTable.get()) {
        sub->RenewTierBits();
        sub->UpdateCompleteness(-1, FlagTest(contract.m_wFlags, CONTRACT_IRONBARK_LOCKED));
    }
    if (CWinMeta* misc = contract.m_pMiscTable.get())
        misc->UpdateCompleteness(-1, false);
    ComputeSubcontractedTotal(contract);

    if (const CWinMeta* sub = contract.m_pSubTable.get()) {
        result.subNameField = SubNameField(*sub);
        result.subField = LastFieldNamed(*sub, "SUB");
    }
    for (int k : kLinkedColumns) {
        const Status linked = LinkReferenceList(contract, k, paths);
        if (!linked && !linked.errorText().empty())
            result.listErrors.push_back(linked.errorText());
    }
    result.check = CheckContract(contract);
    return result;
}

} // namespace kestrel
