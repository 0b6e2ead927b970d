#include "exchange/xlsxreader.h"

#include <expat.h>
#include <zip.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstring>
#include <functional>
#include <limits>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <type_traits>
#include <vector>

#include "calc/codepage.h"

namespace kestrel {

namespace {

constexpr int kMaxRowNumber = 1048576;
constexpr int kMaxColumns = 16384;

template <class T> Result<T> Fail(std::string text)
{
    return Result<T>::Fail(std::move(text));
}

// --- the archive -------------------------------------------------------------

struct ZipCloser {
    void operator()(zip_t* z) const { zip_discard(z); }
};
struct ZipFileCloser {
    void operator()(zip_file_t* f) const { zip_fclose(f); }
};

class Archive {
public:
    static Result<Archive> Open(std::string_view bytes)
    {
        zip_error_t error;
        zip_error_init(&error);
        zip_source_t* source = zip_source_buffer_create(bytes.data(), bytes.size(), 0, &error);
        if (!source) {
            zip_error_fini(&error);
            return Fail<Archive>("Insufficient memory");
        }
        zip_t* zip = zip_open_from_source(source, ZIP_RDONLY, &error);
        if (!zip) {
            zip_source_free(source);
            std::string text = std::string("The file is not an XLSX workbook: ") + zip_error_strerror(&error);
            zip_error_fini(&error);
            return Fail<Archive>(std::move(text));
        }
        zip_error_fini(&error);
        return Archive(zip);
    }

    // The inflated bytes of a part, none when the archive has no such part.
    // Inflating stops as soon as the part passes the limit, whatever size
    // the archive declares for it.
    Result<std::optional<std::string>> Read(const std::string& name, size_t limit) const
    {
        using R = Result<std::optional<std::string>>;
        const zip_int64_t index = zip_name_locate(m_zip.get(), name.c_str(), 0);
        if (index < 0)
            return R(std::optional<std::string>());
        const std::string tooLarge =
            "The workbook part " + name + " is larger than " + std::to_string(limit >> 20) + " MiB";
        zip_stat_t st;
        zip_stat_init(&st);
        if (zip_stat_index(m_zip.get(), static_cast<zip_uint64_t>(index), 0, &st) == 0 &&
            (st.valid & ZIP_STAT_SIZE) && st.size > limit)
            return R::Fail(tooLarge);
        std::unique_ptr<zip_file_t, ZipFileCloser> file(
            zip_fopen_index(m_zip.get(), static_cast<zip_uint64_t>(index), 0));
        if (!file)
            return R::Fail("Cannot read the workbook part " + name + ": " + zip_strerror(m_zip.get()));
        std::string bytes;
        char block[64 * 1024];
        for (;;) {
            const zip_int64_t n = zip_fread(file.get(), block, sizeof block);
            if (n < 0)
                return R::Fail("The workbook part " + name + " is damaged: " + zip_file_strerror(file.get()));
            if (n == 0)
                break;
            if (static_cast<size_t>(n) > limit - bytes.size())
                return R::Fail(tooLarge);
            bytes.append(block, static_cast<size_t>(n));
        }
        return R(std::optional<std::string>(std::move(bytes)));
    }

private:
    explicit Archive(zip_t* zip) : m_zip(zip) {}
    std::unique_ptr<zip_t, ZipCloser> m_zip;
};

// --- XML ---------------------------------------------------------------------

std::string_view LocalName(const char* name)
{
    const char* colon = std::strrchr(name, ':');
    return colon ? std::string_view(colon + 1) : std::string_view(name);
}

// The value of an attribute by its local name, none when absent.
const char* Attribute(const char** atts, std::string_view name)
{
    for (int i = 0; atts[i] && atts[i + 1]; i += 2)
        if (LocalName(atts[i]) == name)
            return atts[i + 1];
    return nullptr;
}

// Walks one XML part with expat, handing elements and text to a handler;
// the handler may stop the walk with a message.
class XmlWalk {
public:
    using Start = std::function<void(std::string_view name, const char** atts)>;
    using End = std::function<void(std::string_view name)>;
    using Text = std::function<void(std::string_view text)>;

    XmlWalk(const std::string& part, int maxDepth) : m_part(part), m_maxDepth(maxDepth) {}

    Status Run(std::string_view xml, Start start, End end, Text text)
    {
        std::unique_ptr<std::remove_pointer_t<XML_Parser>, decltype(&XML_ParserFree)> parser(
            XML_ParserCreate(nullptr), &XML_ParserFree);
        if (!parser)
            return Status::Fail("Insufficient memory");
        m_parser = parser.get();
        m_start = std::move(start);
        m_end = std::move(end);
        m_text = std::move(text);
        XML_SetUserData(m_parser, this);
        XML_SetElementHandler(m_parser, &XmlWalk::OnStart, &XmlWalk::OnEnd);
        XML_SetCharacterDataHandler(m_parser, &XmlWalk::OnText);
        XML_SetStartDoctypeDeclHandler(m_parser, &XmlWalk::OnDoctype);
        if (xml.size() > static_cast<size_t>(std::numeric_limits<int>::max()))
            return Status::Fail("The workbook part " + m_part + " is too large");
        const XML_Status status = XML_Parse(m_parser, xml.data(), static_cast<int>(xml.size()), XML_TRUE);
        if (!m_error.empty())
            return Status::Fail(m_error);
        if (status != XML_STATUS_OK)
            return Status::Fail("The workbook part " + m_part + " is not well-formed XML (line " +
                                std::to_string(XML_GetCurrentLineNumber(m_parser)) +
                                "): " + XML_ErrorString(XML_GetErrorCode(m_parser)));
        return Ok();
    }

    // Ends the walk with a message.
    void Stop(std::string message)
    {
        if (m_error.empty())
            m_error = std::move(message);
        XML_StopParser(m_parser, XML_FALSE);
    }
    bool Stopped() const { return !m_error.empty(); }

private:
    static void XMLCALL OnStart(void* data, const XML_Char* name, const XML_Char** atts)
    {
        auto* self = static_cast<XmlWalk*>(data);
        if (self->Stopped())
            return;
        if (++self->m_depth > self->m_maxDepth) {
            self->Stop("The workbook part " + self->m_part + " nests its elements more than " +
                       std::to_string(self->m_maxDepth) + " deep");
            return;
        }
        self->m_start(LocalName(name), atts);
    }
    static void XMLCALL OnEnd(void* data, const XML_Char* name)
    {
        auto* self = static_cast<XmlWalk*>(data);
        if (self->Stopped())
            return;
        --self->m_depth;
        self->m_end(LocalName(name));
    }
    static void XMLCALL OnText(void* data, const XML_Char* s, int len)
    {
        auto* self = static_cast<XmlWalk*>(data);
        if (!self->Stopped() && len > 0)
            self->m_text(std::string_view(s, static_cast<size_t>(len)));
    }
    static void XMLCALL OnDoctype(void* data, const XML_Char*, const XML_Char*, const XML_Char*, int)
    {
        auto* self = static_cast<XmlWalk*>(data);
        self->Stop("The workbook part " + self->m_part +
                   " has a document type declaration, which a workbook "
                   "never has");
    }

    std::string m_part;
    int m_maxDepth;
    XML_Parser m_parser = nullptr;
    int m_depth = 0;
    std::string m_error;
    Start m_start;
    End m_end;
    Text m_text;
};

// Spreadsheets write characters that XML cannot hold as "_xHHHH_" (and a
// literal "_x" as "_x005F_x"); this puts them back, into a text already in
// Windows-1252 (the escapes themselves are ASCII).
std::string DecodeEscapes(std::string_view s)
{
    std::string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '_' && i + 6 < s.size() && s[i + 1] == 'x' && s[i + 6] == '_') {
            uint32_t code = 0;
            size_t k = i + 2;
            for (; k < i + 6 && std::isxdigit(static_cast<unsigned char>(s[k])); ++k)
                code = code * 16 +
                       static_cast<uint32_t>(std::isdigit(static_cast<unsigned char>(s[k]))
                                                 ? s[k] - '0'
                                                 : std::tolower(static_cast<unsigned char>(s[k])) - 'a' + 10);
            if (k == i + 6) {
                out.push_back(Cp1252FromCodePoint(code));
                i += 6;
                continue;
            }
        }
        out.push_back(s[i]);
    }
    return out;
}

// A workbook text (UTF-8, which expat has made sure of) as a text of the
// program.
std::string WorkbookText(std::string_view utf8)
{
    auto converted = Utf8ToCp1252(utf8);
    return DecodeEscapes(converted ? std::string_view(converted.value()) : std::string_view());
}

// The text runs of a rich or plain string: the <t> elements inside the
// string's element, leaving out phonetic runs (<rPh>).
class StringText {
public:
    void Begin()
    {
        m_text.clear();
        m_inT = false;
        m_phonetic = 0;
    }
    void Start(std::string_view name)
    {
        if (name == "rPh")
            ++m_phonetic;
        else if (name == "t" && m_phonetic == 0)
            m_inT = true;
    }
    void End(std::string_view name)
    {
        if (name == "rPh" && m_phonetic > 0)
            --m_phonetic;
        else if (name == "t")
            m_inT = false;
    }
    void Text(std::string_view s)
    {
        if (m_inT)
            m_text += s;
    }
    const std::string& Value() const { return m_text; }

private:
    std::string m_text;
    bool m_inT = false;
    int m_phonetic = 0;
};

// --- the parts -----------------------------------------------------------------

// A path inside the archive: a target relative to the workbook's folder, or
// absolute from the archive's root; "." and ".." segments resolved.
std::string ResolvePartPath(std::string_view folder, std::string_view target)
{
    std::string joined = !target.empty() && target.front() == '/' ? std::string(target.substr(1))
                                                                  : std::string(folder) + std::string(target);
    std::vector<std::string> segments;
    size_t start = 0;
    while (start <= joined.size()) {
        const size_t slash = std::min(joined.find('/', start), joined.size());
        const std::string segment = joined.substr(start, slash - start);
        if (segment == "..") {
            if (!segments.empty())
                segments.pop_back();
        } else if (!segment.empty() && segment != ".") {
            segments.push_back(segment);
        }
        start = slash + 1;
    }
    std::string path;
    for (const std::string& s : segments)
        path += (path.empty() ? "" : "/") + s;
    return path;
}

struct WorkbookParts {
    std::string sheet = "xl/worksheets/sheet1.xml";
    std::string sharedStrings = "xl/sharedStrings.xml";
};

// The first sheet (in the workbook's tab order) and the shared strings, as
// the workbook's relationships name them.
Result<WorkbookParts> FindParts(const Archive& archive, const QuoteLimits& limits)
{
    WorkbookParts parts;
    auto workbook = archive.Read("xl/workbook.xml", limits.maxPartBytes);
    if (!workbook)
        return workbook.error();
    if (!workbook.value())
        return Fail<WorkbookParts>("The file is not an XLSX workbook: it has no part xl/workbook.xml");
    std::string firstSheetId;
    bool seenSheet = false;
    XmlWalk walk("xl/workbook.xml", limits.maxDepth);
    Status read = walk.Run(
        *workbook.value(),
        [&](std::string_view name, const char** atts) {
            if (name != "sheet" || seenSheet)
                return;
            seenSheet = true;
            if (const char* id = Attribute(atts, "id"))
                firstSheetId = id;
        },
        [](std::string_view) {}, [](std::string_view) {});
    if (!read)
        return read.error();
    if (!seenSheet)
        return Fail<WorkbookParts>("The workbook has no sheet");
    auto rels = archive.Read("xl/_rels/workbook.xml.rels", limits.maxPartBytes);
    if (!rels)
        return rels.error();
    if (!rels.value())
        return parts;
    XmlWalk relWalk("xl/_rels/workbook.xml.rels", limits.maxDepth);
    read = relWalk.Run(
        *rels.value(),
        [&](std::string_view name, const char** atts) {
            if (name != "Relationship")
                return;
            const char* id = Attribute(atts, "Id");
            const char* type = Attribute(atts, "Type");
            const char* target = Attribute(atts, "Target");
            if (!target)
                return;
            const std::string_view kind = type ? std::string_view(type) : std::string_view();
            if (id && !firstSheetId.empty() && firstSheetId == id)
                parts.sheet = ResolvePartPath("xl/", target);
            else if (kind.size() >= 14 && kind.substr(kind.size() - 14) == "/sharedStrings")
                parts.sharedStrings = ResolvePartPath("xl/", target);
        },
        [](std::string_view) {}, [](std::string_view) {});
    if (!read)
        return read.error();
    return parts;
}

Result<std::vector<std::string>> ReadSharedStrings(const Archive& archive, const std::string& path,
                                                   const QuoteLimits& limits)
{
    using R = Result<std::vector<std::string>>;
    auto xml = archive.Read(path, limits.maxPartBytes);
    if (!xml)
        return xml.error();
    std::vector<std::string> strings;
    if (!xml.value())
        return strings;
    XmlWalk walk(path, limits.maxDepth);
    StringText text;
    bool inString = false;
    const Status read = walk.Run(
        *xml.value(),
        [&](std::string_view name, const char**) {
            if (name == "si") {
                inString = true;
                text.Begin();
            } else if (inString) {
                text.Start(name);
            }
        },
        [&](std::string_view name) {
            if (name != "si") {
                text.End(name);
                return;
            }
            inString = false;
            if (strings.size() >= limits.maxSharedStrings)
                return walk.Stop("The workbook has more than " + std::to_string(limits.maxSharedStrings) +
                                 " shared strings");
            strings.push_back(WorkbookText(text.Value()));
        },
        [&](std::string_view s) { text.Text(s); });
    if (!read)
        return R::Fail(read.errorText());
    return strings;
}

// "B12": column 1 (from 0); none when the reference does not begin with a
// column's letters.
std::optional<int> ReferenceColumn(std::string_view ref)
{
    int column = 0;
    size_t i = 0;
    for (; i < ref.size() && i < 3 && ref[i] >= 'A' && ref[i] <= 'Z'; ++i)
        column = column * 26 + (ref[i] - 'A' + 1);
    if (i == 0 || column > kMaxColumns)
        return std::nullopt;
    return column - 1;
}

std::optional<int> RowNumber(const char* text)
{
    if (!text || !*text)
        return std::nullopt;
    long long n = 0;
    for (const char* p = text; *p; ++p) {
        if (*p < '0' || *p > '9')
            return std::nullopt;
        n = n * 10 + (*p - '0');
        if (n > kMaxRowNumber)
            return std::nullopt;
    }
    if (n < 1)
        return std::nullopt;
    return static_cast<int>(n);
}

// The index of a shared string written as decimal digits; `count` (no
// string) for anything else or an index past it.
size_t StringIndex(std::string_view text, size_t count)
{
    if (text.empty())
        return count;
    size_t index = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return count;
        index = index * 10 + static_cast<size_t>(c - '0');
        if (index >= count)
            return count;
    }
    return index;
}

// The cells of the sheet, gathered as the walk goes.
class SheetReader {
public:
    SheetReader(XmlWalk& walk, const std::vector<std::string>& strings, const QuoteLimits& limits)
        : m_walk(walk), m_strings(strings), m_limits(limits)
    {
    }

    void Start(std::string_view name, const char** atts)
    {
        if (name == "row") {
            FinishRow();
            const std::optional<int> number = RowNumber(Attribute(atts, "r"));
            m_row.number = number ? *number : m_lastRow + 1;
            m_inRow = true;
            m_lastColumn = -1;
        } else if (name == "c") {
            if (!m_inRow) { // a cell outside a row: it starts one of its own
                m_row.number = m_lastRow + 1;
                m_inRow = true;
                m_lastColumn = -1;
            }
            const char* ref = Attribute(atts, "r");
            const std::optional<int> column = ref ? ReferenceColumn(ref) : std::nullopt;
            m_column = column ? *column : m_lastColumn + 1;
            const char* type = Attribute(atts, "t");
            m_type = type ? type : "";
            m_value.clear();
            m_inline.Begin();
            m_inCell = true;
        } else if (m_inCell && name == "v") {
            m_inValue = true;
        } else if (m_inCell && name == "is") {
            m_inInline = true;
        } else if (m_inInline) {
            m_inline.Start(name);
        }
    }

    void End(std::string_view name)
    {
        if (name == "row") {
            FinishRow();
        } else if (name == "c" && m_inCell) {
            FinishCell();
        } else if (name == "v") {
            m_inValue = false;
        } else if (name == "is") {
            m_inInline = false;
        } else if (m_inInline) {
            m_inline.End(name);
        }
    }

    void Text(std::string_view s)
    {
        if (m_inValue)
            m_value += s;
        else if (m_inInline)
            m_inline.Text(s);
    }

    QuoteSheet Finish()
    {
        FinishRow();
        std::stable_sort(m_sheet.rows.begin(), m_sheet.rows.end(),
                         [](const QuoteRow& a, const QuoteRow& b) { return a.number < b.number; });
        for (QuoteRow& row : m_sheet.rows) {
            std::stable_sort(row.cells.begin(), row.cells.end(),
                             [](const QuoteCell& a, const QuoteCell& b) { return a.column < b.column; });
            // A column given twice keeps its last cell.
            std::vector<QuoteCell> unique;
            for (QuoteCell& cell : row.cells) {
                if (!unique.empty() && unique.back().column == cell.column)
                    unique.back() = std::move(cell);
                else
                    unique.push_back(std::move(cell));
            }
            row.cells = std::move(unique);
        }
        return std::move(m_sheet);
    }

private:
    void FinishCell()
    {
        m_inCell = m_inValue = m_inInline = false;
        m_lastColumn = m_column;
        std::string text;
        if (m_type == "s" && !m_value.empty()) {
            const size_t i = StringIndex(m_value, m_strings.size());
            if (i >= m_strings.size())
                return m_walk.Stop("The cell in row " + std::to_string(m_row.number) +
                                   " refers to a shared string the workbook does not hold");
            text = m_strings[i];
        } else if (m_type == "inlineStr") {
            text = WorkbookText(m_inline.Value());
        } else {
            text = WorkbookText(m_value);
        }
        if (text.empty())
            return;
        if (++m_cells > m_limits.maxCells)
            return m_walk.Stop("The sheet has more than " + std::to_string(m_limits.maxCells) + " cells");
        m_row.cells.push_back({m_column, std::move(text)});
    }

    void FinishRow()
    {
        if (!m_inRow)
            return;
        m_inRow = false;
        m_lastRow = m_row.number;
        if (m_row.cells.empty())
            return;
        if (m_sheet.rows.size() >= m_limits.maxRows)
            return m_walk.Stop("The sheet has more than " + std::to_string(m_limits.maxRows) + " rows");
        m_sheet.rows.push_back(std::move(m_row));
        m_row = QuoteRow();
    }

    XmlWalk& m_walk;
    const std::vector<std::string>& m_strings;
    const QuoteLimits& m_limits;
    QuoteSheet m_sheet;
    QuoteRow m_row;
    bool m_inRow = false;
    int m_lastRow = 0;
    int m_lastColumn = -1;
    bool m_inCell = false;
    bool m_inValue = false;
    bool m_inInline = false;
    int m_column = 0;
    std::string m_type;
    std::string m_value;
    StringText m_inline;
    size_t m_cells = 0;
};

} // namespace

Result<QuoteSheet> ReadQuoteXlsx(std::string_view bytes, const QuoteLimits& limits)
{
    if (bytes.size() > limits.maxFileBytes)
        return Fail<QuoteSheet>("The quote is larger than " + std::to_string(limits.maxFileBytes >> 20) +
                                " MiB");
    auto archive = Archive::Open(bytes);
    if (!archive)
        return archive.error();
    auto parts = FindParts(archive.value(), limits);
    if (!parts)
        return parts.error();
    auto strings = ReadSharedStrings(archive.value(), parts->sharedStrings, limits);
    if (!strings)
        return strings.error();
    auto xml = archive->Read(parts->sheet, limits.maxPartBytes);
    if (!xml)
        return xml.error();
    if (!xml.value())
        return Fail<QuoteSheet>("The workbook has no part " + parts->sheet + " for its first sheet");
    XmlWalk walk(parts->sheet, limits.maxDepth);
    SheetReader reader(walk, strings.value(), limits);
    const Status read = walk.Run(
        *xml.value(), [&](std::string_view name, const char** atts) { reader.Start(name, atts); },
        [&](std::string_view name) { reader.End(name); }, [&](std::string_view s) { reader.Text(s); });
    if (!read)
        return read.error();
    return reader.Finish();
}

} // namespace kestrel
