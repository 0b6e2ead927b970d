// The file layer's part of the platform seam on POSIX systems
// (file/platform.h).

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string_view>
#include <system_error>

#include "file/platform.h"

namespace kestrel {

namespace {

ErrorInfo FolderRefusal(const std::string& role, const std::string& folder, const char* why)
{
    return ErrorInfo{"The " + role + " " + folder + " " + why + ", so it is not used", EACCES};
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

// What the system tells of a running process: whether it is only a zombie
// and when it started. False when it tells nothing (no /proc).
struct ProcessFacts {
    bool zombie = false;
    uint64_t started = 0;
};

bool ReadProcessFacts(int64_t pid, ProcessFacts& facts)
{
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    if (!in)
        return false;
    const std::string s((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    // "pid (name) state ppid ...": the name may hold blanks and parentheses,
    // so the fields are counted from the last ')'.
    const size_t close = s.rfind(')');
    if (close == std::string::npos)
        return false;
    std::vector<std::string_view> fields;
    std::string_view rest = std::string_view(s).substr(close + 1);
    while (!rest.empty()) {
        const size_t start = rest.find_first_not_of(" \n");
        if (start == std::string_view::npos)
            break;
        rest.remove_prefix(start);
        const size_t end = std::min(rest.find(' '), rest.size());
        fields.push_back(rest.substr(0, end));
        rest.remove_prefix(end);
    }
    // fields[0] is the state (field 3 of the line), fields[19] the start
    // time (field 22).
    if (fields.size() < 20)
        return false;
    facts.zombie = fields[0] == "Z" || fields[0] == "X";
    std::from_chars(fields[19].data(), fields[19].data() + fields[19].size(), facts.started);
    return true;
}

} // namespace

void CarryOverAttributes(int fd, const FileStatus* previous)
{
    if (!previous) {
        ::fchmod(fd, 0666 & ~CurrentUmask());
        return;
    }
    const uid_t uid = static_cast<uid_t>(previous->owner);
    const gid_t gid = static_cast<gid_t>(previous->group);
    if ((uid != ::geteuid() || gid != ::getegid()) && ::fchown(fd, uid, gid) != 0) {
        if (::fchown(fd, static_cast<uid_t>(-1), gid) != 0) {
            // Neither: the file keeps the user's own owner and group.
        }
    }
    // After the owner, which may clear the set-id bits.
    ::fchmod(fd, static_cast<mode_t>(previous->mode & 07777));
}

void MakeFilePrivate(int fd)
{
    ::fchmod(fd, 0600);
}

Status CheckWritable(const std::string& path)
{
    if (::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0) {
        const int error = errno;
        return Status::Fail(WithSystemReason("Cannot write file", error), error);
    }
    return Ok();
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

int64_t CurrentProcessId()
{
    return ::getpid();
}

uint64_t ProcessStartTime(int64_t pid)
{
    ProcessFacts facts;
    return ReadProcessFacts(pid, facts) ? facts.started : 0;
}

bool ProcessHasEnded(int64_t pid, uint64_t started)
{
    if (pid <= 0 || pid > INT_MAX)
        return false;
    // Signal 0 only asks whether the process exists; a process of another
    // user answers EPERM, which means it does.
    if (::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH)
        return true;
    ProcessFacts facts;
    if (!ReadProcessFacts(pid, facts))
        return false;
    return facts.zombie || (started != 0 && facts.started != started);
}

std::string UserName()
{
    std::vector<char> buffer(16384);
    struct passwd pw;
    struct passwd* found = nullptr;
    if (::getpwuid_r(::geteuid(), &pw, buffer.data(), buffer.size(), &found) == 0 && found && found->pw_name)
        return found->pw_name;
    for (const char* var : {"USER", "LOGNAME"})
        if (const char* v = std::getenv(var); v && *v)
            return v;
    return std::to_string(::geteuid());
}

std::string HostName()
{
    char name[256] = {};
    if (::gethostname(name, sizeof name - 1) != 0)
        return "localhost";
    return name;
}

std::string ProgramPath()
{
    std::error_code ec;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::string() : exe.string();
}

std::vector<std::string> CommandLineArguments(int argc, char** argv)
{
    return argc > 1 ? std::vector<std::string>(argv + 1, argv + argc) : std::vector<std::string>();
}

void PrepareStandardStreams()
{
    std::signal(SIGPIPE, SIG_IGN);
}

} // namespace kestrel
