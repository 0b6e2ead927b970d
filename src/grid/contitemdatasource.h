#pragma once
// The cells of the contract's item schedule: two rows per entry of the
// schedule, in contract order. An item's first row holds its line number,
// item number, quantity ("LUMP" for a lump-sum item), unit, unit price and
// extension; its second row its alternate code under "Line" and its short
// description joined across the other columns. A fixed-price item's
// second row keeps "Unit Price" apart for its "counted although fixed
// price" mark, a check box. A section heading's first row reads
// "  Section <number>" across the first five columns with the section
// total under "Extension"; its second row the section's alternate code and
// its long description.
//
// Quantity and unit price are typed into the first row ("@UP" and "@QUAN"
// hold the item's other value), the mark is checked or typed in the second
// row; every change goes through the edit layer.
//
// A quick filter lists only some entries: the source keeps the table of the
// entries it shows, so a cell is still found at once.

#include <QCoreApplication>

#include <string>
#include <unordered_map>
#include <vector>

#include "grid/griddatasource.h"
#include "grid/itemtexts.h"

namespace kestrel {

class CContract;
class CContractEdits;
class CItem;

class CContItemDataSource : public CGridDataSource {
    Q_DECLARE_TR_FUNCTIONS(kestrel::CContItemDataSource)

public:
    enum ColumnId {
        ColLine,
        ColItem,
        ColQuantity,
        ColUnit,
        ColUnitPrice,
        ColExtension,
        ColumnTotal, // the number of columns
    };

    // Binds the contract (null: no cells) and the edit layer over it; the
    // table of lines is built here, once.
    void Bind(CContract* contract, CContractEdits* edits);
    CContract* Contract() const { return m_contract; }
    // Shows only these entries (indexes in the contract's items, in item
    // order), or every entry for null. Returns whether the rows changed.
    bool ShowOnly(const std::vector<int>* items);
    bool Filtered() const { return m_filtered; }
    // The items (not headings) shown, and those the schedule has.
    int ShownItemCount() const { return m_shownItems; }
    int ItemCount() const { return m_itemCount; }

    // The entry a row shows (its index in the contract's items), -1 none.
    int ItemOfRow(int row) const;
    const CItem* ItemAt(int row) const;
    // The first row of an item's line, -1 when no item has it.
    int RowOfLine(const std::string& line) const;
    // Where the editor goes from a row, forward or backward: the row of
    // the next (previous) item whose unit price can be typed, skipping
    // section headings and fixed-price items that are not options; for a
    // fixed-price option its second row. -1: nowhere (the end of the
    // schedule, or back onto the first row).
    int NextEditRow(int row, bool forward) const;
    // The row the editor starts on: the first item's as NextEditRow finds
    // it, -1 when there is none.
    int FirstEditRow() const;

    int RowCount() const override;
    int ColumnCount() const override { return ColumnTotal; }
    GridColumn Column(int column) const override;
    GridCell Cell(int column, int row) const override;
    GridCellKind Kind(int column, int row) const override;
    QString EditText(int column, int row) const override;
    const std::vector<int>* JoinGroups(int row) const override;
    int RowsPerRecord() const override { return 2; }
    QString RowHeading(int row) const override { return ItemRowHeading(ItemAt(row)); }
    std::optional<EditResult> Commit(int column, int row, const QString& text) override;
    std::optional<EditResult> CommitCheck(int column, int row, bool checked) override;

private:
    // The first row an editor can take, from the entry shown at `position` on.
    int EditRowFrom(int position, bool forward) const;
    void BuildRows(const std::vector<int>* items);
    GridCell FirstRowCell(const CItem& item, int column) const;
    GridCell SecondRowCell(const CItem& item, int column) const;
    GridCell HeadingCell(const CItem& item, int column, bool firstRow) const;

    CContract* m_contract = nullptr;
    CContractEdits* m_edits = nullptr;
    std::vector<int> m_entries; // the entry each pair of rows shows
    std::unordered_map<std::string, int> m_rowOfLine;
    bool m_filtered = false;
    int m_shownItems = 0;
    int m_itemCount = 0;
};

} // namespace kestrel
