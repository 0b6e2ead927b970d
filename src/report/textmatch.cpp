#include "report/textmatch.h"

#include "model/contract/codepage.h"

namespace kestrel {

bool WildcardMatch(std::string_view text, std::string_view pattern)
{
    // Greedy match with one backtrack point: linear in practice, never
    // exponential.
    size_t t = 0, p = 0;
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

bool MatchPatternList(std::string_view text, std::string_view patterns)
{
    size_t start = 0;
    for (;;) {
        const size_t semi = patterns.find(';', start);
        const std::string_view one =
            patterns.substr(start, semi == std::string_view::npos ? std::string_view::npos : semi - start);
        if (WildcardMatch(text, one))
            return true;
        if (semi == std::string_view::npos)
            return false;
        start = semi + 1;
    }
}

} // namespace kestrel
