#pragma once
// The grid window: a table over a data source (through CGridModel), with
// no side heading, a one-row top heading 20 pixels high, rows 22 pixels
// high and all alike, the colours of the current record, joined cells,
// check-box cells and an in-cell editor. Columns may be made movable: the
// heading keeps where each column stands, the data source is asked by
// column id. Only the rows in sight are ever asked for.
//
// While a cell is edited, its control keys come to the grid: Tab, Enter
// and Down go forward, Shift+Tab, Shift+Enter and Up backward, to the cell
// the owner's navigator names (by default the next or previous row of the
// same column); the value is committed first, and a refused value keeps
// the editor's cell. Page Up, Page Down, Home and End end the edit and move
// by page or to the first or last row.
//
// Rows are selected as in a spreadsheet (a click, Shift or Ctrl with the
// click or the arrows) and Ctrl+C copies them as tab-separated lines.

#include <QTableView>

#include <functional>
#include <vector>

#include "grid/griddelegate.h"

namespace kestrel {

class CGridModel;

class CGridView : public QTableView {
    Q_OBJECT
public:
    static constexpr int kHeadingHeight = 20;
    static constexpr int kRowHeight = 22;

    explicit CGridView(QWidget* parent = nullptr);

    CGridModel* Model() const { return m_model; }
    CGridDelegate* Delegate() const { return m_delegate; }

    // Where editing goes on from a cell, forward or backward; an invalid
    // index ends the edit there.
    using Navigator = std::function<QModelIndex(const QModelIndex& from, bool forward)>;
    void SetNavigator(Navigator navigator) { m_navigator = std::move(navigator); }
    void SetColumnsMovable(bool movable);
    void SetColors(const GridColors& colors);
    // The fonts of item rows and section rows, and of the heading.
    void SetFonts(const QFont& rowFont, const QFont& sectionFont, const QFont& headingFont);
    // Widths by column id.
    void SetColumnWidths(const std::vector<int>& widths);
    // The width the columns share: the visible width of the cells.
    int AvailableWidth() const;
    int CurrentRow() const;
    // Moves the current cell to a row, keeping the column.
    void MoveToRow(int row);
    // The cell editor open now, if any.
    QWidget* OpenEditor() const;
    // The selected rows (each with the other rows of its record; the
    // current record when none is selected) as spreadsheets copy them: a
    // line per row, the cells in the order the columns stand, separated by
    // tabs; a joined cell's text in its first column.
    QString SelectedRowsText() const;
    // Ctrl+C: puts them on the clipboard.
    void CopySelectedRows() const;
    // Commits what was typed into the open cell editor (closing it, or with
    // `close` false leaving it open as it is); false when the value was
    // refused.
    bool CommitEditor(bool close);

signals:
    // The current cell moved to another row.
    void currentRowChanged(int row, int oldRow);
    // The cells' visible width changed (the owner sets the widths again).
    void availableWidthChanged(int width);
    // A column was dragged to another place.
    void columnMoved(int column, int oldPosition, int newPosition);

protected:
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool viewportEvent(QEvent* event) override;

private:
    void OnEditorKey(QWidget* editor, int key, Qt::KeyboardModifiers modifiers);
    QModelIndex DefaultTarget(const QModelIndex& from, bool forward) const;
    QString RowText(int row) const;

    CGridModel* m_model;
    CGridDelegate* m_delegate;
    Navigator m_navigator;
    int m_lastWidth = -1;
};

} // namespace kestrel
