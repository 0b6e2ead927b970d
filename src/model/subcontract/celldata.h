#pragma once

#include <cstdint>

#include "model/contract/dataobject.h"
#include "model/contract/values.h"

namespace kestrel {

// One cell of a form record.
class CCellData : public CDataObject<CCellData> {
public:
    void Copy(const CCellData& other) override { *this = other; }

    uint16_t m_wFlags = 0; // bit 2: read-only
    Text m_psz;            // null when never set
    int16_t m_i = -1;      // position of the chosen list entry, -1 when none
};

} // namespace kestrel
