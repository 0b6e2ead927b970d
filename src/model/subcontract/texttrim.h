#pragma once
// Trimming of model texts at both ends.

#include <string_view>

namespace kestrel {

// White space as the C library knows it: blank, tab, CR, LF, VT, FF.
constexpr bool IsWhiteChar(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

constexpr std::string_view TrimWhite(std::string_view s)
{
    while (!s.empty() && IsWhiteChar(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && IsWhiteChar(s.back()))
        s.remove_suffix(1);
    return s;
}

// Blanks and tabs removed at both ends, or at the end only: the trimming
// of typed entries and of list columns.
constexpr bool IsBlankChar(char c)
{
    return c == ' ' || c == '\t';
}

constexpr std::string_view TrimTrailingBlanks(std::string_view s)
{
    while (!s.empty() && IsBlankChar(s.back()))
        s.remove_suffix(1);
    return s;
}

constexpr std::string_view TrimBlanks(std::string_view s)
{
    while (!s.empty() && IsBlankChar(s.front()))
        s.remove_prefix(1);
    return TrimTrailingBlanks(s);
}

// The characters first..last (1-based, inclusive) of an entry: a first of 0
// counts as 1, a last of 0 or past the entry means to the end; empty when
// first lies beyond the entry.
constexpr std::string_view EntryPart(std::string_view entry, int first, int last)
{
    const size_t start = first > 1 ? static_cast<size_t>(first) : 1;
    size_t end = last > 0 ? static_cast<size_t>(last) : entry.size();
    if (end > entry.size())
        end = entry.size();
    if (start > end)
        return {};
    return entry.substr(start - 1, end - start + 1);
}

} // namespace kestrel
