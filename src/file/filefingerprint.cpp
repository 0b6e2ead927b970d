#include "file/filefingerprint.h"

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
    const Result<size_t> got = ReadAt(fd, offset, buffer.data(), buffer.size());
    if (!got)
        return ReadFailure(got.errorCode());
    return HashBytes(std::string_view(buffer.data(), got.value()), hash);
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
    const Result<int> opened = OpenRegularFile(path);
    if (!opened) {
        const bool notAFile = opened.errorText() == kFolderText || opened.errorText() == kNotRegularFileText;
        return notAFile ? ErrorInfo{kNotRegularFileText, EINVAL} : ReadFailure(opened.errorCode());
    }
    const int fd = opened.value();
    const Result<FileStatus> status = StatDescriptor(fd);
    if (!status) {
        CloseDescriptor(fd);
        return ReadFailure(status.errorCode());
    }
    FileFingerprint print;
    print.size = status->size;
    print.modified = status->modified;
    print.wholeFile = print.size <= 2 * kFingerprintBlock;
    Result<uint64_t> hash = HashBytes({});
    if (print.wholeFile) {
        hash = HashRange(fd, 0, print.size, hash.value());
    } else {
        hash = HashRange(fd, 0, kFingerprintBlock, hash.value());
        if (hash)
            hash = HashRange(fd, print.size - kFingerprintBlock, kFingerprintBlock, hash.value());
    }
    CloseDescriptor(fd);
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
