#pragma once
// "Select Proposal": the proposals of a bid library, sorted, one chosen;
// confirming takes the chosen one out of the library into the library's own
// folder and gives its path, which the document then opens.
//
// The entry is taken out by its exact name, so a name holding "*", "?" or
// ";" never brings other entries along. A file of that name already beside
// the library (the proposal as the user saved it in an earlier session) is
// not replaced without asking: it can be opened instead. An extraction that
// fails is reported ("Error Extracting Proposal") and confirms nothing.

#include <QDialog>
#include <QString>

class QDialogButtonBox;
class QLabel;
class QListWidget;

namespace kestrel {

class CAsker;

class CKVLLoad : public QDialog {
    Q_OBJECT
public:
    // The asker shows the questions and messages of the dialog.
    explicit CKVLLoad(CAsker& asker, QWidget* parent = nullptr);

    // Set by the caller before the dialog runs.
    QString m_strLibrary;  // the bid library
    QString m_strPatterns; // the entries offered ("*.kvs")
    QString m_strTitle;    // the window title
    // The extracted proposal's path once confirmed; empty until then, and
    // when confirmed with no line chosen.
    QString m_strResult;

    // Fills the list from the library (a library that cannot be read gives
    // an empty list); runs when the dialog is first shown, if not before.
    void OnInitDialog();
    // OK, or a double-click on a line.
    void OnOK();

    QListWidget* List() const { return m_list; }
    // The path an entry of the library is taken out to.
    QString TargetPath(const QByteArray& entryName) const;

protected:
    void showEvent(QShowEvent* event) override;

private:
    CAsker& m_asker;
    bool m_initialised = false;
    QLabel* m_heading = nullptr;
    QLabel* m_description = nullptr;
    QLabel* m_caption = nullptr;
    QListWidget* m_list = nullptr;
    QLabel* m_where = nullptr;
    QDialogButtonBox* m_buttons = nullptr;
};

} // namespace kestrel
