#include "file/lockfile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <utility>

#include "file/platform.h"

namespace kestrel {

namespace fs = std::filesystem;

namespace {

ErrorInfo LockFailure(const std::string& what, const std::string& path, int error)
{
    return ErrorInfo{WithSystemReason(what + " " + path, error), error};
}

// Writes the whole record and makes it durable: a lock file left empty by
// a machine that stopped names no holder, and nobody takes it over (the
// user removes it, or opens the contract without a lock).
Status WriteLockText(int fd, std::string_view text)
{
    int error = 0;
    while (!text.empty()) {
        const ssize_t n = ::write(fd, text.data(), text.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            error = n < 0 ? errno : ENOSPC;
            break;
        }
        text.remove_prefix(static_cast<size_t>(n));
    }
    if (error == 0 && ::fsync(fd) != 0)
        error = errno;
    if (::close(fd) != 0 && error == 0)
        error = errno;
    if (error != 0)
        return Status::Fail(WithSystemReason("Cannot write the lock file", error), error);
    return Ok();
}

enum class Removal { Removed, Differs, Missing };

// Removes the lock file at path when it holds exactly `expected`. Judging
// and removing are one step for everyone else: the file is first moved
// aside (a rename takes it away from all others at once), then looked at;
// a file that turns out to be another's is put back. Only when a third
// program created a new lock in that moment is the moved one dropped, and
// that program holds the contract then.
Result<Removal> RemoveIfHolding(const std::string& path, const std::string& expected,
                                const std::string& token)
{
    const std::string aside = path + ".release-" + token;
    if (std::rename(path.c_str(), aside.c_str()) != 0) {
        if (errno == ENOENT)
            return Removal::Missing;
        return LockFailure("Cannot remove the lock file", path, errno);
    }
    const auto found = ReadSmallFile(aside);
    if (found && found.value() == expected) {
        ::unlink(aside.c_str());
        return Removal::Removed;
    }
    // Where hard links are not supported, a rename puts it back.
    if (::link(aside.c_str(), path.c_str()) != 0 && errno != EEXIST)
        if (std::rename(aside.c_str(), path.c_str()) == 0)
            return Removal::Differs;
    ::unlink(aside.c_str());
    return Removal::Differs;
}

// Who holds the lock, from its contents; a file that names no holder gives
// its own modification time.
void JudgeHolder(const std::string& lockPath, const std::string& text, LockAttempt& attempt)
{
    auto parsed = ParseOwnerRecord(text);
    attempt.holderKnown = parsed.ok();
    if (parsed) {
        attempt.holder = std::move(parsed).value();
        return;
    }
    attempt.holder = OwnerRecord();
    struct stat st;
    if (::stat(lockPath.c_str(), &st) == 0)
        attempt.holder.time = static_cast<int64_t>(st.st_mtime);
}

} // namespace

CLockFile::CLockFile(std::string path, std::string text, OwnerRecord owner)
    : m_path(std::move(path)), m_text(std::move(text)), m_owner(std::move(owner))
{
}

CLockFile::CLockFile(CLockFile&& other) noexcept
    : m_path(std::exchange(other.m_path, std::string())), m_text(std::move(other.m_text)),
      m_owner(std::move(other.m_owner))
{
}

CLockFile& CLockFile::operator=(CLockFile&& other) noexcept
{
    if (this != &other) {
        (void)Release();
        m_path = std::exchange(other.m_path, std::string());
        m_text = std::move(other.m_text);
        m_owner = std::move(other.m_owner);
    }
    return *this;
}

CLockFile::~CLockFile()
{
    (void)Release();
}

Status CLockFile::Release()
{
    if (!Held())
        return Ok();
    const std::string path = std::exchange(m_path, std::string());
    const auto removed = RemoveIfHolding(path, m_text, m_owner.token);
    if (!removed)
        return removed.error();
    return Ok();
}

std::string CLockFile::LockPathFor(const std::string& contractPath)
{
    std::error_code ec;
    fs::path real = fs::weakly_canonical(contractPath, ec);
    if (ec || real.empty())
        real = contractPath;
    return (real.parent_path() / (".~lock." + real.filename().string() + "#")).string();
}

Result<LockAttempt> AcquireLock(const std::string& contractPath)
{
    const std::string lockPath = CLockFile::LockPathFor(contractPath);
    OwnerRecord self = CurrentOwner();
    const std::string text = FormatOwnerRecord(self);
    LockAttempt attempt;
    bool tookOver = false;
    // Each round either takes the lock or finds a holder; a holder that
    // goes away meanwhile (released, or taken over by a third program)
    // gives another round, a few at most.
    for (int round = 0; round < 4; ++round) {
        const int fd = ::open(lockPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd >= 0) {
            if (Status written = WriteLockText(fd, text); !written) {
                ::unlink(lockPath.c_str());
                return written.error();
            }
            attempt.outcome = tookOver ? LockOutcome::TookOver : LockOutcome::Acquired;
            attempt.lock = CLockFile(lockPath, text, std::move(self));
            return attempt;
        }
        if (errno != EEXIST)
            return LockFailure("Cannot create the lock file", lockPath, errno);
        const auto found = ReadSmallFile(lockPath);
        if (!found && found.errorCode() == ENOENT)
            continue; // released in the meantime
        if (!found)
            return ErrorInfo{"Cannot read the lock file " + lockPath + ": " + found.errorText(),
                             found.errorCode()};
        JudgeHolder(lockPath, found.value(), attempt);
        // Only a lock whose process is known to be gone is taken over: any
        // other may be a running program's, which must keep it.
        const bool stale = attempt.holderKnown && StateOf(attempt.holder) == OwnerState::Gone;
        if (!stale) {
            attempt.outcome = LockOutcome::HeldElsewhere;
            return attempt;
        }
        const auto removed = RemoveIfHolding(lockPath, found.value(), self.token);
        if (!removed)
            return removed.error();
        tookOver = tookOver || removed.value() == Removal::Removed;
    }
    attempt.outcome = LockOutcome::HeldElsewhere;
    return attempt;
}

} // namespace kestrel
