#include "grid/griddelegate.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QTableView>

#include "grid/editctl.h"
#include "grid/gridcell.h"
#include "grid/gridmodel.h"

namespace kestrel {

namespace {

// Room between a cell's text and its edges.
constexpr int kTextMargin = 4;

} // namespace

GridColors MakeGridColors(const QPalette& palette, bool custom, const QColor& background,
                          const QColor& highlight)
{
    GridColors c;
    c.itemBackground = custom && background.isValid() ? background : palette.color(QPalette::Base);
    c.itemText = palette.color(QPalette::Text);
    c.currentBackground = custom && highlight.isValid() ? highlight : palette.color(QPalette::Highlight);
    c.currentText = palette.color(QPalette::HighlightedText);
    c.sectionCurrentBackground = palette.color(QPalette::Highlight);
    c.sectionCurrentText = palette.color(QPalette::HighlightedText);
    return c;
}

JoinedRun RunOf(const QHeaderView& header, const std::vector<int>& groups, int column)
{
    const int count = static_cast<int>(groups.size());
    auto groupAt = [&](int visual) {
        const int logical = header.logicalIndex(visual);
        return logical >= 0 && logical < count ? groups[static_cast<size_t>(logical)] : -1;
    };
    JoinedRun run;
    const int visual = header.visualIndex(column);
    const int group = groups[static_cast<size_t>(column)];
    run.firstVisual = run.lastVisual = visual;
    while (run.firstVisual > 0 && groupAt(run.firstVisual - 1) == group)
        --run.firstVisual;
    while (run.lastVisual + 1 < header.count() && groupAt(run.lastVisual + 1) == group)
        ++run.lastVisual;
    // The text goes with the group's first column, wherever that stands.
    int home = column;
    for (int i = 0; i < count; ++i)
        if (groups[static_cast<size_t>(i)] == group) {
            home = i;
            break;
        }
    const int homeVisual = header.visualIndex(home);
    run.showsText = homeVisual >= run.firstVisual && homeVisual <= run.lastVisual;
    return run;
}

CGridDelegate::CGridDelegate(QObject* parent) : QStyledItemDelegate(parent)
{
    m_rowFont = QApplication::font();
    m_sectionFont = m_rowFont;
}

void CGridDelegate::SetFonts(const QFont& rowFont, const QFont& sectionFont)
{
    m_rowFont = rowFont;
    m_sectionFont = sectionFont;
}

QColor CGridDelegate::Background(const GridCell& cell) const
{
    if (cell.style == GridRowStyle::Section)
        return cell.current ? m_colors.sectionCurrentBackground : m_colors.sectionBackground;
    return cell.current ? m_colors.currentBackground : m_colors.itemBackground;
}

QColor CGridDelegate::Foreground(const GridCell& cell) const
{
    if (cell.style == GridRowStyle::Section)
        return cell.current ? m_colors.sectionCurrentText : m_colors.sectionText;
    return cell.current ? m_colors.currentText : m_colors.itemText;
}

QRect CGridDelegate::RunRect(const QStyleOptionViewItem& option, const QModelIndex& index,
                             bool& showsText) const
{
    showsText = true;
    const auto* model = qobject_cast<const CGridModel*>(index.model());
    const auto* view = qobject_cast<const QTableView*>(option.widget);
    const std::vector<int>* groups = model ? model->JoinGroups(index.row()) : nullptr;
    if (!groups || !view || static_cast<int>(groups->size()) != model->columnCount())
        return option.rect;
    const QHeaderView& header = *view->horizontalHeader();
    const JoinedRun run = RunOf(header, *groups, index.column());
    showsText = run.showsText;
    const int left = header.sectionViewportPosition(header.logicalIndex(run.firstVisual));
    const int lastLogical = header.logicalIndex(run.lastVisual);
    const int right = header.sectionViewportPosition(lastLogical) + header.sectionSize(lastLogical);
    return QRect(left, option.rect.top(), right - left, option.rect.height());
}

void CGridDelegate::PaintCheck(QPainter* painter, const QStyleOptionViewItem& option,
                               const GridCell& cell) const
{
    const QWidget* widget = option.widget;
    QStyle* style = widget ? widget->style() : QApplication::style();
    const int size = style->pixelMetric(QStyle::PM_IndicatorWidth, &option, widget);
    const int gap = cell.text.isEmpty() ? 0 : kTextMargin;
    const QFontMetrics fm(m_rowFont);
    const int textWidth = cell.text.isEmpty() ? 0 : fm.horizontalAdvance(cell.text);
    const int width = size + gap + textWidth;
    const QRect& r = option.rect;
    const int x = r.left() + std::max(0, (r.width() - width) / 2);
    QStyleOptionViewItem box(option);
    box.rect = QRect(x, r.top() + (r.height() - size) / 2, size, size);
    box.state = (option.state & ~(QStyle::State_On | QStyle::State_Off | QStyle::State_HasFocus)) |
                (cell.checked ? QStyle::State_On : QStyle::State_Off);
    if (!cell.kind.editable)
        box.state &= ~QStyle::State_Enabled;
    style->drawPrimitive(QStyle::PE_IndicatorItemViewItemCheck, &box, painter, widget);
    if (textWidth > 0) {
        painter->setFont(m_rowFont);
        painter->setPen(Foreground(cell));
        painter->drawText(QRect(x + size + gap, r.top(), textWidth + 1, r.height()), Qt::AlignVCenter,
                          cell.text);
    }
}

void CGridDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const
{
    GridCell cell = index.data(CGridModel::CellRole).value<GridCell>();
    // Rows selected for copying are drawn as the current record is.
    if (option.state & QStyle::State_Selected)
        cell.current = true;
    painter->save();
    painter->setClipRect(option.rect);
    painter->fillRect(option.rect, Background(cell));
    bool showsText = true;
    const QRect run = RunRect(option, index, showsText);
    if (cell.kind.type == GridCellType::CheckBox) {
        PaintCheck(painter, option, cell);
    } else if (showsText && !cell.text.isEmpty()) {
        const QFont& font = cell.style == GridRowStyle::Section ? m_sectionFont : m_rowFont;
        painter->setFont(font);
        painter->setPen(Foreground(cell));
        // A text that does not fit within the margins may use them before
        // it is cut short.
        const QFontMetrics metrics(font);
        const int margin =
            metrics.horizontalAdvance(cell.text) > run.width() - 2 * kTextMargin ? 1 : kTextMargin;
        const QRect textRect = run.adjusted(margin, 0, -margin, 0);
        const QString text = metrics.elidedText(cell.text, Qt::ElideRight, textRect.width());
        const Qt::Alignment horizontal = cell.alignment & Qt::AlignHorizontal_Mask;
        painter->drawText(textRect, horizontal | Qt::AlignVCenter, text);
    }
    // Grid lines: under every cell, and right of the last column of a run.
    painter->setPen(QPen(m_colors.gridLine, 1));
    const QRect& r = option.rect;
    painter->drawLine(r.left(), r.bottom(), r.right(), r.bottom());
    if (r.right() >= run.right())
        painter->drawLine(r.right(), r.top(), r.right(), r.bottom());
    // The current cell: a frame around the whole joined cell it belongs to.
    if (option.state & QStyle::State_HasFocus) {
        QPen pen(Foreground(cell), 1, Qt::DotLine);
        painter->setPen(pen);
        painter->drawRect(run.adjusted(1, 1, -2, -2));
    }
    painter->restore();
}

QWidget* CGridDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& /*option*/,
                                     const QModelIndex& index) const
{
    auto* editor = new CEditCtl(parent);
    editor->setFont(m_rowFont);
    const GridCell cell = index.data(CGridModel::CellRole).value<GridCell>();
    editor->setAlignment((cell.kind.type == GridCellType::CheckBox
                              ? Qt::AlignHCenter
                              : cell.alignment & Qt::AlignHorizontal_Mask) |
                         Qt::AlignVCenter);
    return editor;
}

void CGridDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const
{
    if (auto* edit = qobject_cast<CEditCtl*>(editor)) {
        // Only once: the grid may ask again while the editor is open, and
        // what has been typed stays.
        if (!edit->property("started").toBool()) {
            edit->setProperty("started", true);
            edit->Start(index.data(Qt::EditRole).toString());
        }
        return;
    }
    QStyledItemDelegate::setEditorData(editor, index);
}

void CGridDelegate::setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const
{
    if (auto* edit = qobject_cast<CEditCtl*>(editor)) {
        // An editor left as it was opened changes nothing.
        if (edit->Changed())
            model->setData(index, edit->text(), Qt::EditRole);
        return;
    }
    QStyledItemDelegate::setModelData(editor, model, index);
}

void CGridDelegate::updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                                         const QModelIndex& /*index*/) const
{
    // Inside the grid lines.
    editor->setGeometry(option.rect.adjusted(0, 0, -1, -1));
}

bool CGridDelegate::editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                                const QModelIndex& index)
{
    const GridCell cell = index.data(CGridModel::CellRole).value<GridCell>();
    if (cell.kind.type != GridCellType::CheckBox)
        return QStyledItemDelegate::editorEvent(event, model, option, index);
    bool toggle = false;
    switch (event->type()) {
    case QEvent::MouseButtonRelease: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        toggle = mouse->button() == Qt::LeftButton && option.rect.contains(mouse->position().toPoint());
        break;
    }
    case QEvent::MouseButtonDblClick: return true; // a second click, not an editor
    case QEvent::KeyPress: {
        const int key = static_cast<QKeyEvent*>(event)->key();
        toggle = key == Qt::Key_Space || key == Qt::Key_Select;
        if (!toggle)
            return false;
        break;
    }
    default: return false;
    }
    if (!toggle || !cell.kind.editable)
        return toggle;
    model->setData(index, cell.checked ? Qt::Unchecked : Qt::Checked, Qt::CheckStateRole);
    return true;
}

bool CGridDelegate::eventFilter(QObject* object, QEvent* event)
{
    auto* editor = qobject_cast<CEditCtl*>(object);
    if (editor && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (CEditCtl::IsControlKey(key->key())) {
            emit editorKey(editor, key->key(), key->modifiers());
            return true;
        }
    }
    return QStyledItemDelegate::eventFilter(object, event);
}

} // namespace kestrel
