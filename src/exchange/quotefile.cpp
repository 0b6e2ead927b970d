#include "exchange/quotefile.h"

#include "exchange/csvreader.h"
#include "exchange/xlsxreader.h"
#include "calc/wholefile.h"

namespace kestrel {

namespace {

// The signature of a zip archive's first local file header.
constexpr std::string_view kZipSignature = "PK\x03\x04";

} // namespace

Result<QuoteSheet> ReadQuoteBytes(std::string_view bytes, const QuoteLimits& limits)
{
    if (bytes.substr(0, kZipSignature.size()) == kZipSignature)
        return ReadQuoteXlsx(bytes, limits);
    return ReadQuoteCsv(bytes, limits);
}

Result<QuoteSheet> ReadQuoteFile(const std::string& path, const QuoteLimits& limits)
{
    auto bytes = ReadWholeFile(path, limits.maxFileBytes);
    if (!bytes)
        return bytes.error();
    return ReadQuoteBytes(bytes.value(), limits);
}

} // namespace kestrel
