// Random sequences of changes on the demo contract, as the input's bytes
// choose them: every kind the edit layer makes (sub-items, items, records
// in tiers, form fields, templates) with sensible and senseless arguments,
// and undo and redo in between. The contract rules of the demo are varied
// by the first choice. After the sequence everything still done is undone:
// the contract must write the very bytes it wrote before the first change,
// and, redone, the bytes it wrote after the last.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "calc/evaluator.h"
#include "edit/contractedits.h"
#include "file/contractfile.h"
#include "file/opencontract.h"
#include "model/contract/contract.h"
#include "model/subcontract/programpaths.h"
#include "support/editdriver.h"

namespace {

using namespace kestrel;

// At most this many changes an input, so that each input stays quick.
constexpr int kMaxSteps = 200;

// The demo contract as the program opens it, read once.
const CContract& Demo()
{
    static const std::unique_ptr<CContract> demo = [] {
        const std::string path = std::string(KESTREL_SAMPLES) + "/DEMO.CON";
        std::unique_ptr<CContract> c;
        if (ReadContractFile(path, c) != CF_OK)
            std::abort();
        CProgramPaths paths;
        (void)FinishOpenContract(*c, path, paths);
        return c;
    }();
    return *demo;
}

void Require(bool holds)
{
    if (!holds)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    auto contract = std::make_unique<CContract>();
    contract->Copy(Demo());
    test::ByteChoices choices(data, size);
    // The rules that differ between contracts: Ironbark items locked (8)
    // and held to their floor (9), no partial items (11), prices tracked
    // (12), lower tiers allowed (5).
    const uint32_t rules = choices.Below(32);
    const int bits[] = {CONTRACT_IRONBARK_LOCKED, CONTRACT_IRONBARK_FLOOR, CONTRACT_NO_PARTIALS,
                        CONTRACT_TRACK_PRICES, CONTRACT_DRAG_TIERS};
    for (int i = 0; i < 5; ++i)
        FlagSet(contract->m_wFlags, bits[i], (rules >> i) & 1u);

    Evaluator evaluator;
    CProgramPaths paths;
    CContractEdits edits(*contract, evaluator, paths);
    edits.RunCheck();
    const std::vector<unsigned char> before = WriteContractStream(*contract);
    test::EditDriver driver(edits);
    for (int step = 0; step < kMaxSteps && !choices.Exhausted(); ++step)
        driver.Step(choices);
    const std::vector<unsigned char> after = WriteContractStream(*contract);

    EditHistory& history = driver.History();
    const size_t actions = history.UndoCount();
    for (size_t i = 0; i < actions; ++i)
        Require(history.Undo().ok());
    Require(!FlagTest(contract->m_wFlags, CONTRACT_MODIFIED));
    Require(WriteContractStream(*contract) == before);
    for (size_t i = 0; i < actions; ++i)
        Require(history.Redo().ok());
    Require(WriteContractStream(*contract) == after);
    return 0;
}
