#pragma once
// The upper row of "Subcontractor Items": the contract's items as one
// subcontractor sees them, a row per item (with the section headings for
// a first-tier subcontractor; only the lines of its parent for a lower
// tier). "Use?" subcontracts an item or takes it back. The row the cursor
// is on names the line the entry view below shows. The grid's height is
// kept in the settings ("HSplitterPos") whenever the view is resized.

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

private:
    void BindSource();
    void RebuildRows();

    CSubItemDataSource m_source;
};

} // namespace kestrel
