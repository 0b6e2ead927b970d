// The owner record of lock files and recovery notes on arbitrary bytes: a
// lock file on a shared folder may hold anything. What reads as a record
// is written and read again to the same record.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "file/ownerrecord.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace kestrel;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto first = ParseOwnerRecord(text);
    if (!first)
        return 0;
    const auto again = ParseOwnerRecord(FormatOwnerRecord(first.value()));
    if (!again)
        __builtin_trap();
    const OwnerRecord& a = first.value();
    const OwnerRecord& b = again.value();
    if (a.user != b.user || a.host != b.host || a.pid != b.pid || a.started != b.started ||
        a.time != b.time || a.token != b.token || a.path != b.path)
        __builtin_trap();
    return 0;
}
