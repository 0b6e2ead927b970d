// One change of a sub-item's quantity on the large contract (199
// subcontractors of 60 fields with 500 sub-items each, 5,000 items), with
// its whole follow-up (marks of the line, sub-item state, subcontracted
// total, completeness, the silent check) and its inverse, against reading
// that contract's file in the same run. Target: a change costs at most
// 1/20 of a read (edit_vs_read <= 0.05).

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "calc/evaluator.h"
#include "edit/contractedits.h"
#include "file/contractfile.h"
#include "model/contract/contract.h"
#include "model/subcontract/programpaths.h"
#include "model/subcontract/winmeta.h"
#include "support/contractgen.h"

namespace {

using namespace kestrel;

const std::string& ContractPath()
{
    static const std::string path = [] {
        bench::ContractShape shape;
        shape.tables = true;
        const std::unique_ptr<CContract> c = bench::GenerateContract(shape);
        const std::string p = (std::filesystem::temp_directory_path() / "kestrel-bench-edit.con").string();
        if (WriteContractFile(*c, p) != CF_OK)
            std::abort();
        return p;
    }();
    return path;
}

// CPU times of the two, in the benchmarks' unit (milliseconds).
double g_readMs = 0;
double g_editMs = 0;

void BM_ReadContract(benchmark::State& state)
{
    for (auto _ : state) {
        std::unique_ptr<CContract> contract;
        if (ReadContractFile(ContractPath(), contract) != CF_OK)
            state.SkipWithError("read failed");
        benchmark::DoNotOptimize(contract.get());
        state.PauseTiming(); // freeing the contract is not part of reading it
        contract.reset();
        state.ResumeTiming();
    }
}

void BM_SubItemQuantityEdit(benchmark::State& state)
{
    std::unique_ptr<CContract> contract;
    if (ReadContractFile(ContractPath(), contract) != CF_OK) {
        state.SkipWithError("read failed");
        return;
    }
    Evaluator evaluator;
    CProgramPaths paths;
    CContractEdits edits(*contract, evaluator, paths);
    edits.RunCheck();
    // A first-tier record that holds lower tiers, and a line other records
    // hold too.
    CSubcontract& record = *contract->m_pSubTable->m_Records[2];
    const std::string line = record.m_SubItems.Keys().front();
    bool high = false;
    for (auto _ : state) {
        high = !high;
        EditResult r = edits.SetSubItemQuantity(record, line, high ? "101" : "100");
        if (!r.ok() || r->inverse.IsEmpty())
            state.SkipWithError("the change was not made");
        benchmark::DoNotOptimize(r);
    }
}

} // namespace

BENCHMARK(BM_ReadContract)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SubItemQuantityEdit)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    // Reports the change against the read, both measured in this run.
    class Reporter : public benchmark::ConsoleReporter {
    public:
        void ReportRuns(const std::vector<Run>& runs) override
        {
            for (const auto& r : runs) {
                if (r.run_type == Run::RT_Aggregate && r.aggregate_name != "mean")
                    continue;
                // CPU time: the machines these run on are shared.
                const double ms = r.GetAdjustedCPUTime();
                if (r.benchmark_name().find("BM_ReadContract") != std::string::npos)
                    g_readMs = ms;
                else if (r.benchmark_name().find("BM_SubItemQuantityEdit") != std::string::npos)
                    g_editMs = ms;
            }
            ConsoleReporter::ReportRuns(runs);
        }
    } reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    std::remove(ContractPath().c_str());
    if (g_readMs > 0 && g_editMs > 0)
        std::printf("edit_vs_read: %.4f (edit %.3f ms, read %.3f ms, target <= 0.05)\n", g_editMs / g_readMs,
                    g_editMs, g_readMs);
    return 0;
}
