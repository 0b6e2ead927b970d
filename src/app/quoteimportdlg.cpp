#include "app/quoteimportdlg.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFontMetrics>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

#include "app/qtext.h"
#include "views/accessiblename.h"

namespace kestrel {

namespace {

// The tints of the chosen columns, as a spreadsheet marks a selection.
const QColor kLineTint(214, 228, 248);
const QColor kQuantityTint(218, 240, 214);
const QColor kPriceTint(252, 236, 204);
const QColor kHeaderTint(236, 236, 236);

QString ColumnLetters(int column)
{
    QString letters;
    for (int n = column + 1; n > 0; n = (n - 1) / 26)
        letters.prepend(QChar(u'A' + (n - 1) % 26));
    return letters;
}

} // namespace

CQuoteImportDialog::CQuoteImportDialog(const QuoteSheet& sheet, const QuoteColumns& guess,
                                       const QString& guessError, const QString& fileName,
                                       const QString& subcontractor, QWidget* parent)
    : QDialog(parent), m_sheet(sheet), m_preview(new QTableWidget(this)),
      m_line(MakeColumnBox(QStringLiteral("line"))), m_quantity(MakeColumnBox(QStringLiteral("quantity"))),
      m_price(MakeColumnBox(QStringLiteral("price"))), m_firstRow(new QSpinBox(this)),
      m_hint(new QLabel(this)), m_guessError(guessError)
{
    setObjectName(QStringLiteral("quoteImportDialog"));
    setWindowTitle(tr("Import Quote"));
    auto* layout = new QVBoxLayout(this);
    auto* title = new QLabel(
        tr("<b>Quote for %1</b><br>%2").arg(subcontractor.toHtmlEscaped(), fileName.toHtmlEscaped()), this);
    title->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(title);

    m_preview->setObjectName(QStringLiteral("quotePreview"));
    SetAccessibleCaption(m_preview, tr("Rows of the quote"));
    m_preview->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_preview->setSelectionMode(QAbstractItemView::NoSelection);
    m_preview->setWordWrap(false);
    m_preview->verticalHeader()->setDefaultSectionSize(22);
    m_preview->setMinimumHeight(260);
    layout->addWidget(m_preview, 1);

    auto* form = new QFormLayout;
    form->setLabelAlignment(Qt::AlignRight);
    // Each choice carries the tint its column has in the preview.
    auto addRow = [this, form](const QString& text, const QColor& tint, QComboBox* box) {
        auto* field = new QWidget(this);
        auto* row = new QHBoxLayout(field);
        row->setContentsMargins(0, 0, 0, 0);
        auto* swatch = new QLabel(field);
        swatch->setFixedSize(14, 14);
        swatch->setAutoFillBackground(true);
        QPalette colours = swatch->palette();
        colours.setColor(QPalette::Window, tint);
        swatch->setPalette(colours);
        swatch->setFrameStyle(QFrame::Box | QFrame::Plain);
        row->addWidget(swatch);
        row->addWidget(box, 1);
        form->addRow(text, field);
        if (auto* label = qobject_cast<QLabel*>(form->labelForField(field)))
            label->setBuddy(box);
        SetAccessibleCaption(box, text);
    };
    addRow(tr("&Line number column:"), kLineTint, m_line);
    addRow(tr("&Quantity column:"), kQuantityTint, m_quantity);
    addRow(tr("Unit &price column:"), kPriceTint, m_price);
    m_firstRow->setObjectName(QStringLiteral("quoteFirstRow"));
    const int lastRow = sheet.rows.empty() ? 1 : sheet.rows.back().number;
    m_firstRow->setRange(1, std::max(1, lastRow));
    form->addRow(tr("&First row of data:"), m_firstRow);
    SetAccessibleCaption(m_firstRow, tr("&First row of data:"));
    layout->addLayout(form);

    m_hint->setObjectName(QStringLiteral("quoteHint"));
    m_hint->setWordWrap(true);
    layout->addWidget(m_hint);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, this);
    m_import = buttons->addButton(tr("&Import"), QDialogButtonBox::AcceptRole);
    m_import->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);

    FillPreview(guess.firstRow - 1);
    SetColumns(guess);
    for (QComboBox* box : {m_line, m_quantity, m_price})
        connect(box, &QComboBox::currentIndexChanged, this, &CQuoteImportDialog::Update);
    connect(m_firstRow, &QSpinBox::valueChanged, this, &CQuoteImportDialog::Update);
    Update();
    resize(760, 560);
}

QComboBox* CQuoteImportDialog::MakeColumnBox(const QString& name)
{
    auto* box = new QComboBox(this);
    box->setObjectName(QStringLiteral("quote_%1").arg(name));
    box->setMinimumWidth(220);
    return box;
}

void CQuoteImportDialog::FillPreview(int headerRow)
{
    const int rows = std::min<int>(kPreviewRows, static_cast<int>(m_sheet.rows.size()));
    for (int r = 0; r < rows; ++r)
        for (const QuoteCell& cell : m_sheet.rows[static_cast<size_t>(r)].cells)
            m_columns = std::max(m_columns, cell.column + 1);
    m_columns = std::min(m_columns, 52);
    m_preview->setRowCount(rows);
    m_preview->setColumnCount(m_columns);
    QStringList letters;
    for (int c = 0; c < m_columns; ++c)
        letters << ColumnLetters(c);
    m_preview->setHorizontalHeaderLabels(letters);
    // The header row: the one above the data as guessed, else the first.
    const QuoteRow* header = rows > 0 ? &m_sheet.rows.front() : nullptr;
    for (int r = 0; r < rows; ++r) {
        const QuoteRow& row = m_sheet.rows[static_cast<size_t>(r)];
        if (row.number == headerRow)
            header = &row;
        m_preview->setVerticalHeaderItem(r, new QTableWidgetItem(QString::number(row.number)));
        for (const QuoteCell& cell : row.cells) {
            if (cell.column >= m_columns)
                continue;
            auto* item = new QTableWidgetItem(ToQString(cell.text));
            // Numbers stand at the right, as a spreadsheet shows them.
            bool number = false;
            item->text().toDouble(&number);
            item->setTextAlignment(Qt::AlignVCenter | (number ? Qt::AlignRight : Qt::AlignLeft));
            m_preview->setItem(r, cell.column, item);
        }
        // An empty cell is named by its place, as a spreadsheet names it.
        for (int c = 0; c < m_columns; ++c) {
            QTableWidgetItem* item = m_preview->item(r, c);
            if (!item) {
                item = new QTableWidgetItem;
                m_preview->setItem(r, c, item);
            }
            if (item->text().isEmpty())
                item->setData(Qt::AccessibleTextRole, letters[c] + QString::number(row.number));
        }
    }
    // The column boxes name each column by its letter and its heading.
    for (QComboBox* box : {m_line, m_quantity, m_price}) {
        box->addItem(tr("(none)"), -1);
        for (int c = 0; c < m_columns; ++c) {
            const QString heading = header ? ToQString(header->Cell(c)).simplified() : QString();
            box->addItem(heading.isEmpty() ? letters[c]
                                           : QStringLiteral("%1  \u2013  %2").arg(letters[c], heading),
                         c);
        }
    }
    // Widths from the header row on: a title above it may run on, as it
    // does in a spreadsheet.
    const QFontMetrics metrics(m_preview->font());
    for (int c = 0; c < m_columns; ++c) {
        int width = metrics.horizontalAdvance(letters[c]);
        for (int r = 0; r < rows; ++r)
            if (m_sheet.rows[static_cast<size_t>(r)].number >= std::max(headerRow, 1))
                if (const QTableWidgetItem* item = m_preview->item(r, c))
                    width = std::max(width, metrics.horizontalAdvance(item->text()));
        m_preview->setColumnWidth(c, std::clamp(width + 16, 48, 240));
    }
    // Which it does here too: a text wider than its column spans the empty
    // cells to its right.
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < m_columns; ++c) {
            const QTableWidgetItem* item = m_preview->item(r, c);
            if (!item || metrics.horizontalAdvance(item->text()) + 8 <= m_preview->columnWidth(c))
                continue;
            int span = 1;
            while (c + span < m_columns &&
                   (!m_preview->item(r, c + span) || m_preview->item(r, c + span)->text().isEmpty()))
                ++span;
            if (span > 1)
                m_preview->setSpan(r, c, 1, span);
            c += span - 1;
        }
}

QuoteColumns CQuoteImportDialog::Columns() const
{
    QuoteColumns columns;
    columns.line = m_line->currentData().toInt();
    columns.quantity = m_quantity->currentData().toInt();
    columns.price = m_price->currentData().toInt();
    columns.firstRow = m_firstRow->value();
    return columns;
}

void CQuoteImportDialog::SetColumns(const QuoteColumns& columns)
{
    auto choose = [](QComboBox* box, int column) {
        box->setCurrentIndex(std::max(0, box->findData(column)));
    };
    choose(m_line, columns.line);
    choose(m_quantity, columns.quantity);
    choose(m_price, columns.price);
    m_firstRow->setValue(columns.firstRow);
}

void CQuoteImportDialog::Update()
{
    const QuoteColumns columns = Columns();
    for (int r = 0; r < m_preview->rowCount(); ++r) {
        const bool data = m_sheet.rows[static_cast<size_t>(r)].number >= columns.firstRow;
        for (int c = 0; c < m_columns; ++c) {
            QTableWidgetItem* item = m_preview->item(r, c);
            if (!item) {
                item = new QTableWidgetItem;
                m_preview->setItem(r, c, item);
            }
            QColor tint;
            if (!data)
                tint = kHeaderTint;
            else if (c == columns.line)
                tint = kLineTint;
            else if (c == columns.quantity)
                tint = kQuantityTint;
            else if (c == columns.price)
                tint = kPriceTint;
            item->setBackground(tint.isValid() ? QBrush(tint) : QBrush());
            item->setForeground(data ? palette().brush(QPalette::Text)
                                     : palette().brush(QPalette::PlaceholderText));
        }
    }
    const Status ok = CheckQuoteColumns(columns);
    m_import->setEnabled(ok.ok());
    if (!ok) {
        m_hint->setText(
            tr("<span style='color:#b00020'>%1</span>").arg(ToQString(ok.errorText()).toHtmlEscaped()));
        return;
    }
    const auto rows = std::count_if(m_sheet.rows.begin(), m_sheet.rows.end(),
                                    [&](const QuoteRow& row) { return row.number >= columns.firstRow; });
    QString text = tr("%1 rows from row %2 on will be entered for this subcontractor; rows that "
                      "are refused are listed afterwards. Undo takes the whole import back.")
                       .arg(rows)
                       .arg(columns.firstRow);
    if (!m_guessError.isEmpty())
        text.prepend(tr("No header row was found (%1). ").arg(m_guessError.toHtmlEscaped()));
    m_hint->setText(text);
}

} // namespace kestrel
