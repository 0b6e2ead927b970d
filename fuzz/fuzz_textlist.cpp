// The text pick-list parser and the merge into the lists on arbitrary bytes.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "listcheck.h"
#include "model/subcontract/listfile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace kestrel;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const ListFile first = ListFile::FromText(std::string(text));
    // A second file over the first exercises the replacement of lists.
    const ListFile second = ListFile::FromText(std::string(text.substr(size / 2)));
    CStringArrayMap lists;
    MergeListLines(lists, first);
    MergeListLines(lists, second);
    for (const ListLine& l : first.Lines())
        if (l.entry.size() > kTextListLineMax)
            __builtin_trap();
    fuzz::CheckMergedLists(lists, {&first, &second});
    return 0;
}
