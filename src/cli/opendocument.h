#pragma once
// Opening a contract as the program's document does (OpenContractFile), with
// list files looked for beside the contract and beside kestrel-cli. Every
// command that reads a contract's values opens it so; only `rewrite`, which
// copies a file as it stands, reads it bare.

#include <memory>
#include <string>

#include "model/subcontract/programpaths.h"

namespace kestrel {
class CContract;
}

namespace kestrel::cli {

// The contract a command works on, with the folders its pick lists are
// looked for in.
struct Document {
    Document();
    ~Document();
    Document(const Document&) = delete;
    Document& operator=(const Document&) = delete;

    std::unique_ptr<CContract> contract;
    CProgramPaths paths;
};

// Reads path into the document and runs the open steps. The messages of
// list files that cannot be read go to stderr, one a line. Returns 0, or
// the exit status of an unreadable file (the error already printed).
[[nodiscard]] int OpenDocument(const std::string& path, Document& document);

} // namespace kestrel::cli
