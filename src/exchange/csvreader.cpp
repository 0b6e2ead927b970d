#include "exchange/csvreader.h"

#include <cstdint>
#include <string>
#include <utility>

#include "calc/codepage.h"

namespace kestrel {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

constexpr std::string_view kUtf16LittleEndian = "\xFF\xFE";
constexpr std::string_view kUtf16BigEndian = "\xFE\xFF";

// Texts of the program are Windows-1252: UTF-8 is converted (characters it
// has no place for become '?'); bytes that are not UTF-8 are taken as
// Windows-1252 already.
std::string ToCp1252(std::string_view bytes)
{
    if (auto converted = Utf8ToCp1252(bytes))
        return std::move(converted).value();
    return std::string(bytes);
}

// UTF-16 text after its byte order mark, in Windows-1252 ('?' for what it
// has no place for, a lone surrogate included).
Result<std::string> Utf16ToCp1252(std::string_view bytes, bool bigEndian)
{
    if (bytes.size() % 2 != 0)
        return Result<std::string>::Fail("The quote ends inside a UTF-16 character");
    auto unit = [&](size_t i) {
        const auto a = static_cast<unsigned char>(bytes[i]);
        const auto b = static_cast<unsigned char>(bytes[i + 1]);
        return static_cast<uint32_t>(bigEndian ? (a << 8) | b : (b << 8) | a);
    };
    std::string out;
    out.reserve(bytes.size() / 2);
    for (size_t i = 0; i < bytes.size(); i += 2) {
        uint32_t c = unit(i);
        if (c >= 0xD800 && c < 0xDC00 && i + 2 < bytes.size()) {
            const uint32_t low = unit(i + 2);
            if (low >= 0xDC00 && low < 0xE000) {
                c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
                i += 2;
            }
        }
        out.push_back(Cp1252FromCodePoint(c));
    }
    return out;
}

// The quote's text in Windows-1252: UTF-16 by its byte order mark, UTF-8
// with or without one, else Windows-1252. Anything else holding a NUL byte
// (a workbook of another kind, a picture, UTF-16 without its mark) is no
// text to read.
Result<std::string> QuoteText(std::string_view bytes)
{
    if (bytes.starts_with(kUtf16LittleEndian) || bytes.starts_with(kUtf16BigEndian))
        return Utf16ToCp1252(bytes.substr(2), bytes.starts_with(kUtf16BigEndian));
    if (bytes.find('\0') != std::string_view::npos)
        return Result<std::string>::Fail("The quote is not a text file (nor an XLSX workbook)");
    if (bytes.starts_with(kByteOrderMark))
        bytes.remove_prefix(kByteOrderMark.size());
    return ToCp1252(bytes);
}

char CountSeparator(std::string_view text)
{
    size_t commas = 0;
    size_t semicolons = 0;
    bool quoted = false;
    for (char c : text) {
        if (c == '"')
            quoted = !quoted;
        else if (!quoted && (c == '\n' || c == '\r'))
            break;
        else if (!quoted && c == ',')
            ++commas;
        else if (!quoted && c == ';')
            ++semicolons;
    }
    return semicolons > commas ? ';' : ',';
}

// The "sep=X" line, when the text begins with one: the separator and the
// length of the line with its line end.
std::pair<char, size_t> SeparatorLine(std::string_view text)
{
    if (text.size() < 5 || text.substr(0, 4) != "sep=" || (text[4] != ',' && text[4] != ';'))
        return {0, 0};
    size_t end = 5;
    if (end < text.size() && text[end] == '\r')
        ++end;
    if (end < text.size() && text[end] == '\n')
        ++end;
    if (end < text.size() && end == 5)
        return {0, 0}; // more on the line: an ordinary record
    return {text[4], end};
}

class CsvParser {
public:
    CsvParser(std::string_view text, char separator, const QuoteLimits& limits)
        : m_text(text), m_separator(separator), m_limits(limits)
    {
    }

    Status Run(QuoteSheet& sheet)
    {
        while (m_pos < m_text.size()) {
            if (Status record = ReadRecord(sheet); !record)
                return record;
        }
        return Ok();
    }

private:
    Status ReadRecord(QuoteSheet& sheet)
    {
        if (static_cast<size_t>(m_row) >= m_limits.maxRows)
            return Status::Fail("The quote has more than " + std::to_string(m_limits.maxRows) + " rows");
        ++m_row;
        QuoteRow row;
        row.number = m_row;
        int column = 0;
        for (;;) {
            std::string field;
            if (Status read = ReadField(field); !read)
                return read;
            if (!field.empty()) {
                if (++m_cells > m_limits.maxCells)
                    return Status::Fail("The quote has more than " + std::to_string(m_limits.maxCells) +
                                        " cells");
                row.cells.push_back({column, std::move(field)});
            }
            if (m_pos >= m_text.size())
                break;
            const char c = m_text[m_pos++];
            if (c == m_separator) {
                ++column;
                continue;
            }
            // A line end: CR LF, LF or CR alone.
            if (c == '\r' && m_pos < m_text.size() && m_text[m_pos] == '\n')
                ++m_pos;
            break;
        }
        if (!row.cells.empty())
            sheet.rows.push_back(std::move(row));
        return Ok();
    }

    // One field, up to (not including) the separator or line end after it.
    // Characters after a closing quote, or a quote inside an unquoted field,
    // are taken as they stand.
    Status ReadField(std::string& field)
    {
        if (m_pos < m_text.size() && m_text[m_pos] == '"') {
            const int startRow = m_row;
            ++m_pos;
            for (;;) {
                if (m_pos >= m_text.size())
                    return Status::Fail("The quoted field that begins in row " + std::to_string(startRow) +
                                        " is not closed");
                const char c = m_text[m_pos++];
                if (c != '"') {
                    field.push_back(c); // line ends inside quotes belong to the field
                } else if (m_pos < m_text.size() && m_text[m_pos] == '"') {
                    field.push_back('"');
                    ++m_pos;
                } else {
                    break;
                }
            }
        }
        while (m_pos < m_text.size()) {
            const char c = m_text[m_pos];
            if (c == m_separator || c == '\r' || c == '\n')
                break;
            field.push_back(c);
            ++m_pos;
        }
        return Ok();
    }

    std::string_view m_text;
    char m_separator;
    const QuoteLimits& m_limits;
    size_t m_pos = 0;
    int m_row = 0;
    size_t m_cells = 0;
};

} // namespace

Result<QuoteSheet> ReadQuoteCsv(std::string_view bytes, const QuoteLimits& limits)
{
    if (bytes.size() > limits.maxFileBytes)
        return Result<QuoteSheet>::Fail("The quote is larger than " +
                                        std::to_string(limits.maxFileBytes >> 20) + " MiB");
    const Result<std::string> text = QuoteText(bytes);
    if (!text)
        return text.error();
    std::string_view rest(text.value());
    auto [separator, skip] = SeparatorLine(rest);
    rest.remove_prefix(skip);
    if (!separator)
        separator = CountSeparator(rest);
    QuoteSheet sheet;
    sheet.decimalComma = separator == ';';
    CsvParser parser(rest, separator, limits);
    if (Status parsed = parser.Run(sheet); !parsed)
        return parsed.error();
    return sheet;
}

} // namespace kestrel
