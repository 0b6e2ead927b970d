// The recovery note reader on arbitrary names and texts: another user may
// plant a note in a recovery folder, named as he likes and holding what he
// likes. The input is the note's name, a line break, then its text. What
// the reader takes names a contract by an absolute path whose copy is the
// note's own, and reads the same once written again.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "file/recovery.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace kestrel;
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const size_t split = input.find('\n');
    if (split == std::string_view::npos)
        return 0;
    const std::string_view name = input.substr(0, split);
    const std::string_view text = input.substr(split + 1);
    const std::string folder = "/recovery";
    const auto copy = CRecoveryStore::ReadNote(folder, name, text);
    if (!copy)
        return 0;
    const std::string stem(name.substr(0, name.size() - 5)); // without ".note"
    if (copy->contractPath.empty() || copy->contractPath.front() != '/' ||
        copy->contractPath != copy->owner.path || copy->copyPath != folder + "/" + stem + ".con" ||
        copy->notePath != folder + "/" + std::string(name))
        __builtin_trap();
    const auto again = CRecoveryStore::ReadNote(folder, name, FormatOwnerRecord(copy->owner));
    if (!again || again->contractPath != copy->contractPath || again->copyPath != copy->copyPath)
        __builtin_trap();
    return 0;
}
