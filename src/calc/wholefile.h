#pragma once
// Reading a whole file that a user names (a template text, a list of edits,
// a quote, a pick-list file) into memory, within a size limit, so that an
// endless source (a device) ends in a message rather than in exhausted memory.

#include <cstddef>
#include <cstdio>
#include <string>

#include "calc/result.h"

namespace kestrel {

// Why a file could not be read (the error code of the result).
enum WholeFileError : int {
    WHOLEFILE_CANNOT_OPEN = 1,
    WHOLEFILE_CANNOT_READ = 2,
    WHOLEFILE_TOO_LARGE = 3,
    WHOLEFILE_NOT_REGULAR = 4, // a folder, FIFO, device or socket
};

// Opens a regular file for reading as a stream, without waiting: a FIFO
// without a writer (which would hold the read for ever) or a device is
// refused at once, a folder as "Is a folder, not a file", anything else
// not a regular file as "Not a regular file" (code WHOLEFILE_NOT_REGULAR).
// The caller closes the stream.
[[nodiscard]] Result<std::FILE*> OpenRegularFileStream(const std::string& path);

// Far beyond any text a user writes by hand or a script generates.
constexpr std::size_t kMaxTextFile = std::size_t(64) << 20;

// The bytes of the file. A file that cannot be opened or read, that is not
// a regular file (read without waiting on a FIFO) or that is larger than
// maxBytes gives the reason instead: "Cannot open file: <reason>", "Is a
// folder, not a file", "Not a regular file", "Cannot read file: <reason>",
// "File is larger than N MiB".
[[nodiscard]] Result<std::string> ReadWholeFile(const std::string& path, std::size_t maxBytes);

} // namespace kestrel
