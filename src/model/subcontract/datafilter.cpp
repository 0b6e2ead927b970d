#include "model/subcontract/datafilter.h"

#include "model/contract/wildcard.h"
#include "model/subcontract/texttrim.h"

namespace kestrel {

bool CDataFilter::Accepts(std::string_view entry) const
{
    // A start of 0 counts as 1; an end of 0 or past the entry means to the end.
    const std::string_view part = TrimBlanks(EntryPart(entry, m_iStart, m_iEnd));
    for (const Text& pattern : m_strPattern)
        if (pattern && WildcardMatch(pattern.View(), part))
            return true;
    return false;
}

} // namespace kestrel
