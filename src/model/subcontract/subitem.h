#pragma once

#include <array>
#include <cstdint>

#include "model/contract/dataobject.h"
#include "model/contract/values.h"

namespace kestrel {

// Sub-item flag bits.
enum SubItemFlag : int {
    SUBITEM_OVERCOMMITTED = 1,
    SUBITEM_PARTIAL = 2,
    SUBITEM_FROMIRONBARK = 3,
    SUBITEM_COMPLETE = 5,
    SUBITEM_PRICE_OVERCOMMITTED = 6,
    SUBITEM_INVALID_QUANTITY = 7,
};

// One contract item subcontracted to one subcontract.
class CSubItem : public CDataObject<CSubItem> {
public:
    void Copy(const CSubItem& other) override { *this = other; }

    uint16_t m_wFlags = 0;
    double m_fQuan = 0;
    double m_fUP = 0;
    double m_fExt = 0;
    double m_fOrigQuan = 0; // original quantity received from Ironbark
    Text m_strUnitType{""}; // the item's unit, or "PART"
    Text m_strUnitValue{""};
    Text m_strRemarks{""};
    // Remark identifier, kind and sequence, stamped on save.
    std::array<Text, 3> m_strExtra{Text(""), Text(""), Text("")};
};

} // namespace kestrel
