#pragma once
// Opening a contract as the document does: read, then the open steps with
// list files looked for beside the contract and beside kestrel-cli.

#include <memory>
#include <string>

namespace kestrel {
class CContract;
}

namespace kestrel::cli {

// Reads path and runs the open steps. The messages of list files that
// cannot be read go to stderr, one a line. Returns 0, or the exit status of
// an unreadable file (the error already printed).
int OpenDocument(const std::string& path, std::unique_ptr<CContract>& contract);

} // namespace kestrel::cli
