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
    Document document;
    if (const int status = OpenDocument(args[0], document))
        return status;
    const CheckResult result = CheckContract(*document.contract);
    for (const CheckMessage& m : result.messages)
        std::cout << Out(m.text) << '\n';
    std::cout << result.errors << " errors, " << result.warnings << " warnings\n";
    return result.Passed() ? 0 : 1;
}

const bool kRegistered = RegisterCommand({"check", "FILE", RunCheck});

} // namespace

} // namespace kestrel::cli
