#pragma once
// Reading and writing the contract file (.CON): a gzip stream of the magic
// "SDT!" and tag/length/value records, and the check value computed on save.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "file/checkvalue.h"

namespace kestrel {

class CContract;

// Error codes of the contract file operations, with their texts in
// ContractFileErrorText.
enum ContractFileError : int {
    CF_OK = 0,
    CF_TOO_NEW = 1,
    CF_TOO_OLD = 2,
    CF_NOT_CON = 3,
    CF_CANNOT_OPEN = 4,
    CF_CANNOT_READ = 5,
    CF_CANNOT_WRITE = 6,
    CF_NO_MEMORY = 7,
    CF_CORRUPT = 8,
    CF_CORRUPT2 = 9,
    CF_DUPLICATE_LINES = 10,
    CF_AMENDMENT = 11,
};

// The format version every file is written with.
constexpr int32_t kContractFileVersion = 410;

// What one read may take. A few kilobytes of gzip can stand for gigabytes
// of records, and each record that adds to the model costs memory; a read
// past either limit ends with CF_NO_MEMORY instead of taking the machine's
// memory and minutes. The defaults lie far above any real contract: the
// benchmark contract (5,000 items, 199 subcontractors of 60 fields with 500
// sub-items each) is an 11 MB stream of some 120,000 such records.
struct ContractReadLimits {
    // Bytes of the uncompressed stream.
    uint64_t streamBytes = uint64_t(256) << 20;
    // Records that add to the model (items, table records, cells, sub-items,
    // list entries, ...; see AddsToModel). A table also counts as one cell
    // per field of every record, since it is written that way.
    size_t newRecords = size_t(1) << 20;
};

// Reads the file at path. On 0 the new contract is handed to the caller;
// on any other code contract is left empty. Only a regular file is read
// (anything else cannot be opened). On CF_CANNOT_OPEN and CF_CANNOT_READ
// errno holds the system's reason (0 when it gave none), as it does after
// WriteContractFile's CF_CANNOT_OPEN and CF_CANNOT_WRITE.
[[nodiscard]] int ReadContractFile(const std::string& path, std::unique_ptr<CContract>& contract,
                                   const ContractReadLimits& limits = {});
// The same from the uncompressed bytes of a contract file in memory.
[[nodiscard]] int ReadContractStream(const unsigned char* data, size_t size,
                                     std::unique_ptr<CContract>& contract,
                                     const ContractReadLimits& limits = {});

// Writes the whole contract to path as a gzip stream; 0 when every byte was
// written. Stores the version (410) and the check value in the contract.
[[nodiscard]] int WriteContractFile(CContract& contract, const std::string& path);
// The same into a file the caller opened for writing (and closes), so that
// a file created exclusively is never opened again by its name.
[[nodiscard]] int WriteContractDescriptor(CContract& contract, int fd);
// The uncompressed stream WriteContractFile would compress.
std::vector<unsigned char> WriteContractStream(CContract& contract);

// The text of a code; with prefixed, formatted as "Error: %s".
std::string ContractFileErrorText(int code, bool prefixed);
// What a user is told of a failed read or write: the code's text, with the
// system's reason (errno as the operation left it) where the system refused
// to open, read or write, and for a read that reached the limits of
// ContractReadLimits that the file is larger than they allow.
std::string ContractFileFailureText(int code, int systemError, bool reading);

// The 32-bit check value of the contract (shown as %8.8lX).
uint32_t ComputeCheckValue(const CContract& contract);
} // namespace kestrel
