// A run of `apply` on the demo contract: 2,500, 5,000 and 10,000 mixed
// edits (sub-item values and notes, items, form fields, "Use?", records
// added, moved under another and deleted, templates, undo and redo), each
// kept on the undo history as the command keeps it, against reading the
// demo's file in the same run:
// - edits_vs_read: the time of the edits against one read of the file;
// - peak_vs_read: the most heap the run held beyond the contract, between
//   edits, against the heap the contract just read holds;
// - us_per_edit and bytes_per_edit, which must stay alike at every count:
//   time and memory grow with the edits, not with edits x contract.

#include <benchmark/benchmark.h>
#include <malloc.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "calc/evaluator.h"
#include "edit/contractedits.h"
#include "edit/edithistory.h"
#include "file/contractfile.h"
#include "file/opencontract.h"
#include "model/contract/contract.h"
#include "model/subcontract/programpaths.h"
#include "model/subcontract/winmeta.h"
#include "support/readcontract.h"
#include "support/timesreporter.h"

namespace {

using namespace kestrel;

const std::string kDemo = std::string(KESTREL_SAMPLES) + "/DEMO.CON";
constexpr int kCounts[] = {2500, 5000, 10000};

size_t HeapInUse()
{
    const auto m = mallinfo2();
    return m.uordblks + m.hblkhd;
}

// The demo as `apply` opens it, and what `apply` holds while it runs.
struct Run {
    Run()
    {
        if (ReadContractFile(kDemo, contract) != CF_OK)
            std::abort();
        (void)FinishOpenContract(*contract, kDemo, paths);
        edits = std::make_unique<CContractEdits>(*contract, evaluator, paths);
        edits->RunCheck();
        history = std::make_unique<EditHistory>(*edits);
    }
    CSubcontract& Sub(const char* number) { return *contract->m_pSubTable->FindRecordByNumber(number); }

    // Edit `i` of the mix; every one changes a value, so that each is a
    // step of the history. Two values alternate from one round to the next.
    bool Edit(int i)
    {
        const bool odd = (i / kRound) % 2 != 0;
        CSubcontract& first = Sub("00000001");
        CContractEdits& e = *edits;
        auto make = [&](EditStep step) { return history->Make({std::move(step)}).ok(); };
        switch (i % kRound) {
        case 0: return make([&] { return e.SetSubItemQuantity(first, "1190", odd ? "21,000" : "21,500"); });
        case 1: return make([&] { return e.SetSubItemUnitPrice(first, "1190", odd ? "3.10" : "3.05"); });
        case 2: return make([&] { return e.SetSubItemRemarks(first, "1190", "note " + std::to_string(i)); });
        case 3: return make([&] { return e.UseItem(first, "0030", !odd); });
        case 4: return make([&] { return e.SetItemQuantity("0030", odd ? "10" : "11"); });
        case 5:
            return make([&] { return e.SetCell(*contract->m_pSubTable, first, SUBF_NAME, odd ? "A" : "B"); });
        case 6: {
            const Result<std::string> added = history->Make({[&] { return e.AddSubcontractor(nullptr); }});
            m_added = added ? contract->m_pSubTable->FindRecordByNumber(added.value()) : nullptr;
            return m_added != nullptr;
        }
        case 7: return make([&] { return e.SetCell(*contract->m_pSubTable, *m_added, SUBF_NAME, "Added"); });
        case 8: return make([&] { return e.MoveSubcontractor(*m_added, &Sub("00000002")); });
        case 9: return make([&] { return e.DeleteSubcontractor(*m_added); });
        case 10: return history->Undo().ok();
        case 11: return history->Redo().ok();
        default:
            return make(
                [&] { return e.SetTemplateText("Report Front", "{CONTRACT_ID} " + std::to_string(i)); });
        }
    }

    static constexpr int kRound = 13;
    std::unique_ptr<CContract> contract;
    Evaluator evaluator;
    CProgramPaths paths;
    std::unique_ptr<CContractEdits> edits;
    std::unique_ptr<EditHistory> history;
    CSubcontract* m_added = nullptr;
};

void BM_ReadDemo(benchmark::State& state)
{
    bench::TimeReadingContract(state, kDemo);
}

// The heap the demo holds once read, and the most heap a run of `count`
// edits held beyond it, sampled after every edit (untimed runs).
size_t ContractHeap()
{
    const size_t before = HeapInUse();
    std::unique_ptr<CContract> contract;
    if (ReadContractFile(kDemo, contract) != CF_OK)
        std::abort();
    return HeapInUse() - before;
}

size_t PeakOfEdits(int count)
{
    Run run;
    const size_t base = HeapInUse();
    size_t peak = 0;
    for (int i = 0; i < count; ++i) {
        if (!run.Edit(i))
            std::abort();
        const size_t now = HeapInUse();
        if (now > base && now - base > peak)
            peak = now - base;
    }
    return peak;
}

void BM_MixedEdits(benchmark::State& state)
{
    const int count = static_cast<int>(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        auto run = std::make_unique<Run>();
        state.ResumeTiming();
        for (int i = 0; i < count; ++i)
            if (!run->Edit(i))
                state.SkipWithError("an edit was refused");
        state.PauseTiming();
        run.reset();
        state.ResumeTiming();
    }
    state.counters["edits"] = count;
}

} // namespace

BENCHMARK(BM_ReadDemo)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MixedEdits)->Arg(kCounts[0])->Arg(kCounts[1])->Arg(kCounts[2])->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    // By CPU time: the machines these run on are shared.
    bench::TimesReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double readMs = reporter.CpuTime("BM_ReadDemo");
    benchmark::Shutdown();
    if (readMs <= 0)
        return 0;
    const double contractBytes = static_cast<double>(ContractHeap());
    for (const int count : kCounts) {
        const double ms = reporter.CpuTime("BM_MixedEdits/" + std::to_string(count));
        const double peak = static_cast<double>(PeakOfEdits(count));
        if (ms <= 0)
            continue;
        std::printf("apply %5d edits: edits_vs_read %.1f, peak_vs_read %.2f (us_per_edit %.1f, "
                    "bytes_per_edit %.0f; read %.3f ms, contract %.0f kB)\n",
                    count, ms / readMs, peak / contractBytes, ms * 1000 / count, peak / count, readMs,
                    contractBytes / 1024);
    }
    return 0;
}
