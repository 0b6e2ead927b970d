#pragma once
// The data source of a grid: the grid asks it for the number of rows and
// columns and for each cell it draws, and hands it a cell's new value when
// an edit or a check-box click is committed. A data source reads the model
// directly; whatever it needs to answer a cell at once (a table of rows)
// it builds when it is bound, never while cells are drawn.
//
// Columns are named by their logical id; where the user has dragged a
// column to is the grid's business, never the data source's.

#include <optional>
#include <vector>

#include "edit/contractedits.h"
#include "grid/gridcell.h"

namespace kestrel {

class CGridDataSource {
public:
    virtual ~CGridDataSource() = default;

    virtual int RowCount() const = 0;
    virtual int ColumnCount() const = 0;
    virtual GridColumn Column(int column) const = 0;
    // The cell at a column id and row. Cells of one joined group all give
    // the group's text.
    virtual GridCell Cell(int column, int row) const = 0;
    virtual GridCellKind Kind(int column, int row) const = 0;
    // The text an editor of the cell starts with.
    virtual QString EditText(int column, int row) const { return Cell(column, row).text; }
    // Cells joined across columns: for each column id its group, cells of
    // equal groups being one cell; null when every cell of the row stands
    // alone. Rows of one shape share one table.
    virtual const std::vector<int>* JoinGroups(int /*row*/) const { return nullptr; }
    // How many rows show one record (two per item in the item schedule);
    // the current-row colours cover all of them.
    virtual int RowsPerRecord() const { return 1; }
    // What names the row for a screen reader ("Line 0010"); empty when
    // nothing does.
    virtual QString RowHeading(int /*row*/) const { return QString(); }

    // A committed value: the change it makes, or nothing when the cell
    // takes no value (no contract bound, a cell that cannot be edited).
    virtual std::optional<EditResult> Commit(int /*column*/, int /*row*/, const QString& /*text*/)
    {
        return std::nullopt;
    }
    virtual std::optional<EditResult> CommitCheck(int /*column*/, int /*row*/, bool /*checked*/)
    {
        return std::nullopt;
    }
};

} // namespace kestrel
