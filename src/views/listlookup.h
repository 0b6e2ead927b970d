#pragma once
// Finding an entry of a long pick list by any part of it as the user types
// (the vendor list has hundreds of entries): the open list offers every
// entry whose text holds the typed text anywhere, ignoring case. Choosing
// one puts the field's own text of it into the edit and tells the entry's
// list position.

#include <QCompleter>
#include <QList>
#include <QString>

class QStandardItemModel;

namespace kestrel {

class CListLookup : public QCompleter {
    Q_OBJECT
public:
    struct Entry {
        int position = -1; // the entry's list position
        QString shown;     // what the field shows of it
        QString searched;  // what the list offers and the typing finds
    };

    explicit CListLookup(QObject* parent = nullptr);

    void SetEntries(const QList<Entry>& entries);
    int EntryCount() const;
    // The texts of the entries the typed text finds.
    QStringList Matches(const QString& typed);

    QString pathFromIndex(const QModelIndex& index) const override;

signals:
    void chosen(int position);

private:
    QStandardItemModel* m_model;
};

} // namespace kestrel
