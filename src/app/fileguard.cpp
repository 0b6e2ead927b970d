#include "app/fileguard.h"

#include <QCoreApplication>

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QLocale>

#include "app/asker.h"
#include "file/platform.h"

namespace kestrel {

namespace {

std::string LocalPath(const QString& path)
{
    return path.toStdString();
}

QString When(int64_t seconds)
{
    const QDateTime time = QDateTime::fromSecsSinceEpoch(seconds).toLocalTime();
    return QLocale().toString(time, QLocale::ShortFormat);
}

QString Caption()
{
    return QStringLiteral("Tollgate Kestrel");
}

QString NoLockNotice(const QString& path, const ErrorInfo& why)
{
    const std::string reason = why.code > 0 ? SystemErrorText(why.code) : why.text;
    return QCoreApplication::translate(
               "kestrel::CFileGuard",
               "%1 could not be locked (%2): others who open it will not see that it is open here")
        .arg(QFileInfo(path).fileName(), QString::fromStdString(reason));
}

} // namespace

QString DescribeHolder(const OwnerRecord& holder, bool known)
{
    if (!known)
        return QCoreApplication::translate("kestrel::CFileGuard",
                                           "an unknown program (its lock file cannot be read), since %1")
            .arg(When(holder.time));
    const QString user = holder.user.empty()
                             ? QCoreApplication::translate("kestrel::CFileGuard", "an unknown user")
                             : QString::fromStdString(holder.user);
    return QCoreApplication::translate("kestrel::CFileGuard", "%1 on %2, since %3")
        .arg(user, QString::fromStdString(holder.host), When(holder.time));
}

QString LockQuestion(const QString& name, const OwnerRecord& holder, bool known)
{
    return QCoreApplication::translate(
               "kestrel::CFileGuard",
               "%1 is open in another copy of Tollgate Kestrel.\n\n"
               "It is held by %2.\n\n"
               "Open it read-only to look at it, or open it anyway to change it: whichever "
               "copy saves last overwrites the other's changes.")
        .arg(name, DescribeHolder(holder, known));
}

PendingLock CFileGuard::LockFor(QWidget* parent, CAsker& asker, const QString& path)
{
    PendingLock pending;
    const std::string local = LocalPath(path);
    if (m_lock.Held() && m_lock.Path() == CLockFile::LockPathFor(local)) {
        // The contract open now, opened again: the lock is ours already.
        pending.choice = LockChoice::Editable;
        return pending;
    }
    Result<LockAttempt> attempt = AcquireLock(local);
    if (!attempt) {
        // No lock can be made beside this file; the open goes on without.
        pending.choice = LockChoice::Editable;
        pending.notice = NoLockNotice(path, attempt.error());
        return pending;
    }
    if (attempt->outcome != LockOutcome::HeldElsewhere) {
        pending.choice = LockChoice::Editable;
        pending.lock = std::move(attempt->lock);
        return pending;
    }
    const QString text = LockQuestion(QFileInfo(path).fileName(), attempt->holder, attempt->holderKnown);
    const int answer =
        asker.Choose(parent, QCoreApplication::translate("kestrel::CFileGuard", "Contract In Use"), text,
                     {QCoreApplication::translate("kestrel::CFileGuard", "Open &Read-Only"),
                      QCoreApplication::translate("kestrel::CFileGuard", "Open &Anyway"),
                      QCoreApplication::translate("kestrel::CFileGuard", "Cancel")},
                     QMessageBox::Warning);
    if (answer == 0) {
        pending.choice = LockChoice::ReadOnly;
        return pending;
    }
    if (answer != 1)
        return pending; // cancelled
    // Opened anyway: without a lock. The lock stays the other copy's, which
    // holds the contract for as long as it runs; this one removes nothing
    // when it closes.
    pending.choice = LockChoice::Editable;
    return pending;
}

std::optional<CLockFile> CFileGuard::LockForSaveAs(QWidget* parent, CAsker& asker, const QString& path)
{
    const std::string local = LocalPath(path);
    if (m_lock.Held() && m_lock.Path() == CLockFile::LockPathFor(local))
        return CLockFile();
    Result<LockAttempt> attempt = AcquireLock(local);
    if (!attempt)
        return CLockFile(); // no lock can be made there: the save decides
    if (attempt->outcome != LockOutcome::HeldElsewhere)
        return std::move(attempt->lock);
    asker.Tell(parent, QCoreApplication::translate("kestrel::CFileGuard", "Contract In Use"),
               QCoreApplication::translate("kestrel::CFileGuard",
                                           "%1 is open in another copy of Tollgate Kestrel:\n\n%2.\n\n"
                                           "Save the contract under another name.")
                   .arg(QFileInfo(path).fileName(), DescribeHolder(attempt->holder, attempt->holderKnown)));
    return std::nullopt;
}

void CFileGuard::Adopt(CLockFile lock, const QString& path)
{
    if (lock.Held() || !m_lock.Held() || m_lock.Path() != CLockFile::LockPathFor(LocalPath(path))) {
        // The lock before goes (its file removed) as the new one comes.
        (void)m_lock.Release();
        m_lock = std::move(lock);
    }
    Saved(path);
}

void CFileGuard::Release()
{
    (void)m_lock.Release();
    m_lock = CLockFile();
    m_known.reset();
    m_asked.reset();
    m_askedMissing = false;
}

void CFileGuard::Saved(const QString& path)
{
    Result<FileFingerprint> taken = TakeFingerprint(LocalPath(path));
    m_known = taken ? std::optional<FileFingerprint>(taken.value()) : std::nullopt;
    m_asked.reset();
    m_askedMissing = false;
}

DiskAnswer CFileGuard::CheckDisk(QWidget* parent, CAsker& asker, const QString& path, bool modified)
{
    if (!m_known || m_checking || path.isEmpty())
        return DiskAnswer::Unchanged;
    const std::string local = LocalPath(path);
    const Result<DiskState> state = CheckOnDisk(*m_known, local);
    if (!state || state.value() == DiskState::Unchanged)
        return DiskAnswer::Unchanged;
    const QString name = QFileInfo(path).fileName();
    m_checking = true;
    DiskAnswer answer = DiskAnswer::Keep;
    if (state.value() == DiskState::Missing) {
        if (!m_askedMissing)
            asker.Tell(
                parent, Caption(),
                QCoreApplication::translate("kestrel::CFileGuard",
                                            "%1 has been deleted or moved by another program.\n\n"
                                            "The contract is still open here; Save writes the file again.")
                    .arg(name));
        m_askedMissing = true;
        m_asked.reset();
    } else {
        Result<FileFingerprint> now = TakeFingerprint(local);
        if (!now) {
            m_checking = false;
            return DiskAnswer::Unchanged;
        }
        m_askedMissing = false;
        if (m_asked && *m_asked == now.value()) {
            m_checking = false;
            return DiskAnswer::Keep; // asked about this change already
        }
        m_asked = now.value();
        const QString loss = modified ? QCoreApplication::translate("kestrel::CFileGuard",
                                                                    " Your unsaved changes will be lost.")
                                      : QString();
        const QString text = QCoreApplication::translate(
                                 "kestrel::CFileGuard",
                                 "%1 has been changed by another program since Tollgate Kestrel read it.\n\n"
                                 "Reload it from the disk?%2\n\n"
                                 "Keep this version instead to go on with the contract as it is here; "
                                 "the next save overwrites the file.")
                                 .arg(name, loss);
        // Enter takes the choice that loses nothing: the changes made here
        // while there are any, else the file as the other program left it.
        const int chosen = asker.ChooseWithDefault(
            parent, Caption(), text,
            {QCoreApplication::translate("kestrel::CFileGuard", "&Reload"),
             QCoreApplication::translate("kestrel::CFileGuard", "&Keep This Version")},
            QMessageBox::Question, modified ? 1 : 0);
        if (chosen == 0)
            answer = DiskAnswer::Reload;
    }
    m_checking = false;
    return answer;
}

} // namespace kestrel
