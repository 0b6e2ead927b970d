#pragma once
// Who wrote a file that stands for a running program: the lock file beside
// an open contract and the note beside a recovery copy both hold one. It
// names the user, the host and the process (with the time the process
// started, so that a process number the system has given to another
// program since is not taken for ours), when it was written, and a token
// that tells one holder apart from every other.
//
// On disk it is a short text, one "key=value" a line after a first line
// that names the format; values with a line break or a backslash are
// escaped. Unknown keys are skipped, so later versions may add some.

#include <cstdint>
#include <string>
#include <string_view>

#include "calc/result.h"

namespace kestrel {

struct OwnerRecord {
    std::string user;
    std::string host;
    int64_t pid = 0;
    // When the process started, in the system's own measure (clock ticks
    // since boot on Linux, the creation time on Windows); 0 when the
    // system does not tell.
    uint64_t started = 0;
    int64_t time = 0;  // when the record was written, seconds since 1970 (UTC)
    std::string token; // unique to one holder
    std::string path;  // the file the record speaks for (recovery notes)
};

// This process as it stands now (user, host, process, start, the time),
// with a new token.
[[nodiscard]] OwnerRecord CurrentOwner();

// Whether the process a record names still runs.
enum class OwnerState {
    Running, // on this host, and the same process (it started when it says)
    Gone,    // on this host, and no such process runs (or only a zombie)
    Unknown, // another host, or a record without a usable process number
};
[[nodiscard]] OwnerState StateOf(const OwnerRecord& owner);

[[nodiscard]] std::string FormatOwnerRecord(const OwnerRecord& owner);
// Fails on text that is not such a record or lacks the host or process.
[[nodiscard]] Result<OwnerRecord> ParseOwnerRecord(std::string_view text);

// Reads a small file without following a link at its name and without
// waiting on a FIFO or device: only a regular file of at most `limit`
// bytes is read. The error code is errno's (ENOENT when there is none).
[[nodiscard]] Result<std::string> ReadSmallFile(const std::string& path, size_t limit = 64 * 1024);

} // namespace kestrel
