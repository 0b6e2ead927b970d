#pragma once
// Pattern matching shared by data filters, report conditions and bid library
// names: "*" matches any run of characters (also none), "?" exactly one,
// every other character itself without regard to case (Windows-1252).

#include <string_view>

namespace kestrel {

bool WildcardMatch(std::string_view pattern, std::string_view text);

} // namespace kestrel
