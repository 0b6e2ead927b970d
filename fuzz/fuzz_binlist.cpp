// A compressed pick-list file end to end: decompression, then the lines.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "listcheck.h"
#include "model/subcontract/implode.h"
#include "model/subcontract/listfile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace kestrel;
    std::vector<unsigned char> plain;
    if (Explode(std::span(data, size), 1 << 20, plain) != ExplodeError::Ok)
        return 0;
    const ListFile file = ListFile::FromBinData(std::string(plain.begin(), plain.end()));
    CStringArrayMap lists;
    MergeListLines(lists, file);
    fuzz::CheckMergedLists(lists, {&file});
    return 0;
}
