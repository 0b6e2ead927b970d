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

} // namespace

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
        fields.push_back(Cp1252ToUtf8(heading));
    AppendLine(out, fields);
    for (const auto& row : table.rows) {
        fields.clear();
        for (const ExportCell& cell : row)
            fields.push_back(cell.kind == ExportCell::Kind::Number ? cell.text : Cp1252ToUtf8(cell.text));
        AppendLine(out, fields);
    }
    return out;
}

Status WriteCsvFile(const ExportTable& table, const std::string& path)
{
    return ReplaceFileContents(path, CsvText(table));
}

} // namespace kestrel
