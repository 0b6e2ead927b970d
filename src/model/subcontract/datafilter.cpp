#include "model/subcontract/datafilter.h"

#include "model/contract/wildcard.h"

namespace kestrel {

namespace {
std::string_view TrimBlanks(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}
} // namespace

bool CDataFilter::Accepts(std::string_view entry) const
{
    // A start of 0 counts as 1; an end of 0 or past the entry means to the end.
    const size_t start = m_iStart > 1 ? static_cast<size_t>(m_iStart) : 1;
    size_t end = m_iEnd > 0 ? static_cast<size_t>(m_iEnd) : entry.size();
    if (end > entry.size())
        end = entry.size();
    std::string_view part;
    if (start <= end)
        part = entry.substr(start - 1, end - start + 1);
    part = TrimBlanks(part);
    for (const Text& pattern : m_strPattern)
        if (pattern && WildcardMatch(pattern.View(), part))
            return true;
    return false;
}

} // namespace kestrel
