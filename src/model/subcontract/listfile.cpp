#include "model/subcontract/listfile.h"

#include <cstdio>
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

void AddLine(std::vector<ListLine>& lines, std::string_view line)
{
    ListLine l;
    l.key = std::string(TrimWhite(line.substr(0, std::min(line.size(), kKeyChars))));
    if (line.size() > kKeyChars)
        l.entry = std::string(line.substr(kKeyChars));
    lines.push_back(std::move(l));
}

struct FileCloser {
    void operator()(FILE* f) const { std::fclose(f); }
};

// List files are small; anything near this size is not one.
constexpr size_t kListFileMax = size_t(256) << 20;

bool ReadWholeFile(const std::string& path, std::string& data, bool& tooLarge)
{
    tooLarge = false;
    std::unique_ptr<FILE, FileCloser> f(std::fopen(path.c_str(), "rb"));
    if (!f)
        return false;
    data.clear();
    char buf[65536];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f.get())) > 0) {
        if (data.size() + n > kListFileMax) {
            tooLarge = true;
            return false;
        }
        data.append(buf, n);
    }
    return !std::ferror(f.get());
}

} // namespace

std::vector<ListLine> ParseTextList(std::string_view data)
{
    std::vector<ListLine> lines;
    std::string_view line;
    while (NextLine(data, line)) {
        line = CleanLine(line, kTextListLineMax);
        if (IsBlankLine(line) || IsCommentLine(line))
            continue;
        AddLine(lines, line);
    }
    return lines;
}

std::vector<ListLine> ParseBinListData(std::string_view data)
{
    std::vector<ListLine> lines;
    if (data.size() < 2)
        return lines;
    const unsigned count =
        static_cast<unsigned char>(data[0]) | (unsigned(static_cast<unsigned char>(data[1])) << 8);
    data.remove_prefix(2);
    std::string_view line;
    for (unsigned i = 0; i < count && NextLine(data, line); ++i) {
        line = CleanLine(line, kBinListLineMax);
        if (!IsBlankLine(line))
            AddLine(lines, line);
    }
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

bool ReadListFile(const std::string& path, std::vector<ListLine>& lines, std::string& error)
{
    lines.clear();
    error.clear();
    std::string data;
    bool tooLarge = false;
    if (!ReadWholeFile(path, data, tooLarge)) {
        error = tooLarge ? "Cannot read the file '" + path + "': the file is too large"
                         : "Cannot open the file '" + path + "'";
        return false;
    }
    if (!IsBinListName(path)) {
        lines = ParseTextList(data);
        return true;
    }
    std::vector<unsigned char> plain;
    const ExplodeError e =
        Explode(std::span(reinterpret_cast<const unsigned char*>(data.data()), data.size()),
                kBinListOutputMax, plain);
    if (e != ExplodeError::Ok) {
        error = "Cannot read the file '" + path + "': " + ExplodeErrorText(e);
        return false;
    }
    lines = ParseBinListData(std::string_view(reinterpret_cast<const char*>(plain.data()), plain.size()));
    return true;
}

void MergeListLines(CStringArrayMap& lists, const std::vector<ListLine>& lines)
{
    // Each key's list is gathered whole first and then stored, so that an
    // earlier file's list of that key is replaced, not extended.
    std::vector<std::pair<std::string_view, CSAStringArray>> gathered;
    std::unordered_map<std::string_view, size_t> slot;
    for (const ListLine& l : lines) {
        auto [it, added] = slot.emplace(l.key, gathered.size());
        if (added)
            gathered.emplace_back(l.key, CSAStringArray());
        gathered[it->second].second.push_back(l.entry);
    }
    for (auto& [key, entries] : gathered)
        *lists.New(key) = std::move(entries);
}

} // namespace kestrel
