// The implode decoder on arbitrary bytes: it must stop, within its output
// cap, on anything.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "model/subcontract/implode.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<unsigned char> out;
    const size_t cap = 1 << 20;
    const auto e = kestrel::Explode(std::span(data, size), cap, out);
    if (out.size() > cap || (e == kestrel::ExplodeError::Ok && size < 2))
        __builtin_trap();
    return 0;
}
