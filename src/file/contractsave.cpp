#include "file/contractsave.h"

#include <cerrno>

#include "file/contractfile.h"
#include "file/platform.h"
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
    options.writer = [](CContract& c, int fd) { return WriteContractDescriptor(c, fd); };
    options.errorText = [](int code) { return ContractFileErrorText(code, false); };
    return options;
}

// The writer's code as the user reads it: its text and, where the system
// refused a write, the system's reason. A write made to fail stands for a
// full disk.
int RunWriter(CContract& contract, int temporary, const SaveOptions& o, int& systemError)
{
    if (Fails(o, SaveStep::Write)) {
        systemError = ENOSPC;
        return CF_CANNOT_WRITE;
    }
    if (!o.writer) {
        systemError = 0;
        return -1;
    }
    errno = 0;
    const int code = o.writer(contract, temporary);
    systemError = errno;
    return code;
}

std::string WriterFailureText(int code, int systemError, const SaveOptions& o)
{
    std::string text =
        o.errorText && code > 0 ? o.errorText(code) : ContractFileErrorText(CF_CANNOT_WRITE, false);
    const bool system = code == CF_CANNOT_OPEN || code == CF_CANNOT_WRITE || code < 0;
    return system ? WithSystemReason(text, systemError) : text;
}

Status WriteAndReplace(CContract& contract, const std::string& path, const SaveOptions& o, bool privateFile)
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
    auto replacement = privateFile ? CFileReplacement::BeginPrivate(path, ".kestrel", fault)
                                   : CFileReplacement::Begin(path, ".kestrel", fault);
    if (!replacement)
        return replacement.error();
    int systemError = 0;
    // Written through the temporary file's own descriptor: the file created
    // exclusively is never opened again by its name.
    const int code = RunWriter(contract, replacement->Descriptor(), o, systemError);
    if (code != 0)
        return Status::Fail(WriterFailureText(code, systemError, o), code);
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
    Status written = WriteAndReplace(contract, path, options, false);
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
    return WriteAndReplace(contract, path, FileWriterOptions(), false);
}

Status WriteContractFilePrivately(CContract& contract, const std::string& path)
{
    return WriteAndReplace(contract, path, FileWriterOptions(), true);
}

} // namespace kestrel
