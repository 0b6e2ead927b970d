#pragma once
// What a quote import did: how many rows were entered and every row that
// was refused, with the program's message, so that the user can correct
// the quote or enter those lines by hand.

#include <QDialog>

class QLabel;
class QTableWidget;

namespace kestrel {

struct QuoteImport;

class CQuoteResultDialog : public QDialog {
    Q_OBJECT
public:
    CQuoteResultDialog(const QuoteImport& import, const QString& subcontractor, QWidget* parent = nullptr);

    QLabel* Summary() const { return m_summary; }
    QTableWidget* Refused() const { return m_refused; }

private:
    QLabel* m_summary;
    QTableWidget* m_refused;
};

} // namespace kestrel
