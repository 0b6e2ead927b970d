#include "file/safereplace.h"

#include <cerrno>
#include <filesystem>
#include <utility>

#include "file/platform.h"

namespace kestrel {

namespace fs = std::filesystem;

namespace {

// Longest stem used for a temporary name: with the random part and the
// extension it stays far below the file-name limit of every file system,
// however long the target's own name is.
constexpr std::size_t kMaxStem = 32;

ErrorInfo Failure(const std::string& what, int error)
{
    return ErrorInfo{WithSystemReason(what, error), error};
}

bool Fails(const ReplaceFault& fault, ReplaceStep step)
{
    return fault && fault(step);
}

// Links followed in a row before the chain is taken for a loop, as the
// system counts them.
constexpr int kMaxLinks = 40;

// A target that is a symbolic link is replaced where the link points,
// whether or not a file is there yet: a link to a file not yet written is
// written as the link to an existing one is, and stays a link.
Result<std::string> ResolveLink(const std::string& path)
{
    fs::path at = SystemPath(path);
    for (int followed = 0; followed <= kMaxLinks; ++followed) {
        std::error_code ec;
        if (!fs::is_symlink(at, ec))
            return PathText(at);
        const fs::path to = fs::read_symlink(at, ec);
        if (ec)
            return Failure("Cannot open file", ec.value());
        at = to.is_absolute() ? to : (at.parent_path() / to).lexically_normal();
    }
    return Failure("Cannot open file", ELOOP);
}

std::string DirectoryOf(const std::string& path)
{
    return PathText(SystemPath(path).parent_path());
}

} // namespace

CFileReplacement::CFileReplacement(std::string target, CreatedFile temporary, ReplacedAttributes attributes,
                                   ReplaceFault fault)
    : m_target(std::move(target)), m_temporary(std::move(temporary.path)), m_fd(temporary.fd),
      m_attributes(attributes), m_fault(std::move(fault))
{
}

CFileReplacement::CFileReplacement(CFileReplacement&& other) noexcept
    : m_target(std::move(other.m_target)), m_temporary(std::exchange(other.m_temporary, std::string())),
      m_fd(std::exchange(other.m_fd, -1)), m_attributes(other.m_attributes), m_fault(std::move(other.m_fault))
{
}

CFileReplacement::~CFileReplacement()
{
    Discard();
}

Result<CFileReplacement> CFileReplacement::Begin(const std::string& requested, std::string_view stem,
                                                 const ReplaceFault& fault)
{
    const Result<std::string> resolved = ResolveLink(requested);
    if (!resolved)
        return resolved.error();
    const std::string& target = resolved.value();
    const Result<FileStatus> previous = StatPath(target);
    if (!previous)
        return Failure("Cannot open file", previous.errorCode());
    const bool exists = previous->kind != FileKind::Missing;
    if (exists && previous->kind != FileKind::Regular)
        return Failure(previous->kind == FileKind::Folder ? kFolderText : kNotRegularFileText, 0);
    // A file the user made read-only is not replaced behind his back.
    if (exists)
        if (Status writable = CheckWritable(target); !writable)
            return writable.error();
    if (Fails(fault, ReplaceStep::CreateTemporary))
        return Failure("Cannot create a temporary file", 0);

    auto created = CreateTemporary(target, stem);
    if (!created)
        return created.error();
    CarryOverAttributes(created->fd, exists ? &previous.value() : nullptr);
    return CFileReplacement(target, std::move(created).value(), ReplacedAttributes::Keep, fault);
}

Result<CFileReplacement> CFileReplacement::BeginPrivate(const std::string& target, std::string_view stem,
                                                        const ReplaceFault& fault)
{
    if (Fails(fault, ReplaceStep::CreateTemporary))
        return Failure("Cannot create a temporary file", 0);
    auto created = CreateTemporary(target, stem);
    if (!created)
        return created.error();
    MakeFilePrivate(created->fd);
    return CFileReplacement(target, std::move(created).value(), ReplacedAttributes::Drop, fault);
}

Result<CreatedFile> CFileReplacement::CreateTemporary(const std::string& target, std::string_view stem)
{
    // Created exclusively: an entry of that name, a link included, is
    // never opened.
    auto created = CreateUniqueFile(PatternBeside(target, stem));
    if (!created)
        return Failure("Cannot create a temporary file in " + DirectoryOf(target), created.errorCode());
    return created;
}

std::string CFileReplacement::PatternBeside(const std::string& target, std::string_view stem)
{
    std::string name(stem.substr(0, kMaxStem));
    name += "-XXXXXX.tmp";
    return PathText(SystemPath(target).parent_path() / SystemPath(name));
}

std::string CFileReplacement::TemporaryPattern(const std::string& target, std::string_view stem)
{
    const Result<std::string> resolved = ResolveLink(target);
    return PatternBeside(resolved ? resolved.value() : target, stem);
}

Status CFileReplacement::WriteAll(std::string_view bytes)
{
    return kestrel::WriteAll(m_fd, bytes);
}

Status CFileReplacement::Flush()
{
    if (m_temporary.empty() || m_fd < 0)
        return Status::Fail("Cannot replace the file: it was replaced or given up already");
    Status status = Ok();
    if (Fails(m_fault, ReplaceStep::Flush))
        status = Failure("Cannot write the file to disk", 0);
    else
        status = FlushToDisk(m_fd);
    // Some file systems report a failed write only when the file is closed.
    if (Status closed = CloseFile(std::exchange(m_fd, -1)); status.ok() && !closed)
        status = closed;
    if (!status.ok())
        Discard();
    return status;
}

Status CFileReplacement::Commit()
{
    if (m_temporary.empty())
        return Status::Fail("Cannot replace the file: it was replaced or given up already");
    Status status = m_fd >= 0 ? Flush() : Ok();
    if (!status.ok())
        return status;
    if (Fails(m_fault, ReplaceStep::Replace))
        status = Failure("Cannot replace the file", 0);
    else
        status = ReplaceFileAtomically(m_temporary, m_target, m_attributes);
    if (!status.ok()) {
        // Where the new file is all that is left of the target, it stays.
        if (status.errorCode() == kReplacementKept)
            m_temporary.clear();
        Discard();
        return status;
    }
    m_temporary.clear();
    return Ok();
}

void CFileReplacement::Discard()
{
    if (m_fd >= 0)
        CloseDescriptor(std::exchange(m_fd, -1));
    if (!m_temporary.empty())
        (void)RemoveFile(std::exchange(m_temporary, std::string()));
}

namespace {

Status WriteAndCommit(Result<CFileReplacement> replacement, std::string_view bytes)
{
    if (!replacement)
        return replacement.error();
    if (Status written = replacement->WriteAll(bytes); !written)
        return written;
    return replacement->Commit();
}

} // namespace

Status ReplaceFileContents(const std::string& target, std::string_view bytes)
{
    return WriteAndCommit(CFileReplacement::Begin(target), bytes);
}

Status ReplacePrivateFileContents(const std::string& target, std::string_view bytes)
{
    return WriteAndCommit(CFileReplacement::BeginPrivate(target), bytes);
}

} // namespace kestrel
