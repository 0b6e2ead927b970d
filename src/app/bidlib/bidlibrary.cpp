#include "app/bidlib/bidlibrary.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>

#include "calc/systemfile.h"
#include "calc/wholefile.h"
#include "model/contract/wildcard.h"

namespace kestrel {

namespace {

constexpr char kSignature[30] = {'T', 'h', 'i', 's', ' ', 'i', 's', ' ', 'a', 'n', ' ', 'K', 'V', 'S',  ' ',
                                 'l', 'i', 'b', 'r', 'a', 'r', 'y', ' ', 'f', 'i', 'l', 'e', '.', '\n', 0x1A};
constexpr unsigned char kMarker[4] = {'G', 'N', 'U', '!'};
constexpr std::size_t kCopyBlock = 4096;

bool ReadExact(std::FILE* f, void* buffer, std::size_t n)
{
    return std::fread(buffer, 1, n, f) == n;
}

bool ReadU32(std::FILE* f, uint32_t& value)
{
    unsigned char b[4];
    if (!ReadExact(f, b, 4))
        return false;
    value = uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24;
    return true;
}

bool ReadU16(std::FILE* f, uint16_t& value)
{
    unsigned char b[2];
    if (!ReadExact(f, b, 2))
        return false;
    value = uint16_t(b[0] | b[1] << 8);
    return true;
}

bool ReadI16(std::FILE* f, int16_t& value)
{
    uint16_t u;
    if (!ReadU16(f, u))
        return false;
    value = static_cast<int16_t>(u);
    return true;
}

// A NUL-terminated string; the end of the file also ends it. Characters past
// `limit` are read and dropped so that the file stays positioned after the
// string, whatever its length.
std::string ReadString(std::FILE* f, std::size_t limit)
{
    std::string s;
    for (int c; (c = std::getc(f)) != EOF && c != 0;)
        if (s.size() < limit)
            s.push_back(static_cast<char>(c));
    return s;
}

bool Seek(std::FILE* f, uint64_t offset)
{
    // Offsets come from the file; one past what a long can hold cannot be a
    // position inside it.
    if (offset > uint64_t(std::numeric_limits<long>::max()))
        return false;
    return std::fseek(f, static_cast<long>(offset), SEEK_SET) == 0;
}

bool ReadMarker(std::FILE* f)
{
    unsigned char b[4];
    return ReadExact(f, b, 4) && std::memcmp(b, kMarker, 4) == 0;
}

bool IsSeparator(char c)
{
    return c == '/' || c == '\\';
}

// A file beside the target that the content is written to first, so that a
// failed extraction never leaves a truncated proposal under the entry's name
// nor destroys a file of that name that was already there.
std::FILE* CreateTemporary(const std::string& directory, std::string& path)
{
    path.clear();
    // The permissions of any file the user creates.
    auto created = CreateUniqueFile(directory + ".kvl-extract-XXXXXX.tmp", 0666);
    if (!created)
        return nullptr;
    auto stream = OpenStream(created->fd, "wb");
    if (!stream) {
        (void)RemoveFile(created->path);
        return nullptr;
    }
    path = created->path;
    return stream.value();
}

} // namespace

struct BidLibraryAccess {
    static std::FILE* File(BidLibrary& library) { return library.m_file; }
    static std::unordered_set<uint64_t>& Walked(BidLibrary& library) { return library.m_walked; }
    static std::unique_ptr<BidLibrary> Make(std::FILE* f)
    {
        return std::unique_ptr<BidLibrary>(new BidLibrary(f));
    }
};

BidLibrary::~BidLibrary()
{
    if (m_file)
        std::fclose(m_file);
}

const char* BidLibraryResultText(int result)
{
    switch (result) {
    case kBidLibraryCannotOpen: return "Can't open KVL library";
    case kBidLibraryReadError: return "Error Reading Library";
    case kBidLibraryNoMatch: return "No Matching Files Found";
    case kBidLibraryCannotExtract: return "Can't Extract File";
    default: return "Unknown Error";
    }
}

std::unique_ptr<BidLibrary> OpenBidLibrary(const std::string& path)
{
    // A FIFO or device named as a library is not waited on.
    const Result<std::FILE*> opened = OpenRegularFileStream(path);
    if (!opened)
        return nullptr;
    auto library = BidLibraryAccess::Make(opened.value());
    std::FILE* f = opened.value();
    char signature[sizeof kSignature];
    if (!ReadExact(f, signature, sizeof signature) ||
        std::memcmp(signature, kSignature, sizeof signature) != 0)
        return nullptr;
    if (!ReadU32(f, library->m_dwFirstRecord) || !ReadU32(f, library->m_dwReserved) ||
        !ReadI16(f, library->m_iEntryCount) || !ReadI16(f, library->m_iVersion))
        return nullptr;
    library->m_strDescription = ReadString(f, kBidLibraryMaxDescription);
    // A first-record offset past the end is not an error here: the first
    // NextBidLibraryEntry finds no marker there.
    Seek(f, library->m_dwFirstRecord);
    return library;
}

std::unique_ptr<BidLibraryEntry> NextBidLibraryEntry(BidLibrary& library,
                                                     std::unique_ptr<BidLibraryEntry> previous)
{
    std::FILE* f = BidLibraryAccess::File(library);
    auto& walked = BidLibraryAccess::Walked(library);
    uint64_t position = library.m_dwFirstRecord;
    if (previous) {
        position = uint64_t(previous->m_dwDataOffset) + 4 + previous->m_dwSize;
        previous.reset();
    } else {
        walked.clear();
    }
    // A record that comes round again would repeat the same records for as
    // long as the header's count lasts: such a directory is damaged.
    if (!walked.insert(position).second)
        return nullptr;
    if (!Seek(f, position) || !ReadMarker(f))
        return nullptr;
    auto entry = std::make_unique<BidLibraryEntry>();
    if (!ReadU32(f, entry->m_dwDataOffset) || !ReadU32(f, entry->m_dwReserved1) ||
        !ReadU32(f, entry->m_dwSize) || !ReadU32(f, entry->m_dwReserved2) ||
        !ReadI16(f, entry->m_iReserved3) || !ReadU32(f, entry->m_dwTimeStamp) ||
        !ReadU16(f, entry->m_wReserved4))
        return nullptr;
    entry->m_strName = ReadString(f, kBidLibraryMaxName);
    entry->m_strText = ReadString(f, kBidLibraryMaxName);
    entry->m_pLibrary = &library;
    if (!Seek(f, entry->m_dwDataOffset) || !ReadMarker(f))
        return nullptr;
    return entry;
}

bool IsSafeEntryName(std::string_view name)
{
    if (name.empty() || name == "." || name == "..")
        return false;
    for (char c : name)
        if (IsSeparator(c))
            return false;
    return !(name.size() >= 2 && name[1] == ':');
}

int ExtractBidLibraryEntry(BidLibrary& library, const BidLibraryEntry& entry, const std::string& directory)
{
    // The name comes from the file: one that is not a plain file name could
    // place the content anywhere on the user's disk.
    if (!IsSafeEntryName(entry.m_strName))
        return kBidLibraryCannotExtract;
    const std::string target = directory + entry.m_strName;
    std::string temporary;
    std::FILE* out = CreateTemporary(directory, temporary);
    if (!out)
        return kBidLibraryCannotExtract;
    auto fail = [&](int result) {
        std::fclose(out);
        (void)RemoveFile(temporary);
        return result;
    };

    std::FILE* in = BidLibraryAccess::File(library);
    if (!Seek(in, uint64_t(entry.m_dwDataOffset) + 4))
        return fail(kBidLibraryReadError);
    std::array<unsigned char, kCopyBlock> block;
    for (uint32_t left = entry.m_dwSize; left > 0;) {
        const std::size_t n = std::min<std::size_t>(left, block.size());
        if (!ReadExact(in, block.data(), n))
            return fail(kBidLibraryReadError);
        if (std::fwrite(block.data(), 1, n, out) != n)
            return fail(kBidLibraryCannotExtract);
        left -= static_cast<uint32_t>(n);
    }
    const bool written = std::fflush(out) == 0 && !std::ferror(out);
    if (std::fclose(out) != 0 || !written) {
        (void)RemoveFile(temporary);
        return kBidLibraryCannotExtract;
    }
    // A file of the entry's name that is not a regular file (a directory, a
    // device) is not replaced.
    const Result<FileStatus> status = StatPath(target, LinkPolicy::Refuse);
    if (status && status->kind != FileKind::Missing && status->kind != FileKind::Regular &&
        status->kind != FileKind::Link) {
        (void)RemoveFile(temporary);
        return kBidLibraryCannotExtract;
    }
    // The proposal is a new file of the user's: what was there is replaced
    // as a whole, a link included.
    if (const Status replaced = ReplaceFileAtomically(temporary, target, ReplacedAttributes::Drop); !replaced) {
        if (replaced.errorCode() != kReplacementKept)
            (void)RemoveFile(temporary);
        return kBidLibraryCannotExtract;
    }
    return kBidLibraryOk;
}

std::string BidLibraryDirectory(const std::string& libraryPath)
{
    // The system's separators end it: '/', and on Windows '\\' as well (on
    // other systems a backslash is part of a name).
    const std::string name = PathText(SystemPath(libraryPath).filename());
    return libraryPath.substr(0, libraryPath.size() - std::min(name.size(), libraryPath.size()));
}

namespace {

// Extracts every entry that `wanted` accepts into the library's own
// directory, in directory order; stops at the first failure.
template <class Wanted> int ExtractEntries(const std::string& libraryPath, Wanted wanted)
{
    auto library = OpenBidLibrary(libraryPath);
    if (!library)
        return kBidLibraryCannotOpen;
    const std::string directory = BidLibraryDirectory(libraryPath);
    std::unique_ptr<BidLibraryEntry> entry;
    int matched = 0;
    for (int i = 0; i < library->m_iEntryCount; ++i) {
        entry = NextBidLibraryEntry(*library, std::move(entry));
        if (!entry)
            return kBidLibraryReadError;
        if (!wanted(entry->m_strName))
            continue;
        // An entry of the library's own name would be written over the
        // library, which is only ever read.
        if (IsSameFile(directory + entry->m_strName, libraryPath))
            return kBidLibraryCannotExtract;
        if (int result = ExtractBidLibraryEntry(*library, *entry, directory); result != kBidLibraryOk)
            return result;
        ++matched;
    }
    return matched == 0 ? kBidLibraryNoMatch : kBidLibraryOk;
}

} // namespace

int ExtractMatchingEntries(const std::string& libraryPath, std::string_view patterns)
{
    return ExtractEntries(libraryPath,
                          [patterns](const std::string& name) { return MatchEntryPatterns(name, patterns); });
}

int ExtractNamedEntry(const std::string& libraryPath, std::string_view name)
{
    return ExtractEntries(libraryPath, [name](const std::string& entry) { return entry == name; });
}

bool MatchEntryPatterns(std::string_view name, std::string_view patterns)
{
    std::size_t pos = 0;
    for (;;) {
        while (pos < patterns.size() && (patterns[pos] == ' ' || patterns[pos] == '\t'))
            ++pos;
        if (pos >= patterns.size())
            return false;
        const std::size_t end = std::min(patterns.find(';', pos), patterns.size());
        if (WildcardMatch(patterns.substr(pos, end - pos), name))
            return true;
        if (end == patterns.size())
            return false;
        pos = end + 1;
    }
}

} // namespace kestrel
