#pragma once
// The status line across the top of the subcontractor form: "< SUBCONTRACT
// RECORD IS INCOMPLETE >" while the bound record is not complete, empty
// otherwise; renewed after every change of the contract.

#include <QLabel>

namespace kestrel {

class CSubDoc;
class CSubcontract;

class CSubStatusLine : public QLabel {
    Q_OBJECT
public:
    // baseFont: the form font; the line is 2 points larger and bold.
    CSubStatusLine(CSubDoc& doc, const QFont& baseFont, QWidget* parent = nullptr);

    // The text for a record (null: no record, no text).
    static QString StatusText(const CSubcontract* record);
    // Binds the line to another record and shows its state.
    void SetRecord(CSubcontract* record);
    void Refresh();

private:
    CSubDoc& m_doc;
    CSubcontract* m_record = nullptr;
};

} // namespace kestrel
