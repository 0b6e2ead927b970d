#include "model/subcontract/programpaths.h"

namespace kestrel {

namespace {
std::string& ContractPathStore()
{
    static std::string path;
    return path;
}
std::string& ProgramDirectoryStore()
{
    static std::string directory;
    return directory;
}
} // namespace

void SetContractPath(const std::string& path)
{
    ContractPathStore() = path;
}
const std::string& ContractPath()
{
    return ContractPathStore();
}
void SetProgramDirectory(const std::string& directory)
{
    ProgramDirectoryStore() = directory;
}
const std::string& ProgramDirectory()
{
    return ProgramDirectoryStore();
}

} // namespace kestrel
