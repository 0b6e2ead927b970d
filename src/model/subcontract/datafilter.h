#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "model/contract/dataobject.h"
#include "model/contract/values.h"

namespace kestrel {

// A named filter over list entries: a character range and five patterns.
class CDataFilter : public CDataObject<CDataFilter> {
public:
    void Copy(const CDataFilter& other) override { *this = other; }

    // True when the entry's characters start..end (trimmed) match at least one
    // present pattern ("*" any run, "?" one character, case-insensitive).
    bool Accepts(std::string_view entry) const;

    uint16_t m_wFlags = 0; // not stored
    int32_t m_iStart = 0;  // 1-based
    int32_t m_iEnd = 0;    // 0: to the end
    std::array<Text, 5> m_strPattern;
};

} // namespace kestrel
