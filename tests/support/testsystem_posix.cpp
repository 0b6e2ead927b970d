// The tests' system on POSIX systems (support/testsystem.h).

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>

#include "support/testsystem.h"

namespace kestrel::test {

bool MakeFifo(const std::string& path)
{
    return ::mkfifo(path.c_str(), 0600) == 0;
}

std::string FullDevice()
{
    return ::access("/dev/full", W_OK) == 0 ? "/dev/full" : "";
}

std::string EndlessDevice()
{
    return "/dev/zero";
}

bool WithFileSizeLimit(uint64_t bytes, const std::function<void()>& body)
{
    // A write past the limit fails with EFBIG instead of ending the process.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit original{};
    if (::getrlimit(RLIMIT_FSIZE, &original) != 0)
        return false;
    rlimit limited = original;
    limited.rlim_cur = static_cast<rlim_t>(bytes);
    if (::setrlimit(RLIMIT_FSIZE, &limited) != 0)
        return false;
    body();
    ::setrlimit(RLIMIT_FSIZE, &original);
    std::signal(SIGXFSZ, SIG_DFL);
    return true;
}

void MarkFile(const std::string& path)
{
    ::chmod(path.c_str(), 0640);
}

bool IsMarked(const std::string& path)
{
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && (st.st_mode & 07777) == 0640;
}

ExclusiveHold::ExclusiveHold(const std::string&)
{
}

ExclusiveHold::~ExclusiveHold() = default;

bool MakeSymlink(const std::string& target, const std::string& link)
{
    return ::symlink(target.c_str(), link.c_str()) == 0;
}

bool IsSymlink(const std::string& path)
{
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

bool NamesMayHoldWildcards()
{
    return true;
}

int64_t EndedProcessId()
{
    const pid_t pid = ::fork();
    if (pid == 0)
        ::_exit(0);
    int status = 0;
    ::waitpid(pid, &status, 0);
    return pid;
}

} // namespace kestrel::test
