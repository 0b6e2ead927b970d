#pragma once
// Finding an entry of a long pick list by any part of it as the user types
// (the vendor list has hundreds of entries): the open list offers every
// entry whose text holds the typed text anywhere, ignoring case, in
// columns (a vendor's number, name and address) wide enough to read them
// whole, with the typed part marked. Choosing one puts the field's own
// text of it into the edit and tells the entry's list position.

#include <QCompleter>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

class QStandardItemModel;
class QTreeView;

namespace kestrel {

class CListLookup : public QCompleter {
    Q_OBJECT
public:
    struct Entry {
        int position = -1;   // the entry's list position
        QString shown;       // what the field shows of it
        QStringList columns; // what the list shows of it; the typing finds any part
    };

    explicit CListLookup(QObject* parent = nullptr);

    void SetEntries(const QList<Entry>& entries);
    int EntryCount() const;
    // The texts of the entries the typed text finds, their columns joined.
    QStringList Matches(const QString& typed);
    // The open list.
    QTreeView* List() const { return m_list; }

    // Where typed stands in text, ignoring case: every place, as start and
    // length, none overlapping.
    static QList<QPair<int, int>> MatchedParts(const QString& text, const QString& typed);

    QString pathFromIndex(const QModelIndex& index) const override;
    bool eventFilter(QObject* watched, QEvent* event) override;

signals:
    void chosen(int position);

private:
    void FitColumns();
    void ShowColumns();

    QStandardItemModel* m_model;
    QTreeView* m_list;
    int m_columns = 0; // the columns shown; the joined text follows them
    QList<int> m_widths;
};

} // namespace kestrel
