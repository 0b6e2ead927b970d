#include "file/filefingerprint.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

#include "file/platform.h"

namespace kestrel {

namespace {

ErrorInfo ReadFailure(int error)
{
    return ErrorInfo{WithSystemReason("Cannot read file", error), error};
}

// Hashes `length` bytes of the file from `offset` (fewer when it ends
// sooner, as a file cut short while it is looked at does).
Result<uint64_t> HashRange(int fd, uint64_t offset, uint64_t length, uint64_t hash)
{
    std::vector<char> buffer(static_cast<size_t>(length));
    size_t got = 0;
    while (got < buffer.size()) {
        const ssize_t n =
            ::pread(fd, buffer.data() + got, buffer.size() - got, static_cast<off_t>(offset + got));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return ReadFailure(errno);
        if (n == 0)
            break;
        got += static_cast<size_t>(n);
    }
    return HashBytes(std::string_view(buffer.data(), got), hash);
}

} // namespace

uint64_t HashBytes(std::string_view bytes, uint64_t hash)
{
    for (unsigned char c : bytes) {
        hash ^= c;
        hash *= 0x100000001b3ull;
    }
    return hash;
}

Result<FileFingerprint> TakeFingerprint(const std::string& path)
{
    // Not blocking: a FIFO put at the path must not hang the program.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return ReadFailure(errno);
    struct stat st;
    if (::fstat(fd, &st) != 0) {
        const int error = errno;
        ::close(fd);
        return ReadFailure(error);
    }
    if (!S_ISREG(st.st_mode)) {
        ::close(fd);
        return ErrorInfo{"Not a regular file", EINVAL};
    }
    FileFingerprint print;
    print.size = static_cast<uint64_t>(st.st_size);
    print.modified = static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    print.wholeFile = print.size <= 2 * kFingerprintBlock;
    Result<uint64_t> hash = HashBytes({});
    if (print.wholeFile) {
        hash = HashRange(fd, 0, print.size, hash.value());
    } else {
        hash = HashRange(fd, 0, kFingerprintBlock, hash.value());
        if (hash)
            hash = HashRange(fd, print.size - kFingerprintBlock, kFingerprintBlock, hash.value());
    }
    ::close(fd);
    if (!hash)
        return hash.error();
    print.hash = hash.value();
    return print;
}

Result<DiskState> CheckOnDisk(const FileFingerprint& known, const std::string& path)
{
    const auto now = TakeFingerprint(path);
    if (!now && now.errorCode() == ENOENT)
        return DiskState::Missing;
    if (!now)
        return now.error();
    const FileFingerprint& f = now.value();
    if (f.size != known.size || f.hash != known.hash || f.wholeFile != known.wholeFile)
        return DiskState::Changed;
    if (f.modified != known.modified && !f.wholeFile)
        return DiskState::Changed;
    return DiskState::Unchanged;
}

} // namespace kestrel
