#pragma once
// Pick-list files: text lists and compressed (".BIN") lists. Each line holds
// a key in its first eight characters and an entry from the ninth on.

#include <string>
#include <string_view>
#include <vector>

#include "model/contract/stringarraymap.h"

namespace kestrel {

struct ListLine {
    std::string key;   // characters 1 to 8, white space trimmed
    std::string entry; // from character 9 on, unchanged
};

// Longest line a text list file holds; longer lines are cut to this.
constexpr size_t kTextListLineMax = 4096;
// Longest line of a compressed list; longer lines are cut to this.
constexpr size_t kBinListLineMax = 32767;
// Most bytes a compressed list may expand to.
constexpr size_t kBinListOutputMax = size_t(64) << 20;

// The lines of a text list file in file order: comment lines (first
// non-blank character ";") and blank lines skipped, a CR before the line
// end dropped.
std::vector<ListLine> ParseTextList(std::string_view data);
// The lines of a decompressed ".BIN" list: a 16-bit little-endian line
// count, then that many LF-ended lines. There are no comment lines here.
std::vector<ListLine> ParseBinListData(std::string_view data);

// True for a file name whose extension (after its last ".") is "BIN" in
// any case.
bool IsBinListName(std::string_view path);

// Reads a list file (compressed by its extension, text otherwise). On
// failure returns false with a message in error and leaves lines empty.
bool ReadListFile(const std::string& path, std::vector<ListLine>& lines, std::string& error);

// Puts a file's lines into the lists: the lines of each key, in file order,
// become that key's list; a list of the same key from an earlier file is
// replaced by this file's entries.
void MergeListLines(CStringArrayMap& lists, const std::vector<ListLine>& lines);

} // namespace kestrel
