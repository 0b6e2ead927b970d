#include "model/subcontract/referencelist.h"

#include <algorithm>
#include <string_view>
#include <vector>

#include "calc/codepage.h"
#include "model/contract/contract.h"
#include "model/subcontract/listfile.h"
#include "model/subcontract/programpaths.h"
#include "model/subcontract/subservices.h"
#include "model/subcontract/winmeta.h"

namespace kestrel {

namespace {

// Entries sort by their bytes from the list start of the field that names
// this list as its sort column (flag bit 2), whole entries otherwise.
size_t SortOffset(const CWinMeta& table, std::string_view source)
{
    for (const auto& f : table.m_Fields) {
        if (FlagTest(f->m_wFlags, 2) && EqualNoCase(TextView(f->m_strName), source))
            return f->m_iListStart > 1 ? static_cast<size_t>(f->m_iListStart - 1) : 0;
    }
    return 0;
}

void SortList(CSAStringArray& list, size_t offset)
{
    list.Sort([offset](std::string_view a, std::string_view b) {
        return (offset < a.size() ? a.substr(offset) : std::string_view()) <
               (offset < b.size() ? b.substr(offset) : std::string_view());
    });
}

} // namespace

Result<CSAStringArray*> LoadReferenceList(CContract& contract, const CWinMeta& table, int field,
                                          const CProgramPaths& paths)
{
    const CFieldInfo* info = table.m_Fields.GetAt(field);
    if (!info || IsBlankText(info->m_strListSource))
        return nullptr;
    const std::string source(info->m_strListSource.View());
    if (FlagTest(info->m_wFlags, 0))
        return contract.m_StoredLists.Lookup(source);

    // "FILE:KEY"; a colon in the first place is part of the name.
    std::string fileName = source, key = source;
    if (const size_t colon = source.find(':', 1); colon != std::string::npos) {
        fileName = source.substr(0, colon);
        key = source.substr(colon + 1);
    }
    const std::string path = paths.FindListFile(fileName);

    if (CSAStringArray* list = contract.m_ExternalLists.Lookup(key))
        return list;
    if (contract.m_LoadedFiles.count(path))
        return nullptr;

    const auto file = ReadListFile(path);
    if (!file)
        return Result<CSAStringArray*>::Fail(file.errorText());
    // Only a file that was read counts as loaded: one that failed is tried
    // (and reported) again by the next field that names it.
    contract.m_LoadedFiles[path] = 1;
    MergeListLines(contract.m_ExternalLists, file.value());
    CSAStringArray* list = contract.m_ExternalLists.Lookup(key);
    if (list)
        SortList(*list, SortOffset(table, source));
    return list;
}

std::vector<int> FieldsOnSameList(const CWinMeta& table, int field)
{
    std::vector<int> fields;
    const CFieldInfo* info = table.m_Fields.GetAt(field);
    if (!info || IsBlankText(info->m_strListSource))
        return fields;
    const std::string_view source = TextView(info->m_strListSource);
    for (int j = 0; j < table.m_Fields.GetSize(); ++j)
        if (EqualNoCase(TextView(table.m_Fields[j]->m_strListSource), source))
            fields.push_back(j);
    return fields;
}

bool IsDropDownField(int type)
{
    return type == FIELD_DROPLIST || type == FIELD_DROPTYPE;
}

} // namespace kestrel
