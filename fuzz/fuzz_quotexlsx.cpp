// A subcontractor's quote as an XLSX workbook, on arbitrary bytes (the
// seeds are workbooks): the archive and XML readers stay within their
// limits, the sheet they give is well-ordered, and entering it as a quote
// and taking it back leaves the contract as it was.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "exchange/xlsxreader.h"
#include "quotecheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace kestrel;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const QuoteLimits limits = fuzz::SmallLimits();
    const auto sheet = ReadQuoteXlsx(bytes, limits);
    if (!sheet) {
        if (sheet.errorText().empty())
            std::abort();
        return 0;
    }
    fuzz::CheckSheet(sheet.value(), limits);
    fuzz::CheckImport(sheet.value());
    return 0;
}
