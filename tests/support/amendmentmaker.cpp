#include "support/amendmentmaker.h"

#include <stdexcept>
#include <vector>

#include "calc/codepage.h"
#include "model/contract/contract.h"
#include "model/subcontract/winmeta.h"

namespace kestrel::test {

std::unique_ptr<CContract> AgencyCopy(const CContract& contract)
{
    auto copy = std::make_unique<CContract>();
    copy->Copy(contract);
    copy->iAmendCount += 1;
    copy->m_strPrimeID = std::nullopt;
    copy->m_strPrimeName = std::nullopt;
    if (copy->m_pSubTable)
        copy->m_pSubTable->m_Records.RemoveAll();
    if (copy->m_pMiscTable)
        for (const auto& rec : copy->m_pMiscTable->m_Records)
            for (const auto& cell : rec->m_Cells) {
                cell->m_psz = std::nullopt;
                cell->m_i = -1;
            }
    copy->m_ExternalLists.RemoveAll();
    copy->m_LoadedFiles.clear();
    copy->m_wFlags &= static_cast<uint16_t>(~(1u << CONTRACT_SAVED_BY_US));
    return copy;
}

int IndexOfLine(const CContract& contract, const std::string& line)
{
    for (int i = 0; i < contract.m_Items.GetSize(); ++i)
        if (EqualNoCase(TextView(contract.m_Items[i]->m_strLineNumber), line))
            return i;
    return -1;
}

CItem& ItemAt(CContract& contract, const std::string& line)
{
    CItem* item = contract.FindItemByLineNumber(line);
    if (!item)
        throw std::invalid_argument("no item on line " + line);
    return *item;
}

void RemoveLine(CContract& contract, const std::string& line)
{
    const int i = IndexOfLine(contract, line);
    if (i < 0)
        throw std::invalid_argument("no line " + line);
    contract.m_Items.RemoveAt(i);
}

CItem& InsertLine(CContract& contract, const std::string& after, const std::string& line,
                  const std::string& itemNumber, const std::string& unit, double quantity, double unitPrice)
{
    auto item = std::make_unique<CItem>();
    item->m_strLineNumber = line;
    item->m_strItemNumber = itemNumber;
    item->m_strUnit = unit;
    item->m_strAltCode = std::string();
    item->m_strShortDesc = "ADDED BY AMENDMENT " + itemNumber;
    item->m_fQuantity = quantity;
    item->m_fUnitPrice = unitPrice;
    return *contract.m_Items.InsertAt(IndexOfLine(contract, after) + 1, std::move(item));
}

CItem& InsertSection(CContract& contract, const std::string& before, const std::string& number,
                     const std::string& description)
{
    auto heading = std::make_unique<CItem>();
    FlagSet(heading->m_wFlags, ITEM_SECTION, 1);
    heading->m_strLineNumber = number;
    heading->m_strLongDesc = description;
    return *contract.m_Items.InsertAt(IndexOfLine(contract, before), std::move(heading));
}

void RemoveSection(CContract& contract, const std::string& number)
{
    for (int i = 0; i < contract.m_Items.GetSize(); ++i)
        if (contract.m_Items[i]->IsHeading() && TextView(contract.m_Items[i]->m_strLineNumber) == number) {
            contract.m_Items.RemoveAt(i);
            return;
        }
    throw std::invalid_argument("no section " + number);
}

void SetLumpSum(CContract& contract, const std::string& line, bool on)
{
    FlagSet(ItemAt(contract, line).m_wFlags, ITEM_LUMP_SUM, on ? 1 : 0);
}

void RemoveField(CWinMeta& table, const std::string& name)
{
    const int j = table.FindField(name);
    if (j < 0)
        throw std::invalid_argument("no field " + name);
    table.m_Fields.RemoveAt(j);
    for (const auto& rec : table.m_Records)
        if (j < rec->m_Cells.GetSize())
            rec->m_Cells.RemoveAt(j);
}

void AmendOneInTen(CContract& contract)
{
    std::vector<std::string> lines;
    for (const auto& item : contract.m_Items)
        if (!item->IsHeading())
            lines.emplace_back(TextView(item->m_strLineNumber));
    for (size_t k = 0; k < lines.size(); k += 10) {
        CItem& item = ItemAt(contract, lines[k]);
        switch ((k / 10) % 4) {
        case 0: item.m_fQuantity = item.m_fQuantity * 0.8; break;
        case 1: item.m_fUnitPrice = item.m_fUnitPrice + 1.25; break;
        case 2: RemoveLine(contract, lines[k]); break;
        default:
            InsertLine(contract, lines[k], lines[k] + "A", "AMD-" + std::to_string(k), "EACH", 10, 100);
            break;
        }
    }
    contract.RecalculateContract();
}

} // namespace kestrel::test
