// kestrel-cli save IN OUT: opens a contract as the document does and saves
// it to OUT as the document does (remark stamping, saved flag, safe save).

#include "cli/command.h"
#include "cli/loadcontract.h"
#include "cli/opendocument.h"
#include "file/contractsave.h"
#include "model/contract/contract.h"

namespace kestrel::cli {

namespace {

int RunSave(const std::vector<std::string>& args)
{
    if (args.size() != 2) {
        PrintError("usage: kestrel-cli save IN OUT");
        return kExitUnreadable;
    }
    Document document;
    if (const int status = OpenDocument(args[0], document))
        return status;
    if (const Status saved = SaveContract(*document.contract, args[1]); !saved) {
        PrintFileError(args[1], saved.errorText());
        return kExitWriteFailed;
    }
    return 0;
}

const bool kRegistered = RegisterCommand({"save", "IN OUT", RunSave});

} // namespace

} // namespace kestrel::cli
