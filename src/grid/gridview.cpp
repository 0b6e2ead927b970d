#include "grid/gridview.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>

#include <set>

#include "grid/editctl.h"
#include "grid/gridcell.h"
#include "grid/gridmodel.h"

namespace kestrel {

CGridView::CGridView(QWidget* parent)
    : QTableView(parent), m_model(new CGridModel(this)), m_delegate(new CGridDelegate(this))
{
    setObjectName(QStringLiteral("grid"));
    setModel(m_model);
    setItemDelegate(m_delegate);
    setFocusPolicy(Qt::StrongFocus);
    setFrameShape(QFrame::StyledPanel);
    // The delegate draws the grid lines, so that joined cells have none
    // inside them.
    setShowGrid(false);
    setWordWrap(false);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::AnyKeyPressed);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setDefaultSectionSize(kRowHeight);
    QHeaderView* top = horizontalHeader();
    top->setSectionResizeMode(QHeaderView::Interactive);
    top->setStretchLastSection(false);
    top->setHighlightSections(false);
    top->setDefaultAlignment(Qt::AlignCenter);
    top->setFixedHeight(kHeadingHeight);
    top->setMinimumSectionSize(8);
    // Rows the cells do not fill show the view's background.
    viewport()->setAutoFillBackground(false);
    connect(m_delegate, &CGridDelegate::editorKey, this, &CGridView::OnEditorKey);
    connect(top, &QHeaderView::sectionMoved, this, [this](int logical, int oldVisual, int newVisual) {
        // Joined cells cover other neighbours now.
        viewport()->update();
        emit columnMoved(logical, oldVisual, newVisual);
    });
}

void CGridView::SetColumnsMovable(bool movable)
{
    horizontalHeader()->setSectionsMovable(movable);
}

void CGridView::SetColors(const GridColors& colors)
{
    m_delegate->SetColors(colors);
    viewport()->update();
}

void CGridView::SetFonts(const QFont& rowFont, const QFont& sectionFont, const QFont& headingFont)
{
    m_delegate->SetFonts(rowFont, sectionFont);
    horizontalHeader()->setFont(headingFont);
    viewport()->update();
}

void CGridView::SetColumnWidths(const std::vector<int>& widths)
{
    QHeaderView* top = horizontalHeader();
    const int count = std::min(top->count(), static_cast<int>(widths.size()));
    for (int i = 0; i < count; ++i)
        top->resizeSection(i, widths[static_cast<size_t>(i)]);
}

int CGridView::AvailableWidth() const
{
    return viewport()->width();
}

int CGridView::CurrentRow() const
{
    return currentIndex().isValid() ? currentIndex().row() : -1;
}

void CGridView::MoveToRow(int row)
{
    if (row < 0 || row >= m_model->rowCount())
        return;
    const int column = currentIndex().isValid() ? currentIndex().column() : 0;
    setCurrentIndex(m_model->index(row, column));
}

QString CGridView::SelectedRowsText() const
{
    const int perRecord = m_model->RowsPerRecord();
    std::set<int> records;
    for (const QModelIndex& index : selectionModel()->selectedRows())
        records.insert(index.row() / perRecord);
    if (records.empty() && currentIndex().isValid())
        records.insert(currentIndex().row() / perRecord);
    QStringList lines;
    for (const int record : records)
        for (int row = record * perRecord; row < (record + 1) * perRecord && row < m_model->rowCount(); ++row)
            lines << RowText(row);
    return lines.isEmpty() ? QString() : lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n");
}

QString CGridView::RowText(int row) const
{
    const QHeaderView& header = *horizontalHeader();
    const std::vector<int>* groups = m_model->JoinGroups(row);
    const bool joined = groups && static_cast<int>(groups->size()) == m_model->columnCount();
    QStringList cells;
    for (int visual = 0; visual < header.count(); ++visual) {
        const int column = header.logicalIndex(visual);
        const GridCell cell = m_model->index(row, column).data(CGridModel::CellRole).value<GridCell>();
        QString text = cell.kind.type == GridCellType::CheckBox
                           ? (cell.checked ? QStringLiteral("Yes") : QStringLiteral("No"))
                           : cell.text;
        // A joined cell, as a merged cell is copied: in its first column.
        if (joined) {
            const JoinedRun run = RunOf(header, *groups, column);
            if (visual != run.firstVisual || !run.showsText)
                text.clear();
        }
        text.replace(QLatin1Char('\t'), QLatin1Char(' '));
        text.replace(QLatin1Char('\n'), QLatin1Char(' '));
        text.remove(QLatin1Char('\r'));
        cells << text;
    }
    return cells.join(QLatin1Char('\t'));
}

void CGridView::CopySelectedRows() const
{
    QGuiApplication::clipboard()->setText(SelectedRowsText());
}

QWidget* CGridView::OpenEditor() const
{
    if (state() != QAbstractItemView::EditingState)
        return nullptr;
    // An editor that was closed is hidden until it is deleted.
    for (CEditCtl* editor : viewport()->findChildren<CEditCtl*>(Qt::FindDirectChildrenOnly))
        if (!editor->isHidden())
            return editor;
    return nullptr;
}

bool CGridView::CommitEditor(bool close)
{
    QWidget* editor = OpenEditor();
    if (!editor)
        return true;
    m_model->ExpectCommit();
    commitData(editor);
    if (close)
        closeEditor(editor, QAbstractItemDelegate::NoHint);
    return m_model->LastCommitTaken();
}

void CGridView::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    QTableView::currentChanged(current, previous);
    const int row = current.isValid() ? current.row() : -1;
    const int oldRow = previous.isValid() ? previous.row() : -1;
    if (row == oldRow)
        return;
    // Both rows of the item the cursor left and of the one it reached are
    // drawn again.
    m_model->SetCurrentRecord(row < 0 ? -1 : row / m_model->RowsPerRecord());
    emit currentRowChanged(row, oldRow);
}

void CGridView::keyPressEvent(QKeyEvent* event)
{
    if (state() != QAbstractItemView::EditingState) {
        if (event->matches(QKeySequence::Copy)) {
            CopySelectedRows();
            return;
        }
        if (event->key() == Qt::Key_Home) {
            MoveToRow(0);
            return;
        }
        if (event->key() == Qt::Key_End) {
            MoveToRow(m_model->rowCount() - 1);
            return;
        }
    }
    QTableView::keyPressEvent(event);
}

bool CGridView::viewportEvent(QEvent* event)
{
    const bool done = QTableView::viewportEvent(event);
    if (event->type() == QEvent::Resize && viewport()->width() != m_lastWidth) {
        m_lastWidth = viewport()->width();
        emit availableWidthChanged(m_lastWidth);
    }
    return done;
}

QModelIndex CGridView::DefaultTarget(const QModelIndex& from, bool forward) const
{
    return m_model->index(from.row() + (forward ? 1 : -1), from.column());
}

void CGridView::OnEditorKey(QWidget* editor, int key, Qt::KeyboardModifiers modifiers)
{
    const QModelIndex from = currentIndex();
    bool forward = true;
    bool moves = true;
    switch (key) {
    case Qt::Key_Backtab: forward = false; break;
    case Qt::Key_Tab:
    case Qt::Key_Return:
    case Qt::Key_Enter: forward = !(modifiers & Qt::ShiftModifier); break;
    case Qt::Key_Down: break;
    case Qt::Key_Up: forward = false; break;
    default: moves = false; break;
    }
    m_model->ExpectCommit();
    commitData(editor);
    closeEditor(editor, QAbstractItemDelegate::NoHint);
    // A refused value keeps the cell (its message is on its way).
    if (!m_model->LastCommitTaken())
        return;
    if (moves) {
        const QModelIndex target = m_navigator ? m_navigator(from, forward) : DefaultTarget(from, forward);
        if (!target.isValid())
            return;
        setCurrentIndex(target);
        edit(target);
        return;
    }
    const int page = std::max(1, viewport()->height() / kRowHeight);
    const int row = from.isValid() ? from.row() : 0;
    switch (key) {
    case Qt::Key_PageUp: MoveToRow(std::max(0, row - page)); break;
    case Qt::Key_PageDown: MoveToRow(std::min(m_model->rowCount() - 1, row + page)); break;
    case Qt::Key_Home: MoveToRow(0); break;
    case Qt::Key_End: MoveToRow(m_model->rowCount() - 1); break;
    default: break;
    }
}

} // namespace kestrel
