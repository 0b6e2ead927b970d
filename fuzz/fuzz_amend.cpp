// Carrying the demo's subcontracting over to an amended contract that the
// input is (its uncompressed record stream). The working contract is fixed:
// the demo as the program opens it. Inputs whose first byte is odd get the
// demo's Contract ID and Letting ID, so that most of them reach the
// carry-over instead of being refused as another contract. Whatever was
// carried over: every sub-item lies on a line of the amended contract, the
// preview and the report render, the result writes a stream that reads
// again, and undo gives back the very bytes the demo wrote.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "calc/evaluator.h"
#include "edit/amendment.h"
#include "edit/contractedits.h"
#include "file/contractfile.h"
#include "file/opencontract.h"
#include "model/contract/contract.h"
#include "model/subcontract/programpaths.h"
#include "model/subcontract/winmeta.h"

namespace {

using namespace kestrel;

struct Working {
    Working()
    {
        const std::string path = std::string(KESTREL_SAMPLES) + "/DEMO.CON";
        if (ReadContractFile(path, demo) != CF_OK)
            std::abort();
        (void)FinishOpenContract(*demo, path, paths);
        bytes = WriteContractStream(*demo);
    }
    std::unique_ptr<CContract> demo;
    CProgramPaths paths;
    std::vector<unsigned char> bytes;
};

ContractReadLimits FuzzLimits()
{
    ContractReadLimits limits;
    limits.streamBytes = size_t(1) << 20;
    limits.newRecords = 65536;
    return limits;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static Working working;
    std::unique_ptr<CContract> amended;
    if (size < 1 || ReadContractStream(data + 1, size - 1, amended, FuzzLimits()) != CF_OK)
        return 0;
    if (data[0] & 1) {
        amended->m_strHeader[HDR_CONTRACT_ID] = working.demo->pszContractID();
        amended->m_strHeader[HDR_LETTING_ID] = working.demo->pszLettingID();
    }
    auto contract = std::make_unique<CContract>();
    contract->Copy(*working.demo);
    Result<PreparedAmendment> prepared = PrepareAmendment(*contract, std::move(amended), working.paths);
    if (!prepared)
        return 0;
    (void)RenderAmendmentPreview(prepared->preview);
    (void)AmendmentReportPages(prepared->preview);
    Evaluator evaluator;
    CContractEdits edits(*contract, evaluator, working.paths);
    EditResult applied = edits.ApplyAmendment(prepared.value());
    if (!applied)
        std::abort();
    if (const CWinMeta* table = contract->m_pSubTable.get())
        for (const auto& rec : table->m_Records)
            rec->m_SubItems.ForEach([&](const std::string& line, const CSubItem&) {
                if (!contract->FindItemByLineNumber(line))
                    std::abort();
            });
    std::unique_ptr<CContract> back;
    const std::vector<unsigned char> out = WriteContractStream(*contract);
    if (ReadContractStream(out.data(), out.size(), back) != CF_OK)
        std::abort();
    edits.Undo(applied.value());
    if (WriteContractStream(*contract) != working.bytes)
        std::abort();
    return 0;
}
