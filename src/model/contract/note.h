#pragma once

#include <cstdint>

#include "model/contract/dataobject.h"
#include "model/contract/values.h"

namespace kestrel {

class CNote : public CDataObject<CNote> {
public:
    void Copy(const CNote& other) override { *this = other; }

    uint32_t m_dwFlags = 0; // not stored
    int32_t m_iNumberA = 0;
    int32_t m_iNumberB = 0;
    Text m_strText;
};

} // namespace kestrel
