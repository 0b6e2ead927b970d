#pragma once
// Reading a quote from an XLSX workbook: the cells of its first sheet, with
// numbers as the workbook stores them and texts from the shared strings or
// inline. The archive is read with libzip and the XML with expat.
//
// A workbook is outside input and is read as if hostile: every XML part is
// inflated only up to the limit (a zip bomb ends in a message), the counts
// of rows, cells and shared strings are capped, element nesting is held to
// a depth, and a part with a document type declaration (the door to entity
// expansion) is refused.

#include <string_view>

#include "calc/result.h"
#include "exchange/quotesheet.h"

namespace kestrel {

[[nodiscard]] Result<QuoteSheet> ReadQuoteXlsx(std::string_view bytes, const QuoteLimits& limits = {});

} // namespace kestrel
