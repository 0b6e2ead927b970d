#include "cli/loadcontract.h"

#include "cli/command.h"
#include "file/contractfile.h"
#include "model/contract/contract.h"

namespace kestrel::cli {

int LoadContract(const std::string& path, std::unique_ptr<CContract>& contract)
{
    const int code = ReadContractFile(path, contract);
    if (code == CF_OK)
        return 0;
    PrintFileError(path, ContractFileErrorText(code, false));
    return kExitUnreadable;
}

} // namespace kestrel::cli
