#include "grid/subitemdatasource.h"

#include "app/qtext.h"
#include "grid/itemtexts.h"
#include "model/contract/contract.h"
#include "model/subcontract/subcontract.h"
#include "model/subcontract/subservices.h"

namespace kestrel {

void CSubItemDataSource::Bind(CContract* contract, CContractEdits* edits, CSubcontract* record)
{
    m_contract = contract;
    m_edits = edits;
    m_record = contract ? record : nullptr;
    // Another record: the filter's items were the old record's.
    m_filter.reset();
    Rebuild();
}

bool CSubItemDataSource::ShowOnly(const std::vector<int>* items)
{
    if (items)
        m_filter = *items;
    else
        m_filter.reset();
    return Rebuild();
}

bool CSubItemDataSource::Rebuild()
{
    std::vector<int> rows;
    m_itemCount = 0;
    if (m_contract && m_record) {
        const CSubcontract* parent = m_record->m_pParent;
        const int count = m_contract->m_Items.GetSize();
        rows.reserve(static_cast<size_t>(count));
        std::vector<int>::const_iterator kept =
            m_filter ? m_filter->cbegin() : std::vector<int>::const_iterator();
        for (int i = 0; i < count; ++i) {
            const CItem& item = *m_contract->m_Items[i];
            // A lower tier works only on what its parent holds.
            if (parent && (item.IsHeading() || !parent->FindSubItem(TextView(item.m_strLineNumber))))
                continue;
            m_itemCount += item.IsHeading() ? 0 : 1;
            if (m_filter) {
                // Both lists are in item order.
                while (kept != m_filter->cend() && *kept < i)
                    ++kept;
                if (kept == m_filter->cend() || *kept != i)
                    continue;
            }
            rows.push_back(i);
        }
    }
    m_shownItems = 0;
    for (int i : rows)
        m_shownItems += m_contract->m_Items[i]->IsHeading() ? 0 : 1;
    if (rows == m_rows)
        return false;
    m_rows = std::move(rows);
    m_rowOfLine.clear();
    m_rowOfLine.reserve(m_rows.size());
    for (size_t row = 0; row < m_rows.size(); ++row) {
        const CItem& item = *m_contract->m_Items[m_rows[row]];
        if (!item.IsHeading())
            m_rowOfLine.emplace(std::string(TextView(item.m_strLineNumber)), static_cast<int>(row));
    }
    return true;
}

int CSubItemDataSource::ItemOfRow(int row) const
{
    return row >= 0 && row < RowCount() ? m_rows[static_cast<size_t>(row)] : -1;
}

const CItem* CSubItemDataSource::ItemAt(int row) const
{
    const int index = ItemOfRow(row);
    return index < 0 ? nullptr : m_contract->m_Items[index];
}

std::string CSubItemDataSource::LineOfRow(int row) const
{
    const CItem* item = ItemAt(row);
    return item && !item->IsHeading() ? std::string(TextView(item->m_strLineNumber)) : std::string();
}

int CSubItemDataSource::RowOfLine(const std::string& line) const
{
    const auto it = m_rowOfLine.find(line);
    return it == m_rowOfLine.end() ? -1 : it->second;
}

GridColumn CSubItemDataSource::Column(int column) const
{
    switch (column) {
    case ColError: return {tr("Error? "), 6, kCellCentre};
    case ColUse: return {tr("Use?"), 6, kCellCentre};
    case ColLine: return {tr("Line"), 6, kCellCentre};
    case ColItem: return {tr("Item"), 12, kCellLeft};
    case ColQuantity: return {tr("Quantity"), 13, kCellRight};
    case ColUnit: return {tr("Unit"), 5, kCellCentre};
    case ColUnitPrice: return {tr("Unit Price"), 14, kCellRight};
    case ColExtension: return {tr("Extension"), 15, kCellRight};
    case ColDescription: return {tr("Description"), 40, kCellLeft};
    default: return {};
    }
}

GridCell CSubItemDataSource::ItemCell(const CItem& item, int column) const
{
    const CContract& c = *m_contract;
    const std::string_view line = TextView(item.m_strLineNumber);
    const CSubItem* own = m_record->FindSubItem(line);
    switch (column) {
    case ColError:
        return TextCell(own && !FlagTest(own->m_wFlags, SUBITEM_COMPLETE) ? QStringLiteral("X") : QString(),
                        kCellCentre);
    case ColUse: {
        GridCell cell;
        cell.alignment = kCellCentre;
        cell.checked = own != nullptr;
        return cell;
    }
    case ColLine: return TextCell(ToQString(item.m_strLineNumber), kCellCentre);
    case ColItem: return TextCell(ToQString(item.m_strItemNumber), kCellLeft);
    case ColUnit: return TextCell(ToQString(item.m_strUnit), kCellCentre);
    case ColDescription: return TextCell(ToQString(item.m_strShortDesc), kCellLeft);
    default: break;
    }
    if (column == ColQuantity) {
        const CSubcontract* parent = m_record->m_pParent;
        const double quantity = own ? own->m_fQuan : RemainingQuantity(c, &item, parent);
        return TextCell(QuantityText(quantity, c.m_QuanFormat), kCellRight);
    }
    // The prices of a line not taken: the tier above's.
    const CSubItem* parentItem = m_record->m_pParent ? m_record->m_pParent->FindSubItem(line) : nullptr;
    if (column == ColUnitPrice) {
        const double price = own ? own->m_fUP : parentItem ? parentItem->m_fUP : item.m_fUnitPrice;
        return TextCell(MoneyText(price, c.m_UPFormat), kCellRight);
    }
    if (column == ColExtension) {
        const double amount = own ? own->m_fExt : parentItem ? parentItem->m_fExt : item.m_fExtension;
        return TextCell(MoneyText(amount, c.m_ExtFormat), kCellRight);
    }
    return {};
}

GridCell CSubItemDataSource::HeadingCell(const CItem& item, int column) const
{
    GridCell cell;
    switch (column) {
    case ColLine: cell = TextCell(ToQString(item.m_strLineNumber), kCellCentre); break;
    case ColItem: cell = TextCell(tr("==Section=="), kCellLeft); break;
    case ColExtension:
        cell = TextCell(MoneyText(item.m_fExtension, m_contract->m_ExtFormat), kCellRight);
        break;
    case ColDescription: cell = TextCell(OneLineText(item.m_strLongDesc), kCellLeft); break;
    default: break;
    }
    cell.style = GridRowStyle::Section;
    return cell;
}

GridCell CSubItemDataSource::Cell(int column, int row) const
{
    const CItem* item = ItemAt(row);
    if (!item || column < 0 || column >= ColumnTotal)
        return {};
    GridCell cell = item->IsHeading() ? HeadingCell(*item, column) : ItemCell(*item, column);
    cell.kind = Kind(column, row);
    return cell;
}

GridCellKind CSubItemDataSource::Kind(int column, int row) const
{
    const CItem* item = ItemAt(row);
    if (!item || item->IsHeading() || column != ColUse)
        return {};
    return {GridCellType::CheckBox, m_edits != nullptr};
}

std::optional<EditResult> CSubItemDataSource::CommitCheck(int column, int row, bool checked)
{
    const std::string line = LineOfRow(row);
    if (line.empty() || column != ColUse || !m_edits)
        return std::nullopt;
    return m_edits->UseItem(*m_record, line, checked);
}

} // namespace kestrel
