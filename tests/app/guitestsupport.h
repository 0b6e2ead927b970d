#pragma once
// What the program's tests share: answers to the document's questions
// given in advance, a program started on a temporary INI file, and test
// contracts written to files.

#include <QMessageBox>
#include <QString>
#include <QStringList>

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/asker.h"
#include "app/subapp.h"
#include "support/testfiles.h"

namespace kestrel {
class CContract;
class CMainFrame;
class CSubDoc;
class CSubTreeView;
} // namespace kestrel

namespace kestrel::test {

// Answers the document's questions from a script and records them.
class ScriptedAsker : public CAsker {
public:
    struct Question {
        QString caption;
        QString text;
        QMessageBox::StandardButtons buttons;
        QMessageBox::Icon icon;
    };

    QMessageBox::StandardButton Ask(QWidget* parent, const QString& caption, const QString& text,
                                    QMessageBox::StandardButtons buttons, QMessageBox::Icon icon) override;
    QString OpenFileName(QWidget*) override { return openFile; }
    QString SaveFileName(QWidget*, const QString& suggestion) override
    {
        ++saveDialogs;
        saveSuggestion = suggestion;
        return saveFile;
    }
    ProposalChoice ChooseProposal(QWidget* parent, const QString& library, const QString& patterns,
                                  const QString& title) override;
    void ShowErrorList(CSubErrors& dialog) override;
    int Choose(QWidget* parent, const QString& caption, const QString& text, const QStringList& buttons,
               QMessageBox::Icon icon) override;
    int ChooseWithDefault(QWidget* parent, const QString& caption, const QString& text,
                          const QStringList& buttons, QMessageBox::Icon icon, int defaultChoice) override;
    bool SetUpPrinter(QWidget* parent, QPrinter& printer, const PrintDialogOptions& options) override;
    void ShowPreview(QDialog& preview) override;
    QString PdfFileName(QWidget*, const QString& suggestion) override
    {
        pdfSuggestion = suggestion;
        return pdfFile;
    }
    QString SectionFileName(QWidget*) override
    {
        ++sectionDialogs;
        return sectionFile;
    }
    QString ExportFileName(QWidget*, const QString& suggestion) override
    {
        exportSuggestion = suggestion;
        return exportFile;
    }
    QString QuoteFileName(QWidget*, const QString& folder) override
    {
        quoteFolder = folder;
        return quoteFile;
    }
    QString AmendmentFileName(QWidget*, const QString&) override { return amendmentFile; }
    // The program's dialogs: onDialog answers for them (none: cancelled).
    int RunDialog(QDialog& dialog) override;

    // Answers in order; when they run out, the default button.
    std::deque<QMessageBox::StandardButton> answers;
    std::vector<Question> asked;
    QString openFile;
    QString saveFile;
    int saveDialogs = 0;
    QString saveSuggestion;
    // The entry the proposal selection takes (empty: cancelled); the real
    // dialog runs on the library and this answers its questions.
    QString proposal;
    QStringList proposalsOffered;
    QString proposalTitle;
    // The answers to Choose (button indexes; when they run out, -1), and the
    // captions of the buttons offered.
    std::deque<int> choices;
    std::vector<QStringList> choiceButtons;
    // The default button of each question asked with one (Enter's choice).
    std::vector<int> choiceDefaults;
    // The print dialog: what it was offered, and what it does to the printer
    // before it is confirmed (no function: cancelled).
    std::vector<PrintDialogOptions> printDialogs;
    std::function<bool(QPrinter&)> onPrintDialog;
    // The preview while it is shown.
    int previews = 0;
    std::function<void(QDialog&)> onPreview;
    QString pdfFile;
    QString pdfSuggestion;
    QString sectionFile;
    int sectionDialogs = 0;
    QString exportFile;
    QString exportSuggestion;
    QString quoteFile;
    QString amendmentFile;
    QString quoteFolder;
    std::function<int(QDialog&)> onDialog;
    QStringList dialogsShown; // their object names, in order
    // What the error list showed, and what to do with it while shown.
    QStringList errorListLines;
    int errorLists = 0;
    std::function<void(CSubErrors&)> onErrorList;
};

// The program started with a temporary INI file and scripted answers.
class ProgramFixture {
public:
    // prepare: answers given before the program starts (its start-up may
    // ask already).
    explicit ProgramFixture(const QStringList& extraArguments = {},
                            const std::function<void(ScriptedAsker&)>& prepare = {});
    ~ProgramFixture();
    CSubApp& App() { return *m_app; }
    CSubDoc& Doc();
    CMainFrame& Frame();
    CSubTreeView& Tree();
    // Opens a copy of the demo contract and shows the main window, active,
    // with the tree expanded; false when the open failed.
    bool ShowDemo(int width = 1200, int height = 800);
    // Opens a contract another program holds, answering "Open Read-Only";
    // false when it is not open read-only.
    bool OpenReadOnly(const QString& path);
    ScriptedAsker asker;
    TempDir dir;
    QString iniPath;

private:
    std::unique_ptr<CSubApp> m_app;
};

// A copy of the demo contract (and its list files) in dir; returns its path.
QString CopyDemo(const TempDir& dir, const std::string& name = "DEMO.CON");
// Writes a contract to a file; returns the path.
QString WriteContract(CContract& contract, const std::string& path);
// A small contract: items, a subcontractor table of text fields with the
// given top-level subcontractors, contract flags 4 and 5.
std::unique_ptr<CContract> SmallContract(int subcontractors);
QString Q(const std::string& text);

} // namespace kestrel::test
