#include "cli/loadcontract.h"

#include <cerrno>

#include "cli/command.h"
#include "file/contractfile.h"
#include "file/platform.h"
#include "model/contract/contract.h"

namespace kestrel::cli {

int LoadContract(const std::string& path, std::unique_ptr<CContract>& contract)
{
    // A FIFO or device is not waited on, and a folder is named as one.
    if (const Status kind = CheckRegularFile(path); !kind) {
        PrintFileError(path, kind.errorText());
        return kExitUnreadable;
    }
    errno = 0;
    const int code = ReadContractFile(path, contract);
    if (code == CF_OK)
        return 0;
    PrintFileError(path, ContractFileFailureText(code, errno, true));
    return kExitUnreadable;
}

} // namespace kestrel::cli
