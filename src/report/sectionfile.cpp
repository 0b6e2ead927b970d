#include "report/sectionfile.h"

#include <cstdio>
#include <filesystem>

#include "calc/codepage.h"

namespace kestrel {

namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

// One line without its LF. Characters past the line limit are read and
// dropped, so a very long line costs no memory. False at the end of the file.
bool ReadLine(std::FILE* f, std::string& line)
{
    line.clear();
    bool any = false;
    for (int c; (c = std::getc(f)) != EOF;) {
        any = true;
        if (c == '\n')
            return true;
        if (line.size() < kSectionMaxLine)
            line.push_back(static_cast<char>(c));
    }
    return any;
}

// Writes lines and remembers whether any write failed, so that a full disk is
// noticed before the section file is replaced.
class LineWriter {
public:
    explicit LineWriter(std::FILE* f) : m_file(f) {}

    void Write(std::string_view bytes)
    {
        if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), m_file) != bytes.size())
            m_ok = false;
    }
    void Line(std::string_view line)
    {
        Write(line);
        Write("\n");
    }
    void Section(std::string_view name, std::string_view text)
    {
        Write("[");
        Write(name);
        Line("]");
        Write(text);
        if (text.empty() || text.back() != '\n')
            Write("\n");
    }
    // Flushes and closes; false when anything failed on the way.
    bool Close()
    {
        const bool flushed = std::fflush(m_file) == 0 && !std::ferror(m_file);
        const bool closed = std::fclose(m_file) == 0;
        return m_ok && flushed && closed;
    }

private:
    std::FILE* m_file;
    bool m_ok = true;
};

bool IsComment(const std::string& line)
{
    return !line.empty() && line[0] == ';';
}
bool IsBracketLine(const std::string& line)
{
    return !line.empty() && line[0] == '[';
}

std::string DirectoryOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// Copies `in` to `out`, putting the new section in place of every section of
// that name (their comment lines survive) or at the end. Returns true when a
// section was replaced.
bool CopyWithSection(std::FILE* in, LineWriter& out, std::string_view name, std::string_view text)
{
    bool replaced = false;
    std::string line;
    bool have = ReadLine(in, line);
    while (have) {
        if (!IsSectionHeaderFor(line, name)) {
            out.Line(line);
            have = ReadLine(in, line);
            continue;
        }
        out.Section(name, text);
        replaced = true;
        // Skip the old body up to the next bracket line, which then goes
        // through the loop like any other line.
        have = false;
        while (ReadLine(in, line)) {
            if (IsBracketLine(line)) {
                have = true;
                break;
            }
            if (IsComment(line))
                out.Line(line);
        }
    }
    if (!replaced)
        out.Section(name, text);
    return replaced;
}

// Gives the new file the permissions of the one it replaces.
void CopyPermissions(const std::string& from, const std::string& to)
{
    std::error_code ec;
    const auto perms = std::filesystem::status(from, ec).permissions();
    if (!ec)
        std::filesystem::permissions(to, perms, ec);
}

} // namespace

bool IsSectionHeaderFor(std::string_view line, std::string_view name)
{
    if (line.empty() || line[0] != '[')
        return false;
    std::size_t i = 1;
    while (i < line.size() && IsBlank(line[i]))
        ++i;
    if (line.size() - i < name.size() || !EqualNoCase(line.substr(i, name.size()), name))
        return false;
    i += name.size();
    while (i < line.size() && IsBlank(line[i]))
        ++i;
    return i < line.size() && line[i] == ']';
}

SectionSaveOutcome SaveTemplateSection(std::string_view name, std::string_view text, const std::string& path)
{
    std::FILE* in = std::fopen(path.c_str(), "rb");
    if (!in)
        return {SectionSaveResult::CannotOpenFile, "Cannot open file " + path};
    const std::string temporary = DirectoryOf(path) + kSectionTempName;
    std::FILE* outFile = std::fopen(temporary.c_str(), "wb");
    if (!outFile) {
        std::fclose(in);
        return {SectionSaveResult::CannotOpenTemp, "Cannot open temp file " + temporary};
    }
    LineWriter out(outFile);
    const bool replaced = CopyWithSection(in, out, name, text);
    // A path that opens but cannot be read (a directory) is no section file.
    const bool readFailed = std::ferror(in) != 0;
    std::fclose(in);
    const bool written = out.Close();
    if (readFailed) {
        std::remove(temporary.c_str());
        return {SectionSaveResult::CannotOpenFile, "Cannot open file " + path};
    }
    if (!written) {
        std::remove(temporary.c_str());
        return {SectionSaveResult::CannotWriteTemp, "Cannot write temp file " + temporary};
    }
    // Renaming over the old file replaces it in one step: at every moment
    // either the old or the new file is there under its name.
    CopyPermissions(path, temporary);
    if (std::rename(temporary.c_str(), path.c_str()) != 0)
        return {SectionSaveResult::CannotReplaceFile,
                "Cannot replace file " + path + "; the new text is in " + temporary};
    const std::string section(name);
    if (replaced)
        return {SectionSaveResult::Replaced, "Section " + section + " Replaced in" + " file " + path};
    return {SectionSaveResult::Added, "Section " + section + " Added to" + " file " + path};
}

std::string TemplateTextForEdit(std::string_view stored)
{
    const std::size_t limit = kTemplateEditBuffer - 1;
    std::string edit;
    edit.reserve(std::min(limit, stored.size() + stored.size() / 8));
    for (char c : stored) {
        // A line end that no longer fits is dropped whole rather than leaving
        // a lone CR.
        const std::size_t need = c == '\n' ? 2 : 1;
        if (edit.size() + need > limit)
            break;
        if (c == '\n')
            edit.push_back('\r');
        edit.push_back(c);
    }
    return edit;
}

std::string TemplateTextForStorage(std::string_view edited)
{
    std::string stored;
    stored.reserve(edited.size());
    for (std::size_t i = 0; i < edited.size(); ++i)
        if (!(edited[i] == '\r' && i + 1 < edited.size() && edited[i + 1] == '\n'))
            stored.push_back(edited[i]);
    return stored;
}

} // namespace kestrel
