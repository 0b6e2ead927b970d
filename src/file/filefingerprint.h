#pragma once
// Noticing that the file of an open contract changed on disk: a small
// fingerprint taken when the contract is read or saved, and a later check
// against the file as it is then. The fingerprint holds the size, the
// modification time and a hash of the file's first and last 64 KiB (of the
// whole file when it is no larger than 128 KiB). A contract file is a gzip
// stream whose last bytes hold the check sum and length of everything in
// it, so the last block changes with any change of its contents.

#include <cstdint>
#include <string>
#include <string_view>

#include "calc/result.h"

namespace kestrel {

struct FileFingerprint {
    uint64_t size = 0;
    int64_t modified = 0; // modification time, nanoseconds since 1970 (UTC)
    uint64_t hash = 0;
    bool wholeFile = false; // the hash covers every byte

    bool operator==(const FileFingerprint&) const = default;
};

// The size of the blocks hashed at each end of a larger file.
inline constexpr uint64_t kFingerprintBlock = 64 * 1024;

[[nodiscard]] Result<FileFingerprint> TakeFingerprint(const std::string& path);

enum class DiskState {
    Unchanged, // the file is the one the fingerprint was taken of
    Changed,   // other bytes, another size, or (for a larger file) another time
    Missing,   // no file at the path any more (deleted or renamed)
};

// Compares the file at path with a fingerprint taken earlier. A file hashed
// whole whose bytes are the same is unchanged though its time moved (it was
// touched, or written again with the same bytes); for a larger file the
// time counts, since the middle is not hashed. Fails when the file cannot
// be read.
[[nodiscard]] Result<DiskState> CheckOnDisk(const FileFingerprint& known, const std::string& path);

// A 64-bit hash of bytes (FNV-1a), continuing from `hash`.
[[nodiscard]] uint64_t HashBytes(std::string_view bytes, uint64_t hash = 0xcbf29ce484222325ull);

} // namespace kestrel
