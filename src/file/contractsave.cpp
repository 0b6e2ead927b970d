#include "file/contractsave.h"

#include "file/contractfile.h"
#include "file/safereplace.h"
#include "model/contract/contract.h"

namespace kestrel {

namespace {

bool Fails(const SaveOptions& o, SaveStep step)
{
    return o.failStep && o.failStep(step);
}

SaveOptions FileWriterOptions()
{
    SaveOptions options;
    options.writer = [](CContract& c, const std::string& p) { return WriteContractFile(c, p); };
    options.errorText = [](int code) { return ContractFileErrorText(code, false); };
    return options;
}

Status WriteAndReplace(CContract& contract, const std::string& path, const SaveOptions& o)
{
    ReplaceFault fault;
    if (o.failStep)
        fault = [&o](ReplaceStep step) {
            switch (step) {
            case ReplaceStep::CreateTemporary: return Fails(o, SaveStep::CreateTemporary);
            case ReplaceStep::Flush: return Fails(o, SaveStep::Flush);
            case ReplaceStep::Replace: return Fails(o, SaveStep::Replace);
            }
            return false;
        };
    auto replacement = CFileReplacement::Begin(path, ".kestrel", fault);
    if (!replacement)
        return replacement.error();
    const int code =
        Fails(o, SaveStep::Write) ? -1 : (o.writer ? o.writer(contract, replacement->TemporaryPath()) : -1);
    if (code != 0)
        return Status::Fail(o.errorText && code > 0 ? o.errorText(code) : "Cannot write file", code);
    return replacement->Commit();
}

} // namespace

Status SaveContractSafely(CContract& contract, const std::string& path, const SaveOptions& options)
{
    const bool savedBefore = FlagTest(contract.m_wFlags, CONTRACT_SAVED_BY_US);
    FlagSet(contract.m_wFlags, CONTRACT_SAVED_BY_US, 1);
    if (options.random)
        StampRemarks(contract, options.random);
    else
        StampRemarks(contract);
    Status written = WriteAndReplace(contract, path, options);
    if (!written) {
        FlagSet(contract.m_wFlags, CONTRACT_SAVED_BY_US, savedBefore ? 1 : 0);
        contract.SetModified(true);
        return written;
    }
    contract.SetModified(false);
    return Ok();
}

Status SaveContract(CContract& contract, const std::string& path)
{
    return SaveContractSafely(contract, path, FileWriterOptions());
}

Status WriteContractFileSafely(CContract& contract, const std::string& path)
{
    return WriteAndReplace(contract, path, FileWriterOptions());
}

} // namespace kestrel
