#pragma once
// Reading a quote from CSV: RFC 4180 records (quoted fields with doubled
// quotes, line ends CRLF, LF or CR, line ends inside quotes kept), comma or
// semicolon separated, in UTF-16 with its byte order mark, UTF-8 with or
// without one, or in Windows-1252 when the bytes are not UTF-8. Other bytes
// with a NUL among them are refused as no text file.

#include <string_view>

#include "calc/result.h"
#include "exchange/quotesheet.h"

namespace kestrel {

// The separator is the one a first line "sep=;" or "sep=," names (a line
// spreadsheets write and read), else the one of ',' and ';' that the first
// record holds more of outside quotes (',' on a tie). A semicolon-separated
// file is taken to write its numbers with a decimal comma.
[[nodiscard]] Result<QuoteSheet> ReadQuoteCsv(std::string_view bytes, const QuoteLimits& limits = {});

} // namespace kestrel
