#pragma once
// Pick-list files: text lists and compressed (".BIN") lists. Each line holds
// a key in its first eight characters and an entry from the ninth on.
//
// A list file can be large (hundreds of megabytes of short lines), so its
// lines are never gathered one object each: a ListFile keeps the file's
// bytes and hands out its lines as views while it walks them, and merging
// copies each entry once, into the compact storage of its list.

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "calc/result.h"
#include "model/contract/stringarraymap.h"

namespace kestrel {

// One line of a list file, viewing the bytes it was read from.
struct ListLine {
    std::string_view key;   // characters 1 to 8, white space trimmed
    std::string_view entry; // from character 9 on, unchanged
};
using ListLineVisitor = std::function<void(const ListLine&)>;

// Longest line a text list file holds; longer lines are cut to this.
constexpr size_t kTextListLineMax = 4096;
// Longest line of a compressed list; longer lines are cut to this.
constexpr size_t kBinListLineMax = 32767;
// Most bytes a compressed list may expand to.
constexpr size_t kBinListOutputMax = size_t(64) << 20;
// Largest list file read; anything near this size is not a list file.
constexpr size_t kListFileMax = size_t(256) << 20;

// Visits the lines of a text list file in file order: comment lines (first
// non-blank character ";") and blank lines skipped, a CR before the line
// end dropped.
void VisitTextList(std::string_view data, const ListLineVisitor& visit);
// Visits the lines of a decompressed ".BIN" list: a 16-bit little-endian
// line count, then that many LF-ended lines. There are no comment lines here.
void VisitBinListData(std::string_view data, const ListLineVisitor& visit);

// The same lines gathered, viewing `data` (which must outlive them); for
// small lists.
std::vector<ListLine> ParseTextList(std::string_view data);
std::vector<ListLine> ParseBinListData(std::string_view data);

// The bytes of one list file (decompressed for a ".BIN" list) with the way
// its lines are read.
class ListFile {
public:
    static ListFile FromText(std::string bytes) { return ListFile(std::move(bytes), false); }
    static ListFile FromBinData(std::string bytes) { return ListFile(std::move(bytes), true); }

    void VisitLines(const ListLineVisitor& visit) const;
    // The lines, viewing this file's bytes.
    std::vector<ListLine> Lines() const;

private:
    ListFile(std::string bytes, bool bin) : m_bytes(std::move(bytes)), m_bin(bin) {}
    std::string m_bytes;
    bool m_bin;
};

// True for a file name whose extension (after its last ".") is "BIN" in
// any case.
bool IsBinListName(std::string_view path);

// Reads a list file (compressed by its extension, text otherwise), or says
// why it could not: "Cannot open the file '<path>'", or "Cannot read the
// file '<path>': <why>" for one too large or a damaged compressed list.
[[nodiscard]] Result<ListFile> ReadListFile(const std::string& path);

// Puts a file's lines into the lists: the lines of each key, in file order,
// become that key's list; a list of the same key from an earlier file is
// replaced by this file's entries. Each list is sized once for its entries.
void MergeListLines(CStringArrayMap& lists, const ListFile& file);

} // namespace kestrel
