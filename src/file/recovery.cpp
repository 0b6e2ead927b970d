#include "file/recovery.h"

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
#include "file/platform.h"
#include "file/safereplace.h"
#include "model/contract/contract.h"

namespace kestrel {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kPrefix = "kestrel-";
constexpr const char* kCopyExtension = ".con";
constexpr const char* kNoteExtension = ".note";
constexpr size_t kHashDigits = 16;
constexpr const char* kFolderRole = "recovery folder";

// One spelling per file: links resolved, "." and ".." taken out, relative
// paths made absolute.
std::string AbsolutePath(const std::string& path)
{
    std::error_code ec;
    fs::path real = fs::weakly_canonical(SystemPath(path), ec);
    if (ec || real.empty())
        real = fs::absolute(SystemPath(path), ec).lexically_normal();
    return ec ? path : PathText(real);
}

ErrorInfo FolderFailure(const std::string& what, const std::string& path, int error)
{
    return ErrorInfo{WithSystemReason(what + " " + path, error), error};
}

Status RemoveIfThere(const std::string& path)
{
    if (Status removed = RemoveFile(path); !removed && removed.errorCode() != ENOENT)
        return FolderFailure("Cannot remove", path, removed.errorCode());
    return Ok();
}

// The file `name` in `folder`.
std::string InFolder(const std::string& folder, std::string_view name)
{
    return PathText(SystemPath(folder) / SystemPath(name));
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

// The stem of the names of the copy of the contract at `absolute` (a path
// as AbsolutePath gives it).
std::string StemFor(const std::string& absolute)
{
    char digits[kHashDigits + 1];
    std::snprintf(digits, sizeof digits, "%016llx", static_cast<unsigned long long>(HashBytes(absolute)));
    return std::string(kPrefix) + digits;
}

} // namespace

CRecoveryStore::CRecoveryStore(std::string folder) : m_folder(std::move(folder))
{
}

std::string CRecoveryStore::PathFor(const std::string& contractPath, const char* extension) const
{
    return InFolder(m_folder, StemFor(AbsolutePath(contractPath)) + extension);
}

std::string CRecoveryStore::CopyPathFor(const std::string& contractPath) const
{
    return PathFor(contractPath, kCopyExtension);
}

Result<RecoveryCopy> CRecoveryStore::Save(CContract& contract, const std::string& contractPath)
{
    // The folder holds the user's unsaved bids: only he may read it, and
    // one that others may change (planted where the folder should be) is
    // not written into.
    if (Status made = MakePrivateFolder(m_folder, kFolderRole); !made)
        return made.error();
    RecoveryCopy copy;
    copy.contractPath = AbsolutePath(contractPath);
    copy.copyPath = PathFor(contractPath, kCopyExtension);
    copy.notePath = PathFor(contractPath, kNoteExtension);
    if (Status written = WriteContractFilePrivately(contract, copy.copyPath); !written)
        return written.error();
    copy.owner = CurrentOwner();
    copy.owner.path = copy.contractPath;
    copy.savedAt = copy.owner.time;
    copy.ownerState = OwnerState::Running;
    if (Status noted = ReplacePrivateFileContents(copy.notePath, FormatOwnerRecord(copy.owner)); !noted)
        return noted.error();
    return copy;
}

Result<RecoveryCopy> CRecoveryStore::ReadNote(const std::string& folder, std::string_view noteName,
                                              std::string_view text)
{
    using R = Result<RecoveryCopy>;
    const std::string stem = NoteStem(std::string(noteName));
    if (stem.empty())
        return R::Fail("Not the name of a recovery note");
    auto owner = ParseOwnerRecord(text);
    if (!owner)
        return owner.error();
    // The copy's name is made from the contract's path: a note that names
    // another contract (planted, or damaged) would send the copy there.
    if (!SystemPath(owner->path).is_absolute() || StemFor(owner->path) != stem)
        return R::Fail("The note does not name the contract its copy was made for");
    RecoveryCopy copy;
    copy.notePath = InFolder(folder, noteName);
    copy.copyPath = InFolder(folder, stem + kCopyExtension);
    copy.owner = std::move(owner).value();
    copy.contractPath = copy.owner.path;
    copy.savedAt = copy.owner.time;
    return copy;
}

Result<std::vector<RecoveryCopy>> CRecoveryStore::List() const
{
    std::vector<RecoveryCopy> copies;
    std::error_code ec;
    if (!fs::exists(fs::symlink_status(SystemPath(m_folder), ec)))
        return copies;
    // Notes in a folder that others may change are nobody's to trust.
    if (Status trusted = CheckPrivateFolder(m_folder, kFolderRole); !trusted)
        return trusted.error();
    const auto names = FolderNames(m_folder);
    if (!names)
        return FolderFailure("Cannot read the recovery folder", m_folder, names.errorCode());
    for (const std::string& name : names.value()) {
        if (NoteStem(name).empty())
            continue;
        const auto note = ReadSmallFile(m_folder + "/" + name);
        auto copy = note ? ReadNote(m_folder, name, note.value()) : Result<RecoveryCopy>(note.error());
        if (!copy || !IsOwnRegularFile(copy->copyPath))
            continue;
        copy->ownerState = StateOf(copy->owner);
        copies.push_back(std::move(copy).value());
    }
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
    if (Status removed = RemoveIfThere(copy.notePath); !removed)
        return removed;
    return RemoveIfThere(copy.copyPath);
}

Result<std::unique_ptr<CContract>> CRecoveryStore::TakeBack(const RecoveryCopy& copy) const
{
    const std::string what = "The recovery copy " + copy.copyPath + " of " + copy.contractPath;
    if (!IsOwnRegularFile(copy.copyPath))
        return ErrorInfo{what + " is not a file of yours", CF_CANNOT_OPEN};
    std::unique_ptr<CContract> contract;
    errno = 0;
    const int code = ReadContractFile(copy.copyPath, contract);
    if (code != CF_OK)
        return ErrorInfo{what + " cannot be read: " + ContractFileFailureText(code, errno, true), code};
    contract->SetModified(true);
    return contract;
}

} // namespace kestrel
