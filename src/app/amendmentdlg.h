#pragma once
// File > Apply Amendment: what carrying the subcontracting over to the
// agency's amended file changes, before anything changes. Apply takes it,
// Cancel leaves the contract as it is; Print Report prints the carry-over
// report (one page for each subcontractor it touches) meanwhile.

#include <QDialog>
#include <functional>

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace kestrel {

struct AmendmentPreview;

class CAmendmentDialog : public QDialog {
    Q_OBJECT
public:
    CAmendmentDialog(const AmendmentPreview& preview, const QString& amendedFile, QWidget* parent = nullptr);

    // What Print Report does (the program's print path).
    void SetReportPrinter(std::function<void()> printer) { m_printer = std::move(printer); }

    QLabel* Summary() const { return m_summary; }
    QPlainTextEdit* Preview() const { return m_preview; }
    QPushButton* ApplyButton() const { return m_apply; }
    QPushButton* PrintButton() const { return m_print; }

private:
    QLabel* m_summary;
    QPlainTextEdit* m_preview;
    QPushButton* m_apply;
    QPushButton* m_print;
    std::function<void()> m_printer;
};

} // namespace kestrel
