// The tests' system on Windows (support/testsystem.h).

#include <windows.h>

#include "calc/systemfile.h"
#include "support/testsystem.h"

namespace kestrel::test {

bool MakeFifo(const std::string&)
{
    return false;
}

bool IsSymlink(const std::string& path)
{
    const DWORD attributes = ::GetFileAttributesW(kestrel::SystemPath(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

bool MakeSymlink(const std::string& target, const std::string& link)
{
    if (!::CreateSymbolicLinkW(kestrel::SystemPath(link).c_str(), kestrel::SystemPath(target).c_str(),
                               SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE))
        return false;
    if (IsSymlink(link))
        return true;
    (void)kestrel::RemoveFile(link);
    return false;
}

bool NamesMayHoldWildcards()
{
    return false;
}

std::string FullDevice()
{
    return {};
}

std::string EndlessDevice()
{
    return {};
}

bool WithFileSizeLimit(uint64_t, const std::function<void()>&)
{
    return false;
}

void MarkFile(const std::string& path)
{
    const std::wstring wide = SystemPath(path).native();
    ::SetFileAttributesW(wide.c_str(), ::GetFileAttributesW(wide.c_str()) | FILE_ATTRIBUTE_HIDDEN);
}

bool IsMarked(const std::string& path)
{
    const DWORD attributes = ::GetFileAttributesW(SystemPath(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_HIDDEN);
}

ExclusiveHold::ExclusiveHold(const std::string& path)
{
    // Reading shared, writing and removing not: as an editor that keeps
    // its file open does.
    const HANDLE h = ::CreateFileW(SystemPath(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                   OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    m_held = h != INVALID_HANDLE_VALUE;
    m_handle = m_held ? h : nullptr;
}

ExclusiveHold::~ExclusiveHold()
{
    if (m_held)
        ::CloseHandle(static_cast<HANDLE>(m_handle));
}

int64_t EndedProcessId()
{
    // This program again, told to list no test: it ends at once.
    wchar_t self[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring command = L"\"" + std::wstring(self) + L"\" --gtest_list_tests --gtest_filter=-*";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(self, command.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr,
                          &startup, &process))
        return 0;
    ::WaitForSingleObject(process.hProcess, INFINITE);
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    return static_cast<int64_t>(process.dwProcessId);
}

} // namespace kestrel::test
