// kvl: lists the entries of a bid library or extracts the matching ones
// beside it.

#include <cstdio>
#include <iostream>

#include "app/bidlib/bidlibrary.h"
#include "calc/codepage.h"
#include "cli/command.h"
#include "file/platform.h"

namespace kestrel::cli {

namespace {

// Exit status of a file that is no library or whose directory is damaged.
constexpr int kExitDamaged = 2;

// A FIFO or folder named as a library is said to be one.
bool IsRegularFile(const std::string& path)
{
    const Status kind = CheckRegularFile(path);
    if (!kind)
        PrintFileError(path, kind.errorText());
    return kind.ok();
}

int ListLibrary(const std::string& path)
{
    if (!IsRegularFile(path))
        return kExitDamaged;
    auto library = OpenBidLibrary(path);
    if (!library) {
        PrintFileError(path, BidLibraryResultText(kBidLibraryCannotOpen));
        return kExitDamaged;
    }
    // The header's count bounds the walk. A directory that ends before it is
    // damaged, as extracting from it would say: what it holds is listed, then
    // the error.
    std::unique_ptr<BidLibraryEntry> entry;
    for (int i = 0; i < library->m_iEntryCount; ++i) {
        entry = NextBidLibraryEntry(*library, std::move(entry));
        if (!entry) {
            PrintFileError(path, BidLibraryResultText(kBidLibraryReadError));
            return kExitDamaged;
        }
        std::cout << Out(entry->m_strName) << '\t' << entry->m_dwSize << '\n';
    }
    return 0;
}

// Extracts beside the library; the exit status is the extraction's result,
// and a failure says why.
int ExtractFromLibrary(const std::string& path, const std::string& patterns)
{
    if (!IsRegularFile(path))
        return kBidLibraryCannotOpen;
    const int result = ExtractMatchingEntries(path, patterns);
    if (result != kBidLibraryOk)
        PrintFileError(path, BidLibraryResultText(result));
    return result;
}

int RunKvl(const std::vector<std::string>& args)
{
    if (args.size() == 2 && args[0] == "list")
        return ListLibrary(args[1]);
    if (args.size() == 3 && args[0] == "extract") {
        const auto patterns = Utf8ToCp1252(args[2]);
        if (!patterns) {
            PrintError("PATTERNS: " + patterns.errorText());
            return 2;
        }
        return ExtractFromLibrary(args[1], patterns.value());
    }
    std::cerr << "usage: kestrel-cli kvl list LIB | kvl extract LIB PATTERNS\n";
    return 2;
}

const bool registered = RegisterCommand({"kvl", "list LIB | extract LIB PATTERNS", RunKvl});

} // namespace

} // namespace kestrel::cli
