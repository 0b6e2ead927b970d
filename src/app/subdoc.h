#pragma once
// The document: the one open contract (or none), the program's evaluator
// and folders, and the edit layer over the contract. Every change of the
// contract goes through ApplyEdit, lands on the undo stack, and comes back
// as a contractChanged signal from which every view redraws.
//
// Opening reads the new file into a new contract and swaps it in only when
// the read succeeded, so a damaged file never costs the contract that was
// open. Saving never truncates the file before the new one is complete.
// The modified mark is the undo stack's: undoing back to the saved state
// clears it, and saving keeps the history.

#include <QObject>
#include <QPointer>
#include <QString>
#include <QUndoStack>

#include <functional>
#include <memory>
#include <vector>

#include "app/reportprinting.h"
#include "calc/evaluator.h"
#include "edit/changeevent.h"
#include "edit/contractedits.h"
#include "model/subcontract/programpaths.h"

class QWidget;

namespace kestrel {

// How the views store what the user is typing (a form field, the sub-item
// entry, a grid's cell editor) when the contract is about to be saved,
// checked, printed, closed or left for another place.
enum class CommitMode {
    // A refused entry is told, keeps the focus, and stops what was about to
    // happen.
    Leaving,
    // In the background (the recovery copy): what can be stored is, the
    // editor keeps its text and the user is not interrupted.
    Quietly,
};

class CAsker;
class CContract;
class CFileGuard;
struct CSubSettings;
struct OpenedFile;
struct PreparedAmendment;
struct RecoveryCopy;

// The program's name, the caption of its own message boxes.
QString AppTitle();

class CSubDoc : public QObject, public ContractObserver {
    Q_OBJECT
public:
    CSubDoc(CSubSettings& settings, CAsker& asker, QObject* parent = nullptr);
    ~CSubDoc() override;

    // --- state ---------------------------------------------------------
    bool HasContract() const { return m_contract != nullptr; }
    CContract* Contract() const { return m_contract.get(); }
    CContractEdits* Edits() const { return m_edits.get(); }
    Evaluator& GetEvaluator() { return m_evaluator; }
    CProgramPaths& Paths() { return m_paths; }
    CSubSettings& Settings() const { return m_settings; }
    CAsker& Asker() const { return *m_asker; }
    void SetAsker(CAsker& asker) { m_asker = &asker; }
    QUndoStack& UndoStack() { return m_undo; }
    // The window dialogs are owned by.
    void SetMainWindow(QWidget* window) { m_mainWindow = window; }
    QWidget* MainWindow() const { return m_mainWindow; }
    void SetDebugMode(bool on) { m_debug = on; }
    bool DebugMode() const { return m_debug; }
    // The template section file, once the user has chosen it; kept for the
    // run (empty at start-up).
    QString& TemplateSectionPath() { return m_strTemplateSectionPath; }

    const QString& PathName() const { return m_path; }
    // "Tollgate Kestrel - FILE" while a contract is open, else "Tollgate Kestrel".
    QString WindowTitle() const;
    bool IsModified() const;
    // Indexes of the subcontractor fields "SubName" and "SUB" (0 when absent).
    int SubNameField() const { return m_subNameField; }
    int SubField() const { return m_subField; }
    // Whether the record is one of the open contract's subcontractors (a
    // pointer comparison: the record itself may be gone).
    bool IsRecordAlive(const CSubcontract* record) const;
    // The contract total as the status bar shows it (money form and a blank).
    QString ContractTotalText() const;

    // --- commands --------------------------------------------------------
    // File Open: the open dialog, then OpenDocument.
    bool OnFileOpen();
    // The open routine (command line, recent files, dropped files, File
    // Open). False when nothing new was opened.
    bool OpenDocument(const QString& path);
    // Save (Save As when the contract has no path yet); false when not saved.
    bool DoFileSave();
    bool DoSaveAs();
    // Ctrl+N: closes the contract after the save question.
    bool OnNewDocument();
    // The question before the contract is closed ("Save changes to %1?"):
    // false when the user cancels or the save fails.
    bool SaveModified();
    // Check Contract (F4): "Contract Is Complete" or the error list.
    void OnCheckContract();
    // The check before printing: the error list only when there are
    // messages.
    void RunCheckBeforePrint();
    // Print and Print Preview: the save and the check the settings ask for
    // (not before the preview), then the report.
    void OnFilePrint(bool preview);
    // File > Export to PDF: printing into a PDF file, after the same save and
    // check as printing.
    void OnFileExportPdf();
    void OnEditCopy();
    void OnEditPaste();
    bool CanPaste() const;
    // Stores what the user is typing into the views before the contract is
    // saved, checked, printed, closed or another place is shown: every path
    // that does so calls this first. False when an entry was refused (or a
    // refusal is still to be told): the caller stops, the focus stays in
    // the field and its message is told once, over its form.
    [[nodiscard]] bool CommitEdits(CommitMode mode = CommitMode::Leaving);
    // A view's entry was refused and its message is on its way (`teller`
    // tells it); until it has been told, or the teller is gone, nothing
    // leaves the view.
    void HoldForRefusal(QObject* teller);
    void RefusalTold(QObject* teller);
    bool RefusalPending() const;
    // While the contract is open read-only: tells why a change is not made
    // and returns true, before anything is changed.
    bool RefuseWhileReadOnly();
    // The one way views change the contract: a refusal is shown in a message
    // box with the refusal's caption; a change lands on the undo stack.
    // Returns whether the change was made.
    bool ApplyEdit(EditResult result);
    // Several changes as ONE undo step ("Undo <text>"): every change applied
    // between BeginMacro and EndMacro lands in it. Macros nest; only the
    // outermost one makes the step, and a step without changes is none.
    // CancelMacro takes back the changes made since the outermost
    // BeginMacro and makes no step.
    void BeginMacro(const QString& text);
    void EndMacro();
    void CancelMacro();
    bool InMacro() const { return m_macroDepth > 0; }

    // --- the file on disk --------------------------------------------------
    // Read-only: another program holds the contract's lock and the user
    // chose to look only. Changes are refused, Save is not offered; Save As
    // to another name makes the contract the user's (locked and editable).
    bool IsReadOnly() const { return m_readOnly; }
    CFileGuard& Guard() { return *m_guard; }
    // Opens the contract a crashed run left in a recovery copy: modified,
    // with the path of the contract it stands for, so that the user's file
    // is written only when the user saves.
    bool RecoverDocument(const RecoveryCopy& copy);
    // The same for the contract already open from the copy's file: the
    // copy's contract takes the place of the one read (its lock stays).
    bool RecoverInPlace(const RecoveryCopy& copy);
    // When the program comes back to the front: asks once per change
    // whether to reload a file changed on disk.
    void CheckDiskChange();
    // Reads the contract's file again (its unsaved changes are lost).
    bool ReloadFromDisk();

    // File > Apply Amendment: puts the carried-over contract in place of the
    // open one as one undo step (refused, before anything changes, while
    // read-only). The file name stays the working file's; Save As then
    // offers the amended file's name.
    bool ApplyAmendment(PreparedAmendment& prepared, const QString& amendedPath);

    // Changes already made that are taken back together: one step on the
    // undo stack ("Undo <description>"). Nothing is pushed without changes.
    void ApplyEditGroup(const QString& description, std::vector<AppliedEdit> edits);
    // Runs the check silently (the tree's marks follow) and, for the
    // contract view, renews the contract's check value; returns it.
    uint32_t RenewCheckValue();
    // Hint 4660: the colour or background settings changed.
    void BroadcastColorHint() { emit colorSettingsChanged(); }

    // How the contract is written to a file (tests make it fail).
    using ContractSaver = std::function<Status(CContract& contract, const std::string& path)>;
    void SetContractSaver(ContractSaver saver) { m_saver = std::move(saver); }

    // What printing does once saved and checked (tests replace it).
    using ReportPrinter = std::function<void(CSubDoc& doc, PrintTarget target)>;
    void SetReportPrinter(ReportPrinter printer) { m_reportPrinter = std::move(printer); }

    void ContractChanged(const ChangeEvent& event) override;

signals:
    // A change of the contract (edits, undo, redo, a check that ran).
    void contractChanged(const kestrel::ChangeEvent& event);
    // The contract is about to go (closed, or another one coming): views
    // and tree nodes let go of its records.
    void contractClosing();
    // Another contract (or none) is now the document's.
    void documentReplaced();
    // The contract's parts were replaced as a whole (an amendment, or its
    // undo or redo): the tree and the views are built again.
    void contractReshaped();
    void modifiedChanged(bool modified);
    void readOnlyChanged(bool readOnly);
    void titleChanged();
    void contractSaved();
    // What the status bar says of a change's further effects.
    void notice(const QString& text);
    void recentFilesChanged();
    // Something the user should know that needs no answer, for the status
    // bar (a contract opened without its lock).
    void statusNotice(const QString& text);
    // The loading window on or off.
    void loadingWindow(bool on);
    // Hint 4660.
    void colorSettingsChanged();
    // The contract is about to be saved, checked, printed or closed, or
    // another place shown (CommitEdits): a view stores what the user typed
    // into its editor that has the focus.
    void committingEdits(kestrel::CommitMode mode);

private:
    bool SaveTo(const QString& path);
    // Makes a contract opened from `path` the document's.
    void Install(OpenedFile file, const QString& path, bool modified);
    // The same for a contract not opened from its file (a recovery copy's):
    // the open steps run on it first.
    void Install(std::unique_ptr<CContract> contract, const QString& path, bool modified);
    void SetReadOnly(bool readOnly);
    // The contract of a recovery copy; a failure is told and gives none.
    std::unique_ptr<CContract> ReadRecoveryCopy(const RecoveryCopy& copy);
    bool RefuseReadOnly(EditResult& result);
    void CloseContract();
    void SyncModified();
    void NotifyCheck(bool hadErrors, bool messagesChanged);
    bool ShowCheck(bool interactive);
    void RunPrint(PrintTarget target);

    CSubSettings& m_settings;
    CAsker* m_asker;
    QWidget* m_mainWindow = nullptr;
    bool m_debug = false;
    QString m_strTemplateSectionPath;
    Evaluator m_evaluator;
    CProgramPaths m_paths;
    std::unique_ptr<CContract> m_contract;
    std::unique_ptr<CContractEdits> m_edits;
    QUndoStack m_undo;
    QString m_path;
    QString m_amendedPath; // the amended file last carried over, offered by Save As
    int m_subNameField = 0;
    int m_subField = 0;
    bool m_lastModified = false;
    bool m_checkCurrent = false; // contract flag 3 is from a check of the contract as it stands
    ReportPrinter m_reportPrinter;
    ContractSaver m_saver;
    std::unique_ptr<CFileGuard> m_guard;
    bool m_readOnly = false;
    QUndoCommand* m_macro = nullptr; // the step being made, not on the stack yet
    int m_macroDepth = 0;
    bool m_committing = false;
    std::vector<QPointer<QObject>> m_refusals; // refusals still to be told, by their tellers
};

} // namespace kestrel
