#include "report/sectionfile.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "calc/codepage.h"
#include "file/platform.h"

namespace kestrel {

namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

// Reads the section file line by line without holding a whole line: a line
// is told apart by its first kSectionMaxLine bytes (its head), and the rest
// of a longer line is streamed on when the line is copied, so that a
// template of any size survives a save of another section. Without a file
// it reads as an empty one.
class LineReader {
public:
    explicit LineReader(std::FILE* f) : m_file(f), m_buffer(64 * 1024) {}

    // Starts the next line; false at the end of the file.
    bool Next()
    {
        Skip();
        m_head.clear();
        bool any = false;
        while (m_head.size() < kSectionMaxLine) {
            if (m_pos == m_len && !Fill())
                return any;
            any = true;
            const std::size_t n = std::min(m_len - m_pos, kSectionMaxLine - m_head.size());
            const char* start = m_buffer.data() + m_pos;
            if (const void* lf = std::memchr(start, '\n', n)) {
                const std::size_t k = static_cast<std::size_t>(static_cast<const char*>(lf) - start);
                m_head.append(start, k);
                m_pos += k + 1;
                return true;
            }
            m_head.append(start, n);
            m_pos += n;
        }
        m_rest = true;
        return true;
    }
    // The line's first bytes, without its LF.
    const std::string& Head() const { return m_head; }
    // The whole line, followed by LF.
    template <class Writer> void CopyTo(Writer& out)
    {
        out.Write(m_head);
        Rest([&](std::string_view bytes) { out.Write(bytes); });
        out.Write("\n");
    }
    // Reads past the rest of the line.
    void Skip()
    {
        Rest([](std::string_view) {});
    }
    bool Failed() const { return m_failed; }

private:
    bool Fill()
    {
        m_pos = 0;
        m_len = 0;
        if (!m_file)
            return false;
        m_len = std::fread(m_buffer.data(), 1, m_buffer.size(), m_file);
        if (m_len == 0 && std::ferror(m_file))
            m_failed = true;
        return m_len > 0;
    }
    template <class Sink> void Rest(Sink sink)
    {
        while (m_rest) {
            if (m_pos == m_len && !Fill())
                break;
            const char* start = m_buffer.data() + m_pos;
            const std::size_t n = m_len - m_pos;
            if (const void* lf = std::memchr(start, '\n', n)) {
                const std::size_t k = static_cast<std::size_t>(static_cast<const char*>(lf) - start);
                sink(std::string_view(start, k));
                m_pos += k + 1;
                break;
            }
            sink(std::string_view(start, n));
            m_pos = m_len;
        }
        m_rest = false;
    }

    std::FILE* m_file;
    std::vector<char> m_buffer;
    std::size_t m_pos = 0;
    std::size_t m_len = 0;
    std::string m_head;
    bool m_rest = false; // the current line goes on past its head
    bool m_failed = false;
};

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
    void Section(std::string_view name, std::string_view text)
    {
        Write("[");
        Write(name);
        Write("]\n");
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

// Copies `in` to `out`, putting the new section in place of every section of
// that name (their comment lines survive) or at the end. Returns true when a
// section was replaced.
bool CopyWithSection(LineReader& in, LineWriter& out, std::string_view name, std::string_view text)
{
    bool replaced = false;
    bool have = in.Next();
    while (have) {
        if (!IsSectionHeaderFor(in.Head(), name)) {
            in.CopyTo(out);
            have = in.Next();
            continue;
        }
        out.Section(name, text);
        replaced = true;
        // Skip the old body up to the next bracket line, which then goes
        // through the loop like any other line.
        have = false;
        while (in.Next()) {
            if (IsBracketLine(in.Head())) {
                have = true;
                break;
            }
            if (IsComment(in.Head()))
                in.CopyTo(out);
        }
    }
    if (!replaced)
        out.Section(name, text);
    return replaced;
}

// Opens the section file for reading. Only a regular file is one: a FIFO
// would block the save and a device never end it, so neither is read (the
// open itself does not wait for a FIFO's writer).
std::FILE* OpenSectionFile(const std::string& path)
{
    const Result<int> fd = OpenRegularFile(path);
    if (!fd)
        return nullptr;
    const Result<std::FILE*> f = OpenStream(fd.value(), "rb");
    return f ? f.value() : nullptr;
}

// A second descriptor of the temporary file as a stream of its own, so that
// closing the stream leaves the replacement's descriptor for its flush.
std::FILE* StreamOf(const CFileReplacement& replacement)
{
    const Result<int> fd = DuplicateDescriptor(replacement.Descriptor());
    if (!fd)
        return nullptr;
    const Result<std::FILE*> f = OpenStream(fd.value(), "wb");
    return f ? f.value() : nullptr;
}

std::string WithReason(const std::string& text, const ErrorInfo& error)
{
    return WithSystemReason(text, error.code > 0 ? error.code : 0);
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

bool IsValidSectionName(std::string_view name)
{
    if (name.empty() || IsBlank(name.front()))
        return false;
    return name.find_first_of("[]\r\n") == std::string_view::npos;
}

SectionSaveOutcome SaveTemplateSection(std::string_view name, std::string_view text, const std::string& path,
                                       const ReplaceFault& fault, MissingSectionFile missing)
{
    const std::string section(name);
    if (!IsValidSectionName(name))
        return {SectionSaveResult::InvalidName,
                "Invalid section name \"" + section +
                    "\": a name must not be empty, begin with a blank or tab, or hold [, ], CR or LF"};
    std::FILE* in = OpenSectionFile(path);
    // A file that is not there yet is made with the one section, when asked;
    // one that is there but cannot be read is never replaced.
    const Result<FileStatus> status =
        in ? Result<FileStatus>(FileStatus{}) : StatPath(path, LinkPolicy::Refuse);
    const bool absent = !in && status && status->kind == FileKind::Missing;
    if (!in && !(absent && missing == MissingSectionFile::Create))
        return {SectionSaveResult::CannotOpenFile, "Cannot open file " + path};
    auto replacement = CFileReplacement::Begin(path, kSectionTempStem, fault);
    std::FILE* outFile = replacement ? StreamOf(replacement.value()) : nullptr;
    if (!outFile) {
        if (in)
            std::fclose(in);
        const std::string temporary = CFileReplacement::TemporaryPattern(path, kSectionTempStem);
        return {SectionSaveResult::CannotOpenTemp,
                WithReason("Cannot open temp file " + temporary,
                           replacement ? ErrorInfo{} : replacement.error())};
    }
    LineReader reader(in);
    LineWriter out(outFile);
    const bool replaced = CopyWithSection(reader, out, name, text);
    // A file that opens but cannot be read is no section file.
    const bool readFailed = reader.Failed();
    if (in)
        std::fclose(in);
    const bool written = out.Close();
    if (readFailed)
        return {SectionSaveResult::CannotOpenFile, "Cannot open file " + path};
    if (!written)
        return {SectionSaveResult::CannotWriteTemp, "Cannot write temp file " + replacement->TemporaryPath()};
    // Renaming over the old file replaces it in one step: at every moment
    // either the old or the new file is there under its name.
    if (const Status committed = replacement->Commit(); !committed)
        return {SectionSaveResult::CannotReplaceFile,
                "Cannot replace file " + path + ": " + committed.errorText()};
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
