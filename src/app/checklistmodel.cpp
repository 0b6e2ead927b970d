#include "app/checklistmodel.h"

#include <QApplication>
#include <QStyle>

#include "app/qtext.h"
#include "model/contract/contract.h"
#include "model/subcontract/subcontract.h"
#include "model/subcontract/winmeta.h"

namespace kestrel {

namespace {

QString RecordLabel(const CSubcontract& record)
{
    const Text* number = record.GetCellText(SUBF_NUMBER);
    const Text* name = record.GetCellText(SUBF_NAME);
    QString label = number ? ToQString(*number) : QString();
    if (name && !ToQString(*name).isEmpty())
        label += (label.isEmpty() ? QString() : QStringLiteral("  ")) + ToQString(*name);
    return label;
}

} // namespace

QIcon CheckSeverityIcon(CheckSeverity severity)
{
    switch (severity) {
    case CheckSeverity::Error: return QApplication::style()->standardIcon(QStyle::SP_MessageBoxCritical);
    case CheckSeverity::Warning: return QApplication::style()->standardIcon(QStyle::SP_MessageBoxWarning);
    default: return QIcon();
    }
}

CCheckListModel::CCheckListModel(QObject* parent) : QAbstractTableModel(parent)
{
    m_errorIcon = CheckSeverityIcon(CheckSeverity::Error);
    m_warningIcon = CheckSeverityIcon(CheckSeverity::Warning);
}

void CCheckListModel::Clear()
{
    beginResetModel();
    m_rows.clear();
    m_errors = m_warnings = 0;
    endResetModel();
}

void CCheckListModel::Fill(const CContract* contract, const CheckResult& check)
{
    beginResetModel();
    m_rows.clear();
    m_errors = contract ? check.errors : 0;
    m_warnings = contract ? check.warnings : 0;
    if (!contract) {
        endResetModel();
        return;
    }
    const CWinMeta* table = contract->m_pSubTable.get();
    for (const CheckMessage& message : check.messages) {
        if (message.severity == CheckSeverity::Marker)
            continue;
        Row row;
        row.severity = message.severity;
        row.text = ToQString(message.text);
        row.target.source = message.source;
        row.target.field = message.field;
        row.target.line = message.item;
        if (message.source == CheckSource::MiscData) {
            row.where = tr("Miscellaneous Data");
        } else if (message.source == CheckSource::Subcontractor && table && message.record >= 0 &&
                   message.record < table->m_Records.GetSize()) {
            row.target.record = table->m_Records[message.record];
            row.where = RecordLabel(*row.target.record);
        }
        if (!message.item.empty())
            row.where += tr(", line ") + ToQString(message.item);
        m_rows.push_back(std::move(row));
    }
    endResetModel();
}

CheckSeverity CCheckListModel::Severity(int row) const
{
    return row >= 0 && row < rowCount() ? m_rows[static_cast<size_t>(row)].severity : CheckSeverity::Marker;
}

CheckTarget CCheckListModel::Target(int row) const
{
    return row >= 0 && row < rowCount() ? m_rows[static_cast<size_t>(row)].target : CheckTarget{};
}

int CCheckListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int CCheckListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant CCheckListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const Row& row = m_rows[static_cast<size_t>(index.row())];
    const bool error = row.severity == CheckSeverity::Error;
    switch (role) {
    case Qt::DisplayRole: return index.column() == ColMessage ? row.text : row.where;
    case Qt::DecorationRole:
        if (index.column() == ColMessage)
            return error ? m_errorIcon : m_warningIcon;
        return {};
    case Qt::ToolTipRole:
        return (error ? tr("Error: ") : tr("Warning: ")) + row.text +
               (row.where.isEmpty() ? QString() : QStringLiteral("\n") + row.where);
    default: return {};
    }
}

QVariant CCheckListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    return section == ColMessage ? tr("Message") : tr("Where");
}

} // namespace kestrel
