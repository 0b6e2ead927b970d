#include "model/subcontract/listfile.h"

#include "calc/wholefile.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <span>
#include <unordered_map>
#include <utility>

#include "calc/codepage.h"
#include "model/subcontract/implode.h"
#include "model/subcontract/texttrim.h"

namespace kestrel {

namespace {

constexpr size_t kKeyChars = 8;

bool IsBlankLine(std::string_view line)
{
    for (char c : line)
        if (c != ' ' && c != '\t')
            return false;
    return true;
}

bool IsCommentLine(std::string_view line)
{
    for (char c : line) {
        if (c != ' ' && c != '\t')
            return c == ';';
    }
    return false;
}

// Takes one line off the front of data (without its LF); false at the end.
bool NextLine(std::string_view& data, std::string_view& line)
{
    if (data.empty())
        return false;
    const size_t lf = data.find('\n');
    if (lf == std::string_view::npos) {
        line = data;
        data = {};
    } else {
        line = data.substr(0, lf);
        data.remove_prefix(lf + 1);
    }
    return true;
}

std::string_view CleanLine(std::string_view line, size_t maxLength)
{
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    if (line.size() > maxLength)
        line = line.substr(0, maxLength);
    return line;
}

ListLine SplitLine(std::string_view line)
{
    ListLine l;
    l.key = TrimWhite(line.substr(0, std::min(line.size(), kKeyChars)));
    if (line.size() > kKeyChars)
        l.entry = line.substr(kKeyChars);
    return l;
}

// A list file's own messages, which the form shows when "WarnRef" is on.
Result<std::string> ReadListFileBytes(const std::string& path)
{
    auto data = ReadWholeFile(path, kListFileMax);
    if (data)
        return data;
    if (data.errorCode() == WHOLEFILE_TOO_LARGE)
        return Result<std::string>::Fail("Cannot read the file '" + path + "': the file is too large");
    if (data.errorCode() == WHOLEFILE_NOT_REGULAR)
        return Result<std::string>::Fail("Cannot open the file '" + path + "': " + data.errorText());
    return Result<std::string>::Fail("Cannot open the file '" + path + "'");
}

template <class Visit> void ForEachTextLine(std::string_view data, Visit&& visit)
{
    std::string_view line;
    while (NextLine(data, line)) {
        line = CleanLine(line, kTextListLineMax);
        if (IsBlankLine(line) || IsCommentLine(line))
            continue;
        visit(SplitLine(line));
    }
}

template <class Visit> void ForEachBinLine(std::string_view data, Visit&& visit)
{
    if (data.size() < 2)
        return;
    const unsigned count =
        static_cast<unsigned char>(data[0]) | (unsigned(static_cast<unsigned char>(data[1])) << 8);
    data.remove_prefix(2);
    std::string_view line;
    for (unsigned i = 0; i < count && NextLine(data, line); ++i) {
        line = CleanLine(line, kBinListLineMax);
        if (!IsBlankLine(line))
            visit(SplitLine(line));
    }
}

template <class Visit> void ForEachLine(std::string_view data, bool bin, Visit&& visit)
{
    if (bin)
        ForEachBinLine(data, visit);
    else
        ForEachTextLine(data, visit);
}

} // namespace

void VisitTextList(std::string_view data, const ListLineVisitor& visit)
{
    ForEachTextLine(data, visit);
}

void VisitBinListData(std::string_view data, const ListLineVisitor& visit)
{
    ForEachBinLine(data, visit);
}

std::vector<ListLine> ParseTextList(std::string_view data)
{
    std::vector<ListLine> lines;
    ForEachTextLine(data, [&](const ListLine& l) { lines.push_back(l); });
    return lines;
}

std::vector<ListLine> ParseBinListData(std::string_view data)
{
    std::vector<ListLine> lines;
    ForEachBinLine(data, [&](const ListLine& l) { lines.push_back(l); });
    return lines;
}

void ListFile::VisitLines(const ListLineVisitor& visit) const
{
    ForEachLine(m_bytes, m_bin, visit);
}

std::vector<ListLine> ListFile::Lines() const
{
    std::vector<ListLine> lines;
    ForEachLine(m_bytes, m_bin, [&](const ListLine& l) { lines.push_back(l); });
    return lines;
}

bool IsBinListName(std::string_view path)
{
    const size_t dot = path.rfind('.');
    if (dot == std::string_view::npos)
        return false;
    const std::string_view ext = path.substr(dot + 1);
    // A dot inside a directory name is no extension.
    if (ext.find('/') != std::string_view::npos || ext.find('\\') != std::string_view::npos)
        return false;
    return EqualNoCase(ext, "BIN");
}

Result<ListFile> ReadListFile(const std::string& path)
{
    auto data = ReadListFileBytes(path);
    if (!data)
        return data.error();
    if (!IsBinListName(path))
        return ListFile::FromText(std::move(data).value());
    std::vector<unsigned char> plain;
    const ExplodeError e =
        Explode(std::span(reinterpret_cast<const unsigned char*>(data->data()), data->size()),
                kBinListOutputMax, plain);
    if (e != ExplodeError::Ok)
        return Result<ListFile>::Fail("Cannot read the file '" + path + "': " + ExplodeErrorText(e));
    data = std::string(); // the compressed bytes are done with
    return ListFile::FromBinData(std::string(plain.begin(), plain.end()));
}

void MergeListLines(CStringArrayMap& lists, const ListFile& file)
{
    // Two walks over the file: the first counts each key's entries and
    // bytes, the second fills each key's list, sized once. Keys keep the
    // order of their first line, and each key's list is gathered whole
    // before it is stored, so that an earlier file's list of that key is
    // replaced, not extended.
    struct Gathered {
        std::string_view key;
        size_t count = 0;
        size_t bytes = 0;
        CSAStringArray entries;
    };
    std::vector<Gathered> gathered;
    std::unordered_map<std::string_view, size_t> slot;
    file.VisitLines([&](const ListLine& l) {
        auto [it, added] = slot.emplace(l.key, gathered.size());
        if (added)
            gathered.emplace_back().key = l.key;
        Gathered& g = gathered[it->second];
        ++g.count;
        g.bytes += CSAStringArray::StoredSize(l.entry.size());
    });
    for (Gathered& g : gathered)
        g.entries.reserve(g.count, g.bytes);
    Gathered* last = nullptr; // lines of one key tend to come together
    file.VisitLines([&](const ListLine& l) {
        if (!last || last->key != l.key)
            last = &gathered[slot.find(l.key)->second];
        last->entries.push_back(l.entry);
    });
    for (Gathered& g : gathered)
        *lists.New(g.key) = std::move(g.entries);
}

} // namespace kestrel
