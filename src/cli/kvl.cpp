// kvl: lists the entries of a bid library or extracts the matching ones
// beside it.

#include <cstdio>
#include <iostream>

#include "app/bidlib/bidlibrary.h"
#include "calc/codepage.h"
#include "cli/command.h"

namespace kestrel::cli {

namespace {

int ListLibrary(const std::string& path)
{
    auto library = OpenBidLibrary(path);
    if (!library) {
        PrintError(std::string(BidLibraryResultText(kBidLibraryCannotOpen)) + ": " + path);
        return 2;
    }
    // The header's count bounds the walk; a directory that ends early lists
    // what it holds.
    std::unique_ptr<BidLibraryEntry> entry;
    for (int i = 0; i < library->m_iEntryCount; ++i) {
        entry = NextBidLibraryEntry(*library, std::move(entry));
        if (!entry)
            break;
        std::cout << Out(entry->m_strName) << '\t' << entry->m_dwSize << '\n';
    }
    return 0;
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
        return ExtractMatchingEntries(args[1], patterns.value());
    }
    std::cerr << "usage: kestrel-cli kvl list LIB | kvl extract LIB PATTERNS\n";
    return 2;
}

const bool registered = RegisterCommand({"kvl", "list LIB | extract LIB PATTERNS", RunKvl});

} // namespace

} // namespace kestrel::cli
