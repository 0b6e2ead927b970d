#include "exchange/xlsxinspect.h"

#include <expat.h>
#include <gtest/gtest.h>
#include <zip.h>

#include <cstring>
#include <functional>

#include "support/testfiles.h"

namespace kestrel::test {

namespace {

std::string LocalName(const char* name)
{
    const char* colon = std::strrchr(name, ':');
    return colon ? colon + 1 : name;
}

std::string Attr(const char** atts, const char* name)
{
    for (int i = 0; atts[i]; i += 2)
        if (LocalName(atts[i]) == name)
            return atts[i + 1];
    return {};
}

struct Walker {
    std::function<void(const std::string&, const char**)> start;
    std::function<void(const std::string&)> end;
    std::function<void(const std::string&)> text;
};

void Walk(const std::string& xml, Walker& w)
{
    XML_Parser p = XML_ParserCreate(nullptr);
    XML_SetUserData(p, &w);
    XML_SetElementHandler(
        p,
        [](void* d, const XML_Char* n, const XML_Char** a) {
            auto* w = static_cast<Walker*>(d);
            if (w->start)
                w->start(LocalName(n), a);
        },
        [](void* d, const XML_Char* n) {
            auto* w = static_cast<Walker*>(d);
            if (w->end)
                w->end(LocalName(n));
        });
    XML_SetCharacterDataHandler(p, [](void* d, const XML_Char* s, int len) {
        auto* w = static_cast<Walker*>(d);
        if (w->text)
            w->text(std::string(s, static_cast<size_t>(len)));
    });
    EXPECT_EQ(XML_Parse(p, xml.data(), static_cast<int>(xml.size()), 1), XML_STATUS_OK)
        << XML_ErrorString(XML_GetErrorCode(p));
    XML_ParserFree(p);
}

std::pair<int, int> RefToCell(const std::string& ref)
{
    int column = 0;
    size_t i = 0;
    for (; i < ref.size() && ref[i] >= 'A' && ref[i] <= 'Z'; ++i)
        column = column * 26 + (ref[i] - 'A' + 1);
    return {std::stoi(ref.substr(i)) - 1, column - 1};
}

} // namespace

std::string ZipPart(const std::string& path, const std::string& name)
{
    int error = 0;
    zip_t* z = zip_open(path.c_str(), ZIP_RDONLY, &error);
    if (!z) {
        ADD_FAILURE() << "cannot open " << path << " as a zip archive";
        return {};
    }
    std::string bytes;
    zip_file_t* f = zip_fopen(z, name.c_str(), 0);
    if (!f) {
        ADD_FAILURE() << path << " has no part " << name;
    } else {
        char block[4096];
        zip_int64_t n = 0;
        while ((n = zip_fread(f, block, sizeof block)) > 0)
            bytes.append(block, static_cast<size_t>(n));
        EXPECT_EQ(n, 0) << "reading " << name;
        zip_fclose(f);
    }
    zip_discard(z);
    return bytes;
}

std::vector<std::string> ZipNames(const std::string& path)
{
    std::vector<std::string> names;
    int error = 0;
    zip_t* z = zip_open(path.c_str(), ZIP_RDONLY, &error);
    if (!z) {
        ADD_FAILURE() << "cannot open " << path << " as a zip archive";
        return names;
    }
    for (zip_int64_t i = 0; i < zip_get_num_entries(z, 0); ++i)
        names.emplace_back(zip_get_name(z, static_cast<zip_uint64_t>(i), 0));
    zip_discard(z);
    return names;
}

const XlsxCell* XlsxSheet::At(int row, int column) const
{
    const auto it = cells.find({row, column});
    return it == cells.end() ? nullptr : &it->second;
}

int XlsxSheet::Rows() const
{
    return cells.empty() ? 0 : cells.rbegin()->first.first + 1;
}

XlsxSheet ReadXlsxSheet(const std::string& path, const std::string& sheetPart)
{
    std::vector<std::string> strings;
    {
        std::string current;
        bool inT = false;
        Walker w;
        w.start = [&](const std::string& n, const char**) {
            if (n == "si")
                current.clear();
            inT = n == "t";
        };
        w.end = [&](const std::string& n) {
            inT = false;
            if (n == "si")
                strings.push_back(current);
        };
        w.text = [&](const std::string& s) {
            if (inT)
                current += s;
        };
        Walk(ZipPart(path, "xl/sharedStrings.xml"), w);
    }
    XlsxSheet sheet;
    sheet.xml = ZipPart(path, sheetPart);
    XlsxCell cell;
    std::pair<int, int> at;
    bool inV = false;
    Walker w;
    w.start = [&](const std::string& n, const char** a) {
        if (n == "c") {
            cell = XlsxCell();
            cell.type = Attr(a, "t");
            const std::string s = Attr(a, "s");
            cell.style = s.empty() ? 0 : std::stoi(s);
            at = RefToCell(Attr(a, "r"));
        }
        inV = n == "v";
    };
    w.end = [&](const std::string& n) {
        inV = false;
        if (n != "c")
            return;
        cell.text = cell.type == "s" ? strings.at(std::stoul(cell.value)) : cell.value;
        sheet.cells[at] = cell;
    };
    w.text = [&](const std::string& s) {
        if (inV)
            cell.value += s;
    };
    Walk(sheet.xml, w);
    return sheet;
}

std::vector<std::string> XlsxStyleFormats(const std::string& path)
{
    std::map<int, std::string> codes{{0, "General"}};
    std::vector<std::string> formats;
    bool inXfs = false;
    Walker w;
    w.start = [&](const std::string& n, const char** a) {
        if (n == "numFmt")
            codes[std::stoi(Attr(a, "numFmtId"))] = Attr(a, "formatCode");
        else if (n == "cellXfs")
            inXfs = true;
        else if (n == "xf" && inXfs)
            formats.push_back(codes[std::stoi(Attr(a, "numFmtId"))]);
    };
    w.end = [&](const std::string& n) {
        if (n == "cellXfs")
            inXfs = false;
    };
    Walk(ZipPart(path, "xl/styles.xml"), w);
    return formats;
}

std::vector<bool> XlsxStyleBold(const std::string& path)
{
    std::vector<bool> fontBold;
    std::vector<bool> bold;
    bool inFonts = false, inXfs = false;
    Walker w;
    w.start = [&](const std::string& n, const char** a) {
        if (n == "fonts")
            inFonts = true;
        else if (n == "font" && inFonts)
            fontBold.push_back(false);
        else if (n == "b" && inFonts && !fontBold.empty())
            fontBold.back() = true;
        else if (n == "cellXfs")
            inXfs = true;
        else if (n == "xf" && inXfs)
            bold.push_back(fontBold.at(std::stoul(Attr(a, "fontId"))));
    };
    w.end = [&](const std::string& n) {
        if (n == "fonts")
            inFonts = false;
        else if (n == "cellXfs")
            inXfs = false;
    };
    Walk(ZipPart(path, "xl/styles.xml"), w);
    return bold;
}

std::string MakeZip(const std::vector<std::pair<std::string, std::string>>& parts)
{
    const TempDir dir;
    const std::string path = dir.file("made.zip");
    int error = 0;
    zip_t* z = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (!z) {
        ADD_FAILURE() << "cannot create a zip archive";
        return {};
    }
    for (const auto& [name, bytes] : parts) {
        zip_source_t* source = zip_source_buffer(z, bytes.data(), bytes.size(), 0);
        EXPECT_GE(zip_file_add(z, name.c_str(), source, ZIP_FL_OVERWRITE), 0) << name;
    }
    EXPECT_EQ(zip_close(z), 0);
    return ReadText(path);
}

} // namespace kestrel::test
