#include "exchange/csvwriter.h"

#include "calc/codepage.h"
#include "exchange/exporttable.h"
#include "file/safereplace.h"

namespace kestrel {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

void AppendLine(std::string& out, const std::vector<std::string>& fields)
{
    for (size_t i = 0; i < fields.size(); ++i) {
        if (i > 0)
            out += ',';
        out += CsvField(fields[i]);
    }
    out += "\r\n";
}

bool IsPlainNumber(std::string_view text)
{
    if (!text.empty() && (text.front() == '-' || text.front() == '+'))
        text.remove_prefix(1);
    const size_t point = text.find('.');
    const std::string_view whole = text.substr(0, point);
    const std::string_view part =
        point == std::string_view::npos ? std::string_view() : text.substr(point + 1);
    auto digits = [](std::string_view s) {
        return s.find_first_not_of("0123456789") == std::string_view::npos;
    };
    return !whole.empty() && digits(whole) && digits(part) &&
           (point == std::string_view::npos || !part.empty());
}

} // namespace

std::string CsvSafeText(std::string_view utf8)
{
    // What a spreadsheet opening the file would take for a formula
    // ("=HYPERLINK(...)", "+cmd", "@SUM(...)", or after a tab or a CR that it
    // skips) is made text by a leading apostrophe. A text that is a plain
    // number ("-12.50") is no formula and stays as it is.
    if (utf8.empty() || std::string_view("=+-@\t\r").find(utf8.front()) == std::string_view::npos ||
        IsPlainNumber(utf8))
        return std::string(utf8);
    return "'" + std::string(utf8);
}

std::string CsvField(std::string_view utf8)
{
    if (utf8.find_first_of(",\"\r\n") == std::string_view::npos)
        return std::string(utf8);
    std::string quoted = "\"";
    for (char c : utf8) {
        if (c == '"')
            quoted += '"';
        quoted += c;
    }
    quoted += '"';
    return quoted;
}

std::string CsvText(const ExportTable& table)
{
    std::string out(kByteOrderMark);
    std::vector<std::string> fields;
    for (const std::string& heading : table.headings)
        fields.push_back(CsvSafeText(Cp1252ToUtf8(heading)));
    AppendLine(out, fields);
    for (const auto& row : table.rows) {
        fields.clear();
        for (const ExportCell& cell : row)
            fields.push_back(cell.kind == ExportCell::Kind::Number ? cell.text
                                                                   : CsvSafeText(Cp1252ToUtf8(cell.text)));
        AppendLine(out, fields);
    }
    return out;
}

Status WriteCsvFile(const ExportTable& table, const std::string& path)
{
    return ReplaceFileContents(path, CsvText(table));
}

} // namespace kestrel
