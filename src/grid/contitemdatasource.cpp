#include "grid/contitemdatasource.h"

#include "app/qtext.h"
#include "grid/itemtexts.h"
#include "model/contract/contract.h"

namespace kestrel {

namespace {

// How the cells of each kind of row are joined (a group per column).
const std::vector<int> kDescriptionRow{0, 1, 1, 1, 1, 1};
const std::vector<int> kFixedPriceDescriptionRow{0, 1, 1, 1, 4, 5};
const std::vector<int> kSectionRow{0, 0, 0, 0, 0, 5};

bool IsFixedPrice(const CItem& item)
{
    return FlagTest(item.m_wFlags, ITEM_FIXED_PRICE);
}

// The unit price of a fixed-price item is the contract's, unless the item
// is an option.
bool PriceIsFixed(const CItem& item)
{
    return IsFixedPrice(item) && !FlagTest(item.m_wFlags, ITEM_IS_OPTION);
}

} // namespace

void CContItemDataSource::Bind(CContract* contract, CContractEdits* edits)
{
    m_contract = contract;
    m_edits = edits;
    m_itemCount = 0;
    if (m_contract)
        for (const auto& item : m_contract->m_Items)
            m_itemCount += item->IsHeading() ? 0 : 1;
    BuildRows(nullptr);
}

bool CContItemDataSource::ShowOnly(const std::vector<int>* items)
{
    const std::vector<int> before = m_entries;
    BuildRows(items);
    return before != m_entries;
}

void CContItemDataSource::BuildRows(const std::vector<int>* items)
{
    m_entries.clear();
    m_rowOfLine.clear();
    m_shownItems = 0;
    m_filtered = m_contract && items;
    if (!m_contract)
        return;
    const int count = m_contract->m_Items.GetSize();
    if (items) {
        for (int i : *items)
            if (i >= 0 && i < count)
                m_entries.push_back(i);
    } else {
        m_entries.resize(static_cast<size_t>(count));
        for (int i = 0; i < count; ++i)
            m_entries[static_cast<size_t>(i)] = i;
    }
    m_rowOfLine.reserve(m_entries.size());
    for (size_t k = 0; k < m_entries.size(); ++k) {
        const CItem& item = *m_contract->m_Items[m_entries[k]];
        // The first item of a line is the one the program finds by it.
        if (!item.IsHeading()) {
            m_rowOfLine.emplace(std::string(TextView(item.m_strLineNumber)), 2 * static_cast<int>(k));
            ++m_shownItems;
        }
    }
}

int CContItemDataSource::RowCount() const
{
    return m_contract ? 2 * static_cast<int>(m_entries.size()) : 0;
}

int CContItemDataSource::ItemOfRow(int row) const
{
    return row >= 0 && row < RowCount() ? m_entries[static_cast<size_t>(row / 2)] : -1;
}

const CItem* CContItemDataSource::ItemAt(int row) const
{
    const int index = ItemOfRow(row);
    return index < 0 ? nullptr : m_contract->m_Items[index];
}

int CContItemDataSource::RowOfLine(const std::string& line) const
{
    const auto it = m_rowOfLine.find(line);
    return it == m_rowOfLine.end() ? -1 : it->second;
}

int CContItemDataSource::EditRowFrom(int position, bool forward) const
{
    const int count = static_cast<int>(m_entries.size());
    const int step = forward ? 1 : -1;
    for (int k = position; k >= 0 && k < count; k += step) {
        const CItem& entry = *m_contract->m_Items[m_entries[static_cast<size_t>(k)]];
        if (entry.IsHeading() || PriceIsFixed(entry))
            continue;
        return 2 * k + (IsFixedPrice(entry) ? 1 : 0);
    }
    return -1;
}

int CContItemDataSource::NextEditRow(int row, bool forward) const
{
    if (ItemOfRow(row) < 0)
        return -1;
    const int target = EditRowFrom(row / 2 + (forward ? 1 : -1), forward);
    return !forward && target == 0 ? -1 : target;
}

int CContItemDataSource::FirstEditRow() const
{
    return EditRowFrom(0, true);
}

GridColumn CContItemDataSource::Column(int column) const
{
    switch (column) {
    case ColLine: return {tr("Line"), 6, kCellCentre};
    case ColItem: return {tr("Item"), 12, kCellCentre};
    case ColQuantity: return {tr("Quantity"), 13, kCellRight};
    case ColUnit: return {tr("Unit"), 5, kCellCentre};
    case ColUnitPrice: return {tr("Unit Price"), 17, kCellRight};
    case ColExtension: return {tr("Extension"), 15, kCellRight};
    default: return {};
    }
}

GridCell CContItemDataSource::FirstRowCell(const CItem& item, int column) const
{
    const CContract& c = *m_contract;
    switch (column) {
    case ColLine: return TextCell(ToQString(item.m_strLineNumber), kCellCentre);
    case ColItem: return TextCell(ToQString(item.m_strItemNumber), kCellCentre);
    case ColQuantity:
        return TextCell(FlagTest(item.m_wFlags, ITEM_LUMP_SUM)
                            ? QString::fromLatin1(kLumpSumText)
                            : QuantityText(item.m_fQuantity, c.m_QuanFormat),
                        kCellRight);
    case ColUnit: return TextCell(ToQString(item.m_strUnit), kCellCentre);
    case ColUnitPrice: return TextCell(MoneyText(item.m_fUnitPrice, c.m_UPFormat), kCellRight);
    case ColExtension: return TextCell(MoneyText(item.m_fExtension, c.m_ExtFormat), kCellRight);
    default: return {};
    }
}

GridCell CContItemDataSource::SecondRowCell(const CItem& item, int column) const
{
    if (column == ColLine)
        return TextCell(ToQString(item.m_strAltCode), kCellCentre);
    if (IsFixedPrice(item)) {
        if (column == ColUnitPrice) {
            GridCell cell = TextCell(tr("Counted"), kCellCentre);
            cell.kind = {GridCellType::CheckBox, true};
            cell.checked = FlagTest(item.m_wFlags, ITEM_COUNT_FIXED);
            return cell;
        }
        if (column == ColExtension)
            return {};
    }
    return TextCell(ToQString(item.m_strShortDesc), kCellLeft);
}

GridCell CContItemDataSource::HeadingCell(const CItem& item, int column, bool firstRow) const
{
    GridCell cell;
    if (firstRow) {
        cell = column == ColExtension
                   ? TextCell(MoneyText(item.m_fExtension, m_contract->m_ExtFormat), kCellRight)
                   : TextCell(tr("  Section ") + ToQString(item.m_strLineNumber), kCellLeft);
    } else {
        cell = column == ColLine ? TextCell(ToQString(item.m_strAltCode), kCellCentre)
                                 : TextCell(OneLineText(item.m_strLongDesc), kCellLeft);
    }
    cell.style = GridRowStyle::Section;
    return cell;
}

GridCell CContItemDataSource::Cell(int column, int row) const
{
    const CItem* item = ItemAt(row);
    if (!item || column < 0 || column >= ColumnTotal)
        return {};
    GridCell cell;
    if (item->IsHeading())
        cell = HeadingCell(*item, column, row % 2 == 0);
    else
        cell = row % 2 == 0 ? FirstRowCell(*item, column) : SecondRowCell(*item, column);
    cell.kind = Kind(column, row);
    return cell;
}

GridCellKind CContItemDataSource::Kind(int column, int row) const
{
    const CItem* item = ItemAt(row);
    if (!item || item->IsHeading())
        return {};
    // Without the edit layer nothing can be changed.
    const bool editable = m_edits != nullptr;
    if (row % 2 == 0)
        return {GridCellType::Text,
                editable && (column == ColQuantity || column == ColUnitPrice) && !PriceIsFixed(*item)};
    if (column == ColUnitPrice && IsFixedPrice(*item))
        return {GridCellType::CheckBox, editable};
    return {};
}

QString CContItemDataSource::EditText(int column, int row) const
{
    const CItem* item = ItemAt(row);
    if (!item || item->IsHeading())
        return QString();
    if (row % 2 == 1)
        return column == ColUnitPrice && FlagTest(item->m_wFlags, ITEM_COUNT_FIXED) ? QStringLiteral("1")
                                                                                    : QStringLiteral("0");
    // A lump sum's quantity opens as it shows: left so, it changes nothing;
    // anything else typed is refused with the reason.
    if (column == ColQuantity)
        return FlagTest(item->m_wFlags, ITEM_LUMP_SUM)
                   ? QString::fromLatin1(kLumpSumText)
                   : EntryText(item->m_fQuantity, m_contract->m_QuanFormat);
    if (column == ColUnitPrice)
        return EntryText(item->m_fUnitPrice, m_contract->m_UPFormat);
    return Cell(column, row).text;
}

const std::vector<int>* CContItemDataSource::JoinGroups(int row) const
{
    const CItem* item = ItemAt(row);
    if (!item)
        return nullptr;
    if (item->IsHeading())
        return row % 2 == 0 ? &kSectionRow : &kDescriptionRow;
    if (row % 2 == 0)
        return nullptr;
    return IsFixedPrice(*item) ? &kFixedPriceDescriptionRow : &kDescriptionRow;
}

std::optional<EditResult> CContItemDataSource::Commit(int column, int row, const QString& text)
{
    const CItem* item = ItemAt(row);
    if (!item || !Kind(column, row).editable)
        return std::nullopt;
    const std::string line(TextView(item->m_strLineNumber));
    const Result<std::string> converted = FromTypedQString(text);
    if (!converted)
        return EditResult(converted.error());
    const std::string& typed = converted.value();
    if (row % 2 == 1)
        return m_edits->SetItemCounted(line, IsCountedText(typed));
    if (column == ColQuantity)
        return m_edits->SetItemQuantity(line, typed);
    return m_edits->SetItemUnitPrice(line, typed);
}

std::optional<EditResult> CContItemDataSource::CommitCheck(int column, int row, bool checked)
{
    const CItem* item = ItemAt(row);
    const GridCellKind kind = Kind(column, row);
    if (!item || row % 2 == 0 || kind.type != GridCellType::CheckBox || !kind.editable)
        return std::nullopt;
    return m_edits->SetItemCounted(std::string(TextView(item->m_strLineNumber)), checked);
}

} // namespace kestrel
