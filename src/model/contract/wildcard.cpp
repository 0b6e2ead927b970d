#include "model/contract/wildcard.h"

#include "calc/codepage.h"

namespace kestrel {

bool WildcardMatch(std::string_view pattern, std::string_view text)
{
    // Greedy matching with one backtrack point: the last "*" seen. Linear in
    // practice and never worse than pattern length x text length.
    size_t p = 0, t = 0;
    size_t starP = std::string_view::npos, starT = 0;
    while (t < text.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            starP = p++;
            starT = t;
        } else if (p < pattern.size() &&
                   (pattern[p] == '?' || Cp1252Upper(static_cast<unsigned char>(pattern[p])) ==
                                             Cp1252Upper(static_cast<unsigned char>(text[t])))) {
            ++p;
            ++t;
        } else if (starP != std::string_view::npos) {
            p = starP + 1;
            t = ++starT;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

} // namespace kestrel
