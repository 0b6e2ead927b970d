#include "support/testcontract.h"

#include "model/contract/contract.h"
#include "model/subcontract/winmeta.h"

namespace kestrel::test {

CFieldInfo* AddTextField(CWinMeta& table, const std::string& name)
{
    CFieldInfo* f = table.m_Fields.Add();
    f->m_strName = name;
    f->m_iType = FIELD_TEXT;
    f->m_iRequired = kNeverRequired;
    return f;
}

std::unique_ptr<CWinMeta> MakeTextTable(int fields)
{
    auto t = std::make_unique<CWinMeta>();
    for (int j = 0; j < fields; ++j)
        AddTextField(*t, "F" + std::to_string(j));
    return t;
}

CItem* AddHeading(CContract& c, const std::string& line)
{
    CItem* h = c.m_Items.Add();
    FlagSet(h->m_wFlags, ITEM_SECTION, 1);
    h->m_strLineNumber = line;
    return h;
}

CItem* AddItem(CContract& c, const std::string& line, double quantity, double unitPrice)
{
    CItem* it = c.m_Items.Add();
    it->m_strLineNumber = line;
    it->m_fQuantity = quantity;
    it->m_fUnitPrice = unitPrice;
    return it;
}

CItem* AddItem(CContract& c, const std::string& line, const std::string& number, const std::string& unit,
               const std::string& desc)
{
    CItem* it = c.m_Items.Add();
    it->m_strLineNumber = line;
    it->m_strItemNumber = number;
    it->m_strUnit = unit;
    it->m_strShortDesc = desc;
    it->m_strAltCode = std::string("");
    return it;
}

CSubcontract* AddNumberedSub(CWinMeta& table, int number)
{
    CSubcontract* s = table.AddRecord(-1, -1);
    s->SetNumber(number);
    return s;
}

CSubcontract* AddSub(CContract& c, const std::string& name, CSubcontract* parent, bool itemized)
{
    CSubcontract* s = c.m_pSubTable->AddRecord(-1, -1);
    c.m_pSubTable->AssignNumber(s);
    s->SetName(name);
    s->SetParent(parent);
    FlagSet(s->m_wFlags, SUB_USESSUBITEMS, itemized ? 1 : 0);
    FlagSet(s->m_wFlags, SUB_COMPLETE, 1);
    return s;
}

CSubItem* AddSubItem(CSubcontract& s, const std::string& line, double quan, double up)
{
    CSubItem* si = s.AddSubItem(line);
    si->m_fQuan = quan;
    si->m_fUP = up;
    si->m_fExt = quan * up;
    return si;
}

} // namespace kestrel::test
