#include "views/listlookup.h"

#include <QApplication>
#include <QEvent>
#include <QHeaderView>
#include <QPainter>
#include <QScreen>
#include <QScrollBar>
#include <QStandardItemModel>
#include <QStyledItemDelegate>
#include <QTextLayout>
#include <QTreeView>

#include <algorithm>

namespace kestrel {

namespace {

constexpr int kPositionRole = Qt::UserRole;
constexpr int kShownRole = Qt::UserRole + 1;
// Columns joined for the search: two blanks keep their words apart.
const QString kJoin = QStringLiteral("  ");
// A column is at most this many average characters wide.
constexpr int kMaxColumnChars = 48;
// Room around a column's text.
constexpr int kColumnPadding = 18;

// Paints an entry's text with the typed part marked: bold, on a pale
// yellow as a find marks a word (on the selection colour, bold only).
class CMatchDelegate : public QStyledItemDelegate {
public:
    CMatchDelegate(const QCompleter& completer, QObject* parent)
        : QStyledItemDelegate(parent), m_completer(completer)
    {
    }

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QStyleOptionViewItem opt = option;
        initStyleOption(&opt, index);
        const QString text = opt.text;
        opt.text.clear();
        const QWidget* widget = opt.widget;
        QStyle* style = widget ? widget->style() : QApplication::style();
        style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget);
        const QRect area =
            style->subElementRect(QStyle::SE_ItemViewItemText, &opt, widget).adjusted(3, 0, -3, 0);
        const bool selected = (opt.state & QStyle::State_Selected) != 0;

        QList<QTextLayout::FormatRange> formats;
        for (const auto& [start, length] : CListLookup::MatchedParts(text, m_completer.completionPrefix())) {
            QTextLayout::FormatRange range;
            range.start = start;
            range.length = length;
            range.format.setFontWeight(QFont::Bold);
            if (!selected)
                range.format.setBackground(QColor(255, 236, 140));
            formats.append(range);
        }
        QTextLayout layout(text, opt.font);
        layout.setFormats(formats);
        layout.beginLayout();
        QTextLine line = layout.createLine();
        if (line.isValid())
            line.setLineWidth(1e6);
        layout.endLayout();
        painter->save();
        painter->setClipRect(area);
        painter->setPen(opt.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
        const qreal top = area.top() + (area.height() - (line.isValid() ? line.height() : 0)) / 2;
        layout.draw(painter, QPointF(area.left(), top));
        painter->restore();
    }

private:
    const QCompleter& m_completer;
};

} // namespace

CListLookup::CListLookup(QObject* parent)
    : QCompleter(parent), m_model(new QStandardItemModel(this)), m_list(new QTreeView)
{
    setModel(m_model);
    m_list->setObjectName(QStringLiteral("listLookup"));
    m_list->setRootIsDecorated(false);
    m_list->setHeaderHidden(true);
    m_list->setUniformRowHeights(true);
    m_list->setAllColumnsShowFocus(true);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setPopup(m_list); // the completer owns it, and watches its events
    // After setPopup, which gives the list a delegate of its own.
    m_list->setItemDelegate(new CMatchDelegate(*this, m_list));
    setCompletionMode(QCompleter::PopupCompletion);
    setFilterMode(Qt::MatchContains);
    setCaseSensitivity(Qt::CaseInsensitive);
    setMaxVisibleItems(12);
    connect(this, QOverload<const QModelIndex&>::of(&QCompleter::activated), this,
            [this](const QModelIndex& index) {
                if (index.isValid())
                    emit chosen(index.sibling(index.row(), 0).data(kPositionRole).toInt());
            });
}

void CListLookup::SetEntries(const QList<Entry>& entries)
{
    m_model->clear();
    m_columns = 1;
    for (const Entry& e : entries)
        m_columns = std::max(m_columns, static_cast<int>(e.columns.size()));
    for (const Entry& e : entries) {
        QList<QStandardItem*> row;
        for (int c = 0; c < m_columns; ++c) {
            auto* item = new QStandardItem(e.columns.value(c));
            item->setEditable(false);
            row.append(item);
        }
        row[0]->setData(e.position, kPositionRole);
        row[0]->setData(e.shown, kShownRole);
        auto* searched = new QStandardItem(e.columns.join(kJoin));
        searched->setEditable(false);
        row.append(searched);
        m_model->appendRow(row);
    }
    // The typing finds the joined text, which the list does not show.
    setCompletionColumn(m_columns);
    FitColumns();
}

void CListLookup::FitColumns()
{
    const QFontMetrics metrics(m_list->font());
    const int most = kMaxColumnChars * metrics.averageCharWidth();
    m_widths.clear();
    int total = 0;
    for (int c = 0; c < m_columns; ++c) {
        int width = 0;
        for (int r = 0; r < m_model->rowCount(); ++r)
            width = std::max(width, metrics.horizontalAdvance(m_model->item(r, c)->text()));
        // The marked part is bold: a little more room.
        width = std::min(width + width / 8, most) + kColumnPadding;
        m_widths.append(width);
        total += width;
    }
    ShowColumns();
    const int frame = 2 * m_list->frameWidth();
    m_list->setMinimumWidth(total + frame + m_list->verticalScrollBar()->sizeHint().width());
}

void CListLookup::ShowColumns()
{
    for (int c = 0; c < m_widths.size(); ++c)
        m_list->setColumnWidth(c, m_widths[c]);
    m_list->setColumnHidden(m_columns, true);
}

int CListLookup::EntryCount() const
{
    return m_model->rowCount();
}

QStringList CListLookup::Matches(const QString& typed)
{
    setCompletionPrefix(typed);
    QStringList found;
    const QAbstractItemModel* matches = completionModel();
    for (int i = 0; i < matches->rowCount(); ++i)
        found.append(matches->index(i, m_columns).data().toString());
    return found;
}

QList<QPair<int, int>> CListLookup::MatchedParts(const QString& text, const QString& typed)
{
    QList<QPair<int, int>> parts;
    if (typed.isEmpty())
        return parts;
    for (qsizetype at = text.indexOf(typed, 0, Qt::CaseInsensitive); at >= 0;
         at = text.indexOf(typed, at + typed.size(), Qt::CaseInsensitive))
        parts.append({static_cast<int>(at), static_cast<int>(typed.size())});
    return parts;
}

QString CListLookup::pathFromIndex(const QModelIndex& index) const
{
    return index.sibling(index.row(), 0).data(kShownRole).toString();
}

bool CListLookup::eventFilter(QObject* watched, QEvent* event)
{
    // The list is wider than the box it drops from: it is kept on the
    // screen, moved left when it would run off the right edge.
    if (watched == m_list && event->type() == QEvent::Show) {
        // The filtered list may have been reset, taking the widths along.
        ShowColumns();
        if (const QScreen* screen = m_list->screen()) {
            const QRect room = screen->availableGeometry();
            QRect shown = m_list->geometry();
            if (shown.right() > room.right()) {
                shown.moveRight(room.right());
                if (shown.left() < room.left())
                    shown.moveLeft(room.left());
                m_list->move(shown.topLeft());
            }
        }
    }
    return QCompleter::eventFilter(watched, event);
}

} // namespace kestrel
