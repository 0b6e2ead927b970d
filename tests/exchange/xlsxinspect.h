#pragma once
// Looking into XLSX files in tests without the program's own reader: the
// archive opened with libzip, the XML walked with expat. Also building
// archives with chosen parts, for readers that must refuse them.

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace kestrel::test {

// The inflated bytes of one part of the archive at path; fails the test and
// gives "" when there is none.
std::string ZipPart(const std::string& path, const std::string& name);
// The names of the archive's parts.
std::vector<std::string> ZipNames(const std::string& path);

struct XlsxCell {
    std::string type;  // the t attribute ("" for a number)
    int style = 0;     // the s attribute
    std::string value; // the <v> text
    std::string text;  // a shared string's text, else the value
};

struct XlsxSheet {
    std::map<std::pair<int, int>, XlsxCell> cells; // by (row, column), both from 0
    std::string xml;

    const XlsxCell* At(int row, int column) const;
    int Rows() const; // one past the last row that holds a cell
};

// A sheet of the workbook at path (part name such as
// "xl/worksheets/sheet1.xml"), its shared strings resolved.
XlsxSheet ReadXlsxSheet(const std::string& path, const std::string& sheetPart);
// The number format code of each cell style (cellXfs), by style index.
std::vector<std::string> XlsxStyleFormats(const std::string& path);
// The font of each cell style is bold.
std::vector<bool> XlsxStyleBold(const std::string& path);

// An archive holding exactly these parts (name, bytes), compressed.
std::string MakeZip(const std::vector<std::pair<std::string, std::string>>& parts);

} // namespace kestrel::test
