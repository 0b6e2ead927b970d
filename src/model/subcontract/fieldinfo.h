#pragma once

#include <cstdint>

#include "model/contract/dataobject.h"
#include "model/contract/values.h"

namespace kestrel {

// Field data types.
enum FieldType : int {
    FIELD_TEXT = 1,
    FIELD_NUMBER = 2,
    FIELD_MONEY = 3,
    FIELD_DATE = 4,
    FIELD_YESNO = 5,
    FIELD_DROPLIST = 6,
    FIELD_DROPTYPE = 7,
    FIELD_STATIC = 8,
};

// Required rules other than a cell index.
constexpr int32_t kAlwaysRequired = 10000;
constexpr int32_t kNeverRequired = 20000;

// One field (column) of a form.
class CFieldInfo : public CDataObject<CFieldInfo> {
public:
    void Copy(const CFieldInfo& other) override { *this = other; }

    // bit 0: list from the contract's stored lists; bit 2: list choice tested
    // by the check, and the field names the sort column of a list.
    uint16_t m_wFlags = 0;
    int32_t m_iX = 0;
    int32_t m_iY = 0;
    int32_t m_iCX = 0;
    int32_t m_iCY = 0;
    int32_t m_iType = 0;
    int32_t m_iListStart = 0; // 1-based; for type 8 the justification
    int32_t m_iListEnd = 0;   // 0: to the end
    int32_t m_iRequired = 0;  // 10000 always, 20000 never, else a cell index
    Text m_strName;
    Text m_strListSource; // for type 8 the caption
    Text m_strHelp;
};

} // namespace kestrel
