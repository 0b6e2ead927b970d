#pragma once
// The few things the file layer asks of the operating system beyond the
// standard library: the system's text for an error, opening a file for
// reading without waiting on a FIFO or device, a folder only the user may
// change, and writes to a closed pipe that fail instead of ending the
// process. Each system has its own way of these; they are kept here, in one
// place, so that the rest of the program asks the same way everywhere.

#include <string>

#include "calc/result.h"

namespace kestrel {

// The texts of files that cannot be read as files.
inline constexpr const char* kNotRegularFileText = "Not a regular file";
inline constexpr const char* kFolderText = "Is a folder, not a file";

// The system's text for an error number (errno): "No space left on device".
[[nodiscard]] std::string SystemErrorText(int error);
// "what: <the system's text>", or `what` alone when error is 0.
[[nodiscard]] std::string WithSystemReason(const std::string& what, int error);

// Whether the file at path (links followed) can be read as a file without
// waiting: a folder gives kFolderText (code EISDIR), a FIFO, device or
// socket kNotRegularFileText. A path that does not exist or cannot be
// looked at passes: opening it tells why.
[[nodiscard]] Status CheckRegularFile(const std::string& path);

enum class LinkPolicy { Follow, Refuse };
// Opens a regular file for reading and gives its descriptor, never waiting
// on a FIFO or device: anything else is refused as CheckRegularFile refuses
// it. With LinkPolicy::Refuse a link at the path's last name is refused too.
// Failures carry errno as their code and "Cannot open file: <reason>".
[[nodiscard]] Result<int> OpenRegularFile(const std::string& path, LinkPolicy links = LinkPolicy::Follow);
// Closes a descriptor that OpenRegularFile gave and nothing else took over.
void CloseDescriptor(int fd);

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

// Writing to a pipe whose reader has gone fails with EPIPE like any other
// write error, instead of ending the process without a word.
void IgnoreBrokenPipe();

} // namespace kestrel
