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

namespace kestrel {

// The steps of a replacement that can fail, for tests that make them fail.
enum class ReplaceStep { CreateTemporary, Flush, Replace };
using ReplaceFault = std::function<bool(ReplaceStep)>;

class CFileReplacement {
public:
    // Prepares replacing `target`. A target that is a symbolic link is
    // replaced where the link points, so the link stays. Refuses a target
    // that exists and is not a regular file (a directory, a device, a FIFO)
    // or that the user may not write. The temporary file is named after
    // `stem` (a short name without a directory) and carries the target's
    // permissions, and its owner and group where the process may set them.
    [[nodiscard]] static Result<CFileReplacement>
    Begin(const std::string& target, std::string_view stem = ".kestrel", const ReplaceFault& fault = {});

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
    // Flushes the temporary file to disk and renames it over the target.
    // On failure the temporary file is removed and the target left alone.
    [[nodiscard]] Status Commit();

private:
    CFileReplacement(std::string target, std::string temporary, int fd, ReplaceFault fault);
    void Discard();

    std::string m_target;
    std::string m_temporary; // empty once committed or discarded
    int m_fd = -1;
    ReplaceFault m_fault;
};

// Replaces `target` by a file holding exactly `bytes`.
[[nodiscard]] Status ReplaceFileContents(const std::string& target, std::string_view bytes);

// True when both paths name one existing file, also through links or
// different spellings of the path.
bool IsSameFile(const std::string& a, const std::string& b);

} // namespace kestrel
