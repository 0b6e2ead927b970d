#include "views/listlookup.h"

#include <QStandardItemModel>

namespace kestrel {

namespace {

constexpr int kPositionRole = Qt::UserRole;
constexpr int kShownRole = Qt::UserRole + 1;

} // namespace

CListLookup::CListLookup(QObject* parent) : QCompleter(parent), m_model(new QStandardItemModel(this))
{
    setModel(m_model);
    setCompletionMode(QCompleter::PopupCompletion);
    setFilterMode(Qt::MatchContains);
    setCaseSensitivity(Qt::CaseInsensitive);
    setMaxVisibleItems(12);
    connect(this, QOverload<const QModelIndex&>::of(&QCompleter::activated), this,
            [this](const QModelIndex& index) {
                if (index.isValid())
                    emit chosen(index.data(kPositionRole).toInt());
            });
}

void CListLookup::SetEntries(const QList<Entry>& entries)
{
    m_model->clear();
    for (const Entry& e : entries) {
        auto* item = new QStandardItem(e.searched);
        item->setData(e.position, kPositionRole);
        item->setData(e.shown, kShownRole);
        item->setEditable(false);
        m_model->appendRow(item);
    }
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
        found.append(matches->index(i, 0).data().toString());
    return found;
}

QString CListLookup::pathFromIndex(const QModelIndex& index) const
{
    return index.data(kShownRole).toString();
}

} // namespace kestrel
