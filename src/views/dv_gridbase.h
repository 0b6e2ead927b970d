#pragma once
// What the two item grid views share: the grid filling the whole view, its
// fonts ("MS Sans Serif", bold: 12 pixels for the rows, 14 for the heading
// and section rows), its colours from the settings ("GridBkgColor" and
// "GridHiliteColor" when "BackgroundType" is 1, else the system's), the
// column widths set again whenever the grid's width changes, and the
// changes its cells make, applied through the document (a refusal's
// message shown once the edit is over).
//
// An item grid may carry the quick filters above it: the grid then lists
// only the items the chosen filter keeps, and each change of the contract
// applies the filter again (an item that no longer matches leaves the
// list, the cursor staying on its line when that is still listed).

#include <string>
#include <vector>

#include "edit/contractedits.h"
#include "views/dv.h"

namespace kestrel {

class CGridDataSource;
class CGridView;
class CQuickFilterBar;
class CRefusalNotice;
class CSubcontract;
enum class CommitMode;

class CDV_GridBase : public CDV {
    Q_OBJECT
public:
    explicit CDV_GridBase(QWidget* parent = nullptr);

    CGridView* Grid() const { return m_grid; }
    CRefusalNotice* Notice() const { return m_notice; }
    // The quick filters; null for a grid without them.
    CQuickFilterBar* FilterBar() const { return m_filterBar; }
    // Puts the cursor on a line's row, showing every item first when the
    // filter hides the line; false when the grid does not list it.
    bool GoToLine(const std::string& line);
    // The grids' font at a pixel height.
    static QFont GridFont(int pixelHeight);
    // The width of an average character of the rows' font.
    int CharWidth() const;

    // Copy with the grid focused copies its selected rows.
    void EditCopy(QWidget* focus) override;

protected:
    // Binds the grid to its data source (again) and sets it up.
    void SetUpGrid(CGridDataSource* source);
    void ApplyGridColors();
    void OnColorHint() override;
    // The grid's width changed: the columns are sized again.
    virtual void FitColumns() {}
    // The contract is going: the data source lets go of it.
    virtual void ReleaseContract() {}
    // Applies a change a cell made; false when it was refused.
    bool CommitEdit(EditResult result);
    // A click on a row while a refused entry is being told (the click took
    // the focus from it) does not move the cursor: the entry stays with its
    // row.
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Stores what is typed into the open cell editor (the contract is about
    // to be saved, or the view to be left).
    void CommitCellEditor(CommitMode mode);
    // A quick filter was chosen: the view is left for other rows, unless an
    // entry is refused, which keeps the filter that was shown.
    void OnFilterChosen();

    // --- quick filters ----------------------------------------------------
    // Puts the quick filters above the grid.
    void EnableQuickFilters();
    // Applies the chosen filter again and shows the count of items listed.
    void RefreshFilter();
    // The tier whose items the filters judge: the record above (null: the
    // first tier).
    virtual const CSubcontract* FilterTier() const { return nullptr; }
    // Lists only these items (null: every row); whether the rows changed.
    virtual bool ShowOnlyItems(const std::vector<int>* /*items*/) { return false; }
    // The items listed, and those listed without a filter.
    virtual int ShownItemCount() const { return 0; }
    virtual int ListedItemCount() const { return 0; }
    // The line of a row (empty for a heading), and the first row of a line.
    virtual std::string LineOfRow(int /*row*/) const { return {}; }
    virtual int RowOfLine(const std::string& /*line*/) const { return -1; }
    // The column the cursor takes when it has none.
    virtual int HomeColumn() const { return 0; }
    // The rows were replaced and no row is current any more.
    virtual void OnNoCurrentRow() {}

private:
    CGridView* m_grid;
    CRefusalNotice* m_notice;
    CQuickFilterBar* m_filterBar = nullptr;
    bool m_quiet = false; // storing in the background: a refusal is not told
};

} // namespace kestrel
