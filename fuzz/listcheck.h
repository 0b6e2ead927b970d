#pragma once
// What the list fuzz targets check after merging list files: every key's
// list holds exactly that key's entries of the last file that has the key,
// in file order.

#include <cstdlib>
#include <map>
#include <string_view>
#include <vector>

#include "model/subcontract/listfile.h"

namespace kestrel::fuzz {

inline void CheckMergedLists(const CStringArrayMap& lists, const std::vector<const ListFile*>& files)
{
    std::map<std::string_view, std::vector<std::string_view>> want;
    for (const ListFile* file : files) {
        std::map<std::string_view, std::vector<std::string_view>> mine;
        for (const ListLine& l : file->Lines()) {
            if (l.key.size() > 8 || l.entry.size() > kBinListLineMax)
                std::abort();
            mine[l.key].push_back(l.entry);
        }
        for (auto& [key, entries] : mine)
            want[key] = std::move(entries);
    }
    if (static_cast<size_t>(lists.GetCount()) != want.size())
        std::abort();
    for (const auto& [key, entries] : want) {
        const CSAStringArray* list = lists.Lookup(key);
        if (!list || list->size() != entries.size())
            std::abort();
        for (size_t i = 0; i < entries.size(); ++i)
            if ((*list)[i] != entries[i])
                std::abort();
    }
}

} // namespace kestrel::fuzz
