#pragma once
// The cells of one subcontractor record beside the fields of its form, one
// row a field, for the cell dump of the debug view. Read only.

#include <QAbstractTableModel>

namespace kestrel {

class CSubcontract;
class CWinMeta;

class CCellDumpModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column {
        ColIndex,
        ColName,
        ColData,
        ColDataIndex,
        ColX,
        ColY,
        ColWidth,
        ColHeight,
        ColType,
        ColFlags,
        ColumnCount
    };
    // The column's heading and its width in pixels.
    static QString Heading(int column);
    static int Width(int column);

    explicit CCellDumpModel(QObject* parent = nullptr);
    // The record and the table whose fields it is shown against (null: no rows).
    void SetRecord(const CWinMeta* table, const CSubcontract* record);
    // The text of a cell of the dump.
    QString Text(int row, int column) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    const CWinMeta* m_table = nullptr;
    const CSubcontract* m_record = nullptr;
};

} // namespace kestrel
