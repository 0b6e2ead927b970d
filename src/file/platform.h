#pragma once
// What the file layer asks of the operating system beyond the files
// themselves (calc/systemfile.h has those): the owners and permissions of
// files, folders only the user may change, the running processes, the
// user's and the host's name, the program's own file, its command line and
// its console. Each system has its own implementation (platform_posix.cpp,
// platform_win32.cpp, chosen by the build); together with the system's
// files this is the program's one platform seam, and no other code calls
// the system or asks which system it runs on.

#include <cstdint>
#include <string>
#include <vector>

#include "calc/result.h"
#include "calc/systemfile.h"

namespace kestrel {

// The new file at fd takes the place of the file whose status is
// `previous`, so it gets its permissions, and its owner and group as far as
// the process may give them (a user who is not the owner can still keep a
// group he belongs to); with no previous file, the permissions of a file
// the user creates. On Windows the replacement itself keeps the replaced
// file's attributes and access list (ReplaceFileAtomically), so nothing is
// done here.
void CarryOverAttributes(int fd, const FileStatus* previous);
// Makes the new file at fd readable and writable by the user alone.
void MakeFilePrivate(int fd);
// Fails when the user may not write the existing file at path (a file he
// made read-only is not replaced behind his back): "Cannot write file:
// <reason>".
[[nodiscard]] Status CheckWritable(const std::string& path);

// A folder that only the user may change, for files that are his alone:
// created with the folders above it when missing, readable by the user
// alone. An existing one is refused when it is a link, not a folder, not
// the user's own or writable by others; the text names the folder by its
// role ("recovery folder") and path and says which.
[[nodiscard]] Status MakePrivateFolder(const std::string& folder, const std::string& role);
// The same tests on a folder that exists; a missing one gives ENOENT.
[[nodiscard]] Status CheckPrivateFolder(const std::string& folder, const std::string& role);
// Whether path is a regular file of the user's own (a link at its name is
// not followed).
[[nodiscard]] bool IsOwnRegularFile(const std::string& path);

// This process's number, and when a process started (in the system's own
// ticks; 0 when the system does not tell).
[[nodiscard]] int64_t CurrentProcessId();
[[nodiscard]] uint64_t ProcessStartTime(int64_t pid);
// Whether the process numbered pid has ended: no process has the number,
// or only one that has ended and not been collected yet, or one that
// started at another time than `started` (when that is not 0) and so is
// another program that was given the number since.
[[nodiscard]] bool ProcessHasEnded(int64_t pid, uint64_t started);

// The user's login name and the host's name.
[[nodiscard]] std::string UserName();
[[nodiscard]] std::string HostName();
// The file of the running program (empty when the system does not tell).
[[nodiscard]] std::string ProgramPath();

// The arguments of the command line as UTF-8 (on Windows taken from the
// wide command line, whatever the ANSI code page), without the program.
[[nodiscard]] std::vector<std::string> CommandLineArguments(int argc, char** argv);
// Standard output and error take UTF-8 text and bytes as they are written
// (on Windows: the console's code page, no line-end translation), and a
// write to a pipe whose reader has gone fails with EPIPE like any other
// write error, instead of ending the process without a word.
void PrepareStandardStreams();

} // namespace kestrel
