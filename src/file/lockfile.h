#pragma once
// The lock file that tells other copies of the program (on this machine or,
// on a shared folder, on another) that a contract is open. It lies beside
// the contract as ".~lock.<name>#" (a contract reached through a link is
// locked beside the file the link leads to) and holds an owner record
// (file/ownerrecord.h): the user, the host, the process and since when.
//
// The lock is created exclusively, so of two programs opening a contract
// at once only one gets it. A lock left by a process of this host that no
// longer runs (the program crashed) is taken over; any other lock (of a
// running program, of another host, or one that cannot be read) stays its
// holder's: a program that opens the contract all the same holds no lock.
// Releasing removes the file only while it is still the one this holder
// wrote.

#include <string>

#include "calc/result.h"
#include "file/ownerrecord.h"

namespace kestrel {

struct LockAttempt;

// A held lock; releases it when destroyed. Every way out of the program
// that closes a contract must destroy (or Release) its lock.
class CLockFile {
public:
    CLockFile() = default; // holds nothing
    CLockFile(CLockFile&& other) noexcept;
    CLockFile& operator=(CLockFile&& other) noexcept;
    CLockFile(const CLockFile&) = delete;
    CLockFile& operator=(const CLockFile&) = delete;
    ~CLockFile();

    bool Held() const { return !m_path.empty(); }
    const std::string& Path() const { return m_path; }
    const OwnerRecord& Owner() const { return m_owner; }

    // Gives the lock up: removes the lock file when it still holds what this
    // holder wrote, and leaves it alone when another holder has taken it
    // since. Fails only when the file could not be removed.
    [[nodiscard]] Status Release();

    // The lock file of a contract.
    [[nodiscard]] static std::string LockPathFor(const std::string& contractPath);

private:
    friend Result<LockAttempt> AcquireLock(const std::string& contractPath);
    CLockFile(std::string path, std::string text, OwnerRecord owner);

    std::string m_path; // empty when nothing is held
    std::string m_text; // the lock file's contents as written
    OwnerRecord m_owner;
};

enum class LockOutcome {
    Acquired,      // there was no lock: this program holds it now
    TookOver,      // a stale lock was replaced by ours
    HeldElsewhere, // another program holds the contract; nothing was changed
};

struct LockAttempt {
    LockOutcome outcome = LockOutcome::HeldElsewhere;
    CLockFile lock; // held unless HeldElsewhere
    // HeldElsewhere: who holds the contract; TookOver: whose lock it was.
    // A lock file that cannot be read (being written this moment, or
    // damaged) gives holderKnown false and, as its time, the file's.
    OwnerRecord holder;
    bool holderKnown = false;
};

// Tries to lock the contract at contractPath. Fails when the lock file can
// neither be created nor read (a folder the user may not write, a name too
// long); the caller may then open the contract without a lock.
[[nodiscard]] Result<LockAttempt> AcquireLock(const std::string& contractPath);

} // namespace kestrel
