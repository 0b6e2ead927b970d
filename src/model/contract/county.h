#pragma once

#include <cstdint>

#include "model/contract/dataobject.h"
#include "model/contract/values.h"

namespace kestrel {

class CCounty : public CDataObject<CCounty> {
public:
    void Copy(const CCounty& other) override { *this = other; }

    uint32_t m_dwFlags = 0; // not stored
    Text m_strID;           // COUNTY_ID
    Text m_strName;         // COUNTY_NAME
};

} // namespace kestrel
