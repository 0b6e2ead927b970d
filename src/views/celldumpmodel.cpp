#include "views/celldumpmodel.h"

#include "app/qtext.h"
#include "model/subcontract/winmeta.h"

namespace kestrel {

QString CCellDumpModel::Heading(int column)
{
    static const char* const headings[ColumnCount] = {"Index",    "Cell Name", "Cell Data", "Cell Data Idx",
                                                      "X Pos",    "Y Pos",     "X Size",    "Y Size",
                                                      "DataType", "Flags"};
    return column >= 0 && column < ColumnCount ? QString::fromLatin1(headings[column]) : QString();
}

int CCellDumpModel::Width(int column)
{
    switch (column) {
    case ColName: return 300;
    case ColData: return 250;
    default: return 50;
    }
}

CCellDumpModel::CCellDumpModel(QObject* parent) : QAbstractTableModel(parent)
{
}

void CCellDumpModel::SetRecord(const CWinMeta* table, const CSubcontract* record)
{
    beginResetModel();
    m_table = record ? table : nullptr;
    m_record = m_table ? record : nullptr;
    endResetModel();
}

int CCellDumpModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() || !m_table ? 0 : m_table->m_Fields.GetSize();
}

int CCellDumpModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QString CCellDumpModel::Text(int row, int column) const
{
    if (!m_table || row < 0 || row >= m_table->m_Fields.GetSize())
        return QString();
    const CFieldInfo& field = *m_table->m_Fields[row];
    const CCellData* cell = m_record ? m_record->GetCell(row) : nullptr;
    switch (column) {
    case ColIndex: return QString::number(row);
    case ColName: return ToQString(field.m_strName);
    case ColData:
        // A cell never given a text, or not there at all.
        return cell && cell->m_psz.has_value() ? ToQString(cell->m_psz) : tr("<NULL>");
    case ColDataIndex: return QString::number(cell ? cell->m_i : -1);
    case ColX: return QString::number(field.m_iX);
    case ColY: return QString::number(field.m_iY);
    case ColWidth: return QString::number(field.m_iCX);
    case ColHeight: return QString::number(field.m_iCY);
    case ColType: return QString::number(field.m_iType);
    case ColFlags: return QStringLiteral("%1").arg(field.m_wFlags, 4, 16, QLatin1Char('0'));
    default: return QString();
    }
}

QVariant CCellDumpModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole)
        return Text(index.row(), index.column());
    // An empty cell is named by its column.
    if (role == Qt::AccessibleTextRole) {
        const QString text = Text(index.row(), index.column());
        return text.trimmed().isEmpty() ? Heading(index.column()) : text;
    }
    if (role == Qt::TextAlignmentRole && index.column() != ColName && index.column() != ColData)
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    return {};
}

QVariant CCellDumpModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && (role == Qt::DisplayRole || role == Qt::ToolTipRole))
        return Heading(section);
    return {};
}

Qt::ItemFlags CCellDumpModel::flags(const QModelIndex& index) const
{
    // Shown, never edited.
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

} // namespace kestrel
