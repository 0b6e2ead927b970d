#include "file/contractbuilder.h"

#include "file/contractfile.h"
#include "file/recordreader.h"
#include "file/recordtags.h"
#include "model/contract/contract.h"

namespace kestrel {

CContractBuilder::CContractBuilder(size_t recordLimit)
    : m_contract(std::make_unique<CContract>()), m_budget(recordLimit), m_storage(*m_contract, m_budget)
{
}

CContractBuilder::~CContractBuilder() = default;

int CContractBuilder::Handle(uint16_t tag, const RecordValue& v)
{
    if (AddsToModel(tag) && !m_budget.Take())
        return CF_NO_MEMORY;
    switch (GroupOf(tag)) {
    case GROUP_VERSION:
        if (tag == TAG_VERSION) {
            m_contract->m_iVersion = v.I32();
            const int32_t major = m_contract->m_iVersion / 100;
            if (major < 4)
                return CF_TOO_OLD;
            if (major > 4)
                return CF_TOO_NEW;
        }
        break;
    case GROUP_HEADER: Header(tag, v); break;
    case GROUP_ITEM: Item(tag, v); break;
    case GROUP_COUNTY: County(tag, v); break;
    case GROUP_SITE: Site(tag, v); break;
    case GROUP_NOTE: Note(tag, v); break;
    case GROUP_PRINT_OPTIONS: PrintOptions(tag, v); break;
    case GROUP_FORMATS: Formats(tag, v); break;
    case GROUP_OTHER_REPORT: OtherReport(tag, v); break;
    case GROUP_TEMPLATE: Template(tag, v); break;
    case GROUP_LIST: List(tag, v); break;
    case GROUP_TABLE:
    case GROUP_LABEL_LINE:
    case GROUP_DEFAULT:
    case GROUP_FIELD:
    case GROUP_RECORD:
    case GROUP_SUBITEM:
    case GROUP_FILTER: m_storage.Handle(tag, v); break;
    default: break; // a group without a handler
    }
    return CF_OK;
}

void CContractBuilder::Header(uint16_t tag, const RecordValue& v)
{
    CContract& c = *m_contract;
    if (tag >= TAG_HEADER_TEXT && tag <= TAG_HEADER_TEXT_LAST) {
        v.AssignTo(c.m_strHeader[static_cast<size_t>(tag - TAG_HEADER_TEXT)]);
        return;
    }
    switch (tag) {
    case TAG_HEADER_A: c.m_iHeaderA = v.I32(); break;
    case TAG_AMEND_COUNT: c.iAmendCount = v.I32(); break;
    case TAG_CONTRACT_FLAGS: c.m_wFlags = v.U16(); break;
    case TAG_CONTRACT_TOTAL: c.m_fContractTotal = v.F64(); break;
    case TAG_LETTING_DATE: c.dLetingDate = v.U32(); break;
    case TAG_DATE_GENERATED: c.dDateGenerated = v.U32(); break;
    case TAG_DATE_REVISED: c.m_dDateRevised = v.U32(); break;
    case TAG_HEADER_TEXT19: v.AssignTo(c.m_strHeader[19]); break;
    case TAG_HEADER_TEXT20: v.AssignTo(c.m_strHeader[20]); break;
    case TAG_FURTHER_TEXT:
    case TAG_FURTHER_TEXT + 1:
    case TAG_FURTHER_TEXT + 2: v.AssignTo(c.m_strFurther[static_cast<size_t>(tag - TAG_FURTHER_TEXT)]); break;
    case TAG_SECOND_AMOUNT: c.m_fSecondAmount = v.F64(); break;
    case TAG_PRIME_ID: v.AssignTo(c.m_strPrimeID); break;
    case TAG_PRIME_NAME: v.AssignTo(c.m_strPrimeName); break;
    case TAG_HEADER_B: c.m_iHeaderB = v.I32(); break;
    case TAG_ITEM_COUNT:
        // The item count is only information, but it sizes the array well.
        c.m_Items.Reserve(v.U16());
        break;
    default: break; // the group start and the other counts
    }
}

void CContractBuilder::Item(uint16_t tag, const RecordValue& v)
{
    if (tag == TAG_ITEM) {
        m_contract->m_Items.Add();
        return;
    }
    // A field before any group start has no item to go to.
    CItem* e = m_contract->m_Items.Last();
    if (!e)
        return;
    switch (tag) {
    case TAG_ITEM_FLAGS: e->m_wFlags = v.U16(); break;
    case TAG_ITEM_QUANTITY: e->m_fQuantity = v.F64(); break;
    case TAG_ITEM_UNIT_PRICE: e->m_fUnitPrice = v.F64(); break;
    case TAG_ITEM_LINE_NUMBER: v.AssignTo(e->m_strLineNumber); break;
    case TAG_ITEM_ALT_CODE: v.AssignTo(e->m_strAltCode); break;
    case TAG_ITEM_NUMBER: v.AssignTo(e->m_strItemNumber); break;
    case TAG_ITEM_UNIT: v.AssignTo(e->m_strUnit); break;
    case TAG_ITEM_SHORT_DESC: v.AssignTo(e->m_strShortDesc); break;
    case TAG_ITEM_LONG_DESC: v.AssignTo(e->m_strLongDesc); break;
    default: break;
    }
}

void CContractBuilder::County(uint16_t tag, const RecordValue& v)
{
    if (tag == TAG_COUNTY) {
        m_contract->m_Counties.Add();
        return;
    }
    CCounty* r = m_contract->m_Counties.Last();
    if (!r)
        return;
    if (tag == TAG_COUNTY_ID)
        v.AssignTo(r->m_strID);
    else if (tag == TAG_COUNTY_NAME)
        v.AssignTo(r->m_strName);
}

void CContractBuilder::Site(uint16_t tag, const RecordValue& v)
{
    if (tag == TAG_SITE) {
        m_contract->m_Sites.Add();
        return;
    }
    CSite* r = m_contract->m_Sites.Last();
    if (!r)
        return;
    switch (tag) {
    case TAG_SITE_START_DATE: r->m_dStartDate = v.U32(); break;
    case TAG_SITE_END_DATE: r->m_dEndDate = v.U32(); break;
    case TAG_SITE_EST_DAYS: r->m_dwEstDays = v.U32(); break;
    case TAG_SITE_DAMAGES: r->m_fDamages = v.F64(); break;
    case TAG_SITE_TYPE_DAYS: v.AssignTo(r->m_strTypeDays); break;
    case TAG_SITE_DESCRIPTION: v.AssignTo(r->m_strDescription); break;
    default: break;
    }
}

void CContractBuilder::Note(uint16_t tag, const RecordValue& v)
{
    if (tag == TAG_NOTE) {
        m_contract->m_Notes.Add();
        return;
    }
    CNote* r = m_contract->m_Notes.Last();
    if (!r)
        return;
    switch (tag) {
    case TAG_NOTE_NUMBER_A: r->m_iNumberA = v.I32(); break;
    case TAG_NOTE_NUMBER_B: r->m_iNumberB = v.I32(); break;
    case TAG_NOTE_TEXT: v.AssignTo(r->m_strText); break;
    default: break;
    }
}

void CContractBuilder::PrintOptions(uint16_t tag, const RecordValue& v)
{
    CContract& c = *m_contract;
    switch (tag) {
    case TAG_PRINT_OPTIONS_WORD: c.m_wPrintOptions = v.U16(); break;
    case TAG_PRINT_NUMBER:
    case TAG_PRINT_NUMBER + 1:
    case TAG_PRINT_NUMBER + 2: c.m_iPrintNumber[static_cast<size_t>(tag - TAG_PRINT_NUMBER)] = v.I32(); break;
    default: break;
    }
}

void CContractBuilder::Formats(uint16_t tag, const RecordValue& v)
{
    CContract& c = *m_contract;
    switch (tag) {
    case TAG_QUANTITY_FORMAT: c.m_QuanFormat = NumberFormat::FromWord(v.U16()); break;
    case TAG_UNIT_PRICE_FORMAT: c.m_UPFormat = NumberFormat::FromWord(v.U16()); break;
    case TAG_EXTENSION_FORMAT: c.m_ExtFormat = NumberFormat::FromWord(v.U16()); break;
    case TAG_FORMAT_WORD: c.m_wFormatWord = v.U16(); break;
    default: break;
    }
}

void CContractBuilder::OtherReport(uint16_t tag, const RecordValue& v)
{
    if (tag == TAG_OTHER_REPORT) {
        m_contract->m_OtherRpts.Add();
        return;
    }
    COtherRpt* r = m_contract->m_OtherRpts.Last();
    if (!r)
        return;
    switch (tag) {
    case TAG_OTHER_REPORT_NUMBER: r->m_wReportNumber = v.U16(); break;
    case TAG_OTHER_REPORT_FIRST: v.AssignTo(r->m_strFirst); break;
    case TAG_OTHER_REPORT_SECOND: v.AssignTo(r->m_strSecond); break;
    default: break;
    }
}

void CContractBuilder::Template(uint16_t tag, const RecordValue& v)
{
    if (tag == TAG_TEMPLATE_NAME)
        m_template = m_contract->m_DataTemplates.SetAt(v.Text());
    else if (tag == TAG_TEMPLATE_TEXT && m_template)
        v.AssignTo(m_template->m_strText);
}

void CContractBuilder::List(uint16_t tag, const RecordValue& v)
{
    if (tag == TAG_LIST_NAME)
        m_list = m_contract->m_StoredLists.New(v.Text());
    else if (tag == TAG_LIST_ENTRY && m_list)
        m_list->emplace_back(v.Text());
}

bool CContractBuilder::WithinLimit() const
{
    return !m_budget.Spent() && SubTablesFit(*m_contract, m_budget.Limit());
}

std::unique_ptr<CContract> CContractBuilder::Finish()
{
    m_storage.FlushSubItems();
    FinishSubTables(*m_contract);
    m_contract->RecalculateContract();
    m_contract->SetModified(false);
    m_template = nullptr;
    m_list = nullptr;
    return std::move(m_contract);
}

} // namespace kestrel
