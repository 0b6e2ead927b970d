#pragma once
// The preview of a subcontractor's quote before it is taken in: the first
// rows of the file as a spreadsheet shows them (columns A, B, ..., the rows
// by their numbers), and the columns of the line number, the quantity and
// the unit price with the first row of data, as guessed from the header
// row and changed by the user. The chosen columns are tinted in the
// preview and the rows above the data greyed; Import is offered only when
// the columns name what a quote needs.

#include <QDialog>

#include "exchange/quotesheet.h"

class QComboBox;
class QLabel;
class QPushButton;
class QSpinBox;
class QTableWidget;

namespace kestrel {

class CQuoteImportDialog : public QDialog {
    Q_OBJECT
public:
    // How many rows of the file the preview shows.
    static constexpr int kPreviewRows = 40;

    // `guess` is what GuessQuoteColumns gave, `guessError` its reason when
    // it found no header row (the choices then start empty).
    CQuoteImportDialog(const QuoteSheet& sheet, const QuoteColumns& guess, const QString& guessError,
                       const QString& fileName, const QString& subcontractor, QWidget* parent = nullptr);

    QuoteColumns Columns() const;
    void SetColumns(const QuoteColumns& columns);

    QTableWidget* Preview() const { return m_preview; }
    QComboBox* LineBox() const { return m_line; }
    QComboBox* QuantityBox() const { return m_quantity; }
    QComboBox* PriceBox() const { return m_price; }
    QSpinBox* FirstRowBox() const { return m_firstRow; }
    QPushButton* ImportButton() const { return m_import; }
    QLabel* Hint() const { return m_hint; }

private:
    QComboBox* MakeColumnBox(const QString& name);
    // headerRow: the number of the row that names the columns (0: none).
    void FillPreview(int headerRow);
    void Update();

    const QuoteSheet& m_sheet;
    int m_columns = 0; // columns shown in the preview
    QTableWidget* m_preview;
    QComboBox* m_line;
    QComboBox* m_quantity;
    QComboBox* m_price;
    QSpinBox* m_firstRow;
    QLabel* m_hint;
    QPushButton* m_import = nullptr;
    QString m_guessError;
};

} // namespace kestrel
