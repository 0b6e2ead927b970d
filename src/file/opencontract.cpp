#include "file/opencontract.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <limits>
#include <string_view>
#include <unordered_map>

#include "calc/codepage.h"
#include "file/contractfile.h"
#include "file/platform.h"
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

// Stores text and position into a cell when either differs (a null text
// and an empty one being the same); true when something changed.
bool StoreLinked(CSubcontract& rec, int column, std::string_view text, int16_t position)
{
    const CCellData* cell = rec.GetCell(column);
    if (cell && TextView(cell->m_psz) == text && cell->m_i == position)
        return false;
    rec.SetCellText(column, std::string(text));
    rec.GetCell(column)->m_i = position;
    return true;
}

// Puts entry g of the list into record rec: the chosen position of column
// k, and for every other drop-down column of the same list its part of
// the entry. True when a cell changed.
bool ApplyEntry(const CWinMeta& table, CSubcontract& rec, int k, std::string_view entry, int16_t g)
{
    CCellData& own = *rec.GetCell(k);
    bool changed = own.m_i != g;
    own.m_i = g;
    for (int c : FieldsOnSameList(table, k)) {
        const CFieldInfo* f = table.m_Fields[c];
        if (c == k || !IsDropDownField(f->m_iType))
            continue;
        changed |= StoreLinked(rec, c, TrimWhite(EntryPart(entry, f->m_iListStart, f->m_iListEnd)), g);
    }
    return changed;
}

// The pick list of a linked column, with the position of each key: the part
// of an entry from the column's list start to its list end, trimmed; a
// later entry with the same key wins. Positions past what a cell can hold
// are not linked.
struct ColumnLink {
    int column = 0;
    const CSAStringArray* list = nullptr;
    std::unordered_map<std::string_view, int16_t> positions;

    std::string_view KeyOf(const CWinMeta& table, size_t position) const
    {
        const CFieldInfo* info = table.m_Fields[column];
        return TrimWhite(EntryPart((*list)[position], info->m_iListStart, info->m_iListEnd));
    }
    size_t Count() const
    {
        return std::min<size_t>(list->size(), size_t(std::numeric_limits<int16_t>::max()) + 1);
    }
};

// The links of the linked columns that name a list; the message of a list
// file that cannot be read goes to errors, when given.
std::vector<ColumnLink> LoadLinks(CContract& contract, const CProgramPaths& paths,
                                  std::vector<std::string>* errors)
{
    std::vector<ColumnLink> links;
    CWinMeta* table = contract.m_pSubTable.get();
    if (!table)
        return links;
    for (int k : kLinkedColumns) {
        if (!table->m_Fields.GetAt(k))
            continue;
        const Result<CSAStringArray*> loaded = LoadReferenceList(contract, *table, k, paths);
        if (!loaded) {
            if (errors && !loaded.errorText().empty())
                errors->push_back(loaded.errorText());
            continue;
        }
        if (!loaded.value())
            continue;
        ColumnLink link;
        link.column = k;
        link.list = loaded.value();
        for (size_t i = 0; i < link.Count(); ++i)
            link.positions[link.KeyOf(*table, i)] = static_cast<int16_t>(i);
        links.push_back(std::move(link));
    }
    return links;
}

// Links cell `link.column` of rec to the entry its text names.
bool LinkCell(const CWinMeta& table, CSubcontract& rec, const ColumnLink& link)
{
    const CCellData* cell = rec.GetCell(link.column);
    const std::string_view key = cell ? TrimWhite(TextView(cell->m_psz)) : std::string_view();
    // An empty cell names no entry, even when some entry's key is empty.
    if (key.empty())
        return false;
    int16_t g = cell->m_i;
    // Of entries with the same key, the one chosen stays chosen.
    if (g < 0 || static_cast<size_t>(g) >= link.Count() || link.KeyOf(table, static_cast<size_t>(g)) != key) {
        const auto it = link.positions.find(key);
        if (it == link.positions.end())
            return false;
        g = it->second;
    }
    return ApplyEntry(table, rec, link.column, (*link.list)[static_cast<size_t>(g)], g);
}

// Links every column of rec until nothing changes (a column linked later
// may move the drop-downs an earlier one set; a second round settles them).
bool LinkRecord(const CWinMeta& table, CSubcontract& rec, const std::vector<ColumnLink>& links)
{
    bool any = false;
    for (size_t round = 0; round <= links.size(); ++round) {
        bool changed = false;
        for (const ColumnLink& link : links)
            changed |= LinkCell(table, rec, link);
        if (!changed)
            break;
        any = true;
    }
    return any;
}

} // namespace

OpenedFile::OpenedFile() = default;
OpenedFile::OpenedFile(OpenedFile&&) noexcept = default;
OpenedFile& OpenedFile::operator=(OpenedFile&&) noexcept = default;
OpenedFile::~OpenedFile() = default;

int SubNameField(const CWinMeta& table)
{
    return LastFieldNamed(table, "SubName");
}

int SubFieldIndex(const CWinMeta& table)
{
    return LastFieldNamed(table, "SUB");
}

bool LinkRecordLists(CContract& contract, CSubcontract& record, const CProgramPaths& paths)
{
    const CWinMeta* table = contract.m_pSubTable.get();
    if (!table || table->m_Records.IndexOf(&record) < 0)
        return false;
    return LinkRecord(*table, record, LoadLinks(contract, paths, nullptr));
}

Result<OpenedFile> OpenContractFile(const std::string& path, CProgramPaths& paths)
{
    // A FIFO or device is refused at once (never waited on), a folder named
    // as one.
    if (const Status kind = CheckRegularFile(path); !kind)
        return Result<OpenedFile>::Fail(kind.errorText(), CF_CANNOT_OPEN);
    OpenedFile file;
    errno = 0;
    int code = ReadContractFile(path, file.contract);
    const int systemError = errno;
    if (code == CF_OK && !file.contract)
        code = CF_CANNOT_READ;
    if (code != CF_OK)
        return Result<OpenedFile>::Fail(ContractFileFailureText(code, systemError, true), code);
    file.opened = FinishOpenContract(*file.contract, path, paths);
    return file;
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
    const std::vector<ColumnLink> links = LoadLinks(contract, paths, &result.listErrors);
    if (const CWinMeta* sub = contract.m_pSubTable.get())
        for (const auto& rec : sub->m_Records)
            (void)LinkRecord(*sub, *rec, links);
    result.check = CheckContract(contract);
    return result;
}

} // namespace kestrel
