#pragma once
// Everything the document asks the user, behind one interface: the message
// boxes, the file dialogs, the proposal selection and the error list. The
// program uses the real dialogs (CDialogAsker); tests put in their own
// answers and run without modal loops.

#include <QMessageBox>
#include <QString>
#include <QStringList>

#include <memory>

class QDialog;
class QPrinter;
class QWidget;

namespace kestrel {

class CSubErrors;

// The choices the print dialog offers.
struct PrintDialogOptions {
    int maxPage = 1;         // the pages of the job, numbered from 1
    bool pageRange = true;   // pages can be chosen
    bool printToFile = true; // "Print to file" is offered
};

// What the proposal selection gives: confirmed with the path of the
// extracted proposal, or not confirmed.
struct ProposalChoice {
    bool confirmed = false;
    QString path;
};

class CAsker {
public:
    virtual ~CAsker() = default;
    // A message box; returns the button chosen.
    virtual QMessageBox::StandardButton Ask(QWidget* parent, const QString& caption, const QString& text,
                                            QMessageBox::StandardButtons buttons, QMessageBox::Icon icon) = 0;
    // The File Open dialog; empty when cancelled.
    virtual QString OpenFileName(QWidget* parent) = 0;
    // The Save As dialog, starting at suggestion; empty when cancelled.
    virtual QString SaveFileName(QWidget* parent, const QString& suggestion) = 0;
    // The proposal selection of a bid library.
    virtual ProposalChoice ChooseProposal(QWidget* parent, const QString& library, const QString& patterns,
                                          const QString& title) = 0;
    // Shows the error list modally.
    virtual void ShowErrorList(CSubErrors& dialog) = 0;

    // The windows below answer "cancelled" unless an asker shows them.
    //
    // A message box with buttons of the given captions; the index of the one
    // chosen, -1 when the box was closed without a choice.
    virtual int Choose(QWidget* parent, const QString& caption, const QString& text,
                       const QStringList& buttons, QMessageBox::Icon icon);
    // The same with the button at `defaultChoice` as the default (the one
    // Enter stands for): the choice that loses nothing.
    virtual int ChooseWithDefault(QWidget* parent, const QString& caption, const QString& text,
                                  const QStringList& buttons, QMessageBox::Icon icon, int defaultChoice);
    // The print dialog on the printer; true when confirmed.
    virtual bool SetUpPrinter(QWidget* parent, QPrinter& printer, const PrintDialogOptions& options);
    // Shows the print preview modally.
    virtual void ShowPreview(QDialog& preview);
    // The file the report is exported to as PDF; empty when cancelled.
    virtual QString PdfFileName(QWidget* parent, const QString& suggestion);
    // "Save Template Section": the section file; empty when cancelled.
    virtual QString SectionFileName(QWidget* parent);
    // File > Export: the spreadsheet file (CSV or XLSX, told by the name's
    // extension), starting at suggestion; empty when cancelled.
    virtual QString ExportFileName(QWidget* parent, const QString& suggestion);
    // File > Import Quote: the quote file (CSV or XLSX), starting in folder;
    // empty when cancelled.
    virtual QString QuoteFileName(QWidget* parent, const QString& folder);
    // File > Apply Amendment: the agency's amended contract file, starting
    // in folder; empty when cancelled.
    virtual QString AmendmentFileName(QWidget* parent, const QString& folder);
    // Shows one of the program's dialogs modally; its result.
    virtual int RunDialog(QDialog& dialog);

    // A message with an OK button.
    void Tell(QWidget* parent, const QString& caption, const QString& text,
              QMessageBox::Icon icon = QMessageBox::Warning)
    {
        Ask(parent, caption, text, QMessageBox::Ok, icon);
    }
};

// The message box Choose shows: the first paragraph of the text as the
// message and the rest below it, the buttons in order (the one at
// defaultChoice the default, the last the one Esc stands for), each with its
// index in the property "choice".
std::unique_ptr<QMessageBox> MakeChoiceBox(QWidget* parent, const QString& caption, const QString& text,
                                           const QStringList& buttons, QMessageBox::Icon icon,
                                           int defaultChoice = 0);

// The file types File Open offers: first one of every file the program
// opens (contracts, proposals taken out of a bid library, bid libraries),
// then each kind, then all files.
QStringList OpenFileFilters();

// The real dialogs.
class CDialogAsker : public CAsker {
public:
    QMessageBox::StandardButton Ask(QWidget* parent, const QString& caption, const QString& text,
                                    QMessageBox::StandardButtons buttons, QMessageBox::Icon icon) override;
    QString OpenFileName(QWidget* parent) override;
    QString SaveFileName(QWidget* parent, const QString& suggestion) override;
    ProposalChoice ChooseProposal(QWidget* parent, const QString& library, const QString& patterns,
                                  const QString& title) override;
    void ShowErrorList(CSubErrors& dialog) override;
    int Choose(QWidget* parent, const QString& caption, const QString& text, const QStringList& buttons,
               QMessageBox::Icon icon) override;
    int ChooseWithDefault(QWidget* parent, const QString& caption, const QString& text,
                          const QStringList& buttons, QMessageBox::Icon icon, int defaultChoice) override;
    bool SetUpPrinter(QWidget* parent, QPrinter& printer, const PrintDialogOptions& options) override;
    void ShowPreview(QDialog& preview) override;
    QString PdfFileName(QWidget* parent, const QString& suggestion) override;
    QString SectionFileName(QWidget* parent) override;
    QString ExportFileName(QWidget* parent, const QString& suggestion) override;
    QString QuoteFileName(QWidget* parent, const QString& folder) override;
    QString AmendmentFileName(QWidget* parent, const QString& folder) override;
    int RunDialog(QDialog& dialog) override;
};

} // namespace kestrel
