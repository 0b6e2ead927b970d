#pragma once
// printf-style formatting of one 32-bit integer with a format that comes from
// a template. Only integer conversions are honoured, so a format such as "%s"
// cannot make the program read memory it does not own.

#include <cstdint>
#include <string>
#include <string_view>

namespace kestrel {

// The first integer conversion (d i u x X o c, with flags, width, precision
// and any length modifier) formats value; "%%" is a percent sign; any other
// conversion, and every conversion after the first, is copied as written.
// Widths and precisions are limited to 512.
std::string FormatInteger(std::string_view format, uint32_t value);

} // namespace kestrel
