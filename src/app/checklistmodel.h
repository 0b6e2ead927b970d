#pragma once
// The messages of the last contract check as a list for the check panel:
// each with its severity (an icon), its text and where it points (the
// subcontractor, its line, or the miscellaneous data). The records are
// taken when the list is filled, by identity, so that going to a message's
// place finds the record even after rows before it were deleted.

#include <QAbstractTableModel>
#include <QIcon>

#include <string>
#include <vector>

#include "model/subcontract/check.h"

namespace kestrel {

class CContract;
class CSubcontract;

// The icon of a check message: an error's or a warning's; none for the
// marker that ends a full list.
QIcon CheckSeverityIcon(CheckSeverity severity);

// Where a check message points.
struct CheckTarget {
    CheckSource source = CheckSource::None;
    const CSubcontract* record = nullptr; // for a subcontractor
    int field = -1;
    std::string line; // a sub-item's line, empty for none
};

class CCheckListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { ColMessage, ColWhere, ColumnCount };

    explicit CCheckListModel(QObject* parent = nullptr);

    // Fills the list from a check of the contract (null: empties it).
    void Fill(const CContract* contract, const CheckResult& check);
    void Clear();
    int Errors() const { return m_errors; }
    int Warnings() const { return m_warnings; }
    CheckSeverity Severity(int row) const;
    CheckTarget Target(int row) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    struct Row {
        CheckSeverity severity = CheckSeverity::Warning;
        QString text;
        QString where;
        CheckTarget target;
    };
    std::vector<Row> m_rows;
    int m_errors = 0;
    int m_warnings = 0;
    QIcon m_errorIcon;
    QIcon m_warningIcon;
};

} // namespace kestrel
