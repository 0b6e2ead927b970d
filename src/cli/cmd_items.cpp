// kestrel-cli items FILE: the contract items as the Copy command gives them.

#include <iostream>

#include "cli/command.h"
#include "cli/loadcontract.h"
#include "cli/opendocument.h"
#include "model/contract/contract.h"
#include "model/contract/itemstext.h"

namespace kestrel::cli {

namespace {

int RunItems(const std::vector<std::string>& args)
{
    if (args.size() != 1) {
        PrintError("usage: kestrel-cli items FILE");
        return kExitUnreadable;
    }
    Document document;
    if (const int status = OpenDocument(args[0], document))
        return status;
    const std::unique_ptr<CContract>& c = document.contract;
    std::cout << Out(ContractItemsText(*c));
    return 0;
}

const bool kRegistered = RegisterCommand({"items", "FILE", RunItems});

} // namespace

} // namespace kestrel::cli
