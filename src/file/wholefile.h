#pragma once
// Reading a whole file that a user names (a template text, a quote) into
// memory, within a size limit, so that an endless source (a device) ends in
// a message rather than in exhausted memory.

#include <cstddef>
#include <string>

#include "calc/result.h"

namespace kestrel {

// The bytes of the file. A file that cannot be opened or read (a directory)
// or that is larger than maxBytes gives the reason instead: "Cannot open
// file: <reason>", "Cannot read file: <reason>", "File is larger than N MiB".
[[nodiscard]] Result<std::string> ReadWholeFile(const std::string& path, std::size_t maxBytes);

} // namespace kestrel
