// The system's files on Windows (calc/systemfile.h). Files are opened with
// the wide-character calls and handed on as C runtime descriptors (binary,
// not inherited), so that the code above and zlib use one kind of
// descriptor on every system. Every file this program opens shares reading,
// writing and deleting, as files do on POSIX systems: the program's own
// reads never stop another program's save.

#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <system_error>
#include <vector>

#include "calc/systemfile.h"

namespace kestrel {

namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
// Paths from this length on get the prefix that lifts the limit of 260
// characters (a folder's own limit is 12 less, room for an 8.3 name).
constexpr std::size_t kLongPath = MAX_PATH - 12;
// Seconds from 1601, where Windows counts from, to 1970, in its 100 ns ticks.
constexpr int64_t kTicksTo1970 = 116444736000000000LL;

// The errno nearest to a Windows error number.
int ErrnoOf(DWORD error)
{
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
    case ERROR_BAD_PATHNAME: return ENOENT;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS: return EEXIST;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
    case ERROR_PRIVILEGE_NOT_HELD:
    case ERROR_CANNOT_MAKE: return EACCES;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_USER_MAPPED_FILE:
    case ERROR_UNABLE_TO_REMOVE_REPLACED: return EBUSY;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return ENOSPC;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY: return ENOMEM;
    case ERROR_DIRECTORY: return ENOTDIR;
    case ERROR_DIR_NOT_EMPTY: return ENOTEMPTY;
    case ERROR_NOT_SAME_DEVICE: return EXDEV;
    case ERROR_FILENAME_EXCED_RANGE: return ENAMETOOLONG;
    case ERROR_INVALID_NAME: return EINVAL;
    case ERROR_CANT_RESOLVE_FILENAME: return ELOOP;
    case ERROR_NOT_SUPPORTED:
    case ERROR_INVALID_FUNCTION: return EPERM;
    case ERROR_BROKEN_PIPE:
    case ERROR_NO_DATA: return EPIPE;
    case ERROR_INVALID_HANDLE: return EBADF;
    case ERROR_TOO_MANY_OPEN_FILES: return EMFILE;
    default: return EIO;
    }
}

ErrorInfo Failure(const std::string& what, int error)
{
    return ErrorInfo{WithSystemReason(what, error), error};
}

ErrorInfo LastFailure(const std::string& what)
{
    return Failure(what, ErrnoOf(::GetLastError()));
}

std::wstring Wide(std::string_view text)
{
    if (text.empty())
        return {};
    const int size = static_cast<int>(text.size());
    // A path that is not UTF-8 (a name taken from an old file) is read in
    // the system's own code page.
    UINT page = CP_UTF8;
    int n = ::MultiByteToWideChar(page, MB_ERR_INVALID_CHARS, text.data(), size, nullptr, 0);
    if (n <= 0) {
        page = CP_ACP;
        n = ::MultiByteToWideChar(page, 0, text.data(), size, nullptr, 0);
    }
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    ::MultiByteToWideChar(page, 0, text.data(), size, wide.data(), n);
    return wide;
}

std::string Narrow(std::wstring_view wide)
{
    if (wide.empty())
        return {};
    const int size = static_cast<int>(wide.size());
    const int n = ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<std::size_t>(n), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, text.data(), n, nullptr, nullptr);
    return text;
}

// The prefix "\\?\" passes a path to the file system as it is, without
// the limit of 260 characters; it needs a whole path with backslashes.
bool IsWholePath(const std::wstring& path)
{
    const auto separator = [](wchar_t c) { return c == L'\\' || c == L'/'; };
    if (path.size() >= 3 && path[1] == L':' && separator(path[2]))
        return true;
    return path.size() >= 2 && separator(path[0]) && separator(path[1]);
}

std::wstring LongForm(const std::wstring& path)
{
    if (path.size() < kLongPath || path.rfind(L"\\\\?\\", 0) == 0 || !IsWholePath(path))
        return path;
    const DWORD n = ::GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (n == 0)
        return path;
    std::wstring full(n, L'\0');
    const DWORD written = ::GetFullPathNameW(path.c_str(), n, full.data(), nullptr);
    full.resize(written);
    if (full.rfind(L"\\\\", 0) == 0)
        return L"\\\\?\\UNC\\" + full.substr(2);
    return L"\\\\?\\" + full;
}

std::wstring CallPath(const std::string& utf8)
{
    return LongForm(Wide(utf8));
}

int64_t NanosecondsOf(const FILETIME& time)
{
    const int64_t ticks = (int64_t(time.dwHighDateTime) << 32) | time.dwLowDateTime;
    return (ticks - kTicksTo1970) * 100;
}

HANDLE HandleOf(int fd)
{
    return reinterpret_cast<HANDLE>(::_get_osfhandle(fd));
}

Result<FileStatus> StatusOfHandle(HANDLE h, bool linkItself)
{
    FileStatus status;
    if (::GetFileType(h) != FILE_TYPE_DISK) {
        status.kind = FileKind::Other;
        return status;
    }
    BY_HANDLE_FILE_INFORMATION info;
    if (!::GetFileInformationByHandle(h, &info))
        return LastFailure("Cannot read file");
    const DWORD attributes = info.dwFileAttributes;
    if (linkItself && (attributes & FILE_ATTRIBUTE_REPARSE_POINT))
        status.kind = FileKind::Link;
    else if (attributes & FILE_ATTRIBUTE_DIRECTORY)
        status.kind = FileKind::Folder;
    else
        status.kind = FileKind::Regular;
    status.size = (uint64_t(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    status.modified = NanosecondsOf(info.ftLastWriteTime);
    status.device = info.dwVolumeSerialNumber;
    status.node = (uint64_t(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    status.mode = (attributes & FILE_ATTRIBUTE_READONLY) ? 0444 : 0666;
    return status;
}

Status NotAFile(FileKind kind)
{
    if (kind == FileKind::Folder)
        return Status::Fail(kFolderText, EISDIR);
    return Status::Fail(kNotRegularFileText, EINVAL);
}

HANDLE OpenHandle(const std::string& path, DWORD access, DWORD creation, LinkPolicy links)
{
    // Backup semantics let a folder be opened, to be told as one.
    const DWORD flags =
        FILE_FLAG_BACKUP_SEMANTICS | (links == LinkPolicy::Refuse ? FILE_FLAG_OPEN_REPARSE_POINT : 0);
    return ::CreateFileW(CallPath(path).c_str(), access, kShareAll, nullptr, creation, flags, nullptr);
}

Result<int> DescriptorOf(HANDLE h, int flags, const char* what)
{
    const int fd = ::_open_osfhandle(reinterpret_cast<intptr_t>(h), flags | _O_BINARY | _O_NOINHERIT);
    if (fd < 0) {
        ::CloseHandle(h);
        return Failure(what, EMFILE);
    }
    return fd;
}

} // namespace

std::string SystemErrorText(int error)
{
    // The runtime's own texts for these say little.
    switch (error) {
    case EBUSY: return "The file is in use by another program";
    case ELOOP: return "Too many levels of symbolic links";
    case ENOTSUP: return "Operation not supported";
    default: return std::generic_category().message(error);
    }
}

std::filesystem::path SystemPath(std::string_view utf8)
{
    return std::filesystem::path(LongForm(Wide(utf8)));
}

std::string PathText(const std::filesystem::path& path)
{
    std::wstring_view wide = path.native();
    if (wide.rfind(L"\\\\?\\UNC\\", 0) == 0)
        return "\\\\" + Narrow(wide.substr(8));
    if (wide.rfind(L"\\\\?\\", 0) == 0)
        wide.remove_prefix(4);
    return Narrow(wide);
}

Result<FileStatus> StatPath(const std::string& path, LinkPolicy links)
{
    const HANDLE h = OpenHandle(path, FILE_READ_ATTRIBUTES, OPEN_EXISTING, links);
    if (h == INVALID_HANDLE_VALUE) {
        const DWORD error = ::GetLastError();
        if (ErrnoOf(error) == ENOENT)
            return FileStatus{};
        return Failure("Cannot look at " + path, ErrnoOf(error));
    }
    auto status = StatusOfHandle(h, links == LinkPolicy::Refuse);
    ::CloseHandle(h);
    return status;
}

Result<FileStatus> StatDescriptor(int fd)
{
    return StatusOfHandle(HandleOf(fd), false);
}

Status CheckRegularFile(const std::string& path)
{
    const auto status = StatPath(path);
    if (!status || status->kind == FileKind::Missing || status->kind == FileKind::Regular)
        return Ok();
    return NotAFile(status->kind);
}

Result<int> OpenRegularFile(const std::string& path, LinkPolicy links)
{
    // Opening a named pipe that no one serves fails at once; one that is
    // served is refused below as not a file.
    const HANDLE h = OpenHandle(path, GENERIC_READ, OPEN_EXISTING, links);
    if (h == INVALID_HANDLE_VALUE)
        return LastFailure("Cannot open file");
    const auto status = StatusOfHandle(h, links == LinkPolicy::Refuse);
    if (!status || status->kind != FileKind::Regular) {
        ::CloseHandle(h);
        if (!status)
            return Failure("Cannot open file", status.errorCode());
        if (status->kind == FileKind::Link)
            return Failure("Cannot open file", ELOOP);
        return NotAFile(status->kind).error();
    }
    return DescriptorOf(h, _O_RDONLY, "Cannot open file");
}

Result<int> OpenFileForWriting(const std::string& path)
{
    const HANDLE h = ::CreateFileW(CallPath(path).c_str(), GENERIC_WRITE, kShareAll, nullptr, CREATE_ALWAYS,
                                   FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return LastFailure("Cannot open file");
    return DescriptorOf(h, _O_WRONLY, "Cannot open file");
}

Result<int> CreateExclusiveFile(const std::string& path, unsigned)
{
    // A new file takes the security of its folder.
    const HANDLE h = ::CreateFileW(CallPath(path).c_str(), GENERIC_READ | GENERIC_WRITE, kShareAll, nullptr,
                                   CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return LastFailure("Cannot create file");
    return DescriptorOf(h, _O_RDWR, "Cannot create file");
}

Result<int> DuplicateDescriptor(int fd)
{
    const int copy = ::_dup(fd);
    if (copy < 0)
        return Failure("Cannot open file", errno);
    return copy;
}

Result<std::FILE*> OpenStream(int fd, const char* mode)
{
    std::string binary(mode);
    if (binary.find('b') == std::string::npos)
        binary += 'b';
    std::FILE* f = ::_fdopen(fd, binary.c_str());
    if (!f) {
        const int error = errno;
        ::_close(fd);
        return Failure("Cannot open file", error);
    }
    return f;
}

Result<std::size_t> ReadAt(int fd, uint64_t offset, char* buffer, std::size_t size)
{
    const HANDLE h = HandleOf(fd);
    std::size_t got = 0;
    while (got < size) {
        OVERLAPPED at{};
        const uint64_t position = offset + got;
        at.Offset = static_cast<DWORD>(position);
        at.OffsetHigh = static_cast<DWORD>(position >> 32);
        const DWORD want = static_cast<DWORD>(std::min<std::size_t>(size - got, 1u << 30));
        DWORD n = 0;
        if (!::ReadFile(h, buffer + got, want, &n, &at)) {
            if (::GetLastError() == ERROR_HANDLE_EOF)
                break;
            return LastFailure("Cannot read file");
        }
        if (n == 0)
            break;
        got += n;
    }
    return got;
}

Status WriteAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const unsigned want = static_cast<unsigned>(std::min<std::size_t>(bytes.size(), INT_MAX / 2));
        const int n = ::_write(fd, bytes.data(), want);
        if (n <= 0)
            return Failure("Cannot write file", n < 0 ? errno : ENOSPC);
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return Ok();
}

Status FlushToDisk(int fd)
{
    if (::_commit(fd) != 0)
        return Failure("Cannot write the file to disk", errno);
    return Ok();
}

Status CloseFile(int fd)
{
    if (::_close(fd) != 0)
        return Failure("Cannot write the file to disk", errno);
    return Ok();
}

void CloseDescriptor(int fd)
{
    ::_close(fd);
}

namespace {

// Another process (a virus scanner, an indexer, a second save) may hold the
// target open for a moment: a replacement refused for that is tried again
// for about half a second before the failure is reported.
template <class Replace> bool ReplaceWhileBusy(Replace replace)
{
    for (int attempt = 0;; ++attempt) {
        if (replace())
            return true;
        const DWORD error = ::GetLastError();
        if ((error != ERROR_SHARING_VIOLATION && error != ERROR_ACCESS_DENIED &&
             error != ERROR_LOCK_VIOLATION) ||
            attempt == 25)
            return false;
        ::Sleep(20);
        ::SetLastError(error);
    }
}

// The replaced file's attributes and its access list go to the file that
// takes its place (as far as the user may read and give them); a target
// that is not there yet gives nothing.
void CarryOverAttributesAndSecurity(const std::wstring& replaced, const std::wstring& replacement)
{
    constexpr DWORD kKept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                            FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
    const DWORD old = ::GetFileAttributesW(replaced.c_str());
    if (old == INVALID_FILE_ATTRIBUTES)
        return;
    if (old & kKept)
        (void)::SetFileAttributesW(replacement.c_str(), old & kKept);
    DWORD size = 0;
    (void)::GetFileSecurityW(replaced.c_str(), DACL_SECURITY_INFORMATION, nullptr, 0, &size);
    std::vector<char> descriptor(size);
    if (size != 0 &&
        ::GetFileSecurityW(replaced.c_str(), DACL_SECURITY_INFORMATION, descriptor.data(), size, &size))
        (void)::SetFileSecurityW(replacement.c_str(), DACL_SECURITY_INFORMATION, descriptor.data());
}

} // namespace

Status ReplaceFileAtomically(const std::string& replacement, const std::string& target,
                             ReplacedAttributes attributes)
{
    const std::wstring from = CallPath(replacement);
    const std::wstring to = CallPath(target);
    if (attributes == ReplacedAttributes::Keep)
        CarryOverAttributesAndSecurity(to, from);
    // One rename: at every moment the old file or the new one is there
    // under the name (ReplaceFile moves the old one away first).
    constexpr DWORD kMove = MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH;
    if (!ReplaceWhileBusy([&] { return ::MoveFileExW(from.c_str(), to.c_str(), kMove) != 0; }))
        return LastFailure("Cannot replace the file");
    return Ok();
}

Status LinkFile(const std::string& existing, const std::string& name)
{
    if (!::CreateHardLinkW(CallPath(name).c_str(), CallPath(existing).c_str(), nullptr))
        return LastFailure("Cannot link " + name);
    return Ok();
}

Status RemoveFile(const std::string& path)
{
    if (!::DeleteFileW(CallPath(path).c_str()))
        return LastFailure("Cannot remove " + path);
    return Ok();
}

Result<std::vector<std::string>> FolderNames(const std::string& folder)
{
    // The long form of the folder's path, then the pattern of every name.
    std::wstring pattern = CallPath(folder);
    if (!pattern.empty() && pattern.back() != L'\\' && pattern.back() != L'/')
        pattern += L'\\';
    pattern += L'*';
    WIN32_FIND_DATAW entry;
    const HANDLE find =
        ::FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &entry, FindExSearchNameMatch, nullptr, 0);
    if (find == INVALID_HANDLE_VALUE)
        return LastFailure("Cannot read the folder " + folder);
    std::vector<std::string> names;
    do {
        const std::wstring_view name = entry.cFileName;
        if (name != L"." && name != L"..")
            names.push_back(Narrow(name));
    } while (::FindNextFileW(find, &entry));
    const DWORD error = ::GetLastError();
    ::FindClose(find);
    if (error != ERROR_NO_MORE_FILES)
        return Failure("Cannot read the folder " + folder, ErrnoOf(error));
    return names;
}

void LocalTimeAndZone(std::time_t clock, std::tm& local, long& westOfUtc)
{
    localtime_s(&local, &clock);
    // Bias: minutes to add to local standard time for UTC.
    TIME_ZONE_INFORMATION zone{};
    westOfUtc = ::GetTimeZoneInformation(&zone) == TIME_ZONE_ID_INVALID ? 0 : long(zone.Bias) * 60;
}

} // namespace kestrel
