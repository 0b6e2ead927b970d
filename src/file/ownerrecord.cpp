#include "file/ownerrecord.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <charconv>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <random>
#include <vector>

#include "file/platform.h"

namespace kestrel {

namespace {

constexpr std::string_view kFirstLine = "Kestrel owner 1";

std::string HostName()
{
    char name[256] = {};
    if (::gethostname(name, sizeof name - 1) != 0)
        return "localhost";
    return name;
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

// What the system tells of a running process: whether it is only a zombie
// and when it started. False when it tells nothing (no /proc).
struct ProcessFacts {
    bool zombie = false;
    uint64_t started = 0;
};

bool ReadProcessFacts(int64_t pid, ProcessFacts& facts)
{
    auto text = ReadSmallFile("/proc/" + std::to_string(pid) + "/stat", 4096);
    if (!text)
        return false;
    // "pid (name) state ppid ...": the name may hold blanks and parentheses,
    // so the fields are counted from the last ')'.
    const std::string& s = text.value();
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

std::string NewToken()
{
    static std::atomic<uint64_t> counter{0};
    uint64_t bits = static_cast<uint64_t>(::getpid()) * 0x9E3779B97F4A7C15ull ^
                    static_cast<uint64_t>(std::time(nullptr)) ^ (++counter << 48);
    try {
        std::random_device device;
        bits ^= (static_cast<uint64_t>(device()) << 32) | device();
    } catch (...) {
        // No source of randomness: the process, time and counter still make
        // the token unique among this host's holders.
    }
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(bits));
    return text;
}

std::string Escape(std::string_view value)
{
    std::string out;
    for (char c : value) {
        switch (c) {
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        default: out += c;
        }
    }
    return out;
}

std::string Unescape(std::string_view value)
{
    std::string out;
    for (size_t i = 0; i < value.size(); ++i) {
        if (value[i] != '\\' || i + 1 == value.size()) {
            out += value[i];
            continue;
        }
        const char next = value[++i];
        out += next == 'n' ? '\n' : next == 'r' ? '\r' : next;
    }
    return out;
}

template <class T> bool ReadNumber(std::string_view text, T& value)
{
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size();
}

} // namespace

OwnerRecord CurrentOwner()
{
    OwnerRecord owner;
    owner.user = UserName();
    owner.host = HostName();
    owner.pid = ::getpid();
    ProcessFacts facts;
    if (ReadProcessFacts(owner.pid, facts))
        owner.started = facts.started;
    owner.time = static_cast<int64_t>(std::time(nullptr));
    owner.token = NewToken();
    return owner;
}

OwnerState StateOf(const OwnerRecord& owner)
{
    if (owner.host != HostName() || owner.pid <= 0 || owner.pid > INT_MAX)
        return OwnerState::Unknown;
    // Signal 0 only asks whether the process exists; a process of another
    // user answers EPERM, which means it does.
    if (::kill(static_cast<pid_t>(owner.pid), 0) != 0 && errno == ESRCH)
        return OwnerState::Gone;
    ProcessFacts facts;
    if (!ReadProcessFacts(owner.pid, facts))
        return OwnerState::Running;
    if (facts.zombie || (owner.started != 0 && facts.started != owner.started))
        return OwnerState::Gone;
    return OwnerState::Running;
}

std::string FormatOwnerRecord(const OwnerRecord& owner)
{
    std::string text(kFirstLine);
    text += "\nuser=" + Escape(owner.user);
    text += "\nhost=" + Escape(owner.host);
    text += "\npid=" + std::to_string(owner.pid);
    text += "\nstarted=" + std::to_string(owner.started);
    text += "\ntime=" + std::to_string(owner.time);
    text += "\ntoken=" + Escape(owner.token);
    if (!owner.path.empty())
        text += "\npath=" + Escape(owner.path);
    return text + "\n";
}

Result<OwnerRecord> ParseOwnerRecord(std::string_view text)
{
    using R = Result<OwnerRecord>;
    const size_t firstEnd = text.find('\n');
    if (text.substr(0, firstEnd) != kFirstLine)
        return R::Fail("Not a lock or recovery note of this program");
    OwnerRecord owner;
    bool hasPid = false;
    bool hasHost = false;
    std::string_view rest =
        firstEnd == std::string_view::npos ? std::string_view() : text.substr(firstEnd + 1);
    while (!rest.empty()) {
        const size_t end = std::min(rest.find('\n'), rest.size());
        const std::string_view line = rest.substr(0, end);
        rest.remove_prefix(std::min(end + 1, rest.size()));
        const size_t eq = line.find('=');
        if (eq == std::string_view::npos)
            continue;
        const std::string_view key = line.substr(0, eq);
        const std::string_view value = line.substr(eq + 1);
        bool ok = true;
        if (key == "user")
            owner.user = Unescape(value);
        else if (key == "host")
            hasHost = !(owner.host = Unescape(value)).empty();
        else if (key == "pid")
            ok = hasPid = ReadNumber(value, owner.pid);
        else if (key == "started")
            ok = ReadNumber(value, owner.started);
        else if (key == "time")
            ok = ReadNumber(value, owner.time);
        else if (key == "token")
            owner.token = Unescape(value);
        else if (key == "path")
            owner.path = Unescape(value);
        if (!ok)
            return R::Fail("The note's " + std::string(key) + " is not a number");
    }
    if (!hasPid || !hasHost)
        return R::Fail("The note does not say which process wrote it");
    return owner;
}

Result<std::string> ReadSmallFile(const std::string& path, size_t limit)
{
    using R = Result<std::string>;
    const Result<int> opened = OpenRegularFile(path, LinkPolicy::Refuse);
    if (!opened)
        return opened.error();
    const int fd = opened.value();
    struct stat st;
    std::string text;
    int error = 0;
    if (::fstat(fd, &st) != 0) {
        error = errno;
    } else if (static_cast<uint64_t>(st.st_size) > limit) {
        error = EFBIG;
    } else {
        text.resize(limit + 1);
        size_t got = 0;
        while (got < text.size()) {
            const ssize_t n = ::read(fd, text.data() + got, text.size() - got);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0)
                error = errno;
            if (n <= 0)
                break;
            got += static_cast<size_t>(n);
        }
        if (got > limit && error == 0)
            error = EFBIG; // it grew while being read
        text.resize(got);
    }
    CloseDescriptor(fd);
    if (error != 0)
        return R::Fail(WithSystemReason("Cannot read file", error), error);
    return text;
}

} // namespace kestrel
