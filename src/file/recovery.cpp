#include "file/recovery.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <utility>

#include "file/contractfile.h"
#include "file/contractsave.h"
#include "file/filefingerprint.h"
#include "file/safereplace.h"
#include "model/contract/contract.h"

namespace kestrel {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kPrefix = "kestrel-";
constexpr const char* kCopyExtension = ".con";
constexpr const char* kNoteExtension = ".note";
constexpr size_t kHashDigits = 16;

// One spelling per file: links resolved, "." and ".." taken out, relative
// paths made absolute.
std::string AbsolutePath(const std::string& path)
{
    std::error_code ec;
    fs::path real = fs::weakly_canonical(path, ec);
    if (ec || real.empty())
        real = fs::absolute(path, ec).lexically_normal();
    return ec ? path : real.string();
}

ErrorInfo FolderFailure(const std::string& what, const std::string& path, int error)
{
    return ErrorInfo{what + " " + path + ": " + std::strerror(error), error};
}

// The folder holds the user's unsaved bids: only he may read it.
Status MakeFolder(const std::string& folder)
{
    std::error_code ec;
    if (fs::is_directory(folder, ec))
        return Ok();
    const fs::path path(folder);
    if (path.has_parent_path())
        fs::create_directories(path.parent_path(), ec);
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
        return FolderFailure("Cannot create the recovery folder", folder, errno);
    return Ok();
}

// A new file of the folder starts readable by the user alone; the safe
// replacement then keeps those permissions for every later version.
void CreatePrivate(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd >= 0)
        ::close(fd);
}

Status RemoveFile(const std::string& path)
{
    if (::unlink(path.c_str()) != 0 && errno != ENOENT)
        return FolderFailure("Cannot remove", path, errno);
    return Ok();
}

// The stem of a note's name ("kestrel-" and 16 hex digits), or empty when
// the name is not one of ours.
std::string NoteStem(const std::string& name)
{
    const std::string_view n(name);
    const size_t ext = std::strlen(kNoteExtension);
    if (n.size() != kPrefix.size() + kHashDigits + ext || n.substr(0, kPrefix.size()) != kPrefix ||
        n.substr(n.size() - ext) != kNoteExtension)
        return {};
    const std::string_view digits = n.substr(kPrefix.size(), kHashDigits);
    if (!std::all_of(digits.begin(), digits.end(), [](char c) { return std::isxdigit(uint8_t(c)); }))
        return {};
    return std::string(n.substr(0, n.size() - ext));
}

} // namespace

CRecoveryStore::CRecoveryStore(std::string folder) : m_folder(std::move(folder))
{
}

std::string CRecoveryStore::PathFor(const std::string& contractPath, const char* extension) const
{
    char digits[kHashDigits + 1];
    std::snprintf(digits, sizeof digits, "%016llx",
                  static_cast<unsigned long long>(HashBytes(AbsolutePath(contractPath))));
    return (fs::path(m_folder) / (std::string(kPrefix) + digits + extension)).string();
}

std::string CRecoveryStore::CopyPathFor(const std::string& contractPath) const
{
    return PathFor(contractPath, kCopyExtension);
}

Result<RecoveryCopy> CRecoveryStore::Save(CContract& contract, const std::string& contractPath)
{
    if (Status made = MakeFolder(m_folder); !made)
        return made.error();
    RecoveryCopy copy;
    copy.contractPath = AbsolutePath(contractPath);
    copy.copyPath = PathFor(contractPath, kCopyExtension);
    copy.notePath = PathFor(contractPath, kNoteExtension);
    CreatePrivate(copy.copyPath);
    if (Status written = WriteContractFileSafely(contract, copy.copyPath); !written)
        return written.error();
    copy.owner = CurrentOwner();
    copy.owner.path = copy.contractPath;
    copy.savedAt = copy.owner.time;
    copy.ownerState = OwnerState::Running;
    CreatePrivate(copy.notePath);
    if (Status noted = ReplaceFileContents(copy.notePath, FormatOwnerRecord(copy.owner)); !noted)
        return noted.error();
    return copy;
}

Result<std::vector<RecoveryCopy>> CRecoveryStore::List() const
{
    std::vector<RecoveryCopy> copies;
    std::error_code ec;
    fs::directory_iterator it(m_folder, ec);
    if (ec == std::errc::no_such_file_or_directory)
        return copies;
    if (ec)
        return FolderFailure("Cannot read the recovery folder", m_folder, ec.value());
    for (; it != fs::directory_iterator(); it.increment(ec)) {
        const std::string stem = NoteStem(it->path().filename().string());
        if (stem.empty())
            continue;
        RecoveryCopy copy;
        copy.notePath = it->path().string();
        copy.copyPath = (fs::path(m_folder) / (stem + kCopyExtension)).string();
        const auto note = ReadSmallFile(copy.notePath);
        auto owner = note ? ParseOwnerRecord(note.value()) : Result<OwnerRecord>(note.error());
        std::error_code regular;
        if (!owner || owner->path.empty() || !fs::is_regular_file(copy.copyPath, regular))
            continue;
        copy.owner = std::move(owner).value();
        copy.contractPath = copy.owner.path;
        copy.savedAt = copy.owner.time;
        copy.ownerState = StateOf(copy.owner);
        copies.push_back(std::move(copy));
    }
    if (ec)
        return FolderFailure("Cannot read the recovery folder", m_folder, ec.value());
    std::sort(copies.begin(), copies.end(), [](const RecoveryCopy& a, const RecoveryCopy& b) {
        return a.savedAt != b.savedAt ? a.savedAt > b.savedAt : a.contractPath < b.contractPath;
    });
    return copies;
}

Result<std::vector<RecoveryCopy>> CRecoveryStore::LeftBehind() const
{
    auto copies = List();
    if (copies)
        std::erase_if(copies.value(), [](const RecoveryCopy& c) { return c.ownerState != OwnerState::Gone; });
    return copies;
}

Status CRecoveryStore::Remove(const std::string& contractPath)
{
    RecoveryCopy copy;
    copy.copyPath = PathFor(contractPath, kCopyExtension);
    copy.notePath = PathFor(contractPath, kNoteExtension);
    return Discard(copy);
}

Status CRecoveryStore::Discard(const RecoveryCopy& copy)
{
    // The note first: a copy without its note is never listed.
    if (Status removed = RemoveFile(copy.notePath); !removed)
        return removed;
    return RemoveFile(copy.copyPath);
}

Result<std::unique_ptr<CContract>> CRecoveryStore::TakeBack(const RecoveryCopy& copy) const
{
    std::unique_ptr<CContract> contract;
    const int code = ReadContractFile(copy.copyPath, contract);
    if (code != CF_OK)
        return ErrorInfo{ContractFileErrorText(code, false), code};
    contract->SetModified(true);
    return contract;
}

} // namespace kestrel
