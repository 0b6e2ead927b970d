#include "file/contractbuilder.h"

#include "file/contractfile.h"
#include "file/recordreader.h"
#include "model/contract/contract.h"

namespace kestrel {

CContractBuilder::CContractBuilder() : m_contract(std::make_unique<CContract>()), m_storage(*m_contract)
{
}

CContractBuilder::~CContractBuilder() = default;

int CContractBuilder::Handle(uint16_t tag, const RecordValue& v)
{
    const uint16_t group = tag & 0xFF00;
    switch (group) {
    case 0x0100:
        if (tag == 0x0100) {
            m_contract->m_iVersion = v.I32();
            const int32_t major = m_contract->m_iVersion / 100;
            if (major < 4)
                return CF_TOO_OLD;
            if (major > 4)
                return CF_TOO_NEW;
        }
        break;
    case 0x0200: Header(tag, v); break;
    case 0x0300: Item(tag, v); break;
    case 0x0400: County(tag, v); break;
    case 0x0500: Site(tag, v); break;
    case 0x0600: Note(tag, v); break;
    case 0x0800: PrintOptions(tag, v); break;
    case 0x0900: Formats(tag, v); break;
    case 0x0A00: OtherReport(tag, v); break;
    case 0x0B00: Template(tag, v); break;
    case 0x1100: List(tag, v); break;
    case 0x0C00:
    case 0x0D00:
    case 0x0E00:
    case 0x0F00:
    case 0x1000:
    case 0x1200:
    case 0x1300: m_storage.Handle(tag, v); break;
    default: break; // a group without a handler
    }
    return CF_OK;
}

void CContractBuilder::Header(uint16_t tag, const RecordValue& v)
{
    CContract& c = *m_contract;
    if (tag >= 0x0209 && tag <= 0x021B) {
        v.AssignTo(c.m_strHeader[static_cast<size_t>(tag - 0x0209)]);
        return;
    }
    switch (tag) {
    case 0x0201: c.m_iHeaderA = v.I32(); break;
    case 0x0202: c.iAmendCount = v.I32(); break;
    case 0x0203: c.m_wFlags = v.U16(); break;
    case 0x0204: c.m_fContractTotal = v.F64(); break;
    case 0x0206: c.dLetingDate = v.U32(); break;
    case 0x0207: c.dDateGenerated = v.U32(); break;
    case 0x0208: c.m_dDateRevised = v.U32(); break;
    case 0x021D: v.AssignTo(c.m_strHeader[19]); break;
    case 0x021E: v.AssignTo(c.m_strHeader[20]); break;
    case 0x0226:
    case 0x0227:
    case 0x0228: v.AssignTo(c.m_strFurther[static_cast<size_t>(tag - 0x0226)]); break;
    case 0x022A: c.m_fSecondAmount = v.F64(); break;
    case 0x022B: v.AssignTo(c.m_strPrimeID); break;
    case 0x022C: v.AssignTo(c.m_strPrimeName); break;
    case 0x022D: c.m_iHeaderB = v.I32(); break;
    case 0x0221:
        // The item count is only information, but it sizes the array well.
        c.m_Items.Reserve(v.U16());
        break;
    default: break; // 0x0200 and the other counts
    }
}

void CContractBuilder::Item(uint16_t tag, const RecordValue& v)
{
    if (tag == 0x0300) {
        m_contract->m_Items.Add();
        return;
    }
    // A field before any group start has no item to go to.
    CItem* e = m_contract->m_Items.Last();
    if (!e)
        return;
    switch (tag) {
    case 0x0301: e->m_wFlags = v.U16(); break;
    case 0x0302: e->m_fQuantity = v.F64(); break;
    case 0x0303: e->m_fUnitPrice = v.F64(); break;
    case 0x0304: v.AssignTo(e->m_strLineNumber); break;
    case 0x0305: v.AssignTo(e->m_strAltCode); break;
    case 0x0306: v.AssignTo(e->m_strItemNumber); break;
    case 0x0307: v.AssignTo(e->m_strUnit); break;
    case 0x0308: v.AssignTo(e->m_strShortDesc); break;
    case 0x0309: v.AssignTo(e->m_strLongDesc); break;
    default: break;
    }
}

void CContractBuilder::County(uint16_t tag, const RecordValue& v)
{
    if (tag == 0x0400) {
        m_contract->m_Counties.Add();
        return;
    }
    CCounty* r = m_contract->m_Counties.Last();
    if (!r)
        return;
    if (tag == 0x0401)
        v.AssignTo(r->m_strID);
    else if (tag == 0x0402)
        v.AssignTo(r->m_strName);
}

void CContractBuilder::Site(uint16_t tag, const RecordValue& v)
{
    if (tag == 0x0500) {
        m_contract->m_Sites.Add();
        return;
    }
    CSite* r = m_contract->m_Sites.Last();
    if (!r)
        return;
    switch (tag) {
    case 0x0501: r->m_dStartDate = v.U32(); break;
    case 0x0502: r->m_dEndDate = v.U32(); break;
    case 0x0503: r->m_dwEstDays = v.U32(); break;
    case 0x0504: r->m_fDamages = v.F64(); break;
    case 0x0505: v.AssignTo(r->m_strTypeDays); break;
    case 0x0506: v.AssignTo(r->m_strDescription); break;
    default: break;
    }
}

void CContractBuilder::Note(uint16_t tag, const RecordValue& v)
{
    if (tag == 0x0600) {
        m_contract->m_Notes.Add();
        return;
    }
    CNote* r = m_contract->m_Notes.Last();
    if (!r)
        return;
    switch (tag) {
    case 0x0601: r->m_iNumberA = v.I32(); break;
    case 0x0602: r->m_iNumberB = v.I32(); break;
    case 0x0603: v.AssignTo(r->m_strText); break;
    default: break;
    }
}

void CContractBuilder::PrintOptions(uint16_t tag, const RecordValue& v)
{
    CContract& c = *m_contract;
    switch (tag) {
    case 0x0801: c.m_wPrintOptions = v.U16(); break;
    case 0x0802:
    case 0x0803:
    case 0x0804: c.m_iPrintNumber[static_cast<size_t>(tag - 0x0802)] = v.I32(); break;
    default: break;
    }
}

void CContractBuilder::Formats(uint16_t tag, const RecordValue& v)
{
    CContract& c = *m_contract;
    switch (tag) {
    case 0x0901: c.m_QuanFormat = NumberFormat::FromWord(v.U16()); break;
    case 0x0902: c.m_UPFormat = NumberFormat::FromWord(v.U16()); break;
    case 0x0903: c.m_ExtFormat = NumberFormat::FromWord(v.U16()); break;
    case 0x0904: c.m_wFormatWord = v.U16(); break;
    default: break;
    }
}

void CContractBuilder::OtherReport(uint16_t tag, const RecordValue& v)
{
    if (tag == 0x0A00) {
        m_contract->m_OtherRpts.Add();
        return;
    }
    COtherRpt* r = m_contract->m_OtherRpts.Last();
    if (!r)
        return;
    switch (tag) {
    case 0x0A01: r->m_wReportNumber = v.U16(); break;
    case 0x0A02: v.AssignTo(r->m_strFirst); break;
    case 0x0A03: v.AssignTo(r->m_strSecond); break;
    default: break;
    }
}

void CContractBuilder::Template(uint16_t tag, const RecordValue& v)
{
    if (tag == 0x0B01)
        m_template = m_contract->m_DataTemplates.SetAt(v.Text());
    else if (tag == 0x0B02 && m_template)
        v.AssignTo(m_template->m_strText);
}

void CContractBuilder::List(uint16_t tag, const RecordValue& v)
{
    if (tag == 0x1101)
        m_list = m_contract->m_StoredLists.New(v.Text());
    else if (tag == 0x1103 && m_list)
        m_list->emplace_back(v.Text());
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
