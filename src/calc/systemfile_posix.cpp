// The system's files on POSIX systems (calc/systemfile.h).

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <ctime>
#include <system_error>

#include "calc/systemfile.h"

namespace kestrel {

namespace {

ErrorInfo Failure(const std::string& what, int error)
{
    return ErrorInfo{WithSystemReason(what, error), error};
}

FileKind KindOf(mode_t mode)
{
    if (S_ISREG(mode))
        return FileKind::Regular;
    if (S_ISDIR(mode))
        return FileKind::Folder;
    if (S_ISLNK(mode))
        return FileKind::Link;
    return FileKind::Other;
}

FileStatus StatusOf(const struct stat& st)
{
    FileStatus status;
    status.kind = KindOf(st.st_mode);
    status.size = static_cast<uint64_t>(st.st_size);
    status.modified = static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    status.device = static_cast<uint64_t>(st.st_dev);
    status.node = static_cast<uint64_t>(st.st_ino);
    status.mode = static_cast<unsigned>(st.st_mode & 07777);
    status.owner = static_cast<uint32_t>(st.st_uid);
    status.group = static_cast<uint32_t>(st.st_gid);
    return status;
}

Status NotAFile(FileKind kind)
{
    if (kind == FileKind::Folder)
        return Status::Fail(kFolderText, EISDIR);
    return Status::Fail(kNotRegularFileText, EINVAL);
}

// Makes a rename durable; a folder that cannot be synced leaves the new
// file in place all the same.
void SyncFolderOf(const std::string& path)
{
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

} // namespace

std::string SystemErrorText(int error)
{
    return std::generic_category().message(error);
}

std::filesystem::path SystemPath(std::string_view utf8)
{
    // The system takes the bytes as they are (a name that is not UTF-8
    // stays what it is).
    return std::filesystem::path(std::string(utf8));
}

std::string PathText(const std::filesystem::path& path)
{
    return path.native();
}

Result<FileStatus> StatPath(const std::string& path, LinkPolicy links)
{
    struct stat st;
    const int r = links == LinkPolicy::Refuse ? ::lstat(path.c_str(), &st) : ::stat(path.c_str(), &st);
    if (r == 0)
        return StatusOf(st);
    if (errno == ENOENT)
        return FileStatus{};
    return Failure("Cannot look at " + path, errno);
}

Result<FileStatus> StatDescriptor(int fd)
{
    struct stat st;
    if (::fstat(fd, &st) != 0)
        return Failure("Cannot read file", errno);
    return StatusOf(st);
}

Status CheckRegularFile(const std::string& path)
{
    struct stat st;
    if (::stat(path.c_str(), &st) != 0 || S_ISREG(st.st_mode))
        return Ok();
    return NotAFile(KindOf(st.st_mode));
}

Result<int> OpenRegularFile(const std::string& path, LinkPolicy links)
{
    // Non-blocking, so that opening a FIFO without a writer returns at once
    // (and a device is not started); blocking again for the reads.
    const int flags = O_RDONLY | O_NONBLOCK | O_CLOEXEC | (links == LinkPolicy::Refuse ? O_NOFOLLOW : 0);
    const int fd = ::open(path.c_str(), flags);
    if (fd < 0)
        return Failure("Cannot open file", errno);
    struct stat st;
    if (::fstat(fd, &st) != 0) {
        const int error = errno;
        ::close(fd);
        return Failure("Cannot open file", error);
    }
    if (!S_ISREG(st.st_mode)) {
        ::close(fd);
        return NotAFile(KindOf(st.st_mode)).error();
    }
    const int now = ::fcntl(fd, F_GETFL);
    if (now >= 0)
        ::fcntl(fd, F_SETFL, now & ~O_NONBLOCK);
    return fd;
}

Result<int> OpenFileForWriting(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0)
        return Failure("Cannot open file", errno);
    return fd;
}

Result<int> CreateExclusiveFile(const std::string& path, unsigned permissions)
{
    const int fd =
        ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, static_cast<mode_t>(permissions));
    if (fd < 0)
        return Failure("Cannot create file", errno);
    return fd;
}

Result<int> DuplicateDescriptor(int fd)
{
    const int copy = ::fcntl(fd, F_DUPFD_CLOEXEC, 0);
    if (copy < 0)
        return Failure("Cannot open file", errno);
    return copy;
}

Result<std::FILE*> OpenStream(int fd, const char* mode)
{
    std::FILE* f = ::fdopen(fd, mode);
    if (!f) {
        const int error = errno;
        ::close(fd);
        return Failure("Cannot open file", error);
    }
    return f;
}

Result<std::size_t> ReadAt(int fd, uint64_t offset, char* buffer, std::size_t size)
{
    std::size_t got = 0;
    while (got < size) {
        const ssize_t n = ::pread(fd, buffer + got, size - got, static_cast<off_t>(offset + got));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return Failure("Cannot read file", errno);
        if (n == 0)
            break;
        got += static_cast<std::size_t>(n);
    }
    return got;
}

Status WriteAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return Failure("Cannot write file", n < 0 ? errno : ENOSPC);
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return Ok();
}

Status FlushToDisk(int fd)
{
    if (::fsync(fd) != 0)
        return Failure("Cannot write the file to disk", errno);
    return Ok();
}

Status CloseFile(int fd)
{
    if (::close(fd) != 0)
        return Failure("Cannot write the file to disk", errno);
    return Ok();
}

void CloseDescriptor(int fd)
{
    ::close(fd);
}

Status ReplaceFileAtomically(const std::string& replacement, const std::string& target, ReplacedAttributes)
{
    // The attributes of the replaced file were given to the replacement
    // before it was written (file/platform.h, CarryOverAttributes).
    if (std::rename(replacement.c_str(), target.c_str()) != 0)
        return Failure("Cannot replace the file", errno);
    SyncFolderOf(target);
    return Ok();
}

Status LinkFile(const std::string& existing, const std::string& name)
{
    if (::link(existing.c_str(), name.c_str()) != 0)
        return Failure("Cannot link " + name, errno);
    return Ok();
}

Status RemoveFile(const std::string& path)
{
    if (::unlink(path.c_str()) != 0)
        return Failure("Cannot remove " + path, errno);
    return Ok();
}

Result<std::vector<std::string>> FolderNames(const std::string& folder)
{
    std::vector<std::string> names;
    std::error_code ec;
    std::filesystem::directory_iterator it(SystemPath(folder), ec);
    for (; !ec && it != std::filesystem::directory_iterator(); it.increment(ec))
        names.push_back(PathText(it->path().filename()));
    if (ec)
        return Failure("Cannot read the folder " + folder, ec.value());
    return names;
}

void LocalTimeAndZone(std::time_t clock, std::tm& local, long& westOfUtc)
{
    localtime_r(&clock, &local);
    tzset();
    westOfUtc = timezone;
}

} // namespace kestrel
