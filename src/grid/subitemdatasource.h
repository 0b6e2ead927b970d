#pragma once
// The cells of one subcontractor's items: one row per listed contract row.
// A first-tier subcontractor lists every row of the schedule, section
// headings included; a lower-tier one only the items its parent holds, in
// contract order, without headings. The row table is built when the
// source is bound (and again when the parent's items change), so a cell is
// found at once.
//
// An item row shows "X" under "Error? " for a sub-item that is not
// complete, the "Use?" box checked when the item is subcontracted here, the
// item's line, number, unit and description, and the sub-item's quantity,
// unit price and extension; without a sub-item, what the tier has left of
// the quantity (negative when it is over-committed) and the prices of the
// tier above (the parent's sub-item, or the contract item). Checking
// "Use?" subcontracts the item, unchecking it takes it back (with its
// lower-tier copies), both through the edit layer.
//
// A quick filter lists only some of those rows; the row table then holds
// just them.

#include <QCoreApplication>
#include <optional>

#include <string>
#include <unordered_map>
#include <vector>

#include "grid/griddatasource.h"
#include "grid/itemtexts.h"

namespace kestrel {

class CContract;
class CContractEdits;
class CItem;
class CSubcontract;

class CSubItemDataSource : public CGridDataSource {
    Q_DECLARE_TR_FUNCTIONS(kestrel::CSubItemDataSource)

public:
    enum ColumnId {
        ColError,
        ColUse,
        ColLine,
        ColItem,
        ColQuantity,
        ColUnit,
        ColUnitPrice,
        ColExtension,
        ColDescription,
        ColumnTotal, // the number of columns
    };

    // Binds a subcontractor of the contract (null contract or record: no
    // cells) and builds the row table.
    void Bind(CContract* contract, CContractEdits* edits, CSubcontract* record);
    // Builds the row table again (the parent's items changed); returns
    // whether the rows are other than before.
    bool Rebuild();
    CSubcontract* Record() const { return m_record; }
    // Lists only the rows of these entries (indexes in the contract's
    // items, in item order), or every row for null, and builds the row
    // table again; returns whether the rows changed.
    bool ShowOnly(const std::vector<int>* items);
    bool Filtered() const { return m_filter.has_value(); }
    // The items (not headings) listed, and those listed without a filter.
    int ShownItemCount() const { return m_shownItems; }
    int ItemCount() const { return m_itemCount; }

    // The contract entry a row shows, -1 none.
    int ItemOfRow(int row) const;
    const CItem* ItemAt(int row) const;
    // The line of an item row; empty for a heading or no row.
    std::string LineOfRow(int row) const;
    // The row of an item's line, -1 when it is not listed.
    int RowOfLine(const std::string& line) const;

    int RowCount() const override { return static_cast<int>(m_rows.size()); }
    int ColumnCount() const override { return ColumnTotal; }
    QString RowHeading(int row) const override { return ItemRowHeading(ItemAt(row)); }
    GridColumn Column(int column) const override;
    GridCell Cell(int column, int row) const override;
    GridCellKind Kind(int column, int row) const override;
    std::optional<EditResult> CommitCheck(int column, int row, bool checked) override;

private:
    GridCell ItemCell(const CItem& item, int column) const;
    GridCell HeadingCell(const CItem& item, int column) const;

    CContract* m_contract = nullptr;
    CContractEdits* m_edits = nullptr;
    CSubcontract* m_record = nullptr;
    std::vector<int> m_rows; // contract entry of each row
    std::optional<std::vector<int>> m_filter;
    int m_shownItems = 0;
    int m_itemCount = 0;
    std::unordered_map<std::string, int> m_rowOfLine;
};

} // namespace kestrel
