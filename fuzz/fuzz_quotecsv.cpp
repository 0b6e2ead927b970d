// A subcontractor's quote as CSV, on arbitrary bytes: the sheet the reader
// gives is well-ordered and within the limits, and entering it as a quote
// and taking it back leaves the contract as it was.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "exchange/csvreader.h"
#include "quotecheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace kestrel;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const QuoteLimits limits = fuzz::SmallLimits();
    const auto sheet = ReadQuoteCsv(bytes, limits);
    if (!sheet) {
        if (sheet.errorText().empty())
            std::abort();
        return 0;
    }
    fuzz::CheckSheet(sheet.value(), limits);
    fuzz::CheckImport(sheet.value());
    return 0;
}
