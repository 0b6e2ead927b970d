#include "exchange/exporttable.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <set>

#include "calc/codepage.h"
#include "model/contract/contract.h"
#include "model/subcontract/subservices.h"
#include "model/subcontract/texttrim.h"
#include "model/subcontract/winmeta.h"

namespace kestrel {

namespace {

// More decimals than a double holds only add noise, and spreadsheets show
// at most this many.
constexpr int kMaxDecimals = 15;

int HeldDecimals(int decimals)
{
    return std::clamp(decimals, 0, kMaxDecimals);
}

ExportNumberFormat FormatOf(const NumberFormat& f, bool money, bool separators)
{
    return {f.digits, HeldDecimals(f.decimals), money, separators};
}

// The column formats every table numbers its cells by.
enum FormatIndex : int { kQuantity = 0, kUnitPrice, kExtension, kPercent };

std::vector<ExportNumberFormat> ContractFormats(const CContract& c)
{
    NumberFormat percent{3, 2};
    if (c.m_pSubTable)
        percent = c.m_pSubTable->m_PercentFormat;
    // Quantities and money with separators as the grids show them; the
    // percentage as the subcontractor list shows it, without.
    return {FormatOf(c.m_QuanFormat, false, true), FormatOf(c.m_UPFormat, true, true),
            FormatOf(c.m_ExtFormat, true, true), FormatOf(percent, false, false)};
}

class RowBuilder {
public:
    explicit RowBuilder(ExportTable& table) : m_table(table) {}
    RowBuilder& Text(std::string_view text)
    {
        m_row.push_back(ExportCell::Text(text));
        return *this;
    }
    RowBuilder& Number(double x, int format)
    {
        m_row.push_back(ExportCell::Number(x, format, m_table.formats[static_cast<size_t>(format)]));
        return *this;
    }
    RowBuilder& Cell(ExportCell cell)
    {
        m_row.push_back(std::move(cell));
        return *this;
    }
    RowBuilder& Empty() { return Cell(ExportCell()); }
    void Done()
    {
        m_row.resize(m_table.headings.size());
        m_table.rows.push_back(std::move(m_row));
        m_row.clear();
    }

private:
    ExportTable& m_table;
    std::vector<ExportCell> m_row;
};

ExportTable NewTable(const CContract& c, std::string name, std::vector<std::string> headings)
{
    ExportTable t;
    t.name = std::move(name);
    t.headings = std::move(headings);
    t.formats = ContractFormats(c);
    return t;
}

std::string_view CellText(const CSubcontract& record, int field)
{
    const Text* text = record.GetCellText(field);
    return text ? TextView(*text) : std::string_view();
}

// An amount or percentage cell as a number when the whole text reads as one
// (blanks, tabs, "$" and "," left out, parentheses for a negative amount);
// any other text stays as it stands, so nothing is lost.
ExportCell AmountCell(std::string_view text, int format, const ExportNumberFormat& f)
{
    if (IsBlankText(text))
        return ExportCell();
    const std::optional<double> value = ParseWholeAmountText(text);
    return value ? ExportCell::Number(*value, format, f) : ExportCell::Text(text);
}

// The key of a drop-down's list source: the part after its first colon, or
// the whole trimmed source when it has none or begins with one.
std::string_view ListKey(std::string_view source)
{
    const size_t colon = source.find(':');
    if (colon == std::string_view::npos || colon == 0)
        return TrimWhite(source);
    return TrimWhite(source.substr(colon + 1));
}

// The vendor drop-down of the subcontractor form, -1 when the form has none.
int VendorField(const CWinMeta& table)
{
    for (int j = 0; j < table.m_Fields.GetSize(); ++j) {
        const CFieldInfo& f = *table.m_Fields[j];
        if ((f.m_iType == FIELD_DROPLIST || f.m_iType == FIELD_DROPTYPE) &&
            EqualNoCase(ListKey(TextView(f.m_strListSource)), "vendor"))
            return j;
    }
    return -1;
}

// 1 for the first tier; a chain of parents that loops back ends at the loop.
int TierOf(const CSubcontract& record, int records)
{
    int tier = 1;
    for (const CSubcontract* p = record.m_pParent; p && tier <= records; p = p->m_pParent)
        ++tier;
    return tier;
}

void AddSubItemRow(ExportTable& t, const CSubcontract& record, std::string_view key, const CItem* item,
                   const CSubItem& si)
{
    RowBuilder(t)
        .Text(CellText(record, SUBF_NUMBER))
        .Text(CellText(record, SUBF_NAME))
        .Text(key)
        .Text(item ? TextView(item->m_strItemNumber) : std::string_view())
        .Number(si.m_fQuan, kQuantity)
        .Text(TextView(si.m_strUnitType))
        .Number(si.m_fUP, kUnitPrice)
        .Number(si.m_fExt, kExtension)
        .Text(FlagTest(si.m_wFlags, SUBITEM_PARTIAL) ? "Yes" : "No")
        .Text(TextView(si.m_strRemarks))
        .Text(FlagTest(si.m_wFlags, SUBITEM_COMPLETE) ? "" : "X")
        .Done();
}

} // namespace

std::optional<ExportTableKind> ExportTableKindFromName(std::string_view name)
{
    if (name == "items")
        return ExportTableKind::Items;
    if (name == "subitems")
        return ExportTableKind::SubItems;
    if (name == "subcontractors")
        return ExportTableKind::Subcontractors;
    return std::nullopt;
}

std::string PlainNumberText(double x, int decimals)
{
    const int p = HeldDecimals(decimals);
    const int size = std::snprintf(nullptr, 0, "%.*f", p, x);
    std::string text(static_cast<size_t>(size > 0 ? size : 0), '\0');
    std::snprintf(text.data(), text.size() + 1, "%.*f", p, x);
    return text;
}

ExportCell ExportCell::Text(std::string_view text)
{
    ExportCell cell;
    if (!text.empty()) {
        cell.kind = Kind::Text;
        cell.text = std::string(text);
    }
    return cell;
}

ExportCell ExportCell::Number(double x, int format, const ExportNumberFormat& f)
{
    ExportCell cell;
    if (IsBlankValue(x))
        return cell;
    cell.text = PlainNumberText(x, f.decimals);
    if (!std::isfinite(x)) {
        // Not a number a spreadsheet can hold: kept as the text it prints as.
        cell.kind = Kind::Text;
        return cell;
    }
    cell.kind = Kind::Number;
    cell.value = std::strtod(cell.text.c_str(), nullptr);
    cell.format = format;
    return cell;
}

ExportTable ItemScheduleTable(const CContract& c)
{
    ExportTable t =
        NewTable(c, "Items",
                 {"Line", "Alternate", "Item", "Quantity", "Unit", "Unit Price", "Extension", "Description"});
    for (const auto& e : c.m_Items) {
        if (e->IsHeading()) {
            RowBuilder(t)
                .Text(TextView(e->m_strLineNumber))
                .Text(TextView(e->m_strAltCode))
                .Text("==Section==")
                .Empty()
                .Empty()
                .Empty()
                .Number(e->m_fExtension, kExtension)
                .Text(TextView(e->m_strLongDesc))
                .Done();
            continue;
        }
        RowBuilder row(t);
        row.Text(TextView(e->m_strLineNumber))
            .Text(TextView(e->m_strAltCode))
            .Text(TextView(e->m_strItemNumber));
        if (FlagTest(e->m_wFlags, ITEM_LUMP_SUM))
            row.Text("LUMP");
        else
            row.Number(e->m_fQuantity, kQuantity);
        row.Text(TextView(e->m_strUnit))
            .Number(e->m_fUnitPrice, kUnitPrice)
            .Number(e->m_fExtension, kExtension)
            .Text(TextView(e->m_strShortDesc))
            .Done();
    }
    return t;
}

ExportTable SubItemsTable(const CContract& c, const CSubcontract* only)
{
    ExportTable t = NewTable(c, "Subcontractor Items",
                             {"Subcontractor", "Name", "Line", "Item", "Quantity", "Unit", "Unit Price",
                              "Extension", "Partial", "Notes", "Error? "});
    if (!c.m_pSubTable)
        return t;
    for (const auto& owned : c.m_pSubTable->m_Records) {
        const CSubcontract* record = owned.get();
        if (record->m_SubItems.IsEmpty() || (only && record != only))
            continue;
        std::set<std::string, std::less<>> listed;
        for (const auto& e : c.m_Items) {
            if (e->IsHeading())
                continue;
            const std::string_view key = TextView(e->m_strLineNumber);
            const CSubItem* si = record->FindSubItem(key);
            if (si && listed.insert(std::string(key)).second)
                AddSubItemRow(t, *record, key, e.get(), *si);
        }
        record->m_SubItems.ForEach([&](const std::string& key, const CSubItem& si) {
            if (!listed.count(key))
                AddSubItemRow(t, *record, key, nullptr, si);
        });
    }
    return t;
}

ExportTable SubcontractorsTable(const CContract& c)
{
    ExportTable t =
        NewTable(c, "Subcontractors",
                 {"Number", "Name", "Tier", "Parent", "Vendor", "Amount", "Credited Percentage", "Complete"});
    if (!c.m_pSubTable)
        return t;
    const CWinMeta& table = *c.m_pSubTable;
    const int vendor = VendorField(table);
    const ExportNumberFormat tierFormat{3, 0, false, false};
    t.formats.push_back(tierFormat);
    const int tierIndex = static_cast<int>(t.formats.size()) - 1;
    for (const auto& owned : table.m_Records) {
        const CSubcontract* record = owned.get();
        RowBuilder(t)
            .Text(CellText(*record, SUBF_NUMBER))
            .Text(CellText(*record, SUBF_NAME))
            .Number(TierOf(*record, table.m_Records.GetSize()), tierIndex)
            .Text(CellText(*record, SUBF_PARENT))
            .Text(vendor >= 0 ? CellText(*record, vendor) : std::string_view())
            .Cell(AmountCell(CellText(*record, SUBF_AMOUNT), kExtension, t.formats[kExtension]))
            .Cell(AmountCell(CellText(*record, SUBF_PERCENT), kPercent, t.formats[kPercent]))
            .Text(FlagTest(record->m_wFlags, SUB_COMPLETE) ? "Yes" : "No")
            .Done();
    }
    return t;
}

ExportTable MakeExportTable(const CContract& contract, ExportTableKind kind)
{
    switch (kind) {
    case ExportTableKind::Items: return ItemScheduleTable(contract);
    case ExportTableKind::SubItems: return SubItemsTable(contract);
    case ExportTableKind::Subcontractors: return SubcontractorsTable(contract);
    }
    return ItemScheduleTable(contract);
}

} // namespace kestrel
