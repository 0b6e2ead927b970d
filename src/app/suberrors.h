#pragma once
// The error list of Check Contract ("Tollgate Error List"): the messages of
// one check, an OK button and "Print Errors". "Print Errors" is the cancel
// button, so Esc prints the list; the dialog stays open after printing.
// Closing the window with its title-bar button only closes it.

#include <QDialog>

#include <functional>

#include "model/subcontract/check.h"

class QListWidget;
class QPushButton;

namespace kestrel {

class CContract;

class CSubErrors : public QDialog {
    Q_OBJECT
public:
    // Keeps its own copy of the messages; the contract is for the header of
    // the printout and must outlive the dialog.
    CSubErrors(const CContract& contract, const CheckResult& check, QWidget* parent = nullptr);

    // What "Print Errors" does; the program prints through the print dialog.
    using PrintHandler = std::function<void(CSubErrors&)>;
    void SetPrintHandler(PrintHandler handler) { m_print = std::move(handler); }
    // Runs "Print Errors".
    void PrintErrors();

    const CContract& Contract() const { return m_contract; }
    const CheckResult& Check() const { return m_check; }
    QListWidget* List() const { return m_list; }
    QPushButton* PrintButton() const { return m_printButton; }

public slots:
    // Esc and the cancel button print; they do not close.
    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    const CContract& m_contract;
    CheckResult m_check;
    QListWidget* m_list = nullptr;
    QPushButton* m_printButton = nullptr;
    PrintHandler m_print;
};

} // namespace kestrel
