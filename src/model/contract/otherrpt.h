#pragma once

#include <cstdint>

#include "model/contract/dataobject.h"
#include "model/contract/values.h"

namespace kestrel {

class COtherRpt : public CDataObject<COtherRpt> {
public:
    void Copy(const COtherRpt& other) override { *this = other; }

    uint32_t m_dwFlags = 0; // not stored
    Text m_strFirst;
    Text m_strSecond;
    uint16_t m_wReportNumber = 0;
};

} // namespace kestrel
