// kestrel-cli rewrite IN OUT: reads a contract and writes it back unchanged,
// through the safe save (OUT may be IN).

#include "cli/command.h"
#include "cli/loadcontract.h"
#include "file/contractsave.h"
#include "model/contract/contract.h"

namespace kestrel::cli {

namespace {

int RunRewrite(const std::vector<std::string>& args)
{
    if (args.size() != 2) {
        PrintError("usage: kestrel-cli rewrite IN OUT");
        return kExitUnreadable;
    }
    std::unique_ptr<CContract> c;
    if (const int status = LoadContract(args[0], c))
        return status;
    if (const Status written = WriteContractFileSafely(*c, args[1]); !written) {
        PrintFileError(args[1], written.errorText());
        return kExitWriteFailed;
    }
    return 0;
}

const bool kRegistered = RegisterCommand({"rewrite", "IN OUT", RunRewrite});

} // namespace

} // namespace kestrel::cli
