#include "file/safereplace.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <utility>

#include "file/platform.h"

namespace kestrel {

namespace fs = std::filesystem;

namespace {

// Longest stem used for a temporary name: with the random part and the
// extension it stays far below the file-name limit of every file system,
// however long the target's own name is.
constexpr std::size_t kMaxStem = 32;

ErrorInfo Failure(const std::string& what, int error)
{
    return ErrorInfo{WithSystemReason(what, error), error};
}

bool Fails(const ReplaceFault& fault, ReplaceStep step)
{
    return fault && fault(step);
}

// Links followed in a row before the chain is taken for a loop, as the
// system counts them.
constexpr int kMaxLinks = 40;

// A target that is a symbolic link is replaced where the link points,
// whether or not a file is there yet: a link to a file not yet written is
// written as the link to an existing one is, and stays a link.
Result<std::string> ResolveLink(const std::string& path)
{
    fs::path at(path);
    for (int followed = 0; followed <= kMaxLinks; ++followed) {
        std::error_code ec;
        if (!fs::is_symlink(at, ec))
            return at.string();
        const fs::path to = fs::read_symlink(at, ec);
        if (ec)
            return Failure("Cannot open file", ec.value());
        at = to.is_absolute() ? to : (at.parent_path() / to).lexically_normal();
    }
    return Failure("Cannot open file", ELOOP);
}

fs::path DirectoryOf(const std::string& path)
{
    return fs::path(path).parent_path();
}

// The process's file-creation mask, read without changing it where the
// system tells it (changing it, even for a moment, would race with files
// that other threads create).
mode_t CurrentUmask()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("Umask:", 0) == 0)
            return static_cast<mode_t>(std::strtoul(line.c_str() + 6, nullptr, 8)) & 0777;
    const mode_t mask = ::umask(022);
    ::umask(mask);
    return mask;
}

// The new file takes the place of the old one, so it gets its permissions,
// and its owner and group as far as the process may give them (a user who
// is not the owner can still keep a group he belongs to). A new target gets
// the permissions of a file the user creates.
void CarryOverOwnership(int fd, const struct stat* previous)
{
    if (!previous) {
        ::fchmod(fd, 0666 & ~CurrentUmask());
        return;
    }
    if ((previous->st_uid != ::geteuid() || previous->st_gid != ::getegid()) &&
        ::fchown(fd, previous->st_uid, previous->st_gid) != 0) {
        if (::fchown(fd, static_cast<uid_t>(-1), previous->st_gid) != 0) {
            // Neither: the file keeps the user's own owner and group.
        }
    }
    // After the owner, which may clear the set-id bits.
    ::fchmod(fd, previous->st_mode & 07777);
}

// Makes the rename itself durable; a directory that cannot be synced leaves
// the new file in place all the same.
void SyncDirectory(const std::string& target)
{
    const fs::path dir = DirectoryOf(target);
    const int fd = ::open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

} // namespace

CFileReplacement::CFileReplacement(std::string target, std::string temporary, int fd, ReplaceFault fault)
    : m_target(std::move(target)), m_temporary(std::move(temporary)), m_fd(fd), m_fault(std::move(fault))
{
}

CFileReplacement::CFileReplacement(CFileReplacement&& other) noexcept
    : m_target(std::move(other.m_target)), m_temporary(std::exchange(other.m_temporary, std::string())),
      m_fd(std::exchange(other.m_fd, -1)), m_fault(std::move(other.m_fault))
{
}

CFileReplacement::~CFileReplacement()
{
    Discard();
}

Result<CFileReplacement> CFileReplacement::Begin(const std::string& requested, std::string_view stem,
                                                 const ReplaceFault& fault)
{
    const Result<std::string> resolved = ResolveLink(requested);
    if (!resolved)
        return resolved.error();
    const std::string& target = resolved.value();
    struct stat previous;
    const bool exists = ::stat(target.c_str(), &previous) == 0;
    if (!exists && errno != ENOENT)
        return Failure("Cannot open file", errno);
    if (exists && !S_ISREG(previous.st_mode))
        return Failure(S_ISDIR(previous.st_mode) ? kFolderText : kNotRegularFileText, 0);
    // A file the user made read-only is not replaced behind his back.
    if (exists && ::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0)
        return Failure("Cannot write file", errno);
    if (Fails(fault, ReplaceStep::CreateTemporary))
        return Failure("Cannot create a temporary file", 0);

    auto created = CreateTemporary(target, stem);
    if (!created)
        return created.error();
    CarryOverOwnership(created->fd, exists ? &previous : nullptr);
    return CFileReplacement(target, std::move(created->path), created->fd, fault);
}

Result<CFileReplacement> CFileReplacement::BeginPrivate(const std::string& target, std::string_view stem,
                                                        const ReplaceFault& fault)
{
    if (Fails(fault, ReplaceStep::CreateTemporary))
        return Failure("Cannot create a temporary file", 0);
    auto created = CreateTemporary(target, stem);
    if (!created)
        return created.error();
    ::fchmod(created->fd, 0600);
    return CFileReplacement(target, std::move(created->path), created->fd, fault);
}

Result<CFileReplacement::Temporary> CFileReplacement::CreateTemporary(const std::string& target,
                                                                      std::string_view stem)
{
    // Created exclusively: an entry of that name, a link included, is
    // never opened.
    std::string temporary = PatternBeside(target, stem);
    const int fd = ::mkostemps(temporary.data(), 4, O_CLOEXEC);
    if (fd < 0)
        return Failure("Cannot create a temporary file in " + DirectoryOf(target).string(), errno);
    return Temporary{std::move(temporary), fd};
}

std::string CFileReplacement::PatternBeside(const std::string& target, std::string_view stem)
{
    std::string name(stem.substr(0, kMaxStem));
    name += "-XXXXXX.tmp";
    return (DirectoryOf(target) / name).string();
}

std::string CFileReplacement::TemporaryPattern(const std::string& target, std::string_view stem)
{
    const Result<std::string> resolved = ResolveLink(target);
    return PatternBeside(resolved ? resolved.value() : target, stem);
}

Status CFileReplacement::WriteAll(std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t n = ::write(m_fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return Failure("Cannot write file", n < 0 ? errno : ENOSPC);
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return Ok();
}

Status CFileReplacement::Flush()
{
    if (m_temporary.empty() || m_fd < 0)
        return Status::Fail("Cannot replace the file: it was replaced or given up already");
    Status status = Ok();
    if (Fails(m_fault, ReplaceStep::Flush))
        status = Failure("Cannot write the file to disk", 0);
    else if (::fsync(m_fd) != 0)
        status = Failure("Cannot write the file to disk", errno);
    // Some file systems report a failed write only when the file is closed.
    const int closed = ::close(std::exchange(m_fd, -1));
    if (status.ok() && closed != 0)
        status = Failure("Cannot write the file to disk", errno);
    if (!status.ok())
        Discard();
    return status;
}

Status CFileReplacement::Commit()
{
    if (m_temporary.empty())
        return Status::Fail("Cannot replace the file: it was replaced or given up already");
    Status status = m_fd >= 0 ? Flush() : Ok();
    if (!status.ok())
        return status;
    if (Fails(m_fault, ReplaceStep::Replace))
        status = Failure("Cannot replace the file", 0);
    else if (std::rename(m_temporary.c_str(), m_target.c_str()) != 0)
        status = Failure("Cannot replace the file", errno);
    if (!status.ok()) {
        Discard();
        return status;
    }
    m_temporary.clear();
    SyncDirectory(m_target);
    return Ok();
}

void CFileReplacement::Discard()
{
    if (m_fd >= 0)
        ::close(std::exchange(m_fd, -1));
    if (!m_temporary.empty())
        ::unlink(std::exchange(m_temporary, std::string()).c_str());
}

namespace {

Status WriteAndCommit(Result<CFileReplacement> replacement, std::string_view bytes)
{
    if (!replacement)
        return replacement.error();
    if (Status written = replacement->WriteAll(bytes); !written)
        return written;
    return replacement->Commit();
}

} // namespace

Status ReplaceFileContents(const std::string& target, std::string_view bytes)
{
    return WriteAndCommit(CFileReplacement::Begin(target), bytes);
}

Status ReplacePrivateFileContents(const std::string& target, std::string_view bytes)
{
    return WriteAndCommit(CFileReplacement::BeginPrivate(target), bytes);
}

bool IsSameFile(const std::string& a, const std::string& b)
{
    struct stat sa;
    struct stat sb;
    return ::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
           sa.st_ino == sb.st_ino;
}

} // namespace kestrel
