#pragma once
// Reading the whole number at the start of a typed text.

#include <string_view>

namespace kestrel {

// The number at the start of text after blanks and tabs, with an optional
// sign, as atoi reads it (0 when there is none), but held within +-999999999
// so that long runs of digits cannot overflow.
int LeadingInt(std::string_view text);

} // namespace kestrel
