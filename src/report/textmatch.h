#pragma once
// The "==" of text conditions: a list of wildcard patterns.

#include <string_view>

namespace kestrel {

// True when text matches one of the ";"-separated wildcard patterns.
bool MatchPatternList(std::string_view text, std::string_view patterns);

} // namespace kestrel
