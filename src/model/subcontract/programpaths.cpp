#include "model/subcontract/programpaths.h"

#include <filesystem>
#include <system_error>

namespace kestrel {

namespace fs = std::filesystem;

namespace {

bool IsFile(const fs::path& p)
{
    std::error_code ec;
    return fs::is_regular_file(p, ec);
}

} // namespace

std::string CProgramPaths::FindListFile(const std::string& name) const
{
    if (!m_contractPath.empty()) {
        const fs::path p = fs::path(m_contractPath).parent_path() / name;
        if (IsFile(p))
            return p.string();
    }
    if (!m_programDirectory.empty()) {
        const fs::path p = fs::path(m_programDirectory) / name;
        if (IsFile(p))
            return p.string();
    }
    return name;
}

} // namespace kestrel
