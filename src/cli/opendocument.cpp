#include "cli/opendocument.h"

#include <iostream>

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
    if (const int status = LoadContract(path, document.contract))
        return status;
    const OpenedContract opened = FinishOpenContract(*document.contract, path, document.paths);
    for (const std::string& error : opened.listErrors)
        std::cerr << Out(error) << '\n';
    return 0;
}

} // namespace kestrel::cli
