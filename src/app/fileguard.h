#pragma once
// What keeps the file of the open contract safe from other programs: the
// lock beside it (another copy of the program, or another user on a shared
// folder, sees that the contract is open and by whom) and the fingerprint
// that tells when the file was changed on disk behind the program's back.
// The document holds one; every way a contract leaves the document
// releases its lock.

#include <QString>

#include <optional>

#include "file/filefingerprint.h"
#include "file/lockfile.h"

class QWidget;

namespace kestrel {

class CAsker;

// How a contract is opened once its lock has been looked at.
enum class LockChoice {
    Editable, // the lock is ours (or could not be made at all)
    ReadOnly, // another program holds it; the user chose to look only
    Cancel,   // another program holds it; the user chose not to open it
};

struct PendingLock {
    LockChoice choice = LockChoice::Cancel;
    CLockFile lock; // held when the lock is ours
    // Editable without a lock (none could be made): what the user is told,
    // that others will not see the contract is open.
    QString notice;
};

// What the user chose when the file changed on disk.
enum class DiskAnswer {
    Unchanged, // nothing to ask (or already asked about this change)
    Keep,      // the program's version stays; the next save overwrites the file
    Reload,    // read the file again
};

class CFileGuard {
public:
    // Locks the contract at path. When another program holds it, says who
    // and since when and offers "Open Read-Only", "Open Anyway" (its lock is
    // taken over) and "Cancel". The contract the guard holds already keeps
    // its lock. A lock that cannot be made at all (a folder the user may not
    // write) does not stop the open; the pending lock's notice says so.
    [[nodiscard]] PendingLock LockFor(QWidget* parent, CAsker& asker, const QString& path);
    // Locks a file that Save As is about to write: a file another program
    // holds is not written over (the user is told who holds it).
    [[nodiscard]] std::optional<CLockFile> LockForSaveAs(QWidget* parent, CAsker& asker, const QString& path);

    // The contract at path is the document's now: its lock (when ours) is
    // kept, the lock of the contract before it released, and its
    // fingerprint taken.
    void Adopt(CLockFile lock, const QString& path);
    // The contract left the document: its lock is released.
    void Release();
    bool LockHeld() const { return m_lock.Held(); }
    const std::string& LockPath() const { return m_lock.Path(); }

    // The file was written by the program: the fingerprint is taken again.
    void Saved(const QString& path);
    // Whether the file changed on disk since it was read or saved; when it
    // did, and this change was not asked about before, asks whether to
    // reload it (saying that unsaved changes would be lost when `modified`)
    // or keep the program's version. A deleted file is told once.
    [[nodiscard]] DiskAnswer CheckDisk(QWidget* parent, CAsker& asker, const QString& path, bool modified);

private:
    CLockFile m_lock;
    std::optional<FileFingerprint> m_known; // the file as the program last read or wrote it
    std::optional<FileFingerprint> m_asked; // the changed file the user was asked about
    bool m_askedMissing = false;            // the user was told the file is gone
    bool m_checking = false;                // a question is open
};

// "user on host since time": who holds a lock, for the user.
QString DescribeHolder(const OwnerRecord& holder, bool known);
// The question when another program holds the lock of the file `name`.
QString LockQuestion(const QString& name, const OwnerRecord& holder, bool known);

} // namespace kestrel
