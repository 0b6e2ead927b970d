#include "app/subdoc.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMimeData>

#include <algorithm>
#include <cerrno>
#include <optional>
#include <utility>

#include "app/asker.h"
#include "app/fileguard.h"
#include "app/qtext.h"
#include "app/reportprinting.h"
#include "app/suberrors.h"
#include "app/subsettings.h"
#include "calc/formats.h"
#include "edit/amendment.h"
#include "file/contractfile.h"
#include "file/contractsave.h"
#include "file/opencontract.h"
#include "file/platform.h"
#include "file/recovery.h"
#include "model/contract/contract.h"
#include "model/subcontract/winmeta.h"
#include "views/editsupport.h"

namespace kestrel {

namespace {

std::string LocalPath(const QString& path)
{
    return path.toStdString();
}

// The wait cursor while a routine runs.
class WaitCursor {
public:
    WaitCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QGuiApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

// The text of an undo step: the history list's (with what the change was
// about, when told), then after a line break the menu's (an "&" doubled
// there, or it would mark a key).
QString StepText(const QString& description, const QString& about = QString())
{
    QString menu = description;
    menu.replace(QLatin1Char('&'), QStringLiteral("&&"));
    const QString listed = about.isEmpty() ? description : description + QStringLiteral(" \u2014 ") + about;
    return menu == listed ? listed : listed + QLatin1Char('\n') + menu;
}

// What a change was about, for the history list: the record by its name,
// the contract line, the template. (The field is the step's own text, by
// the form's caption.)
QString ChangeSubject(const ChangeEvent& event, const CContract& contract, int nameField)
{
    QStringList parts;
    if (!event.line.empty())
        parts << QCoreApplication::translate("kestrel::CSubDoc", "line ") + ToQString(event.line);
    if (event.kind == ChangeKind::Template)
        parts << ToQString(event.templateName);
    // A deleted record is gone from its table; it is not read.
    const bool alive = event.record && event.kind != ChangeKind::SubcontractorDeleted;
    if (alive && event.table == contract.m_pMiscTable.get())
        parts << QCoreApplication::translate("kestrel::CSubDoc", "Miscellaneous Data");
    else if (alive && event.table == contract.m_pSubTable.get())
        if (const Text* name = event.record->GetCellText(nameField); name && !name->View().empty())
            parts << ToQString(name->View());
    return parts.join(QStringLiteral(", "));
}

// One change of the contract on the undo stack. The change is already made
// when it is pushed; undo and redo exchange its image with the contract.
class CEditCommand : public QUndoCommand {
public:
    CEditCommand(CContractEdits& edits, AppliedEdit edit, const QString& about,
                 QUndoCommand* parent = nullptr)
        : QUndoCommand(parent), m_edits(edits), m_edit(std::move(edit))
    {
        setText(StepText(QString::fromStdString(m_edit.description), about));
    }
    void undo() override { m_edits.Undo(m_edit); }
    void redo() override
    {
        if (m_done)
            m_edits.Redo(m_edit);
        m_done = true;
    }

private:
    CContractEdits& m_edits;
    AppliedEdit m_edit;
    bool m_done = false;
};

QString ReadOnlyRefusal(const QString& path)
{
    return QCoreApplication::translate(
               "kestrel::CSubDoc",
               "%1 is open read-only: another copy of Tollgate Kestrel has it open, and the "
               "change was not made.\n\nUse Save As to save a copy of your own that you can "
               "change.")
        .arg(QFileInfo(path).fileName());
}

// Texts of the system and the file layer (which may hold file names): UTF-8
// on every system.
QString SystemText(const std::string& text)
{
    return QString::fromStdString(text);
}

// Why the contract file at path cannot be opened, naming it.
QString OpenFailureText(const QString& path, const std::string& why)
{
    return QCoreApplication::translate("kestrel::CSubDoc", "Cannot open %1:\n\n%2")
        .arg(QDir::toNativeSeparators(path), SystemText(why));
}

// Why a save failed, where, and that nothing was lost by it.
QString SaveFailureText(const QString& path, const std::string& why)
{
    return QCoreApplication::translate(
               "kestrel::CSubDoc",
               "The contract could not be saved to %1.\n\n%2.\n\n"
               "The file on disk is unchanged, and your changes are still open here: "
               "save them elsewhere with Save As, or save again once the problem is fixed.")
        .arg(QDir::toNativeSeparators(path), SystemText(why));
}

bool IsBidLibrary(const QString& path)
{
    // Only the last extension counts: "x.kvl.con" is a contract.
    const QString name = QFileInfo(path).fileName();
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot >= 0 && name.mid(dot).compare(QStringLiteral(".kvl"), Qt::CaseInsensitive) == 0;
}

} // namespace

QString AppTitle()
{
    return QStringLiteral("Tollgate Kestrel");
}

CSubDoc::CSubDoc(CSubSettings& settings, CAsker& asker, QObject* parent)
    : QObject(parent), m_settings(settings), m_asker(&asker)
{
    m_reportPrinter = [](CSubDoc& doc, PrintTarget target) {
        PrintContractReport(doc.MainWindow(), doc.Asker(), *doc.Contract(), doc.GetEvaluator(), target,
                            doc.PathName(), &doc.Settings().pdfFolder, &doc);
    };
    m_saver = [](CContract& contract, const std::string& path) { return SaveContract(contract, path); };
    connect(&m_undo, &QUndoStack::cleanChanged, this, [this](bool) { SyncModified(); });
    connect(&m_undo, &QUndoStack::indexChanged, this, [this](int) { SyncModified(); });
    m_guard = std::make_unique<CFileGuard>();
    // Coming back to the program: the file may have been changed meanwhile.
    // Queued, so that the question comes once the activation is done.
    connect(
        qGuiApp, &QGuiApplication::applicationStateChanged, this,
        [this](Qt::ApplicationState state) {
            if (state == Qt::ApplicationActive)
                CheckDiskChange();
        },
        Qt::QueuedConnection);
}

CSubDoc::~CSubDoc()
{
    // The commands refer to the edit layer; they go first.
    delete m_macro;
    m_undo.clear();
    m_edits.reset();
}

QString CSubDoc::WindowTitle() const
{
    if (!HasContract())
        return AppTitle();
    return AppTitle() + QStringLiteral(" - ") + QFileInfo(m_path).fileName();
}

bool CSubDoc::IsModified() const
{
    return HasContract() && !m_undo.isClean();
}

bool CSubDoc::IsRecordAlive(const CSubcontract* record) const
{
    return record && m_contract && m_contract->m_pSubTable &&
           m_contract->m_pSubTable->m_Records.IndexOf(record) >= 0;
}

QString CSubDoc::ContractTotalText() const
{
    if (!m_contract)
        return QStringLiteral("$0.00");
    const NumberFormat f = m_contract->m_ExtFormat;
    return ToQString(FormatNumber(m_contract->m_fContractTotal, f.digits, f.decimals, true, true) + " ");
}

void CSubDoc::SyncModified()
{
    // The contract's own flag follows the stack: an undone change puts back
    // the flag it found, which need not be the state of the file on disk.
    if (m_contract)
        m_contract->SetModified(!m_undo.isClean());
    const bool modified = IsModified();
    if (modified != m_lastModified) {
        m_lastModified = modified;
        emit modifiedChanged(modified);
    }
}

void CSubDoc::ContractChanged(const ChangeEvent& event)
{
    // Every change ran the check in its follow-up.
    m_checkCurrent = true;
    if (event.reshaped && m_contract && m_contract->m_pSubTable) {
        m_subNameField = kestrel::SubNameField(*m_contract->m_pSubTable);
        m_subField = SubFieldIndex(*m_contract->m_pSubTable);
    }
    emit contractChanged(event);
    if (event.reshaped)
        emit contractReshaped();
}

bool CSubDoc::ApplyAmendment(PreparedAmendment& prepared, const QString& amendedPath)
{
    if (!m_edits || RefuseWhileReadOnly())
        return false;
    if (!ApplyEdit(m_edits->ApplyAmendment(prepared)))
        return false;
    m_amendedPath = amendedPath;
    return true;
}

bool CSubDoc::ApplyEdit(EditResult result)
{
    if (!result) {
        const auto why = static_cast<Refusal>(result.errorCode());
        const QString caption =
            result.errorCode() > 0 ? QString::fromLatin1(RefusalCaption(why)) : AppTitle();
        m_asker->Tell(m_mainWindow, caption, ToQString(result.errorText()), QMessageBox::Warning);
        return false;
    }
    if (result->inverse.IsEmpty() || !m_edits)
        return true; // nothing changed: nothing to take back
    if (m_readOnly)
        return RefuseReadOnly(result);
    if (!result->notice.empty())
        emit notice(ToQString(result->notice));
    if (m_macro) {
        // Made already; the step is pushed at EndMacro, and the push's redo
        // finds its changes made.
        const QString about = ChangeSubject(result->event, *m_contract, m_subNameField);
        new CEditCommand(*m_edits, std::move(result).value(), about, m_macro);
        return true;
    }
    const QString about = ChangeSubject(result->event, *m_contract, m_subNameField);
    m_undo.push(new CEditCommand(*m_edits, std::move(result).value(), about));
    return true;
}

bool CSubDoc::CommitEdits(CommitMode mode)
{
    if (!HasContract())
        return true;
    // A view storing its entry may move the focus; the leaving that causes
    // is part of this commit.
    if (!m_committing) {
        m_committing = true;
        emit committingEdits(mode);
        m_committing = false;
    }
    return mode == CommitMode::Quietly || !RefusalPending();
}

void CSubDoc::HoldForRefusal(QObject* teller)
{
    if (teller)
        m_refusals.emplace_back(teller);
}

void CSubDoc::RefusalTold(QObject* teller)
{
    std::erase_if(m_refusals, [teller](const QPointer<QObject>& held) { return !held || held == teller; });
}

bool CSubDoc::RefusalPending() const
{
    // A teller that is gone took its refusal with it.
    return std::any_of(m_refusals.begin(), m_refusals.end(),
                       [](const QPointer<QObject>& held) { return !held.isNull(); });
}

bool CSubDoc::RefuseWhileReadOnly()
{
    if (!m_readOnly)
        return false;
    m_asker->Tell(m_mainWindow, AppTitle(), ReadOnlyRefusal(m_path));
    return true;
}

bool CSubDoc::RefuseReadOnly(EditResult& result)
{
    // The edit layer made the change before it reached here: it is taken
    // back, and the views redraw from that.
    AppliedEdit edit = std::move(result).value();
    m_edits->Undo(edit);
    m_asker->Tell(m_mainWindow, AppTitle(), ReadOnlyRefusal(m_path));
    return false;
}

void CSubDoc::BeginMacro(const QString& text)
{
    if (m_macroDepth++ == 0) {
        delete m_macro;
        m_macro = new QUndoCommand;
        m_macro->setText(StepText(text));
    }
}

void CSubDoc::EndMacro()
{
    if (m_macroDepth == 0 || --m_macroDepth > 0)
        return;
    QUndoCommand* macro = std::exchange(m_macro, nullptr);
    if (macro->childCount() == 0) {
        delete macro;
        return;
    }
    // Pushing runs its redo, which finds every change of it done.
    m_undo.push(macro);
}

void CSubDoc::CancelMacro()
{
    if (m_macroDepth == 0)
        return;
    m_macroDepth = 0;
    std::unique_ptr<QUndoCommand> macro(std::exchange(m_macro, nullptr));
    // Its changes, last first.
    if (macro->childCount() > 0)
        macro->undo();
}

void CSubDoc::SetReadOnly(bool readOnly)
{
    if (m_readOnly == readOnly)
        return;
    m_readOnly = readOnly;
    emit readOnlyChanged(readOnly);
}

void CSubDoc::ApplyEditGroup(const QString& description, std::vector<AppliedEdit> edits)
{
    if (!m_edits)
        return;
    if (m_readOnly) {
        // Made already: taken back, last first, and refused once.
        const bool changed = std::any_of(edits.begin(), edits.end(),
                                         [](const AppliedEdit& edit) { return !edit.inverse.IsEmpty(); });
        for (auto edit = edits.rbegin(); edit != edits.rend(); ++edit)
            if (!edit->inverse.IsEmpty())
                m_edits->Undo(*edit);
        if (changed)
            m_asker->Tell(m_mainWindow, AppTitle(), ReadOnlyRefusal(m_path));
        return;
    }
    // One step; none when nothing changed (it would only mark the contract).
    BeginMacro(description);
    for (AppliedEdit& edit : edits)
        (void)ApplyEdit(EditResult(std::move(edit)));
    EndMacro();
}

void CSubDoc::CloseContract()
{
    if (!m_contract)
        return;
    emit contractClosing();
    delete std::exchange(m_macro, nullptr);
    m_macroDepth = 0;
    m_undo.clear();
    m_edits.reset();
    m_contract.reset();
    m_paths.SetContractPath(std::string());
    m_path.clear();
    m_subNameField = m_subField = 0;
    m_amendedPath.clear();
}

bool CSubDoc::OnFileOpen()
{
    if (!CommitEdits())
        return false;
    const QString path = m_asker->OpenFileName(m_mainWindow);
    if (path.isEmpty())
        return false;
    return OpenDocument(path);
}

bool CSubDoc::OpenDocument(const QString& requested)
{
    // A folder, FIFO or device is no contract nor library: refused before
    // anything is locked or extracted (and before a FIFO could keep the
    // read waiting).
    if (const Status kind = CheckRegularFile(LocalPath(requested)); !kind) {
        m_asker->Tell(m_mainWindow, tr("Error Opening Contract File"),
                      OpenFailureText(requested, kind.errorText()));
        return false;
    }
    // What is typed is part of the contract the save question asks about.
    if (!CommitEdits())
        return false;
    // Unsaved changes are asked about before anything else happens: a
    // proposal taken from a bid library is extracted over its file, which
    // may be the very file a Yes would save to.
    if (HasContract() && IsModified()) {
        const auto answer =
            m_asker->Ask(m_mainWindow, AppTitle(),
                         tr("The File ") + m_path + tr(" has changed.\nDo you want to save the changes?"),
                         QMessageBox::Yes | QMessageBox::No, QMessageBox::Question);
        // A save that fails or is cancelled stops the open: the changes the
        // user wanted kept are still there.
        if (answer == QMessageBox::Yes && !DoFileSave())
            return false;
    }
    QString path = requested;
    if (IsBidLibrary(path)) {
        const ProposalChoice choice =
            m_asker->ChooseProposal(m_mainWindow, path, QStringLiteral("*.kvs"), tr("Select Proposal"));
        if (!choice.confirmed || choice.path.isEmpty())
            return false;
        path = choice.path;
    }
    WaitCursor wait;
    // The lock first: the user may not want a contract another program has
    // open. A lock taken for an open that fails goes with it.
    PendingLock lock = m_guard->LockFor(m_mainWindow, *m_asker, path);
    if (lock.choice == LockChoice::Cancel)
        return false;
    emit loadingWindow(true);
    // The file goes into a new contract; the open one stays until the read
    // has succeeded.
    CProgramPaths paths = m_paths;
    Result<OpenedFile> opened = OpenContractFile(LocalPath(path), paths);
    if (!opened) {
        emit loadingWindow(false);
        m_asker->Tell(m_mainWindow, tr("Error Opening Contract File"),
                      OpenFailureText(path, opened.errorText()));
        return false;
    }
    Install(std::move(opened).value(), path, false);
    m_guard->Adopt(std::move(lock.lock), path);
    SetReadOnly(lock.choice == LockChoice::ReadOnly);
    emit loadingWindow(false);
    // Others who open the contract are not warned that it is open here.
    if (!lock.notice.isEmpty())
        emit statusNotice(lock.notice);
    return true;
}

void CSubDoc::Install(std::unique_ptr<CContract> contract, const QString& path, bool modified)
{
    OpenedFile file;
    file.contract = std::move(contract);
    CProgramPaths paths = m_paths;
    file.opened = FinishOpenContract(*file.contract, LocalPath(path), paths);
    Install(std::move(file), path, modified);
}

void CSubDoc::Install(OpenedFile file, const QString& path, bool modified)
{
    CloseContract();
    m_contract = std::move(file.contract);
    m_paths.SetContractPath(LocalPath(path));
    OpenedContract& opened = file.opened;
    m_subNameField = opened.subNameField;
    m_subField = opened.subField;
    m_edits = std::make_unique<CContractEdits>(*m_contract, m_evaluator, m_paths);
    m_edits->SetObserver(this);
    // The open steps ended with the silent check: its messages are the
    // check panel's until the next change.
    m_edits->SetLastCheck(std::move(opened.check));
    m_checkCurrent = true;
    m_undo.clear();
    m_undo.setClean();
    // A recovered contract holds changes its file does not have; there is
    // no state of the history it could go back to clean.
    if (modified)
        m_undo.resetClean();
    m_path = path;
    SyncModified();
    if (m_settings.warnRef)
        for (const std::string& error : opened.listErrors)
            m_asker->Tell(m_mainWindow, AppTitle(), ToQString(error));
    m_settings.AddRecentFile(QFileInfo(path).absoluteFilePath(), ToQString(m_contract->pszContractID()));
    emit recentFilesChanged();
    emit documentReplaced();
    emit titleChanged();
}

bool CSubDoc::RecoverDocument(const RecoveryCopy& copy)
{
    const QString path = QString::fromStdString(copy.contractPath);
    if (HasContract() && !SaveModified())
        return false;
    PendingLock lock = m_guard->LockFor(m_mainWindow, *m_asker, path);
    if (lock.choice == LockChoice::Cancel)
        return false;
    WaitCursor wait;
    std::unique_ptr<CContract> recovered = ReadRecoveryCopy(copy);
    if (!recovered)
        return false;
    Install(std::move(recovered), path, true);
    m_guard->Adopt(std::move(lock.lock), path);
    SetReadOnly(lock.choice == LockChoice::ReadOnly);
    if (!lock.notice.isEmpty())
        emit statusNotice(lock.notice);
    return true;
}

bool CSubDoc::RecoverInPlace(const RecoveryCopy& copy)
{
    if (!HasContract() || m_path.isEmpty())
        return false;
    WaitCursor wait;
    std::unique_ptr<CContract> recovered = ReadRecoveryCopy(copy);
    if (!recovered)
        return false;
    const QString path = m_path;
    Install(std::move(recovered), path, true);
    return true;
}

std::unique_ptr<CContract> CSubDoc::ReadRecoveryCopy(const RecoveryCopy& copy)
{
    CRecoveryStore store(std::string{});
    Result<std::unique_ptr<CContract>> recovered = store.TakeBack(copy);
    if (!recovered) {
        m_asker->Tell(m_mainWindow, tr("Error Opening Contract File"), SystemText(recovered.errorText()));
        return nullptr;
    }
    return std::move(recovered).value();
}

bool CSubDoc::ReloadFromDisk()
{
    if (!HasContract() || m_path.isEmpty())
        return false;
    WaitCursor wait;
    CProgramPaths paths = m_paths;
    Result<OpenedFile> opened = OpenContractFile(LocalPath(m_path), paths);
    if (!opened) {
        m_asker->Tell(m_mainWindow, tr("Error Opening Contract File"),
                      OpenFailureText(m_path, opened.errorText()));
        return false;
    }
    // The same file: its lock stays, its fingerprint is taken again.
    const QString path = m_path;
    Install(std::move(opened).value(), path, false);
    m_guard->Saved(path);
    return true;
}

void CSubDoc::CheckDiskChange()
{
    if (!HasContract())
        return;
    if (m_guard->CheckDisk(m_mainWindow, *m_asker, m_path, IsModified()) == DiskAnswer::Reload)
        ReloadFromDisk();
}

bool CSubDoc::SaveTo(const QString& path)
{
    // A file changed on disk since it was read is not overwritten unasked.
    if (path == m_path &&
        m_guard->CheckDisk(m_mainWindow, *m_asker, m_path, IsModified()) == DiskAnswer::Reload) {
        ReloadFromDisk();
        return false;
    }
    WaitCursor wait;
    const Status saved = m_saver(*m_contract, LocalPath(path));
    if (!saved) {
        // The file on disk is as it was and the document stays modified.
        m_contract->SetModified(true);
        m_asker->Tell(m_mainWindow, AppTitle(), SaveFailureText(path, saved.errorText()));
        return false;
    }
    m_undo.setClean();
    SyncModified();
    m_guard->Saved(path);
    // The save stamped the remarks, which the check reads.
    m_checkCurrent = false;
    emit contractSaved();
    return true;
}

bool CSubDoc::DoFileSave()
{
    if (!HasContract() || !CommitEdits())
        return false;
    if (m_path.isEmpty() || m_readOnly)
        return DoSaveAs();
    return SaveTo(m_path);
}

bool CSubDoc::DoSaveAs()
{
    if (!HasContract() || !CommitEdits())
        return false;
    // After an amendment was carried over, the amended file's name is the
    // one offered: the contractor's file for the new issue.
    const QString path =
        m_asker->SaveFileName(m_mainWindow, m_amendedPath.isEmpty() ? m_path : m_amendedPath);
    if (path.isEmpty())
        return false;
    // The new file is locked before it is written; a file another program
    // has open is not written over.
    std::optional<CLockFile> lock = m_guard->LockForSaveAs(m_mainWindow, *m_asker, path);
    if (!lock || !SaveTo(path))
        return false;
    m_guard->Adopt(std::move(*lock), path);
    SetReadOnly(false);
    m_amendedPath.clear();
    if (path != m_path) {
        m_path = path;
        m_paths.SetContractPath(LocalPath(path));
        m_settings.AddRecentFile(QFileInfo(path).absoluteFilePath(), ToQString(m_contract->pszContractID()));
        emit recentFilesChanged();
        emit titleChanged();
    }
    return true;
}

bool CSubDoc::SaveModified()
{
    if (!CommitEdits())
        return false;
    if (!IsModified())
        return true;
    const QString name = m_path.isEmpty() ? tr("Contract") : QFileInfo(m_path).fileName();
    const auto answer =
        m_asker->Ask(m_mainWindow, AppTitle(), tr("Save changes to %1?").arg(name),
                     QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Question);
    if (answer == QMessageBox::Yes)
        return DoFileSave();
    return answer == QMessageBox::No;
}

bool CSubDoc::OnNewDocument()
{
    if (!SaveModified())
        return false;
    CloseContract();
    m_guard->Release();
    SetReadOnly(false);
    SyncModified();
    emit documentReplaced();
    emit titleChanged();
    return true;
}

void CSubDoc::NotifyCheck(bool hadErrors, bool messagesChanged)
{
    ChangeEvent event;
    event.checkChanged = messagesChanged || hadErrors != FlagTest(m_contract->m_wFlags, CONTRACT_BID_ERRORS);
    emit contractChanged(event);
}

bool CSubDoc::ShowCheck(bool interactive)
{
    if (!m_edits || !CommitEdits())
        return false;
    const bool hadErrors = FlagTest(m_contract->m_wFlags, CONTRACT_BID_ERRORS);
    const bool messagesChanged = m_edits->RunCheck();
    m_checkCurrent = true;
    NotifyCheck(hadErrors, messagesChanged);
    const CheckResult& check = m_edits->LastCheck();
    if (check.messages.empty()) {
        if (interactive)
            m_asker->Tell(m_mainWindow, tr("Contract Check"), tr("Contract Is Complete"));
        return true;
    }
    CSubErrors dialog(*m_contract, check, m_mainWindow);
    dialog.SetPrintHandler(
        [this](CSubErrors& errors) { PrintErrorList(&errors, *m_asker, errors.Contract(), errors.Check()); });
    m_asker->ShowErrorList(dialog);
    return true;
}

void CSubDoc::OnCheckContract()
{
    ShowCheck(true);
}

void CSubDoc::RunCheckBeforePrint()
{
    ShowCheck(false);
}

uint32_t CSubDoc::RenewCheckValue()
{
    if (!m_contract || !m_edits)
        return 0;
    const bool hadErrors = FlagTest(m_contract->m_wFlags, CONTRACT_BID_ERRORS);
    // The silent check, unless the last one still stands (every change and
    // the open itself end with one).
    bool messagesChanged = false;
    if (!m_checkCurrent) {
        messagesChanged = m_edits->RunCheck();
        m_checkCurrent = true;
    }
    m_contract->m_dwCheck = ComputeCheckValue(*m_contract);
    if (messagesChanged || hadErrors != FlagTest(m_contract->m_wFlags, CONTRACT_BID_ERRORS))
        NotifyCheck(hadErrors, messagesChanged);
    return m_contract->m_dwCheck;
}

void CSubDoc::OnFilePrint(bool preview)
{
    RunPrint(preview ? PrintTarget::Preview : PrintTarget::Printer);
}

void CSubDoc::OnFileExportPdf()
{
    RunPrint(PrintTarget::PdfFile);
}

void CSubDoc::RunPrint(PrintTarget target)
{
    if (!HasContract() || !CommitEdits())
        return;
    if (target != PrintTarget::Preview) {
        if (m_settings.printSave)
            DoFileSave();
        // The error list, when there are errors; printing goes on after it.
        if (m_settings.printCheck)
            RunCheckBeforePrint();
    }
    if (m_reportPrinter)
        m_reportPrinter(*this, target);
}

void CSubDoc::OnEditCopy()
{
    CEditSupport::CopyInFocusedView();
}

void CSubDoc::OnEditPaste()
{
    CEditSupport::PasteInFocusedView();
}

bool CSubDoc::CanPaste() const
{
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    return HasContract() && data && data->hasText();
}

} // namespace kestrel
