#include "model/contract/itemstext.h"

#include "calc/formats.h"
#include "model/contract/contract.h"

namespace kestrel {

namespace {

void AppendNumber(std::string& out, double x, const NumberFormat& f)
{
    out += FormatNumber(x, f.digits, f.decimals, false, false);
}

} // namespace

std::string ContractItemsText(const CContract& c)
{
    std::string out;
    const std::string_view id = TextView(c.pszContractID());
    for (const auto& e : c.m_Items) {
        if (e->IsHeading())
            continue;
        out += id;
        out += '\t';
        out += TextView(e->m_strLineNumber);
        out += '\t';
        out += TextView(e->m_strAltCode);
        out += '\t';
        out += TextView(e->m_strItemNumber);
        out += '\t';
        AppendNumber(out, e->m_fQuantity, c.m_QuanFormat);
        out += '\t';
        out += TextView(e->m_strUnit);
        out += '\t';
        AppendNumber(out, e->m_fUnitPrice, c.m_UPFormat);
        out += '\t';
        AppendNumber(out, e->m_fExtension, c.m_ExtFormat);
        out += '\t';
        out += TextView(e->m_strShortDesc);
        out += "\r\n";
    }
    return out;
}

} // namespace kestrel
