#include "report/textmatch.h"

#include "model/contract/wildcard.h"

namespace kestrel {

bool MatchPatternList(std::string_view text, std::string_view patterns)
{
    size_t start = 0;
    for (;;) {
        const size_t semi = patterns.find(';', start);
        const std::string_view one =
            patterns.substr(start, semi == std::string_view::npos ? std::string_view::npos : semi - start);
        if (WildcardMatch(one, text))
            return true;
        if (semi == std::string_view::npos)
            return false;
        start = semi + 1;
    }
}

} // namespace kestrel
