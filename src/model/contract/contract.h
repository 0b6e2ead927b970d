#pragma once
// The in-memory contract: header, items and sections, counties, sites, notes,
// other reports, pick lists, templates and the two subcontract record tables.

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "model/contract/county.h"
#include "model/contract/dataarray.h"
#include "model/contract/datamap.h"
#include "model/contract/dataobject.h"
#include "model/contract/item.h"
#include "model/contract/note.h"
#include "model/contract/otherrpt.h"
#include "model/contract/plate.h"
#include "model/contract/site.h"
#include "model/contract/stringarraymap.h"
#include "model/contract/values.h"

namespace kestrel {

class CWinMeta;

// Contract flag bits.
enum ContractFlag : int {
    CONTRACT_MODIFIED = 0,
    CONTRACT_INFORMATIONAL = 2,
    CONTRACT_BID_ERRORS = 3,
    CONTRACT_SHOW_ITEMS = 4,
    CONTRACT_DRAG_TIERS = 5,
    CONTRACT_SAVED_BY_US = 6,
    CONTRACT_ALT_UNITS = 7,
    CONTRACT_IRONBARK_LOCKED = 8,
    CONTRACT_IRONBARK_FLOOR = 9,
    CONTRACT_HAS_MISC = 10,
    CONTRACT_NO_PARTIALS = 11,
    CONTRACT_TRACK_PRICES = 12,
};

// Indexes of the 21 header texts.
enum HeaderText : int {
    HDR_LETTING_ID = 0,
    HDR_CALL_ORDER = 1,
    HDR_CONTRACT_ID = 2,
    HDR_ALTERNATE_CONTRACT_ID = 3,
    HDR_CONTRACT_LOCATION = 4,
    HDR_CONTRACT_DESCRIPTION = 6,
    HDR_CONTRACT_TYPE = 7,
    HDR_CONTRACT_TYPE2 = 8,
    HDR_HIGHWAY_NUMBER = 9,
    HDR_CONTROLLING_PROJECT = 10,
    HDR_CONTROLLING_ROUTE = 11,
    HDR_FUND_TYPE = 12,
    HDR_PROJECT_NUMBER = 13,
    HDR_ROAD_NAME = 14,
    HDR_ROUTE = 15,
    HDR_SERIAL_NUMBER = 16,
    HDR_AGENCY = 18,
    HDR_TEXT_COUNT = 21,
};

// A number format: integer digits and decimal places (two signed bytes).
struct NumberFormat {
    int8_t digits = 0;
    int8_t decimals = 0;

    // The file's 16-bit form: digits in the low byte, decimals in the high.
    static NumberFormat FromWord(uint16_t w)
    {
        return {static_cast<int8_t>(w & 0xFF), static_cast<int8_t>(w >> 8)};
    }
    uint16_t Word() const
    {
        return static_cast<uint16_t>(static_cast<uint8_t>(digits) | (static_cast<uint8_t>(decimals) << 8));
    }
};

class CContract : public CDataObject<CContract> {
public:
    CContract();
    ~CContract() override;
    CContract(const CContract&) = delete;
    CContract& operator=(const CContract&) = delete;
    void Copy(const CContract& other) override;
    // Exchanges everything the two contracts hold, records staying the same
    // objects: a whole contract taken back by undo is the very one that was
    // there (every member, a new one included, must be exchanged here).
    void Swap(CContract& other) noexcept;

    // --- header --------------------------------------------------------
    uint16_t m_wFlags = 0;
    int32_t m_iHeaderA = 0;
    int32_t m_iVersion = 0;
    int32_t iAmendCount = 0;
    double m_fContractTotal = 0; // CONTRACT_TOTAL (computed)
    double m_fSecondAmount = 0;  // carried unchanged
    int32_t m_iHeaderB = -1;     // carried unchanged
    uint32_t m_dwCheck = 0;      // CHECK (computed, not stored)
    uint32_t dLetingDate = 0;
    uint32_t dDateGenerated = 0;
    uint32_t m_dDateRevised = 0;
    std::array<Text, HDR_TEXT_COUNT> m_strHeader;
    Text m_strPrimeID;
    Text m_strPrimeName;

    const Text& pszLettingID() const { return m_strHeader[HDR_LETTING_ID]; }
    const Text& pszCallOrder() const { return m_strHeader[HDR_CALL_ORDER]; }
    const Text& pszContractID() const { return m_strHeader[HDR_CONTRACT_ID]; }
    const Text& pszSerialNum() const { return m_strHeader[HDR_SERIAL_NUMBER]; }

    // --- subcontract tables (owned, may be null) -------------------------
    std::unique_ptr<CWinMeta> m_pSubTable;  // subcontractor table
    std::unique_ptr<CWinMeta> m_pMiscTable; // miscellaneous-data table

    // --- lists and records ----------------------------------------------
    CStringArrayMap m_StoredLists;            // pick lists kept in the file
    CStringArrayMap m_ExternalLists;          // loaded from list files; not stored
    std::map<std::string, int> m_LoadedFiles; // list files already read; not stored
    CItemArray m_Items;
    CDataArray<CCounty> m_Counties;
    CDataArray<CSite> m_Sites;
    CDataArray<CNote> m_Notes;
    CDataArray<COtherRpt> m_OtherRpts;
    CDataMap<CPlate> m_DataTemplates;    // stored report templates
    CDataMap<CPlate> m_DefaultTemplates; // built-in; not stored

    // --- print options and formats --------------------------------------
    uint16_t m_wPrintOptions = 0;
    std::array<int32_t, 3> m_iPrintNumber{};
    NumberFormat m_QuanFormat;
    NumberFormat m_UPFormat;
    NumberFormat m_ExtFormat; // its decimals govern the rounding of extensions
    uint16_t m_wFormatWord = 0;
    std::array<Text, 3> m_strFurther; // carried unchanged

    // --- operations -------------------------------------------------------
    // First non-heading item whose line number equals text, compared without
    // regard to case (Windows-1252 letters included); null when none.
    CItem* FindItemByLineNumber(std::string_view text) const;
    // Extensions, section totals, contract total, subcontracted total.
    // Returns whether any ITEM_CHOSEN bit changed.
    bool RecalculateContract();
    void SetModified(bool on);

    std::string AlternateGroup(const CItem& item) const;
    bool SameAlternateGroup(int a, int b) const;
    int CountAlternates(int index) const;

    CPlate* AddDataTemplate(std::string_view name, const Text& text);
    CPlate* AddDefaultTemplate(std::string_view name, const Text& text);
    void RemoveDataTemplate(std::string_view name);
    CPlate* FindDataTemplate(std::string_view name) const;
    CPlate* FindDefaultTemplate(std::string_view name) const;
    [[nodiscard]] bool MoveDataTemplate(std::string_view oldName, std::string_view newName);

    CSAStringArray* NewList(std::string_view name, bool external);
    CSAStringArray* FindList(std::string_view name, bool external);
};

} // namespace kestrel
