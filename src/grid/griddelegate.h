#pragma once
// How the grid draws its cells and edits them: each cell in the colours of
// its row (item, current, section), its text aligned as the data source
// says, check-box cells with a centred box, and cells joined across
// columns drawn as one. A joined cell's text is laid out over the whole run
// of neighbouring columns it covers, in the order the columns stand now,
// and each column draws its own slice of it, so that redrawing any one
// column draws the same picture. The grid lines (solid black, one pixel)
// are drawn here too, left out between the columns of a joined cell.

#include <QColor>
#include <QFont>
#include <QStyledItemDelegate>

#include <vector>

class QHeaderView;

namespace kestrel {

struct GridCell;

struct GridColors {
    QColor itemBackground;
    QColor itemText;
    QColor currentBackground;
    QColor currentText;
    QColor sectionBackground{128, 128, 128};
    QColor sectionText{255, 255, 255};
    QColor sectionCurrentBackground;
    QColor sectionCurrentText;
    QColor gridLine{0, 0, 0};
};

// The grid's colours: item rows on `background` and the current rows on
// `highlight` when the custom colours are on, else on the palette's window
// and highlight colours; section rows white on grey, and when current the
// palette's highlight colours.
GridColors MakeGridColors(const QPalette& palette, bool custom, const QColor& background,
                          const QColor& highlight);

// The visual run of neighbouring columns that one joined cell covers.
struct JoinedRun {
    int firstVisual = 0;
    int lastVisual = 0;
    bool showsText = true; // the run holds the group's first column: it shows the text
};
// The run of the cell at `column` (a logical id) of a row joined by
// `groups`, with the columns standing in the header's order.
JoinedRun RunOf(const QHeaderView& header, const std::vector<int>& groups, int column);

class CGridDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    explicit CGridDelegate(QObject* parent = nullptr);

    void SetColors(const GridColors& colors) { m_colors = colors; }
    const GridColors& Colors() const { return m_colors; }
    void SetFonts(const QFont& rowFont, const QFont& sectionFont);
    const QFont& RowFont() const { return m_rowFont; }
    // The colours a cell is drawn in.
    QColor Background(const GridCell& cell) const;
    QColor Foreground(const GridCell& cell) const;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;
    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const override;

signals:
    // A control key typed into an editor: the grid decides where editing
    // goes on.
    void editorKey(QWidget* editor, int key, Qt::KeyboardModifiers modifiers);

protected:
    bool editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                     const QModelIndex& index) override;
    bool eventFilter(QObject* object, QEvent* event) override;

private:
    QRect RunRect(const QStyleOptionViewItem& option, const QModelIndex& index, bool& showsText) const;
    void PaintCheck(QPainter* painter, const QStyleOptionViewItem& option, const GridCell& cell) const;

    GridColors m_colors;
    QFont m_rowFont;
    QFont m_sectionFont;
};

} // namespace kestrel
