#pragma once
// Reading the contract a command works on, with the error line and exit
// status every command gives for an unreadable file.

#include <memory>
#include <string>

namespace kestrel {
class CContract;
}

namespace kestrel::cli {

// Exit status of a file that cannot be read.
constexpr int kExitUnreadable = 2;

// Reads path; on failure prints "Error: <path>: <text>" on stderr and returns
// kExitUnreadable, else 0.
[[nodiscard]] int LoadContract(const std::string& path, std::unique_ptr<CContract>& contract);

} // namespace kestrel::cli
