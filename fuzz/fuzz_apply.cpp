// Random sequences of changes on a small contract, as the input's bytes
// choose them (no script is parsed: each choice is a byte): every kind the
// edit layer makes (sub-items, items, records in tiers, form fields,
// templates) with sensible and senseless arguments, and undo and redo in
// between. The contract rules are varied by the first choice. After the
// sequence everything still done is undone: the contract must write the
// very bytes it wrote before the first change, and, redone, the bytes it
// wrote after the last. Nothing is read or written on disk per input.

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "calc/evaluator.h"
#include "edit/contractedits.h"
#include "file/contractfile.h"
#include "file/opencontract.h"
#include "model/contract/contract.h"
#include "model/contract/sastringarray.h"
#include "model/subcontract/check.h"
#include "model/subcontract/programpaths.h"
#include "model/subcontract/referencelist.h"
#include "model/subcontract/winmeta.h"
#include "support/editdriver.h"

namespace {

using namespace kestrel;

// At most this many changes an input: a sequence long enough to reach
// states the seed contract does not have, short enough that inputs are many.
constexpr int kMaxSteps = 32;
// The entries a list read from a file keeps.
constexpr size_t kListEntries = 24;
// The contract rules an input's first choice combines (five flags).
constexpr uint32_t kRuleCombinations = 32;

// The demo contract as the program opens it, cut down: four of its
// subcontractors (one with a lower tier, one that does not work by items,
// one received from Ironbark), the items they hold with the headings of
// their sections and the first item of each, the templates the changes
// name, and each list that the forms read from a file held to its first
// entries. The forms, lists, tiers and Ironbark records of the demo stay,
// on a contract small enough that a change, its follow-up and writing the
// contract cost little. The lists are read here, once: the copies carry
// them, and no input reads or writes a file.
std::unique_ptr<CContract> SmallDemo()
{
    const std::string path = std::string(KESTREL_SAMPLES) + "/DEMO.CON";
    std::unique_ptr<CContract> c;
    if (ReadContractFile(path, c) != CF_OK)
        std::abort();
    CProgramPaths paths;
    (void)FinishOpenContract(*c, path, paths);
    CWinMeta& subs = *c->m_pSubTable;
    for (const char* number : {"00000001", "00000005", "00000006"})
        subs.m_Records.RemoveAt(subs.m_Records.IndexOf(subs.FindRecordByNumber(number)));
    std::set<std::string> held;
    for (const auto& rec : c->m_pSubTable->m_Records)
        for (const std::string& line : rec->m_SubItems.Keys())
            held.insert(line);
    // Backwards, so that a section is known to hold a line before its
    // heading is reached.
    bool sectionHolds = false;
    for (int i = c->m_Items.GetSize() - 1; i >= 0; --i) {
        const CItem& item = *c->m_Items[i];
        const bool holds = held.count(std::string(item.m_strLineNumber.View())) > 0;
        const bool first = i > 0 && c->m_Items[i - 1]->IsHeading();
        const bool keep = item.IsHeading() ? sectionHolds : holds || (first && sectionHolds);
        sectionHolds = item.IsHeading() ? false : sectionHolds || holds;
        if (!keep)
            c->m_Items.RemoveAt(i);
    }
    for (const std::string& name : c->m_DataTemplates.Keys())
        if (name != "Report Front" && name != "Report Footer")
            c->RemoveDataTemplate(name);
    for (CWinMeta* table : {c->m_pSubTable.get(), c->m_pMiscTable.get()})
        for (int field = 0; table && field < table->m_Fields.GetSize(); ++field)
            (void)LoadReferenceList(*c, *table, field, paths);
    for (const std::string& key : c->m_ExternalLists.Keys()) {
        CSAStringArray& list = *c->m_ExternalLists.Lookup(key);
        CSAStringArray first;
        for (size_t i = 0; i < list.size() && i < kListEntries; ++i)
            first.push_back(list[i]);
        list = std::move(first);
    }
    c->RecalculateContract();
    subs.RenewTierBits();
    (void)subs.UpdateCompleteness(-1, FlagTest(c->m_wFlags, CONTRACT_IRONBARK_LOCKED));
    return c;
}

const CContract& Small()
{
    static const std::unique_ptr<CContract> small = SmallDemo();
    return *small;
}

void Require(bool holds)
{
    if (!holds)
        std::abort();
}

// The contract a sequence starts from under one combination of the rules
// that differ between contracts, with the check it gives and the bytes it
// writes. They depend only on the combination, of which there are 32: each
// is made once, and an input pays only for what it changes.
struct Start {
    CContract contract;
    CheckResult check;
    std::vector<unsigned char> bytes;
};

const Start& StartFor(uint32_t rules)
{
    static std::array<std::unique_ptr<Start>, kRuleCombinations> starts;
    std::unique_ptr<Start>& start = starts[rules];
    if (start)
        return *start;
    start = std::make_unique<Start>();
    start->contract.Copy(Small());
    // Ironbark items locked (8) and held to their floor (9), no partial
    // items (11), prices tracked (12), lower tiers allowed (5).
    const int bits[] = {CONTRACT_IRONBARK_LOCKED, CONTRACT_IRONBARK_FLOOR, CONTRACT_NO_PARTIALS,
                        CONTRACT_TRACK_PRICES, CONTRACT_DRAG_TIERS};
    for (int i = 0; i < 5; ++i)
        FlagSet(start->contract.m_wFlags, bits[i], (rules >> i) & 1u);
    Evaluator evaluator;
    CProgramPaths paths;
    CContractEdits edits(start->contract, evaluator, paths);
    edits.RunCheck();
    start->check = edits.LastCheck();
    start->bytes = WriteContractStream(start->contract);
    return *start;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    test::ByteChoices choices(data, size);
    const Start& start = StartFor(choices.Below(kRuleCombinations));
    auto contract = std::make_unique<CContract>();
    contract->Copy(start.contract);

    Evaluator evaluator;
    CProgramPaths paths;
    CContractEdits edits(*contract, evaluator, paths);
    edits.SetLastCheck(start.check);
    test::EditDriver driver(edits);
    for (int step = 0; step < kMaxSteps && !choices.Exhausted(); ++step)
        driver.Step(choices);

    EditHistory& history = driver.History();
    const size_t actions = history.UndoCount();
    // Nothing left to undo: whatever was refused or undone changed nothing.
    if (actions == 0) {
        Require(!FlagTest(contract->m_wFlags, CONTRACT_MODIFIED));
        Require(WriteContractStream(*contract) == start.bytes);
        return 0;
    }
    const std::vector<unsigned char> after = WriteContractStream(*contract);
    for (size_t i = 0; i < actions; ++i)
        Require(history.Undo().ok());
    Require(!FlagTest(contract->m_wFlags, CONTRACT_MODIFIED));
    Require(WriteContractStream(*contract) == start.bytes);
    for (size_t i = 0; i < actions; ++i)
        Require(history.Redo().ok());
    Require(WriteContractStream(*contract) == after);
    return 0;
}
