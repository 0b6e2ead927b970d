#pragma once
// The operating system's files as every layer asks for them: the lowest
// part of the program's platform seam (file/platform.h holds the rest:
// owners and permissions, private folders, processes, the user and the
// host). Each system has its own implementation (systemfile_posix.cpp,
// systemfile_win32.cpp, chosen by the build); the code above asks the same
// way everywhere and never calls the system itself.
//
// Paths are UTF-8 texts (std::string) throughout the program on every
// system: the command line and the windows hand them over so and messages
// show them so. Only here do they become the system's own form, a
// std::filesystem::path (wide characters on Windows, where a narrow path is
// taken byte by byte and a name like "Créek" would be lost).
//
// Error numbers are errno's on every system; a failure that Windows reports
// in its own numbers is given as the nearest errno.

#include <cstdint>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "calc/result.h"

namespace kestrel {

// The texts of files that cannot be read as files.
inline constexpr const char* kNotRegularFileText = "Not a regular file";
inline constexpr const char* kFolderText = "Is a folder, not a file";

// The system's form of a UTF-8 path (on Windows a long one is given the
// prefix that lets it pass 260 characters), and the UTF-8 text of one.
[[nodiscard]] std::filesystem::path SystemPath(std::string_view utf8);
[[nodiscard]] std::string PathText(const std::filesystem::path& path);

// The system's text for an error number (errno): "No space left on device".
[[nodiscard]] std::string SystemErrorText(int error);
// "what: <the system's text>", or `what` alone when error is 0.
[[nodiscard]] std::string WithSystemReason(const std::string& what, int error);

// What a path or an open file is.
enum class FileKind { Missing, Regular, Folder, Link, Other };
struct FileStatus {
    FileKind kind = FileKind::Missing;
    uint64_t size = 0;
    int64_t modified = 0; // nanoseconds since 1970 (UTC)
    // The file's identity: the same pair is the same file, by any path.
    uint64_t device = 0;
    uint64_t node = 0;
    // The permission bits as a POSIX system gives them (on Windows 0444 for
    // a read-only file, else 0666), and the owner and group there.
    unsigned mode = 0;
    uint32_t owner = 0;
    uint32_t group = 0;
};
enum class LinkPolicy { Follow, Refuse };
// The status of the file at path; with LinkPolicy::Refuse a link at its
// last name is looked at itself (kind Link). A path that does not exist
// gives kind Missing; one that cannot be looked at fails (code errno).
[[nodiscard]] Result<FileStatus> StatPath(const std::string& path, LinkPolicy links = LinkPolicy::Follow);
[[nodiscard]] Result<FileStatus> StatDescriptor(int fd);
// True when both paths name one existing file, also through links or
// different spellings of the path.
[[nodiscard]] bool IsSameFile(const std::string& a, const std::string& b);

// Whether the file at path (links followed) can be read as a file without
// waiting: a folder gives kFolderText (code EISDIR), a FIFO, device or
// socket kNotRegularFileText. A path that does not exist or cannot be
// looked at passes: opening it tells why.
[[nodiscard]] Status CheckRegularFile(const std::string& path);
// Opens a regular file for reading and gives its descriptor, never waiting
// on a FIFO or device: anything else is refused as CheckRegularFile refuses
// it. With LinkPolicy::Refuse a link at the path's last name is refused too.
// Failures carry errno as their code and "Cannot open file: <reason>".
[[nodiscard]] Result<int> OpenRegularFile(const std::string& path, LinkPolicy links = LinkPolicy::Follow);
// Creates the file at path, or empties the one there, for writing.
[[nodiscard]] Result<int> OpenFileForWriting(const std::string& path);
// Creates a new file for writing, failing with EEXIST when anything (a
// link included) has the name. `permissions` are those a POSIX system
// gives it, less the user's mask; Windows gives those of the folder.
[[nodiscard]] Result<int> CreateExclusiveFile(const std::string& path, unsigned permissions = 0666);
// Creates a new file exclusively whose name is `pattern` with its last
// "XXXXXX" made unique; by default readable by the user alone.
struct CreatedFile {
    std::string path;
    int fd = -1;
};
[[nodiscard]] Result<CreatedFile> CreateUniqueFile(const std::string& pattern, unsigned permissions = 0600);
// A second descriptor of the same open file (closing one leaves the other).
[[nodiscard]] Result<int> DuplicateDescriptor(int fd);
// A stream over the descriptor (mode as std::fopen's, always binary); the
// stream takes the descriptor over, also when it fails.
[[nodiscard]] Result<std::FILE*> OpenStream(int fd, const char* mode);

// Reads up to `size` bytes from `offset`, fewer only at the end of the
// file (where the descriptor's own position is afterwards is not said).
[[nodiscard]] Result<std::size_t> ReadAt(int fd, uint64_t offset, char* buffer, std::size_t size);
// Writes all of `bytes` at the descriptor's position ("Cannot write file:
// <reason>"; a write that takes nothing is a full disk).
[[nodiscard]] Status WriteAll(int fd, std::string_view bytes);
// Makes what was written durable ("Cannot write the file to disk: <reason>").
[[nodiscard]] Status FlushToDisk(int fd);
// Closes the descriptor, with the failure some file systems report only
// then ("Cannot write the file to disk: <reason>").
[[nodiscard]] Status CloseFile(int fd);
// Closes a descriptor when what was written no longer matters.
void CloseDescriptor(int fd);

// Whether the replaced file's attributes stay with its name (on Windows the
// replacement takes its attributes and security; a POSIX caller sets them
// on the new file before, see file/platform.h) or the replacement keeps
// its own.
enum class ReplacedAttributes { Keep, Drop };
// Puts the closed file `replacement` in the place of `target` in one step,
// durably: at every moment the name holds the old file or the new one. On
// failure both stay as they were ("Cannot replace the file: <reason>"; a
// target that another program holds open without sharing is one), except
// where Windows removed the target and then could not give the replacement
// its name: that failure has the code kReplacementKept, and the
// replacement, the only copy left, must be kept where it is.
inline constexpr int kReplacementKept = -2;
[[nodiscard]] Status ReplaceFileAtomically(const std::string& replacement, const std::string& target,
                                           ReplacedAttributes attributes);
// Gives an existing file a second name; EEXIST when the name is taken.
[[nodiscard]] Status LinkFile(const std::string& existing, const std::string& name);
// Removes the file at path (a link itself, never what it leads to); a
// missing one fails with ENOENT.
[[nodiscard]] Status RemoveFile(const std::string& path);
// The names of the entries of a folder (without "." and ".."), in the
// system's order, whatever the length of its path.
[[nodiscard]] Result<std::vector<std::string>> FolderNames(const std::string& folder);

// The system's clock: the local time at `clock`, and how far west of UTC
// the local standard time lies, in seconds.
void LocalTimeAndZone(std::time_t clock, std::tm& local, long& westOfUtc);

} // namespace kestrel
