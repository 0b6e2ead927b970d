#pragma once
// What a grid asks its data source for: the columns' headings and widths,
// and per cell its text, alignment, kind and row style. The grid copies
// nothing: every cell is asked for when it is drawn.

#include <QMetaType>
#include <QString>

#include <Qt>
#include <utility>

namespace kestrel {

enum class GridCellType { Text, CheckBox };

// Item rows take the grid's colours, section rows white on grey.
enum class GridRowStyle { Item, Section };

struct GridColumn {
    QString heading;
    int widthChars = 10; // the column's width in average characters
    Qt::Alignment alignment = Qt::AlignCenter;
};

// What a cell is, without its text: enough to decide whether it can be
// edited or clicked.
struct GridCellKind {
    GridCellType type = GridCellType::Text;
    bool editable = false; // an editor opens on it (text) or a click changes it (check box)
};

struct GridCell {
    QString text;
    Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter;
    GridCellKind kind;
    bool checked = false;
    GridRowStyle style = GridRowStyle::Item;
    bool current = false; // one of the rows of the current record
};

// A text cell.
inline GridCell TextCell(QString text, Qt::Alignment alignment)
{
    GridCell cell;
    cell.text = std::move(text);
    cell.alignment = alignment;
    return cell;
}

inline constexpr Qt::Alignment kCellCentre = Qt::AlignHCenter | Qt::AlignVCenter;
inline constexpr Qt::Alignment kCellRight = Qt::AlignRight | Qt::AlignVCenter;
inline constexpr Qt::Alignment kCellLeft = Qt::AlignLeft | Qt::AlignVCenter;

} // namespace kestrel

Q_DECLARE_METATYPE(kestrel::GridCell)
