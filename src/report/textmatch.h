#pragma once
// Text comparisons of conditions: wildcard patterns without regard to case.

#include <string_view>

namespace kestrel {

// "*" matches any run of characters (also none), "?" exactly one; letters
// compare without regard to case.
bool WildcardMatch(std::string_view text, std::string_view pattern);
// True when text matches one of the ";"-separated patterns.
bool MatchPatternList(std::string_view text, std::string_view patterns);

} // namespace kestrel
