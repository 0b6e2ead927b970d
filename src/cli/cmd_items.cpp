// kestrel-cli items FILE: the contract items as the Copy command gives them.

#include <iostream>

#include "cli/command.h"
#include "cli/loadcontract.h"
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
    std::unique_ptr<CContract> c;
    if (const int status = LoadContract(args[0], c))
        return status;
    std::cout << Out(ContractItemsText(*c));
    return 0;
}

const bool kRegistered = RegisterCommand({"items", "FILE", RunItems});

} // namespace

} // namespace kestrel::cli
