#include "file/lockfile.h"

#include <cerrno>
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
    Status written = WriteAll(fd, text);
    if (written)
        written = FlushToDisk(fd);
    if (Status closed = CloseFile(fd); written && !closed)
        written = closed;
    if (!written)
        return Status::Fail(WithSystemReason("Cannot write the lock file", written.errorCode()),
                            written.errorCode());
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
    if (Status moved = ReplaceFileAtomically(path, aside, ReplacedAttributes::Drop); !moved) {
        if (moved.errorCode() == ENOENT)
            return Removal::Missing;
        return LockFailure("Cannot remove the lock file", path, moved.errorCode());
    }
    const auto found = ReadSmallFile(aside);
    if (found && found.value() == expected) {
        (void)RemoveFile(aside);
        return Removal::Removed;
    }
    // Where hard links are not supported, a rename puts it back.
    if (Status linked = LinkFile(aside, path); !linked && linked.errorCode() != EEXIST)
        if (ReplaceFileAtomically(aside, path, ReplacedAttributes::Drop))
            return Removal::Differs;
    (void)RemoveFile(aside);
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
    if (const auto status = StatPath(lockPath); status && status->kind != FileKind::Missing)
        attempt.holder.time = status->modified / 1000000000;
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
    fs::path real = fs::weakly_canonical(SystemPath(contractPath), ec);
    if (ec || real.empty())
        real = SystemPath(contractPath);
    return PathText(real.parent_path() / SystemPath(".~lock." + PathText(real.filename()) + "#"));
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
        const Result<int> created = CreateExclusiveFile(lockPath, 0644);
        if (created) {
            if (Status written = WriteLockText(created.value(), text); !written) {
                (void)RemoveFile(lockPath);
                return written.error();
            }
            attempt.outcome = tookOver ? LockOutcome::TookOver : LockOutcome::Acquired;
            attempt.lock = CLockFile(lockPath, text, std::move(self));
            return attempt;
        }
        if (created.errorCode() != EEXIST)
            return LockFailure("Cannot create the lock file", lockPath, created.errorCode());
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
