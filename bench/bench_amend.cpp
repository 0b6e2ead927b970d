// Carrying the subcontracting of the large contract (199 subcontractors of
// 500 sub-items each, 5,000 entries) over to an amendment that changes one
// item in ten (quantities, unit prices, lines removed, lines added), against
// reading both files in the same run:
// - carry_vs_read: PrepareAmendment (compare, re-match, follow-up, preview)
//   and ApplyAmendment (one undo step, the edit follow-up and check) on the
//   two contracts read, against reading the two files. Target: <= 0.5.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "calc/evaluator.h"
#include "edit/amendment.h"
#include "edit/contractedits.h"
#include "file/contractfile.h"
#include "model/contract/contract.h"
#include "model/subcontract/programpaths.h"
#include "support/amendmentmaker.h"
#include "support/contractgen.h"
#include "support/timesreporter.h"

namespace {

using namespace kestrel;

struct Files {
    Files()
    {
        working = bench::WriteTablesContract("kestrel-bench-amend-work.con");
        std::unique_ptr<CContract> c;
        if (ReadContractFile(working, c) != CF_OK)
            std::abort();
        auto amendment = test::AgencyCopy(*c);
        test::AmendOneInTen(*amendment);
        amended = (std::filesystem::temp_directory_path() / "kestrel-bench-amend-amended.con").string();
        if (WriteContractFile(*amendment, amended) != CF_OK)
            std::abort();
    }
    std::string working;
    std::string amended;
};

const Files& TheFiles()
{
    static const Files files;
    return files;
}

std::unique_ptr<CContract> Read(const std::string& path)
{
    std::unique_ptr<CContract> c;
    if (ReadContractFile(path, c) != CF_OK)
        std::abort();
    return c;
}

void BM_ReadBoth(benchmark::State& state)
{
    const Files& files = TheFiles();
    for (auto _ : state) {
        auto a = Read(files.working);
        auto b = Read(files.amended);
        state.PauseTiming();
        a.reset();
        b.reset();
        state.ResumeTiming();
    }
}

void BM_CarryOver(benchmark::State& state)
{
    const Files& files = TheFiles();
    CProgramPaths paths;
    int dropped = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto working = Read(files.working);
        auto amended = Read(files.amended);
        Evaluator evaluator;
        auto edits = std::make_unique<CContractEdits>(*working, evaluator, paths);
        edits->RunCheck();
        state.ResumeTiming();
        Result<PreparedAmendment> prepared = PrepareAmendment(*working, std::move(amended), paths);
        if (!prepared) {
            state.SkipWithError("the amendment was refused");
            break;
        }
        dropped = prepared->preview.DroppedSubItemCount();
        EditResult applied = edits->ApplyAmendment(prepared.value());
        state.PauseTiming();
        if (!applied)
            state.SkipWithError("applying was refused");
        edits.reset();
        working.reset();
        prepared = Result<PreparedAmendment>::Fail("");
        {
            auto gone = std::move(applied);
        }
        state.ResumeTiming();
    }
    state.counters["dropped"] = dropped;
}

} // namespace

BENCHMARK(BM_ReadBoth)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CarryOver)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    // By CPU time: the machines these run on are shared.
    bench::TimesReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double readMs = reporter.CpuTime("BM_ReadBoth");
    const double carryMs = reporter.CpuTime("BM_CarryOver");
    benchmark::Shutdown();
    if (readMs > 0 && carryMs > 0)
        std::printf(
            "amend: carry_vs_read %.2f (target <= 0.5; carry-over %.1f ms, reading both files %.1f ms)\n",
            carryMs / readMs, carryMs, readMs);
    std::filesystem::remove(TheFiles().working);
    std::filesystem::remove(TheFiles().amended);
    return 0;
}
