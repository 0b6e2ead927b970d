#pragma once
// A form definition with its records: the subcontractor table or the
// miscellaneous-data table.

#include <cstdint>
#include <string_view>

#include "model/contract/contract.h"
#include "model/contract/dataarray.h"
#include "model/contract/datamap.h"
#include "model/contract/dataobject.h"
#include "model/contract/stringarraymap.h"
#include "model/contract/values.h"
#include "model/subcontract/datafilter.h"
#include "model/subcontract/fieldinfo.h"
#include "model/subcontract/subcontract.h"

namespace kestrel {

class CWinMeta : public CDataObject<CWinMeta> {
public:
    void Copy(const CWinMeta& other) override;

    // Creates a record with cellCount cells (the number of fields when -1)
    // at index (appended when -1); returns it.
    CSubcontract* AddRecord(int index, int cellCount);
    CCellData* GetCell(int record, int field) const;
    bool IsRecordComplete(int record) const;
    bool AllRecordsComplete() const;
    // Completeness of one record (or all when -1); see the model notes.
    bool UpdateCompleteness(int record, bool exempt);
    // Bit 5 from the sub-items, then completeness.
    void UpdateSubItemState(int record, bool exempt);
    bool IsFieldRequired(int record, int field) const;
    // The first field required in the record whose cell is empty, -1 when
    // none (or when exempt applies to a record received from Ironbark).
    int MissingRequiredField(int record, bool exempt) const;
    CSubcontract* FindRecordByNumber(std::string_view text) const;
    void LinkParents();
    // Renews every record's bit 6 from its children (true without any).
    void RenewTierBits();
    CSubcontract* FirstChild(const CSubcontract* record) const; // null: -1
    CSubcontract* NextInTree(const CSubcontract* record) const;
    void AssignNumber(CSubcontract* record) const;
    // The number AssignNumber would give a new record; 0 when 1 to 199 are
    // all in use.
    int FreeNumber() const;
    void ApplyDefaults(CSubcontract* record) const;
    int FindField(std::string_view name) const; // case-insensitive, -1 none

    uint16_t m_wFlags = 0; // bit 2: list choices tested by the check
    double m_fNumber1 = 0;
    double m_fSubTotal = 0; // subcontracted total (computed, stored)
    int32_t m_iNumber2 = 0;
    NumberFormat m_PercentFormat;
    int32_t m_iFontSize = 0;
    Text m_strText1;
    Text m_strText2;
    Text m_strFontFace;
    CDataArray<CFieldInfo> m_Fields;
    CDataArray<CSubcontract> m_Records;
    CDataMap<CDataFilter> m_Filters;
    CSAStringArray m_LabelLines;
    CSAStringArray m_Defaults;
};

} // namespace kestrel
