#include "app/autosaver.h"

#include <QCoreApplication>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QStandardPaths>
#include <QTimer>

#include "app/asker.h"
#include "app/subdoc.h"

namespace kestrel {

namespace {

// A few seconds after the user stops; at the latest every three minutes.
constexpr int kIdleMs = 5 * 1000;
constexpr int kPeriodMs = 3 * 60 * 1000;

std::string LocalPath(const QString& path)
{
    return path.toStdString();
}

QString FromLocal(const std::string& path)
{
    return QString::fromStdString(path);
}

QString When(int64_t seconds)
{
    return QLocale().toString(QDateTime::fromSecsSinceEpoch(seconds).toLocalTime(), QLocale::LongFormat);
}

} // namespace

CAutoSaver::CAutoSaver(CSubDoc& doc, const QString& folder, QObject* parent)
    : QObject(parent), m_doc(doc), m_store(LocalPath(folder))
{
    m_idle.setSingleShot(true);
    m_idle.setInterval(kIdleMs);
    m_period.setInterval(kPeriodMs);
    connect(&m_idle, &QTimer::timeout, this, [this] { SaveNow(); });
    connect(&m_period, &QTimer::timeout, this, [this] { SaveNow(); });
    connect(&m_doc, &CSubDoc::contractChanged, this, [this] { Changed(); });
    connect(&m_doc, &CSubDoc::modifiedChanged, this, [this](bool modified) {
        if (modified)
            Changed();
        else
            RemoveCopy(); // back at the state on disk: nothing to recover
    });
    connect(&m_doc, &CSubDoc::contractSaved, this, &CAutoSaver::RemoveCopy);
    // Closing the contract (the user said No to saving, or a reload) gives
    // its changes up.
    connect(&m_doc, &CSubDoc::contractClosing, this, [this] {
        RemoveCopy();
        m_period.stop();
    });
    connect(&m_doc, &CSubDoc::documentReplaced, this, [this] {
        // While a contract is open the period runs, so that what is being
        // typed (not a change of the contract yet) reaches a copy too.
        if (m_doc.HasContract())
            m_period.start();
        // Asked once the open is over, not in the middle of it.
        QTimer::singleShot(0, this, &CAutoSaver::OfferForOpenedContract);
    });
}

CAutoSaver::~CAutoSaver()
{
    disconnect(&m_doc, nullptr, this, nullptr);
}

QString CAutoSaver::FolderFor(const QString& iniPath)
{
    const QString base = iniPath.isEmpty() ? QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)
                                           : QFileInfo(iniPath).absolutePath();
    return QDir(base).filePath(QStringLiteral("recovery"));
}

void CAutoSaver::SetIntervals(int idleMs, int periodMs)
{
    m_idle.setInterval(idleMs);
    m_period.setInterval(periodMs);
}

void CAutoSaver::Changed()
{
    if (!m_doc.IsModified())
        return;
    m_pending = true;
    m_idle.start();
    if (!m_period.isActive())
        m_period.start();
}

bool CAutoSaver::LeftBehindFor(const std::string& contractPath) const
{
    const std::string copyPath = m_store.CopyPathFor(contractPath);
    const Result<std::vector<RecoveryCopy>> copies = m_store.List();
    if (!copies)
        return false;
    for (const RecoveryCopy& copy : copies.value())
        if (copy.copyPath == copyPath)
            return copy.ownerState != OwnerState::Running;
    return false;
}

bool CAutoSaver::SaveNow()
{
    // What is being typed goes into the copy, without disturbing the user.
    (void)m_doc.CommitEdits(CommitMode::Quietly);
    if (!m_pending || !m_doc.HasContract() || m_doc.PathName().isEmpty())
        return false;
    const std::string path = LocalPath(m_doc.PathName());
    // The changes a crashed run left for this contract (the user said
    // "Later") are not written over with this run's.
    const bool ours = !m_copyOf.empty() && m_store.CopyPathFor(path) == m_store.CopyPathFor(m_copyOf);
    if (!ours && LeftBehindFor(path)) {
        emit copyFailed(tr("An older recovery copy of this contract is kept for later"));
        return false;
    }
    const Result<RecoveryCopy> saved = m_store.Save(*m_doc.Contract(), path);
    if (!saved) {
        // Tried again at the next period.
        emit copyFailed(FromLocal(saved.errorText()));
        return false;
    }
    m_pending = false;
    m_idle.stop();
    m_copyOf = saved->contractPath;
    emit copyWritten(FromLocal(saved->copyPath));
    return true;
}

void CAutoSaver::RemoveCopy()
{
    m_pending = false;
    m_idle.stop();
    // Only a copy of this run: copies left by a crash stay until the user
    // decides on them.
    if (!m_copyOf.empty())
        (void)m_store.Remove(m_copyOf);
    m_copyOf.clear();
}

void CAutoSaver::Finish()
{
    RemoveCopy();
}

QString RecoveryQuestion(const RecoveryCopy& copy)
{
    const QFileInfo contract(FromLocal(copy.contractPath));
    QString text =
        QCoreApplication::translate("kestrel::CAutoSaver",
                                    "Tollgate Kestrel was not closed properly. It kept a recovery copy of a "
                                    "contract with changes that were not saved:\n\n"
                                    "    %1\n    in %2\n    saved %3\n")
            .arg(contract.fileName(), QDir::toNativeSeparators(contract.absolutePath()), When(copy.savedAt));
    if (!contract.exists())
        text += QCoreApplication::translate(
            "kestrel::CAutoSaver",
            "\nThe contract file itself is no longer there; recovering writes it again "
            "when you save.\n");
    else if (contract.lastModified().toSecsSinceEpoch() > copy.savedAt)
        text += QCoreApplication::translate("kestrel::CAutoSaver",
                                            "\nThe contract file was changed after this copy was saved.\n");
    text += QCoreApplication::translate(
        "kestrel::CAutoSaver", "\nRecover opens the contract with these changes; nothing is written to the "
                               "file until you save it. Discard throws the changes away. Later keeps the "
                               "copy for the next start.");
    return text;
}

int AskAboutRecoveryCopy(const RecoveryCopy& copy, QWidget* parent, CAsker& asker)
{
    return asker.Choose(parent, QCoreApplication::translate("kestrel::CAutoSaver", "Recover Unsaved Changes"),
                        RecoveryQuestion(copy),
                        {QCoreApplication::translate("kestrel::CAutoSaver", "&Recover"),
                         QCoreApplication::translate("kestrel::CAutoSaver", "&Discard"),
                         QCoreApplication::translate("kestrel::CAutoSaver", "&Later")},
                        QMessageBox::Question);
}

bool CAutoSaver::OfferRecovery(QWidget* parent, CAsker& asker)
{
    const Result<std::vector<RecoveryCopy>> copies = m_store.LeftBehind();
    if (!copies) {
        // A folder others may change is not used: the user is told.
        emit copyFailed(FromLocal(copies.errorText()));
        return false;
    }
    for (const RecoveryCopy& copy : copies.value()) {
        const int answer = AskAboutRecoveryCopy(copy, parent, asker);
        if (answer == 0 && m_doc.RecoverDocument(copy)) {
            // The copy is this run's now: saving or closing the contract
            // removes it, and autosave writes it again.
            m_copyOf = copy.contractPath;
            return true; // the others stay for a later start
        }
        if (answer == 1)
            (void)m_store.Discard(copy);
        else
            m_later.insert(copy.copyPath);
    }
    return false;
}

void CAutoSaver::OfferForOpenedContract()
{
    if (!m_doc.HasContract() || m_doc.PathName().isEmpty())
        return;
    const std::string path = LocalPath(m_doc.PathName());
    const std::string copyPath = m_store.CopyPathFor(path);
    // Not over this run's own copy, not again once kept for later, and not
    // into a contract someone else holds.
    if ((!m_copyOf.empty() && m_store.CopyPathFor(m_copyOf) == copyPath) || m_later.count(copyPath) > 0 ||
        m_doc.IsReadOnly())
        return;
    const Result<std::vector<RecoveryCopy>> copies = m_store.LeftBehind();
    if (!copies)
        return;
    for (const RecoveryCopy& copy : copies.value()) {
        if (copy.copyPath != copyPath)
            continue;
        const int answer = AskAboutRecoveryCopy(copy, m_doc.MainWindow(), m_doc.Asker());
        if (answer == 0 && m_doc.RecoverInPlace(copy))
            m_copyOf = copy.contractPath;
        else if (answer == 1)
            (void)m_store.Discard(copy);
        else if (answer != 0)
            m_later.insert(copyPath);
        return;
    }
}

} // namespace kestrel
