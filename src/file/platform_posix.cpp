#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <filesystem>
#include <system_error>

#include "file/platform.h"

namespace kestrel {

namespace {

Status NotAFile(mode_t mode)
{
    if (S_ISDIR(mode))
        return Status::Fail(kFolderText, EISDIR);
    return Status::Fail(kNotRegularFileText, EINVAL);
}

ErrorInfo FolderRefusal(const std::string& role, const std::string& folder, const char* why)
{
    return ErrorInfo{"The " + role + " " + folder + " " + why + ", so it is not used", EACCES};
}

} // namespace

std::string SystemErrorText(int error)
{
    return std::generic_category().message(error);
}

std::string WithSystemReason(const std::string& what, int error)
{
    return error != 0 ? what + ": " + SystemErrorText(error) : what;
}

Status CheckRegularFile(const std::string& path)
{
    struct stat st;
    if (::stat(path.c_str(), &st) != 0 || S_ISREG(st.st_mode))
        return Ok();
    return NotAFile(st.st_mode);
}

Result<int> OpenRegularFile(const std::string& path, LinkPolicy links)
{
    // Non-blocking, so that opening a FIFO without a writer returns at once
    // (and a device is not started); blocking again for the reads.
    const int flags = O_RDONLY | O_NONBLOCK | O_CLOEXEC | (links == LinkPolicy::Refuse ? O_NOFOLLOW : 0);
    const int fd = ::open(path.c_str(), flags);
    if (fd < 0) {
        const int error = errno;
        return Result<int>::Fail(WithSystemReason("Cannot open file", error), error);
    }
    struct stat st;
    if (::fstat(fd, &st) != 0) {
        const int error = errno;
        ::close(fd);
        return Result<int>::Fail(WithSystemReason("Cannot open file", error), error);
    }
    if (!S_ISREG(st.st_mode)) {
        ::close(fd);
        return NotAFile(st.st_mode).error();
    }
    const int now = ::fcntl(fd, F_GETFL);
    if (now >= 0)
        ::fcntl(fd, F_SETFL, now & ~O_NONBLOCK);
    return fd;
}

void CloseDescriptor(int fd)
{
    ::close(fd);
}

Status CheckPrivateFolder(const std::string& folder, const std::string& role)
{
    struct stat st;
    if (::lstat(folder.c_str(), &st) != 0) {
        const int error = errno;
        return Status::Fail(WithSystemReason("Cannot use the " + role + " " + folder, error), error);
    }
    if (S_ISLNK(st.st_mode))
        return FolderRefusal(role, folder, "is a link");
    if (!S_ISDIR(st.st_mode))
        return FolderRefusal(role, folder, "is not a folder");
    if (st.st_uid != ::geteuid())
        return FolderRefusal(role, folder, "belongs to another user");
    if ((st.st_mode & (S_IWGRP | S_IWOTH)) != 0)
        return FolderRefusal(role, folder, "may be changed by other users");
    return Ok();
}

Status MakePrivateFolder(const std::string& folder, const std::string& role)
{
    const std::filesystem::path path(folder);
    std::error_code ec;
    if (path.has_parent_path())
        std::filesystem::create_directories(path.parent_path(), ec);
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
        const int error = errno;
        return Status::Fail(WithSystemReason("Cannot create the " + role + " " + folder, error), error);
    }
    return CheckPrivateFolder(folder, role);
}

bool IsOwnRegularFile(const std::string& path)
{
    struct stat st;
    return ::lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::geteuid();
}

void IgnoreBrokenPipe()
{
    std::signal(SIGPIPE, SIG_IGN);
}

} // namespace kestrel
