#include "file/contractsave.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "file/contractfile.h"
#include "model/contract/contract.h"

namespace kestrel {

namespace fs = std::filesystem;

namespace {

bool Fails(const SaveOptions& o, SaveStep step)
{
    return o.failStep && o.failStep(step);
}

std::string SystemError(const std::string& what, const std::string& path)
{
    return what + " '" + path + "': " + std::strerror(errno);
}

// Creates an empty, unique file beside the target with the target's
// permissions (or the usual ones for a new file).
bool CreateTemporary(const fs::path& target, std::string& tmp, std::string& error)
{
    const fs::path dir = target.has_parent_path() ? target.parent_path() : fs::path(".");
    std::string name = target.filename().string();
    name.insert(0, 1, '.');
    name.append(".XXXXXX");
    std::string pattern = (dir / name).string();
    const int fd = mkstemp(pattern.data());
    if (fd < 0) {
        error = SystemError("Cannot create a temporary file in", dir.string());
        return false;
    }
    struct stat st;
    mode_t mode = 0666;
    if (::stat(target.c_str(), &st) == 0) {
        mode = st.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode &= ~mask;
    }
    ::fchmod(fd, mode);
    ::close(fd);
    tmp = pattern;
    return true;
}

bool FlushToDisk(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY);
    if (fd < 0)
        return false;
    const bool ok = ::fsync(fd) == 0;
    return ::close(fd) == 0 && ok;
}

// Makes the rename itself durable; a directory that cannot be synced
// leaves the new file in place all the same.
void FlushDirectory(const fs::path& target)
{
    const fs::path dir = target.has_parent_path() ? target.parent_path() : fs::path(".");
    const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// A target that is a symbolic link is saved where the link points, so the
// link itself stays.
std::string ResolveTarget(const std::string& path)
{
    std::error_code ec;
    if (!fs::is_symlink(path, ec))
        return path;
    const fs::path real = fs::weakly_canonical(path, ec);
    return ec ? path : real.string();
}

bool WriteAndReplace(CContract& contract, const std::string& target, const SaveOptions& o, std::string& error)
{
    const std::string path = ResolveTarget(target);
    std::string tmp;
    if (Fails(o, SaveStep::CreateTemporary)) {
        error = "Cannot create a temporary file for '" + path + "'";
        return false;
    }
    if (!CreateTemporary(path, tmp, error))
        return false;
    const int code = Fails(o, SaveStep::Write) ? -1 : (o.writer ? o.writer(contract, tmp) : -1);
    if (code != 0) {
        error = o.errorText && code > 0 ? o.errorText(code) : "Cannot write the file '" + path + "'";
    } else if (Fails(o, SaveStep::Flush) || !FlushToDisk(tmp)) {
        error = "Cannot write the file '" + path + "' to disk";
    } else if (Fails(o, SaveStep::Replace) || std::rename(tmp.c_str(), path.c_str()) != 0) {
        error = SystemError("Cannot replace the file", path);
    } else {
        FlushDirectory(path);
        return true;
    }
    std::error_code ec;
    fs::remove(tmp, ec);
    return false;
}

} // namespace

bool SaveContractSafely(CContract& contract, const std::string& path, const SaveOptions& options,
                        std::string& error)
{
    error.clear();
    const bool savedBefore = FlagTest(contract.m_wFlags, CONTRACT_SAVED_BY_US);
    FlagSet(contract.m_wFlags, CONTRACT_SAVED_BY_US, 1);
    if (options.random)
        StampRemarks(contract, options.random);
    else
        StampRemarks(contract);
    if (!WriteAndReplace(contract, path, options, error)) {
        FlagSet(contract.m_wFlags, CONTRACT_SAVED_BY_US, savedBefore ? 1 : 0);
        contract.SetModified(true);
        return false;
    }
    contract.SetModified(false);
    return true;
}

bool SaveContract(CContract& contract, const std::string& path, std::string& error)
{
    SaveOptions options;
    options.writer = [](CContract& c, const std::string& p) { return WriteContractFile(c, p); };
    options.errorText = [](int code) { return ContractFileErrorText(code, false); };
    return SaveContractSafely(contract, path, options, error);
}

} // namespace kestrel
