// kestrel-cli rewrite IN OUT: reads a contract and writes it back unchanged.

#include "cli/command.h"
#include "cli/loadcontract.h"
#include "file/contractfile.h"
#include "model/contract/contract.h"

namespace kestrel::cli {

namespace {

constexpr int kExitWriteFailed = 3;

int RunRewrite(const std::vector<std::string>& args)
{
    if (args.size() != 2) {
        PrintError("usage: kestrel-cli rewrite IN OUT");
        return kExitUnreadable;
    }
    std::unique_ptr<CContract> c;
    if (const int status = LoadContract(args[0], c))
        return status;
    const int code = WriteContractFile(*c, args[1]);
    if (code != CF_OK) {
        PrintError(ContractFileErrorText(code, false));
        return kExitWriteFailed;
    }
    return 0;
}

const bool kRegistered = RegisterCommand({"rewrite", "IN OUT", RunRewrite});

} // namespace

} // namespace kestrel::cli
