// The file layer's part of the platform seam on Windows (file/platform.h).

#include <windows.h>

#include <aclapi.h>
#include <fcntl.h>
#include <io.h>
#include <sddl.h>
#include <shellapi.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <system_error>

#include "file/platform.h"

namespace kestrel {

namespace {

// Rights over a folder or file that let someone change what it holds.
constexpr DWORD kChangeRights = FILE_WRITE_DATA | FILE_APPEND_DATA | FILE_WRITE_EA | FILE_DELETE_CHILD |
                                FILE_WRITE_ATTRIBUTES | DELETE | WRITE_DAC | WRITE_OWNER | GENERIC_WRITE |
                                GENERIC_ALL;

std::string Utf8(std::wstring_view wide)
{
    return PathText(std::filesystem::path(std::wstring(wide)));
}

ErrorInfo FolderRefusal(const std::string& role, const std::string& folder, const char* why)
{
    return ErrorInfo{"The " + role + " " + folder + " " + why + ", so it is not used", EACCES};
}

struct LocalFreer {
    void operator()(void* p) const { ::LocalFree(p); }
};

// The user this process runs as, and whether a security identifier is his
// or a group of his (a folder an administrator makes belongs to the
// Administrators group).
class CurrentUser {
public:
    CurrentUser()
    {
        HANDLE token = nullptr;
        if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token))
            return;
        DWORD size = 0;
        ::GetTokenInformation(token, TokenUser, nullptr, 0, &size);
        m_buffer.resize(size);
        if (size == 0 || !::GetTokenInformation(token, TokenUser, m_buffer.data(), size, &size))
            m_buffer.clear();
        ::CloseHandle(token);
    }
    PSID Sid() const
    {
        return m_buffer.empty() ? nullptr : reinterpret_cast<const TOKEN_USER*>(m_buffer.data())->User.Sid;
    }
    bool Owns(PSID owner) const
    {
        if (!owner || !Sid() || ::EqualSid(owner, Sid()))
            return true;
        BOOL member = FALSE;
        return ::CheckTokenMembership(nullptr, owner, &member) && member;
    }

private:
    std::vector<unsigned char> m_buffer;
};

bool IsWellKnown(PSID sid, WELL_KNOWN_SID_TYPE type)
{
    return ::IsWellKnownSid(sid, type) != FALSE;
}

// Whether the access list lets someone other than the user and the system
// change the folder: everyone, any signed-in user, the users or guests.
bool OthersMayChange(const ACL* dacl)
{
    if (!dacl)
        return true; // no list at all: everyone may do everything
    for (DWORD i = 0; i < dacl->AceCount; ++i) {
        void* entry = nullptr;
        if (!::GetAce(const_cast<ACL*>(dacl), i, &entry))
            continue;
        const auto* header = static_cast<const ACE_HEADER*>(entry);
        if (header->AceType != ACCESS_ALLOWED_ACE_TYPE || (header->AceFlags & INHERIT_ONLY_ACE))
            continue;
        const auto* allowed = static_cast<const ACCESS_ALLOWED_ACE*>(entry);
        const PSID sid = const_cast<DWORD*>(&allowed->SidStart);
        const bool others = IsWellKnown(sid, WinWorldSid) || IsWellKnown(sid, WinAuthenticatedUserSid) ||
                            IsWellKnown(sid, WinBuiltinUsersSid) || IsWellKnown(sid, WinBuiltinGuestsSid) ||
                            IsWellKnown(sid, WinAnonymousSid);
        if (others && (allowed->Mask & kChangeRights))
            return true;
    }
    return false;
}

// The owner and access list of a file or folder; false where the file
// system keeps none (then nothing can be judged by them).
struct Security {
    PSID owner = nullptr;
    PACL dacl = nullptr;
    std::unique_ptr<void, LocalFreer> descriptor;
};

bool ReadSecurity(const std::string& path, Security& security)
{
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    const std::wstring wide = SystemPath(path).native();
    const DWORD result = ::GetNamedSecurityInfoW(
        wide.c_str(), SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION, &security.owner,
        nullptr, &security.dacl, nullptr, &descriptor);
    if (result != ERROR_SUCCESS)
        return false;
    security.descriptor.reset(descriptor);
    return true;
}

DWORD AttributesOf(const std::string& path)
{
    return ::GetFileAttributesW(SystemPath(path).c_str());
}

} // namespace

void CarryOverAttributes(int, const FileStatus*)
{
    // ReplaceFile keeps the replaced file's attributes and security with its
    // name; a new file takes its folder's.
}

void MakeFilePrivate(int)
{
    // A file takes the security of its folder, which MakePrivateFolder made
    // the user's alone.
}

Status CheckWritable(const std::string& path)
{
    const DWORD attributes = AttributesOf(path);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        return Status::Fail(WithSystemReason("Cannot write file", EACCES), EACCES);
    // Opened for writing (and closed at once) as the program would: a file
    // the user may not write, or one that another program holds open
    // without sharing, is told before anything is written.
    const HANDLE h = ::CreateFileW(SystemPath(path).c_str(), FILE_WRITE_DATA,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                   OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        const DWORD error = ::GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
            return Ok();
        const int code = error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION ? EBUSY : EACCES;
        return Status::Fail(WithSystemReason("Cannot write file", code), code);
    }
    ::CloseHandle(h);
    return Ok();
}

Status CheckPrivateFolder(const std::string& folder, const std::string& role)
{
    const DWORD attributes = AttributesOf(folder);
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = ::GetLastError();
        const int code = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? ENOENT : EACCES;
        return Status::Fail(WithSystemReason("Cannot use the " + role + " " + folder, code), code);
    }
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT)
        return FolderRefusal(role, folder, "is a link");
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY))
        return FolderRefusal(role, folder, "is not a folder");
    Security security;
    if (!ReadSecurity(folder, security))
        return Ok();
    if (!CurrentUser().Owns(security.owner))
        return FolderRefusal(role, folder, "belongs to another user");
    if (OthersMayChange(security.dacl))
        return FolderRefusal(role, folder, "may be changed by other users");
    return Ok();
}

Status MakePrivateFolder(const std::string& folder, const std::string& role)
{
    const std::filesystem::path path = SystemPath(folder);
    std::error_code ec;
    if (path.has_parent_path())
        std::filesystem::create_directories(path.parent_path(), ec);
    // The user (and the system, which backs it up) alone, whatever the
    // folder above would hand down.
    const CurrentUser user;
    LPWSTR sid = nullptr;
    std::wstring sddl = L"D:P(A;OICI;FA;;;SY)";
    if (user.Sid() && ::ConvertSidToStringSidW(user.Sid(), &sid)) {
        sddl += L"(A;OICI;FA;;;" + std::wstring(sid) + L")";
        ::LocalFree(sid);
    }
    SECURITY_ATTRIBUTES attributes{sizeof attributes, nullptr, FALSE};
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (::ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl.c_str(), SDDL_REVISION_1, &descriptor,
                                                               nullptr))
        attributes.lpSecurityDescriptor = descriptor;
    const BOOL made = ::CreateDirectoryW(path.c_str(), &attributes);
    const DWORD error = made ? ERROR_SUCCESS : ::GetLastError();
    if (descriptor)
        ::LocalFree(descriptor);
    if (!made && error != ERROR_ALREADY_EXISTS) {
        const int code = error == ERROR_PATH_NOT_FOUND ? ENOENT : EACCES;
        return Status::Fail(WithSystemReason("Cannot create the " + role + " " + folder, code), code);
    }
    return CheckPrivateFolder(folder, role);
}

bool IsOwnRegularFile(const std::string& path)
{
    const DWORD attributes = AttributesOf(path);
    if (attributes == INVALID_FILE_ATTRIBUTES ||
        (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DEVICE)))
        return false;
    Security security;
    return !ReadSecurity(path, security) || CurrentUser().Owns(security.owner);
}

int64_t CurrentProcessId()
{
    return static_cast<int64_t>(::GetCurrentProcessId());
}

uint64_t ProcessStartTime(int64_t pid)
{
    const HANDLE process = ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(pid));
    if (!process)
        return 0;
    FILETIME created{};
    FILETIME ended{};
    FILETIME kernel{};
    FILETIME user{};
    uint64_t started = 0;
    if (::GetProcessTimes(process, &created, &ended, &kernel, &user))
        started = (uint64_t(created.dwHighDateTime) << 32) | created.dwLowDateTime;
    ::CloseHandle(process);
    return started;
}

bool ProcessHasEnded(int64_t pid, uint64_t started)
{
    if (pid <= 0 || pid > int64_t(UINT32_MAX))
        return false;
    const HANDLE process = ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(pid));
    if (!process)
        // No such process; one the user may not look at runs.
        return ::GetLastError() == ERROR_INVALID_PARAMETER;
    DWORD code = 0;
    const bool ended = ::GetExitCodeProcess(process, &code) && code != STILL_ACTIVE;
    ::CloseHandle(process);
    if (ended)
        return true;
    const uint64_t now = ProcessStartTime(pid);
    return started != 0 && now != 0 && now != started;
}

std::string UserName()
{
    wchar_t name[256 + 1] = {};
    DWORD size = sizeof name / sizeof name[0];
    if (::GetUserNameW(name, &size) && size > 1)
        return Utf8(std::wstring_view(name, size - 1));
    if (const char* v = std::getenv("USERNAME"); v && *v)
        return v;
    return "user";
}

std::string HostName()
{
    wchar_t name[256] = {};
    DWORD size = sizeof name / sizeof name[0];
    if (::GetComputerNameExW(ComputerNameDnsHostname, name, &size) && size > 0)
        return Utf8(std::wstring_view(name, size));
    return "localhost";
}

std::string ProgramPath()
{
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0)
            return {};
        if (n < path.size()) {
            path.resize(n);
            return PathText(std::filesystem::path(path));
        }
        path.resize(path.size() * 2);
    }
}

std::vector<std::string> CommandLineArguments(int, char**)
{
    // The narrow arguments are in the ANSI code page, which cannot hold
    // every name; the wide command line holds them all.
    int count = 0;
    LPWSTR* wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    std::vector<std::string> arguments;
    for (int i = 1; wide && i < count; ++i)
        arguments.push_back(Utf8(wide[i]));
    if (wide)
        ::LocalFree(wide);
    return arguments;
}

void PrepareStandardStreams()
{
    // Texts are written as UTF-8 and read so by the console; reports and
    // lists keep their own line ends.
    ::SetConsoleOutputCP(CP_UTF8);
    std::fflush(stdout);
    std::fflush(stderr);
    ::_setmode(::_fileno(stdout), _O_BINARY);
    ::_setmode(::_fileno(stderr), _O_BINARY);
}

} // namespace kestrel
