// The text pick-list parser and the merge into the lists on arbitrary bytes.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "model/subcontract/listfile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto lines = kestrel::ParseTextList(text);
    kestrel::CStringArrayMap lists;
    kestrel::MergeListLines(lists, lines);
    // A second file over the first exercises the replacement of lists.
    kestrel::MergeListLines(lists, kestrel::ParseTextList(text.substr(size / 2)));
    for (const auto& l : lines)
        if (l.key.size() > 8 || l.entry.size() > kestrel::kTextListLineMax)
            __builtin_trap();
    return 0;
}
