#include "cli/opendocument.h"

#include <iostream>
#include <utility>

#include "cli/command.h"
#include "cli/loadcontract.h"
#include "file/opencontract.h"
#include "file/platform.h"
#include "model/contract/contract.h"

namespace kestrel::cli {

namespace {

std::string OwnDirectory()
{
    const std::string exe = ProgramPath();
    return exe.empty() ? std::string() : PathText(SystemPath(exe).parent_path());
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
