#pragma once
// Reading a subcontractor's quote file, CSV or XLSX, told apart by its
// content (an XLSX workbook is a zip archive), not by its name.

#include <string>
#include <string_view>

#include "calc/result.h"
#include "exchange/quotesheet.h"

namespace kestrel {

[[nodiscard]] Result<QuoteSheet> ReadQuoteBytes(std::string_view bytes, const QuoteLimits& limits = {});
// The file at path; one that cannot be read, or is larger than the limit,
// gives the reason.
[[nodiscard]] Result<QuoteSheet> ReadQuoteFile(const std::string& path, const QuoteLimits& limits = {});

} // namespace kestrel
