#pragma once
// The grid's table model: an adapter that asks its data source for each
// cell the view draws. Nothing is copied: a cell costs one call to the data
// source, however large the contract. It keeps the current record (whose
// rows are drawn in the current-row colours) and counts the cells it was
// asked for, so that tests and benchmarks can see what drawing costs.

#include <QAbstractTableModel>

#include <cstdint>
#include <functional>
#include <vector>

#include "edit/contractedits.h"

namespace kestrel {

class CGridDataSource;

class CGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    // The role that gives the whole cell (a GridCell) in one call; the
    // delegate draws from it.
    static constexpr int CellRole = Qt::UserRole + 1;
    // What becomes of a committed change: true when it was made. The view
    // applies it through the document and shows a refusal.
    using Committer = std::function<bool(EditResult result)>;

    explicit CGridModel(QObject* parent = nullptr);

    // Binds another data source (or none); the grid starts over.
    void SetSource(CGridDataSource* source);
    CGridDataSource* Source() const { return m_source; }
    void SetCommitter(Committer committer) { m_committer = std::move(committer); }

    // The rows or columns of the source changed: the grid starts over.
    void Reset();
    // Every cell may show something else (the grid redraws what it shows).
    void RefreshAll();
    // The rows of the record a row belongs to.
    void RefreshRecordOfRow(int row);

    // The record whose rows are drawn as current (-1 none).
    void SetCurrentRecord(int record);
    int CurrentRecord() const { return m_currentRecord; }
    int RowsPerRecord() const;
    const std::vector<int>* JoinGroups(int row) const;
    // Whether the last committed value was taken (an unchanged entry
    // counts as taken).
    bool LastCommitTaken() const { return m_lastCommitTaken; }
    // Before an editor commits: an editor that commits nothing counts as
    // taken.
    void ExpectCommit() { m_lastCommitTaken = true; }

    // Cells asked for since the last reset of the count.
    uint64_t DataCalls() const { return m_dataCalls; }
    void ResetDataCalls() { m_dataCalls = 0; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

private:
    bool Apply(std::optional<EditResult> result);

    CGridDataSource* m_source = nullptr;
    Committer m_committer;
    int m_currentRecord = -1;
    bool m_lastCommitTaken = true;
    mutable uint64_t m_dataCalls = 0;
};

} // namespace kestrel
