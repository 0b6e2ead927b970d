#pragma once
// One line of the contract's schedule of items, or a section heading.

#include <cstdint>

#include "model/contract/dataarray.h"
#include "model/contract/dataobject.h"
#include "model/contract/values.h"

namespace kestrel {

// Item flag bits.
enum ItemFlag : int {
    ITEM_SECTION = 0, // section heading
    ITEM_FIXED_PRICE = 1,
    ITEM_LUMP_SUM = 2,
    ITEM_IS_ALTERNATE = 3,
    ITEM_IS_OPTION = 4,
    ITEM_COUNT_FIXED = 5, // counted although fixed price
    ITEM_CHOSEN = 6,
    ITEM_NO_CHOICE = 13, // exempt from the choice among alternates
};

// What the item schedule shows for the quantity of a lump-sum item.
inline constexpr const char* kLumpSumText = "LUMP";

class CItem : public CDataObject<CItem> {
public:
    void Copy(const CItem& other) override { *this = other; }

    bool IsHeading() const { return FlagTest(m_wFlags, ITEM_SECTION); }

    uint16_t m_wFlags = 0;
    Text m_strLineNumber;    // ITEM_LINE_NUMBER; for a heading SECTION_NUMBER
    Text m_strAltCode;       // ITEM_ALTERNATE_CODE; for a heading SECTION_ALTERNATE_CODE
    Text m_strItemNumber;    // ITEM_NUMBER
    double m_fQuantity = 0;  // ITEM_QUANTITY, may be blank
    Text m_strUnit;          // ITEM_UNIT
    double m_fUnitPrice = 0; // ITEM_UNIT_PRICE, may be blank
    double m_fExtension = 0; // ITEM_EXTENSION (computed); for a heading SECTION_TOTAL
    Text m_strShortDesc;     // ITEM_SHORT_DESCRIPTION
    Text m_strLongDesc;      // ITEM_LONG_DESCRIPTION; for a heading SECTION_DESCRIPTION
};

using CItemArray = CDataArray<CItem>;

} // namespace kestrel
