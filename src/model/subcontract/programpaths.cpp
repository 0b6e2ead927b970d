#include "model/subcontract/programpaths.h"

#include "calc/systemfile.h"

namespace kestrel {

namespace {

// The path of the file `name` in `folder` when a regular file is there,
// else empty.
std::string FileIn(const std::filesystem::path& folder, const std::string& name)
{
    const std::string candidate = PathText(folder / SystemPath(name));
    const Result<FileStatus> status = StatPath(candidate);
    return status && status->kind == FileKind::Regular ? candidate : std::string();
}

} // namespace

std::string CProgramPaths::FindListFile(const std::string& name) const
{
    if (!m_contractPath.empty())
        if (std::string found = FileIn(SystemPath(m_contractPath).parent_path(), name); !found.empty())
            return found;
    if (!m_programDirectory.empty())
        if (std::string found = FileIn(SystemPath(m_programDirectory), name); !found.empty())
            return found;
    return name;
}

} // namespace kestrel
