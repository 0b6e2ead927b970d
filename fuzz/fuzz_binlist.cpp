// A compressed pick-list file end to end: decompression, then the lines.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "model/subcontract/implode.h"
#include "model/subcontract/listfile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<unsigned char> plain;
    if (kestrel::Explode(std::span(data, size), 1 << 20, plain) != kestrel::ExplodeError::Ok)
        return 0;
    const auto lines = kestrel::ParseBinListData(
        std::string_view(reinterpret_cast<const char*>(plain.data()), plain.size()));
    kestrel::CStringArrayMap lists;
    kestrel::MergeListLines(lists, lines);
    return 0;
}
