#include "exchange/xlsxexport.h"

#include <xlsxwriter.h>

#include <algorithm>
#include <memory>

#include "calc/codepage.h"
#include "exchange/exporttable.h"
#include "file/safereplace.h"

namespace kestrel {

namespace {

constexpr size_t kMaxCellCharacters = 32767;
constexpr size_t kSheetRows = LXW_ROW_MAX;
constexpr double kMinWidth = 6;
constexpr double kMaxWidth = 60;

struct WorkbookCloser {
    void operator()(lxw_workbook* wb) const { lxw_workbook_free(wb); }
};

// "A1" style name of a cell (row and column from 0).
std::string CellName(size_t row, size_t column)
{
    std::string letters;
    for (size_t c = column + 1; c > 0; c = (c - 1) / 26)
        letters.insert(letters.begin(), static_cast<char>('A' + (c - 1) % 26));
    return letters + std::to_string(row + 1);
}

bool IsHexDigit(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// A workbook reads "_x" with four hexadecimal digits and "_" in a text as
// the escape of a character ("_x0041_" is "A"). Such a run that the text
// itself holds has its "_" escaped ("_x005F_x0041_"), so that it is read
// back as written.
std::string EscapeLiteralEscapes(const std::string& text)
{
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text.compare(i, 2, "_x") == 0 && i + 7 <= text.size() && text[i + 6] == '_' &&
            std::all_of(text.begin() + static_cast<std::ptrdiff_t>(i + 2),
                        text.begin() + static_cast<std::ptrdiff_t>(i + 6), IsHexDigit))
            out += "_x005F";
        out.push_back(text[i]);
    }
    return out;
}

// What the cells of one table become in the workbook: UTF-8 texts, and
// the checks XLSX needs, done before anything is written.
struct SheetTexts {
    std::vector<std::string> headings;
    std::vector<std::vector<std::string>> texts; // per row and column; numbers left empty
};

Result<SheetTexts> PrepareSheet(const ExportTable& table)
{
    if (table.rows.size() + 1 > kSheetRows)
        return Result<SheetTexts>::Fail("The table \"" + table.name +
                                        "\" has more rows than a worksheet holds (" +
                                        std::to_string(kSheetRows - 1) + ")");
    SheetTexts s;
    for (const std::string& h : table.headings)
        s.headings.push_back(EscapeLiteralEscapes(Cp1252ToUtf8(h)));
    s.texts.resize(table.rows.size());
    for (size_t r = 0; r < table.rows.size(); ++r) {
        const auto& row = table.rows[r];
        s.texts[r].resize(row.size());
        for (size_t c = 0; c < row.size(); ++c) {
            if (row[c].kind != ExportCell::Kind::Text)
                continue;
            std::string text = Cp1252ToUtf8(row[c].text);
            if (lxw_utf8_strlen(text.c_str()) > kMaxCellCharacters)
                return Result<SheetTexts>::Fail("Cell " + CellName(r + 1, c) + " of \"" + table.name +
                                                "\" holds more than " + std::to_string(kMaxCellCharacters) +
                                                " characters, more than an XLSX cell can hold");
            s.texts[r][c] = EscapeLiteralEscapes(text);
        }
    }
    return s;
}

// The width a number takes as the format shows it: its digits with the
// separators, the sign or parentheses, the currency sign and the decimals.
double NumberWidth(const ExportCell& cell, const ExportNumberFormat& f)
{
    const size_t point = cell.text.find('.');
    const size_t whole = point == std::string::npos ? cell.text.size() : point;
    const double digits = static_cast<double>(std::max(whole, static_cast<size_t>(f.digits)));
    const double separators = f.money || f.separators ? (digits - 1) / 3 : 0;
    const double decimals = f.decimals > 0 ? f.decimals + 1 : 0;
    return digits + separators + decimals + (f.money ? 3 : 1);
}

std::vector<double> ColumnWidths(const ExportTable& table, const SheetTexts& s)
{
    std::vector<double> widths(table.headings.size(), kMinWidth);
    for (size_t c = 0; c < widths.size(); ++c)
        widths[c] = std::max(widths[c], static_cast<double>(lxw_utf8_strlen(s.headings[c].c_str())) + 2);
    for (size_t r = 0; r < table.rows.size(); ++r)
        for (size_t c = 0; c < widths.size() && c < table.rows[r].size(); ++c) {
            const ExportCell& cell = table.rows[r][c];
            double w = 0;
            if (cell.kind == ExportCell::Kind::Number)
                w = NumberWidth(cell, table.formats[static_cast<size_t>(cell.format)]);
            else if (cell.kind == ExportCell::Kind::Text)
                w = static_cast<double>(lxw_utf8_strlen(s.texts[r][c].c_str())) + 1;
            widths[c] = std::max(widths[c], w);
        }
    for (double& w : widths)
        w = std::min(w, kMaxWidth);
    return widths;
}

Status Failed(lxw_error error, const std::string& what)
{
    return Status::Fail(what + ": " + lxw_strerror(error));
}

Status WriteSheet(lxw_workbook* wb, const ExportTable& table, const SheetTexts& s)
{
    lxw_worksheet* ws = workbook_add_worksheet(wb, table.name.c_str());
    if (!ws)
        return Status::Fail("Cannot add the sheet \"" + table.name + "\"");
    lxw_format* bold = workbook_add_format(wb);
    format_set_bold(bold);
    std::vector<lxw_format*> formats;
    for (const ExportNumberFormat& f : table.formats) {
        lxw_format* format = workbook_add_format(wb);
        format_set_num_format(format, XlsxNumberFormat(f).c_str());
        formats.push_back(format);
    }
    const std::vector<double> widths = ColumnWidths(table, s);
    for (size_t c = 0; c < widths.size(); ++c)
        if (const lxw_error e = worksheet_set_column(ws, static_cast<lxw_col_t>(c), static_cast<lxw_col_t>(c),
                                                     widths[c], nullptr))
            return Failed(e, "Cannot size column " + std::to_string(c + 1));
    for (size_t c = 0; c < s.headings.size(); ++c)
        if (const lxw_error e =
                worksheet_write_string(ws, 0, static_cast<lxw_col_t>(c), s.headings[c].c_str(), bold))
            return Failed(e, "Cannot write cell " + CellName(0, c));
    for (size_t r = 0; r < table.rows.size(); ++r) {
        const auto row = static_cast<lxw_row_t>(r + 1);
        for (size_t c = 0; c < table.rows[r].size(); ++c) {
            const ExportCell& cell = table.rows[r][c];
            const auto col = static_cast<lxw_col_t>(c);
            lxw_error e = LXW_NO_ERROR;
            if (cell.kind == ExportCell::Kind::Number)
                e = worksheet_write_number(ws, row, col, cell.value,
                                           formats[static_cast<size_t>(cell.format)]);
            else if (cell.kind == ExportCell::Kind::Text)
                e = worksheet_write_string(ws, row, col, s.texts[r][c].c_str(), nullptr);
            if (e)
                return Failed(e, "Cannot write cell " + CellName(r + 1, c));
        }
    }
    worksheet_freeze_panes(ws, 1, 0);
    return Ok();
}

} // namespace

std::string XlsxNumberFormat(const ExportNumberFormat& f)
{
    std::string number = f.money || f.separators ? "#,##0" : "0";
    if (f.decimals > 0)
        number += "." + std::string(static_cast<size_t>(f.decimals), '0');
    if (!f.money)
        return number;
    return "$" + number + ";($" + number + ")";
}

Status WriteXlsxFile(const std::vector<ExportTable>& tables, const std::string& path)
{
    std::vector<SheetTexts> sheets;
    for (const ExportTable& table : tables) {
        auto prepared = PrepareSheet(table);
        if (!prepared)
            return prepared.error();
        sheets.push_back(std::move(prepared).value());
    }
    auto replacement = CFileReplacement::Begin(path);
    if (!replacement)
        return replacement.error();
    // The library writes the workbook to a file name: it writes into the
    // replacement's temporary file, which takes the target's place only
    // once the workbook is complete.
    std::unique_ptr<lxw_workbook, WorkbookCloser> wb(workbook_new(replacement->TemporaryPath().c_str()));
    if (!wb)
        return Status::Fail("Insufficient memory");
    for (size_t i = 0; i < tables.size(); ++i)
        if (Status written = WriteSheet(wb.get(), tables[i], sheets[i]); !written)
            return written;
    const lxw_error closed = workbook_close(wb.release());
    if (closed)
        return Failed(closed, "Cannot write the workbook");
    return replacement->Commit();
}

} // namespace kestrel
