#pragma once
// The commands of the spreadsheet exchange, as the help text names them:
// made by cmd_export.cpp and cmd_importquote.cpp, or by cmd_noexchange.cpp
// in a build without the exchange.

namespace kestrel::cli {

inline constexpr const char* kExportUsage = "FILE --csv|--xlsx OUT [--table items|subcontractors|subitems]";
inline constexpr const char* kImportQuoteUsage =
    "FILE --sub NUMBER QUOTE OUT [--line-col N --quantity-col N --price-col N --first-row N]";

} // namespace kestrel::cli
