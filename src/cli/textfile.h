#pragma once
// Reading a whole input file that a command is given (a template text, a
// list of edits), with a size limit so that an endless source (a device)
// ends in a message rather than in exhausted memory.

#include <cstddef>
#include <string>

#include "calc/result.h"

namespace kestrel::cli {

// Far beyond any text a user writes by hand or a script generates.
constexpr std::size_t kMaxTextFile = std::size_t(64) << 20;

// The whole file. A directory, a file that cannot be read or one larger
// than kMaxTextFile gives the reason instead.
[[nodiscard]] Result<std::string> ReadTextFile(const std::string& path);

} // namespace kestrel::cli
