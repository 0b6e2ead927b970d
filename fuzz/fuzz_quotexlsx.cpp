// A subcontractor's quote as an XLSX workbook, on arbitrary bytes: the
// archive and XML readers stay within their limits, the sheet they give is
// well-ordered, and entering it as a quote and taking it back leaves the
// contract as it was.
//
// An input that begins as a zip archive is read as it is. Any other input
// is the XML of the parts, so that mutations reach the XML readers instead
// of ending at the archive's checksums: the sheet, then after a NUL byte
// (when there is one) the shared strings, stored in a workbook built
// around them with libzip.

#include <zip.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "exchange/xlsxreader.h"
#include "quotecheck.h"

namespace {

const char* const kWorkbook =
    R"(<workbook xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships">)"
    R"(<sheets><sheet name="Q" sheetId="1" r:id="rId1"/></sheets></workbook>)";
const char* const kRels =
    R"(<Relationships><Relationship Id="rId1" Type="x/worksheet" Target="worksheets/sheet1.xml"/>)"
    R"(<Relationship Id="rId2" Type="x/sharedStrings" Target="sharedStrings.xml"/></Relationships>)";

bool Add(zip_t* z, const char* name, std::string_view bytes)
{
    zip_source_t* source = zip_source_buffer(z, bytes.data(), bytes.size(), 0);
    if (!source)
        return false;
    const zip_int64_t index = zip_file_add(z, name, source, 0);
    if (index < 0) {
        zip_source_free(source);
        return false;
    }
    return zip_set_file_compression(z, static_cast<zip_uint64_t>(index), ZIP_CM_STORE, 0) == 0;
}

// A workbook holding the sheet and shared strings given, built in memory.
std::string Workbook(std::string_view sheet, std::optional<std::string_view> strings)
{
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* buffer = zip_source_buffer_create(nullptr, 0, 0, &error);
    zip_error_fini(&error);
    if (!buffer)
        return {};
    zip_source_keep(buffer);
    zip_t* z = zip_open_from_source(buffer, ZIP_TRUNCATE, nullptr);
    std::string bytes;
    if (z) {
        const bool added = Add(z, "xl/workbook.xml", kWorkbook) &&
                           Add(z, "xl/_rels/workbook.xml.rels", kRels) &&
                           Add(z, "xl/worksheets/sheet1.xml", sheet) &&
                           (!strings || Add(z, "xl/sharedStrings.xml", *strings));
        if (!added || zip_close(z) != 0)
            zip_discard(z);
        else if (zip_source_open(buffer) == 0) {
            char block[4096];
            zip_int64_t n = 0;
            while ((n = zip_source_read(buffer, block, sizeof block)) > 0)
                bytes.append(block, static_cast<size_t>(n));
            zip_source_close(buffer);
        }
    }
    zip_source_free(buffer);
    return bytes;
}

void Check(std::string_view bytes)
{
    using namespace kestrel;
    const QuoteLimits limits = fuzz::SmallLimits();
    const auto sheet = ReadQuoteXlsx(bytes, limits);
    if (!sheet) {
        if (sheet.errorText().empty())
            std::abort();
        return;
    }
    fuzz::CheckSheet(sheet.value(), limits);
    fuzz::CheckImport(sheet.value());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    if (input.substr(0, 4) == std::string_view("PK\x03\x04", 4)) {
        Check(input);
        return 0;
    }
    const size_t nul = input.find('\0');
    const std::string_view sheet = input.substr(0, nul);
    const std::string_view strings =
        nul == std::string_view::npos ? std::string_view() : input.substr(nul + 1);
    const std::string workbook = Workbook(sheet, strings);
    if (workbook.empty())
        std::abort(); // building a workbook of any bytes must work
    Check(workbook);
    return 0;
}
