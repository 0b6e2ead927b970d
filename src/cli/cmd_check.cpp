// kestrel-cli check FILE: the contract check's messages and counts.

#include <cstdio>
#include <iostream>

#include "cli/command.h"
#include "cli/loadcontract.h"
#include "cli/opendocument.h"
#include "model/contract/contract.h"
#include "model/subcontract/check.h"

namespace kestrel::cli {

namespace {

int RunCheck(const std::vector<std::string>& args)
{
    if (args.size() != 1) {
        PrintError("usage: kestrel-cli check FILE");
        return kExitUnreadable;
    }
    std::unique_ptr<CContract> contract;
    if (const int status = OpenDocument(args[0], contract))
        return status;
    CheckContract(*contract, true);
    for (const CheckEntry& e : GetErrorList())
        std::cout << Out(e.text) << '\n';
    const CheckCounts counts = GetCheckCounts();
    std::cout << counts.errors << " errors, " << counts.warnings << " warnings\n";
    FreeErrorList();
    return counts.errors > 0 ? 1 : 0;
}

const bool kRegistered = RegisterCommand({"check", "FILE", RunCheck});

} // namespace

} // namespace kestrel::cli
