#include "grid/gridmodel.h"

#include <algorithm>

#include "grid/gridcell.h"
#include "grid/griddatasource.h"

namespace kestrel {

CGridModel::CGridModel(QObject* parent) : QAbstractTableModel(parent)
{
}

void CGridModel::SetSource(CGridDataSource* source)
{
    beginResetModel();
    m_source = source;
    m_currentRecord = -1;
    endResetModel();
}

void CGridModel::Reset()
{
    beginResetModel();
    m_currentRecord = -1;
    endResetModel();
}

void CGridModel::RefreshAll()
{
    const int rows = rowCount();
    const int columns = columnCount();
    if (rows > 0 && columns > 0)
        emit dataChanged(index(0, 0), index(rows - 1, columns - 1));
}

int CGridModel::RowsPerRecord() const
{
    return m_source ? std::max(1, m_source->RowsPerRecord()) : 1;
}

void CGridModel::RefreshRecordOfRow(int row)
{
    const int rows = rowCount();
    if (row < 0 || row >= rows || columnCount() == 0)
        return;
    const int per = RowsPerRecord();
    const int first = row / per * per;
    const int last = std::min(rows - 1, first + per - 1);
    emit dataChanged(index(first, 0), index(last, columnCount() - 1));
}

void CGridModel::SetCurrentRecord(int record)
{
    if (record == m_currentRecord)
        return;
    const int old = m_currentRecord;
    m_currentRecord = record;
    const int per = RowsPerRecord();
    if (old >= 0)
        RefreshRecordOfRow(old * per);
    if (record >= 0)
        RefreshRecordOfRow(record * per);
}

const std::vector<int>* CGridModel::JoinGroups(int row) const
{
    return m_source && row >= 0 && row < m_source->RowCount() ? m_source->JoinGroups(row) : nullptr;
}

int CGridModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() || !m_source ? 0 : m_source->RowCount();
}

int CGridModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() || !m_source ? 0 : m_source->ColumnCount();
}

QVariant CGridModel::data(const QModelIndex& index, int role) const
{
    if (!m_source || !index.isValid())
        return {};
    ++m_dataCalls;
    const int column = index.column();
    const int row = index.row();
    switch (role) {
    case CellRole: {
        GridCell cell = m_source->Cell(column, row);
        cell.current = m_currentRecord >= 0 && row / RowsPerRecord() == m_currentRecord;
        return QVariant::fromValue(cell);
    }
    case Qt::DisplayRole: {
        GridCell cell = m_source->Cell(column, row);
        return cell.kind.type == GridCellType::CheckBox ? QVariant() : QVariant(cell.text);
    }
    case Qt::EditRole: return m_source->EditText(column, row);
    case Qt::AccessibleTextRole: {
        // A blank cell or a check box is named by its column.
        const QString text = m_source->Cell(column, row).text;
        return text.trimmed().isEmpty() ? m_source->Column(column).heading.trimmed() : text;
    }
    case Qt::AccessibleDescriptionRole: {
        const QString heading = m_source->Column(column).heading.trimmed();
        const QString rowHeading = m_source->RowHeading(row);
        return rowHeading.isEmpty() ? heading : tr("%1, %2").arg(rowHeading, heading);
    }
    case Qt::TextAlignmentRole: return QVariant::fromValue(m_source->Cell(column, row).alignment);
    case Qt::CheckStateRole: {
        const GridCell cell = m_source->Cell(column, row);
        if (cell.kind.type != GridCellType::CheckBox)
            return {};
        return cell.checked ? Qt::Checked : Qt::Unchecked;
    }
    default: return {};
    }
}

QVariant CGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (!m_source || orientation != Qt::Horizontal || section < 0 || section >= m_source->ColumnCount())
        return {};
    if (role == Qt::DisplayRole)
        return m_source->Column(section).heading;
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(Qt::Alignment(Qt::AlignCenter));
    return {};
}

Qt::ItemFlags CGridModel::flags(const QModelIndex& index) const
{
    if (!m_source || !index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    const GridCellKind kind = m_source->Kind(index.column(), index.row());
    if (kind.editable)
        flags |= kind.type == GridCellType::CheckBox ? Qt::ItemIsUserCheckable | Qt::ItemIsEditable
                                                     : Qt::ItemIsEditable;
    return flags;
}

bool CGridModel::Apply(std::optional<EditResult> result)
{
    if (!result) {
        m_lastCommitTaken = false;
        return false;
    }
    m_lastCommitTaken = m_committer ? m_committer(std::move(*result)) : result->ok();
    return m_lastCommitTaken;
}

bool CGridModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!m_source || !index.isValid())
        return false;
    if (role == Qt::EditRole)
        return Apply(m_source->Commit(index.column(), index.row(), value.toString()));
    if (role == Qt::CheckStateRole)
        return Apply(m_source->CommitCheck(index.column(), index.row(),
                                           value.toInt() == static_cast<int>(Qt::Checked)));
    return false;
}

} // namespace kestrel
