#include "file/ownerrecord.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <charconv>
#include <climits>
#include <cstdio>
#include <ctime>
#include <random>

#include "file/platform.h"

namespace kestrel {

namespace {

constexpr std::string_view kFirstLine = "Kestrel owner 1";

std::string NewToken()
{
    static std::atomic<uint64_t> counter{0};
    uint64_t bits = static_cast<uint64_t>(CurrentProcessId()) * 0x9E3779B97F4A7C15ull ^
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
    owner.pid = CurrentProcessId();
    owner.started = ProcessStartTime(owner.pid);
    owner.time = static_cast<int64_t>(std::time(nullptr));
    owner.token = NewToken();
    return owner;
}

OwnerState StateOf(const OwnerRecord& owner)
{
    if (owner.host != HostName() || owner.pid <= 0 || owner.pid > INT_MAX)
        return OwnerState::Unknown;
    return ProcessHasEnded(owner.pid, owner.started) ? OwnerState::Gone : OwnerState::Running;
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
    std::string text;
    int error = 0;
    const Result<FileStatus> status = StatDescriptor(fd);
    if (!status) {
        error = status.errorCode();
    } else if (status->size > limit) {
        error = EFBIG;
    } else {
        text.resize(limit + 1);
        const Result<size_t> got = ReadAt(fd, 0, text.data(), text.size());
        if (!got)
            error = got.errorCode();
        else if (got.value() > limit)
            error = EFBIG; // it grew while being read
        text.resize(got ? got.value() : 0);
    }
    CloseDescriptor(fd);
    if (error != 0)
        return R::Fail(WithSystemReason("Cannot read file", error), error);
    return text;
}

} // namespace kestrel
