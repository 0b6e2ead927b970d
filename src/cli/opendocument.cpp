#include "cli/opendocument.h"

#include <filesystem>
#include <iostream>
#include <utility>

#include "cli/command.h"
#include "cli/loadcontract.h"
#include "file/opencontract.h"
#include "model/contract/contract.h"

namespace kestrel::cli {

namespace {

std::string OwnDirectory()
{
    std::error_code ec;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::string() : exe.parent_path().string();
}

} // namespace

Document::Document() : paths(OwnDirectory())
{
}
Document::~Document() = default;

int OpenDocument(const std::string& path, Document& document)
{
    Result<OpenedFile> opened = OpenContractFile(path, document.paths);
    if (!opened) {
        PrintFileError(path, opened.errorText());
        return kExitUnreadable;
    }
    document.contract = std::move(opened->contract);
    for (const std::string& error : opened->opened.listErrors)
        std::cerr << Out(error) << '\n';
    return 0;
}

} // namespace kestrel::cli
