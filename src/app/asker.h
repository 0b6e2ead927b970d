#pragma once
// Everything the document asks the user, behind one interface: the message
// boxes, the file dialogs, the proposal selection and the error list. The
// program uses the real dialogs (CDialogAsker); tests put in their own
// answers and run without modal loops.

#include <QMessageBox>
#include <QString>

class QWidget;

namespace kestrel {

class CSubErrors;

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

    // A message with an OK button.
    void Tell(QWidget* parent, const QString& caption, const QString& text,
              QMessageBox::Icon icon = QMessageBox::Warning)
    {
        Ask(parent, caption, text, QMessageBox::Ok, icon);
    }
};

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
};

} // namespace kestrel
