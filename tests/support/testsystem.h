#pragma once
// What the tests ask of the system beyond what the program asks: FIFOs and
// devices, a process's file-size limit, permissions and attributes, a file
// another program holds open without sharing, a process that has ended.
// One implementation per system (testsystem_posix.cpp, testsystem_win32.cpp);
// where a system has no such thing, the function says so and the test skips
// with the reason given here.

#include <cstdint>
#include <functional>
#include <string>

namespace kestrel::test {

inline constexpr const char* kNoFifos = "this system's file system has no FIFOs";
inline constexpr const char* kNoDevices = "this system has no such device file";
inline constexpr const char* kNoFileSizeLimit = "this system has no file size limit for a process";
inline constexpr const char* kNoSymlinks =
    "this system cannot make symbolic links that it then shows as links (Windows without the "
    "privilege, Wine)";
inline constexpr const char* kNoShareModes =
    "POSIX systems have no share modes: a file open elsewhere is replaced";

// Makes a FIFO at path; false where the system has none.
bool MakeFifo(const std::string& path);
// Makes a symbolic link at `link` to `target`; false where the system (or
// the user) cannot, or makes one that the system does not show as a link.
bool MakeSymlink(const std::string& target, const std::string& link);
bool IsSymlink(const std::string& path);
// Whether a file's name may hold * and ? (Windows refuses them).
bool NamesMayHoldWildcards();

// A device that opens for writing but takes no byte (/dev/full) and one
// that reads for ever (/dev/zero); empty where the system has none.
std::string FullDevice();
std::string EndlessDevice();
// Runs `body` while the process may write files of at most `bytes` (a write
// past it fails with "File too large"); false, `body` not run, where the
// system has no such limit.
bool WithFileSizeLimit(uint64_t bytes, const std::function<void()>& body);

// Gives the file an attribute that the system keeps with a file's name when
// a save replaces it (POSIX: the permissions 0640; Windows: hidden), and
// tells whether the file at path has it.
void MarkFile(const std::string& path);
bool IsMarked(const std::string& path);

// Holds the file at path open, as another program would that lets no one
// else write or remove it, for as long as this object lives; Held() is
// false where the system has no such sharing mode.
class ExclusiveHold {
public:
    explicit ExclusiveHold(const std::string& path);
    ~ExclusiveHold();
    ExclusiveHold(const ExclusiveHold&) = delete;
    ExclusiveHold& operator=(const ExclusiveHold&) = delete;
    bool Held() const { return m_held; }

private:
    void* m_handle = nullptr;
    bool m_held = false;
};

// The number of a process that was started here and has ended.
int64_t EndedProcessId();

} // namespace kestrel::test
