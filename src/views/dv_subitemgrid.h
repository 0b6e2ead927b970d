#pragma once
// The upper row of "Subcontractor Items": the contract's items as one
// subcontractor sees them, a row per item (with the section headings for
// a first-tier subcontractor; only the lines of its parent for a lower
// tier). "Use?" subcontracts an item or takes it back. The row the cursor
// is on names the line the entry view below shows. The grid's height is
// kept in the settings ("HSplitterPos") whenever the view is resized.
// The quick filters above the grid judge the items by the subcontractor's
// tier.

#include <QString>

#include <string>

#include "grid/subitemdatasource.h"
#include "views/dv_gridbase.h"

namespace kestrel {

class CDV_SubItemGrid : public CDV_GridBase {
    Q_OBJECT
public:
    explicit CDV_SubItemGrid(QWidget* parent = nullptr);

    CSubItemDataSource& Source() { return m_source; }
    static const std::vector<int>& ColumnChars();
    // The line of the current row (empty: a heading, or no row).
    std::string CurrentLine() const;
    // Puts the cursor on a line's row.
    void SelectLine(const std::string& line);

signals:
    // The cursor moved to another row: the line it shows (empty for a
    // section heading).
    void currentLineChanged(const QString& line);

protected:
    void OnInitialUpdate() override;
    void OnContractChanged(const ChangeEvent& event) override;
    void FitColumns() override;
    void ReleaseContract() override;
    void resizeEvent(QResizeEvent* event) override;
    const CSubcontract* FilterTier() const override;
    bool ShowOnlyItems(const std::vector<int>* items) override { return m_source.ShowOnly(items); }
    int ShownItemCount() const override { return m_source.ShownItemCount(); }
    int ListedItemCount() const override { return m_source.ItemCount(); }
    std::string LineOfRow(int row) const override { return m_source.LineOfRow(row); }
    int RowOfLine(const std::string& line) const override { return m_source.RowOfLine(line); }
    int HomeColumn() const override { return CSubItemDataSource::ColUse; }
    void OnNoCurrentRow() override { emit currentLineChanged(QString()); }

private:
    void BindSource();

    CSubItemDataSource m_source;
};

} // namespace kestrel
