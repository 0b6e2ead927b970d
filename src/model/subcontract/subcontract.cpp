#include "model/subcontract/subcontract.h"

#include <cstdio>

namespace kestrel {

CSubcontract::CSubcontract()
    : m_wFlags(static_cast<uint16_t>((1u << SUB_USESSUBITEMS) | (1u << SUB_ITEMS_COMPLETE) |
                                     (1u << SUB_TIERS_COMPLETE)))
{
}

void CSubcontract::Copy(const CSubcontract& other)
{
    m_wFlags = other.m_wFlags;
    m_Cells.RemoveAll();
    m_Cells.Copy(other.m_Cells);
    m_SubItems.RemoveAll();
    m_SubItems.Copy(other.m_SubItems);
    m_pParent = other.m_pParent;
}

const Text* CSubcontract::GetCellText(int field) const
{
    const CCellData* cell = m_Cells.GetAt(field);
    return cell ? &cell->m_psz : nullptr;
}

void CSubcontract::SetCellText(int field, const Text& text)
{
    if (field < 0)
        return;
    while (m_Cells.GetSize() <= field)
        m_Cells.Add();
    m_Cells.GetAt(field)->m_psz = text;
}

void CSubcontract::SetNumber(int n)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.8d", n);
    SetCellText(SUBF_NUMBER, std::string(buf));
}

void CSubcontract::SetName(const Text& text)
{
    SetCellText(SUBF_NAME, text);
}

void CSubcontract::SetParent(CSubcontract* parent)
{
    m_pParent = parent;
    const Text* number = parent ? parent->GetCellText(SUBF_NUMBER) : nullptr;
    SetCellText(SUBF_PARENT, std::string(number ? TextView(*number) : std::string_view()));
}

bool CSubcontract::IsItemized() const
{
    // A parent chain longer than any real tree means the links loop; the
    // walk stops there rather than running forever.
    int guard = 100000;
    for (const CSubcontract* r = this; r; r = r->m_pParent) {
        if (!FlagTest(r->m_wFlags, SUB_USESSUBITEMS))
            return false;
        if (--guard == 0)
            break;
    }
    return true;
}

} // namespace kestrel
