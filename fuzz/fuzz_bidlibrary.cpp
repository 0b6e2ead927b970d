// Bid library reader over arbitrary bytes: open, walk the directory and
// extract into a scratch directory, which is emptied after each run.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "app/bidlib/bidlibrary.h"

namespace {

const std::string& ScratchDir()
{
    static const std::string dir = [] {
        std::string tmpl = (std::filesystem::temp_directory_path() / "fuzz-bidlib-XXXXXX").string();
        if (!mkdtemp(tmpl.data()))
            std::abort();
        // Gone when the run ends (the replay of the corpus is one short run).
        static std::string made;
        made = tmpl;
        std::atexit([] {
            std::error_code ec;
            std::filesystem::remove_all(made, ec);
        });
        return tmpl + "/";
    }();
    return dir;
}

void EmptyScratch()
{
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator(ScratchDir(), ec))
        std::filesystem::remove_all(e.path(), ec);
}

void EmptyScratchButLibrary()
{
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator(ScratchDir(), ec))
        if (e.path().filename() != "lib.kvl")
            std::filesystem::remove_all(e.path(), ec);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace kestrel;
    const std::string path = ScratchDir() + "lib.kvl";
    if (std::FILE* f = std::fopen(path.c_str(), "wb")) {
        if (size)
            std::fwrite(data, 1, size, f);
        std::fclose(f);
    } else {
        return 0;
    }

    std::string firstName;
    if (auto library = OpenBidLibrary(path)) {
        std::unique_ptr<BidLibraryEntry> entry;
        for (int i = 0; i < library->m_iEntryCount; ++i) {
            entry = NextBidLibraryEntry(*library, std::move(entry));
            if (!entry)
                break;
            if (i == 0)
                firstName = entry->m_strName;
            if (entry->m_strName.size() > kBidLibraryMaxName || entry->m_strText.size() > kBidLibraryMaxName)
                std::abort();
        }
    }
    // The first entry by its exact name: only that one file, whatever its
    // name holds.
    if (!firstName.empty()) {
        const int named = ExtractNamedEntry(path, firstName);
        if (named < 0 || named > 4 || named == kBidLibraryNoMatch)
            std::abort();
        for (const auto& e : std::filesystem::directory_iterator(ScratchDir()))
            if (!e.is_regular_file() ||
                (e.path().filename() != "lib.kvl" && e.path().filename().string() != firstName))
                std::abort();
        if (named == kBidLibraryOk && !std::filesystem::is_regular_file(ScratchDir() + firstName))
            std::abort();
        EmptyScratchButLibrary();
    }
    static const char* const kPatterns[] = {"*", "*.kvs", " ?*;A*; *.TXT", ""};
    const int result = ExtractMatchingEntries(path, kPatterns[size % 4]);
    if (result < 0 || result > 4)
        std::abort();
    // Nothing may land outside the scratch directory's own level.
    for (const auto& e : std::filesystem::directory_iterator(ScratchDir()))
        if (!e.is_regular_file())
            std::abort();
    // The library itself is only ever read, whatever its entries are named.
    if (std::FILE* f = std::fopen(path.c_str(), "rb")) {
        std::string back(size + 1, '\0');
        const size_t n = std::fread(back.data(), 1, back.size(), f);
        std::fclose(f);
        if (n != size || (size && std::memcmp(back.data(), data, size) != 0))
            std::abort();
    } else {
        std::abort();
    }
    EmptyScratch();
    return 0;
}
