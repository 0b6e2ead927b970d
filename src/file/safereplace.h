#pragma once
// Replacing a file only by a complete new one. Every writer of a user's file
// (the contract save, the template section file, report output) goes through
// this: the new contents go to a temporary file created exclusively beside
// the target, are flushed to disk and take the target's name in one rename.
// Until then the target is untouched; after a failure it is byte-identical
// and no temporary file is left.

#include <functional>
#include <string>
#include <string_view>

#include "calc/result.h"
#include "calc/systemfile.h"

namespace kestrel {

// The steps of a replacement that can fail, for tests that make them fail.
enum class ReplaceStep { CreateTemporary, Flush, Replace };
using ReplaceFault = std::function<bool(ReplaceStep)>;

class CFileReplacement {
public:
    // Prepares replacing `target`. A target that is a symbolic link is
    // replaced where the link points (also when nothing is there yet: the
    // file is created there), so the link stays. Refuses a target
    // that exists and is not a regular file (a directory, a device, a FIFO)
    // or that the user may not write. The temporary file is named after
    // `stem` (a short name without a directory) and carries the target's
    // permissions, and its owner and group where the process may set them.
    [[nodiscard]] static Result<CFileReplacement>
    Begin(const std::string& target, std::string_view stem = ".kestrel", const ReplaceFault& fault = {});
    // Prepares replacing `target` by a file of the user's alone (mode 0600,
    // his owner and group), in a folder that is his (file/platform.h,
    // MakePrivateFolder): whatever is at `target`, a link or another's
    // file, is replaced and never followed or written into.
    [[nodiscard]] static Result<CFileReplacement> BeginPrivate(const std::string& target,
                                                               std::string_view stem = ".kestrel",
                                                               const ReplaceFault& fault = {});

    CFileReplacement(CFileReplacement&& other) noexcept;
    CFileReplacement& operator=(CFileReplacement&&) = delete;
    CFileReplacement(const CFileReplacement&) = delete;
    CFileReplacement& operator=(const CFileReplacement&) = delete;
    // Removes the temporary file unless it replaced the target.
    ~CFileReplacement();

    // The temporary file, open for writing; owned by this object.
    int Descriptor() const { return m_fd; }
    const std::string& TemporaryPath() const { return m_temporary; }
    // The file that is replaced (a link's destination).
    const std::string& Target() const { return m_target; }

    // The name pattern of the temporary file for `target` ("XXXXXX" stands
    // for the part that makes it unique), for messages.
    static std::string TemporaryPattern(const std::string& target, std::string_view stem = ".kestrel");

    // Writes all of `bytes` at the descriptor's position.
    [[nodiscard]] Status WriteAll(std::string_view bytes);
    // Flushes the temporary file to disk and closes it; Commit then only
    // renames. Writers of several files flush all before they commit any.
    // On failure the temporary file is removed.
    [[nodiscard]] Status Flush();
    // Flushes the temporary file to disk (unless flushed) and renames it
    // over the target. On failure the temporary file is removed and the
    // target left alone.
    [[nodiscard]] Status Commit();

private:
    static Result<CreatedFile> CreateTemporary(const std::string& target, std::string_view stem);
    static std::string PatternBeside(const std::string& target, std::string_view stem);
    CFileReplacement(std::string target, CreatedFile temporary, ReplacedAttributes attributes,
                     ReplaceFault fault);
    void Discard();

    std::string m_target;
    std::string m_temporary; // empty once committed or discarded
    int m_fd = -1;
    ReplacedAttributes m_attributes;
    ReplaceFault m_fault;
};

// Replaces `target` by a file holding exactly `bytes`.
[[nodiscard]] Status ReplaceFileContents(const std::string& target, std::string_view bytes);
// The same through BeginPrivate.
[[nodiscard]] Status ReplacePrivateFileContents(const std::string& target, std::string_view bytes);

} // namespace kestrel
