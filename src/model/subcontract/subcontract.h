#pragma once

#include <cstdint>
#include <string_view>

#include "model/contract/dataarray.h"
#include "model/contract/datamap.h"
#include "model/contract/dataobject.h"
#include "model/contract/values.h"
#include "model/subcontract/celldata.h"
#include "model/subcontract/subitem.h"

namespace kestrel {

// Subcontract flag bits.
enum SubFlag : int {
    SUB_COMPLETE = 0,
    SUB_USESSUBITEMS = 1,
    SUB_FROMIRONBARK = 2,
    SUB_USESIXTY = 3,
    SUB_ITEMS_COMPLETE = 5,
    SUB_TIERS_COMPLETE = 6,
};

// Field indexes of the subcontractor table that the program relies on.
enum SubField : int {
    SUBF_NUMBER = 0,
    SUBF_TYPE = 1,
    SUBF_NAME = 2,
    SUBF_PARENT = 3,
    SUBF_REMARK_ID = 6,
    SUBF_REMARK_KIND = 7,
    SUBF_REMARK_SEQ = 8,
    SUBF_REMARK = 9,
    SUBF_AMOUNT = 17,
    SUBF_PERCENT = 19,
    SUBF_YESNO = 23,
    SUBF_ORIG_AMOUNT = 58,
};

// One record of a form table (in the subcontractor table, one subcontract).
class CSubcontract : public CDataObject<CSubcontract> {
public:
    CSubcontract();
    // Copies flags, cells and sub-items; the parent pointer is copied as is.
    void Copy(const CSubcontract& other) override;

    // The text of a cell; null when the field index lies outside the cells.
    const Text* GetCellText(int field) const;
    // Stores the text (cells are added up to the field when missing).
    void SetCellText(int field, const Text& text);
    CCellData* GetCell(int field) const { return m_Cells.GetAt(field); }

    void SetNumber(int n); // field 0 as "%.8d"
    void SetName(const Text& text);
    // Stores the parent and copies its number into field 3 ("" without one).
    void SetParent(CSubcontract* parent);

    CSubItem* FindSubItem(std::string_view line) const { return m_SubItems.Lookup(line); }
    CSubItem* AddSubItem(std::string_view line) { return m_SubItems.SetAt(line); }
    void RemoveSubItem(std::string_view line) { m_SubItems.RemoveKey(line); }

    // Bit 1 set here and, with a parent, the parent itemized too. A parent
    // chain that loops back is treated as ending at the loop.
    bool IsItemized() const;

    uint16_t m_wFlags;
    CDataArray<CCellData> m_Cells;
    CDataMap<CSubItem> m_SubItems;     // keyed by the contract item's line number
    CSubcontract* m_pParent = nullptr; // not owned
};

} // namespace kestrel
