#pragma once
// The bid library (.kvl): a read-only container of files, among them the bid
// proposals (.kvs) that the user opens as contracts. Entries are stored
// uncompressed, so taking one out is a plain copy.

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_set>

namespace kestrel {

// Result codes of the extraction functions.
enum BidLibraryResult : int {
    kBidLibraryOk = 0,
    kBidLibraryCannotOpen = 1,
    kBidLibraryReadError = 2,
    kBidLibraryNoMatch = 3,
    kBidLibraryCannotExtract = 4,
};

// The text the proposal dialog shows for a result code.
const char* BidLibraryResultText(int result);

// An open library: the file and its header. Closing happens on destruction.
class BidLibrary {
public:
    ~BidLibrary();
    BidLibrary(const BidLibrary&) = delete;
    BidLibrary& operator=(const BidLibrary&) = delete;

    uint32_t m_dwFirstRecord = 0;
    uint32_t m_dwReserved = 0;
    int16_t m_iEntryCount = 0;
    int16_t m_iVersion = 0;
    std::string m_strDescription;

private:
    explicit BidLibrary(std::FILE* file) : m_file(file) {}
    std::FILE* m_file;
    // Record positions of the current directory walk: a record met twice means
    // the directory loops back on itself.
    std::unordered_set<uint64_t> m_walked;

    friend struct BidLibraryAccess;
};

// One directory record of a library. It refers to its library, which must
// outlive it.
struct BidLibraryEntry {
    uint32_t m_dwDataOffset = 0;
    uint32_t m_dwReserved1 = 0;
    uint32_t m_dwSize = 0;
    uint32_t m_dwReserved2 = 0;
    int16_t m_iReserved3 = 0;
    uint32_t m_dwTimeStamp = 0;
    uint16_t m_wReserved4 = 0;
    std::string m_strName;
    std::string m_strText;
    const BidLibrary* m_pLibrary = nullptr;
};

// Longest name or second text of an entry, and longest description; longer
// strings in a file are truncated to these.
inline constexpr std::size_t kBidLibraryMaxName = 255;
inline constexpr std::size_t kBidLibraryMaxDescription = 2047;

// Opens a library; null when the file cannot be opened or is not a library.
std::unique_ptr<BidLibrary> OpenBidLibrary(const std::string& path);

// The entry after `previous` (the first one when null); null when the
// directory ends, cannot be read, or leads back to a record of this walk. The
// previous entry is released.
std::unique_ptr<BidLibraryEntry> NextBidLibraryEntry(BidLibrary& library,
                                                     std::unique_ptr<BidLibraryEntry> previous);

// Copies the entry's content into `directory` (ending in a separator, or empty
// for the current directory) under the entry's name. 0, 2 read error, 4 the
// target cannot be written (or the name is not a plain file name).
[[nodiscard]] int ExtractBidLibraryEntry(BidLibrary& library, const BidLibraryEntry& entry,
                                         const std::string& directory);

// Extracts every entry whose name matches the pattern list into the library's
// own directory, in directory order; stops at the first failure. 0, or 1 to 4
// as in BidLibraryResult.
[[nodiscard]] int ExtractMatchingEntries(const std::string& libraryPath, std::string_view patterns);

// Extracts the entries named exactly `name` (byte for byte; "*", "?" and ";"
// are plain characters here) into the library's own directory; of several
// entries of that name the last one is the one left. Results as for
// ExtractMatchingEntries, 3 when no entry has that name.
[[nodiscard]] int ExtractNamedEntry(const std::string& libraryPath, std::string_view name);

// True when the entry name matches one of the ";"-separated wildcard
// patterns (blanks before a pattern skipped, empty patterns match nothing).
bool MatchEntryPatterns(std::string_view name, std::string_view patterns);

// The directory part of a path including its trailing separator; empty
// when the path has none.
std::string BidLibraryDirectory(const std::string& libraryPath);

// True when an entry name can safely be used as a file name inside the
// library's directory: not empty, not "." or "..", no separator, no drive.
bool IsSafeEntryName(std::string_view name);

} // namespace kestrel
