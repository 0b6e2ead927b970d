#include "cli/opendocument.h"

#include <filesystem>
#include <iostream>

#include "cli/command.h"
#include "cli/loadcontract.h"
#include "file/opencontract.h"
#include "model/contract/contract.h"
#include "model/subcontract/programpaths.h"

namespace kestrel::cli {

namespace {

std::string OwnDirectory()
{
    std::error_code ec;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::string() : exe.parent_path().string();
}

} // namespace

int OpenDocument(const std::string& path, std::unique_ptr<CContract>& contract)
{
    if (const int status = LoadContract(path, contract))
        return status;
    SetProgramDirectory(OwnDirectory());
    const OpenedContract opened = FinishOpenContract(*contract, path);
    for (const std::string& error : opened.listErrors)
        std::cerr << Out(error) << '\n';
    return 0;
}

} // namespace kestrel::cli
