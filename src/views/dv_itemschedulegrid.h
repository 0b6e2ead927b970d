#pragma once
// "Contract Items": the contract's item schedule as a grid, two rows per
// entry, with the quantity and unit price of each item typed into their
// cells (expressions allowed: "@UP" and "@QUAN" are the item's other
// value) and the "counted although fixed price" mark of fixed-price items.
// The columns can be dragged to other places; each keeps its cells, its
// share of the width and its role. The status bar's total pane is as wide
// as the "Extension" column. The quick filters above the grid list only
// the unassigned, partly subcontracted or over-committed items.

#include "grid/contitemdatasource.h"
#include "views/dv_gridbase.h"

namespace kestrel {

class CDV_ItemScheduleGrid : public CDV_GridBase {
    Q_OBJECT
public:
    explicit CDV_ItemScheduleGrid(QWidget* parent = nullptr);

    CContItemDataSource& Source() { return m_source; }
    // The columns' widths in average characters, by column id.
    static const std::vector<int>& ColumnChars();
    // The width the status bar's total pane gets: the "Extension" column's
    // less 6 pixels.
    int TotalPaneWidth() const;

protected:
    void OnInitialUpdate() override;
    void OnContractChanged(const ChangeEvent& event) override;
    void FitColumns() override;
    void ReleaseContract() override;
    bool ShowOnlyItems(const std::vector<int>* items) override;
    int ShownItemCount() const override { return m_source.ShownItemCount(); }
    int ListedItemCount() const override { return m_source.ItemCount(); }
    std::string LineOfRow(int row) const override;
    int RowOfLine(const std::string& line) const override { return m_source.RowOfLine(line); }
    int HomeColumn() const override { return CContItemDataSource::ColUnitPrice; }

private:
    void ShowTotal();

    CContItemDataSource m_source;
};

} // namespace kestrel
