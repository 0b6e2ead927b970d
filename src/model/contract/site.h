#pragma once

#include <cstdint>

#include "model/contract/dataobject.h"
#include "model/contract/values.h"

namespace kestrel {

class CSite : public CDataObject<CSite> {
public:
    void Copy(const CSite& other) override { *this = other; }

    uint32_t m_dwFlags = 0;    // not stored
    uint32_t m_dStartDate = 0; // SITE_START_DATE
    uint32_t m_dEndDate = 0;   // SITE_END_DATE
    uint32_t m_dwEstDays = 0;  // SITE_ESTIMATED_DAYS
    double m_fDamages = 0;     // SITE_DAMAGES
    Text m_strTypeDays;        // SITE_TYPE_DAYS
    Text m_strDescription;     // SITE_DESCRIPTION
};

} // namespace kestrel
