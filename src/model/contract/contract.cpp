#include "model/contract/contract.h"

#include <string>
#include <utility>

#include "calc/codepage.h"
#include "model/subcontract/winmeta.h"

namespace kestrel {

namespace {

std::string Repeat(char c, int n)
{
    return std::string(static_cast<size_t>(n), c);
}

// The built-in report templates every new contract carries, in the order in
// which they are added (which decides their order within a map bucket).
void AddBuiltInTemplates(CContract& c)
{
    c.AddDefaultTemplate("Report Simple Footer",
                         "{DROP}" + Repeat('-', 80) + "\n" + Repeat(' ', 72) + "Page {PAGE_NUMBER}\f\r\\");
    c.AddDefaultTemplate("Report Quote Proposal Tail",
                         " Bid Total" + Repeat(' ', 55) + "{CONTRACT_TOTAL}\n" + Repeat('-', 79));
    c.AddDefaultTemplate("Report Quote Section Head",
                         Repeat(' ', 25) +
                             "Section {SECTION_NUMBER}    Alt Group {SECTION_ALTERNATE_CODE}\n"
                             "    {SECTION_DESCRIPTION,SIZE=70,REPEAT,JUSTIFY=CENTER}\n" +
                             Repeat('-', 79));
    c.AddDefaultTemplate("Report Quote Section Tail", " Section {SECTION_NUMBER} Total" + Repeat(' ', 46) +
                                                          "{SECTION_TOTAL}\n" + Repeat('-', 79));
    c.AddDefaultTemplate("Report Quote Item",
                         "{ITEM_LINE_NUMBER}   {ITEM_NUMBER,SIZE=13} {ITEM_QUANTITY}   {ITEM_UNIT}   "
                         "{ITEM_UNIT_PRICE}   {ITEM_EXTENSION}\n"
                         "{ITEM_ALTERNATE_CODE}  {ITEM_LONG_DESCRIPTION,SIZE=70,REPEAT}\n" +
                             Repeat('-', 79));
    c.AddDefaultTemplate("Report Quote List Labels",
                         "LINE  ITEM NUMBER           QUANTITY   UNIT         UNIT PRICE        EXTENSION\n"
                         "ALT  DESCRIPTION\n" +
                             Repeat('-', 79));
}

} // namespace

CContract::CContract()
{
    AddBuiltInTemplates(*this);
}

CContract::~CContract() = default;

void CContract::Copy(const CContract& o)
{
    m_wFlags = o.m_wFlags;
    m_iHeaderA = o.m_iHeaderA;
    m_iVersion = o.m_iVersion;
    iAmendCount = o.iAmendCount;
    m_fContractTotal = o.m_fContractTotal;
    m_fSecondAmount = o.m_fSecondAmount;
    m_iHeaderB = o.m_iHeaderB;
    m_dwCheck = o.m_dwCheck;
    dLetingDate = o.dLetingDate;
    dDateGenerated = o.dDateGenerated;
    m_dDateRevised = o.m_dDateRevised;
    m_strHeader = o.m_strHeader;
    m_strPrimeID = o.m_strPrimeID;
    m_strPrimeName = o.m_strPrimeName;
    m_pSubTable.reset();
    if (o.m_pSubTable) {
        m_pSubTable = std::make_unique<CWinMeta>();
        m_pSubTable->Copy(*o.m_pSubTable);
    }
    m_pMiscTable.reset();
    if (o.m_pMiscTable) {
        m_pMiscTable = std::make_unique<CWinMeta>();
        m_pMiscTable->Copy(*o.m_pMiscTable);
    }
    m_StoredLists.RemoveAll();
    o.m_StoredLists.ForEach(
        [&](const std::string& k, const CSAStringArray& l) { *m_StoredLists.New(k) = l; });
    m_ExternalLists.RemoveAll();
    o.m_ExternalLists.ForEach(
        [&](const std::string& k, const CSAStringArray& l) { *m_ExternalLists.New(k) = l; });
    m_LoadedFiles = o.m_LoadedFiles;
    m_Items.RemoveAll();
    m_Items.Copy(o.m_Items);
    m_Counties.RemoveAll();
    m_Counties.Copy(o.m_Counties);
    m_Sites.RemoveAll();
    m_Sites.Copy(o.m_Sites);
    m_Notes.RemoveAll();
    m_Notes.Copy(o.m_Notes);
    m_OtherRpts.RemoveAll();
    m_OtherRpts.Copy(o.m_OtherRpts);
    m_DataTemplates.RemoveAll();
    m_DataTemplates.Copy(o.m_DataTemplates);
    m_DefaultTemplates.RemoveAll();
    m_DefaultTemplates.Copy(o.m_DefaultTemplates);
    m_wPrintOptions = o.m_wPrintOptions;
    m_iPrintNumber = o.m_iPrintNumber;
    m_QuanFormat = o.m_QuanFormat;
    m_UPFormat = o.m_UPFormat;
    m_ExtFormat = o.m_ExtFormat;
    m_wFormatWord = o.m_wFormatWord;
    m_strFurther = o.m_strFurther;
}

void CContract::Swap(CContract& o) noexcept
{
    using std::swap;
    swap(m_wFlags, o.m_wFlags);
    swap(m_iHeaderA, o.m_iHeaderA);
    swap(m_iVersion, o.m_iVersion);
    swap(iAmendCount, o.iAmendCount);
    swap(m_fContractTotal, o.m_fContractTotal);
    swap(m_fSecondAmount, o.m_fSecondAmount);
    swap(m_iHeaderB, o.m_iHeaderB);
    swap(m_dwCheck, o.m_dwCheck);
    swap(dLetingDate, o.dLetingDate);
    swap(dDateGenerated, o.dDateGenerated);
    swap(m_dDateRevised, o.m_dDateRevised);
    swap(m_strHeader, o.m_strHeader);
    swap(m_strPrimeID, o.m_strPrimeID);
    swap(m_strPrimeName, o.m_strPrimeName);
    swap(m_pSubTable, o.m_pSubTable);
    swap(m_pMiscTable, o.m_pMiscTable);
    swap(m_StoredLists, o.m_StoredLists);
    swap(m_ExternalLists, o.m_ExternalLists);
    swap(m_LoadedFiles, o.m_LoadedFiles);
    swap(m_Items, o.m_Items);
    swap(m_Counties, o.m_Counties);
    swap(m_Sites, o.m_Sites);
    swap(m_Notes, o.m_Notes);
    swap(m_OtherRpts, o.m_OtherRpts);
    swap(m_DataTemplates, o.m_DataTemplates);
    swap(m_DefaultTemplates, o.m_DefaultTemplates);
    swap(m_wPrintOptions, o.m_wPrintOptions);
    swap(m_iPrintNumber, o.m_iPrintNumber);
    swap(m_QuanFormat, o.m_QuanFormat);
    swap(m_UPFormat, o.m_UPFormat);
    swap(m_ExtFormat, o.m_ExtFormat);
    swap(m_wFormatWord, o.m_wFormatWord);
    swap(m_strFurther, o.m_strFurther);
}

CItem* CContract::FindItemByLineNumber(std::string_view text) const
{
    for (const auto& item : m_Items)
        if (!item->IsHeading() && EqualNoCase(TextView(item->m_strLineNumber), text))
            return item.get();
    return nullptr;
}

void CContract::SetModified(bool on)
{
    FlagSet(m_wFlags, CONTRACT_MODIFIED, on ? 1 : 0);
}

namespace {
CPlate* AddTemplate(CDataMap<CPlate>& map, std::string_view name, const Text& text)
{
    CPlate* p = map.SetAt(name);
    p->m_strText = text;
    return p;
}
} // namespace

CPlate* CContract::AddDataTemplate(std::string_view name, const Text& text)
{
    return AddTemplate(m_DataTemplates, name, text);
}

CPlate* CContract::AddDefaultTemplate(std::string_view name, const Text& text)
{
    return AddTemplate(m_DefaultTemplates, name, text);
}

void CContract::RemoveDataTemplate(std::string_view name)
{
    m_DataTemplates.RemoveKey(name);
}

CPlate* CContract::FindDataTemplate(std::string_view name) const
{
    return m_DataTemplates.Lookup(name);
}

CPlate* CContract::FindDefaultTemplate(std::string_view name) const
{
    return m_DefaultTemplates.Lookup(name);
}

bool CContract::MoveDataTemplate(std::string_view oldName, std::string_view newName)
{
    std::unique_ptr<CPlate> rec = m_DataTemplates.Detach(oldName);
    if (!rec)
        return false;
    m_DataTemplates.SetAt(newName, std::move(rec));
    return true;
}

CSAStringArray* CContract::NewList(std::string_view name, bool external)
{
    return (external ? m_ExternalLists : m_StoredLists).New(name);
}

CSAStringArray* CContract::FindList(std::string_view name, bool external)
{
    return (external ? m_ExternalLists : m_StoredLists).Lookup(name);
}

} // namespace kestrel
