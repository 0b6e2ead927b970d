// On the large contract (199 subcontractors of 60 fields with 500 sub-items
// each, 5,000 items), against reading that contract's file in the same run:
// - one change of a sub-item's quantity, with its whole follow-up (marks of
//   the line, sub-item state, subcontracted total, completeness, the silent
//   check) and its inverse. Target: at most 1/20 of a read
//   (edit_vs_read <= 0.05).
// - Find, which runs on every keystroke: over every item text, the
//   subcontractors' fields and all 99,500 sub-item notes, for a text found
//   nowhere (the whole scan), a word found in some thousands of places, and
//   a single letter found nearly everywhere (every hit copied). Target: a
//   search for a text found nowhere or for a word at most 1/10 of a read
//   (find_vs_read <= 0.1); the letter is reported without one (a find bar
//   caps the hits it takes with maxHits).
// - a quick filter over the whole contract (the first tier's unassigned
//   items), once per click. Target: at most 1/5 of a read.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <utility>

#include "calc/evaluator.h"
#include "edit/contractedits.h"
#include "edit/contractsearch.h"
#include "edit/itemfilters.h"
#include "file/contractfile.h"
#include "model/contract/contract.h"
#include "model/subcontract/programpaths.h"
#include "model/subcontract/winmeta.h"
#include "support/contractgen.h"
#include "support/readcontract.h"
#include "support/timesreporter.h"

namespace {

using namespace kestrel;

const std::string& ContractPath()
{
    static const std::string path = bench::WriteTablesContract("kestrel-bench-edit.con");
    return path;
}

void BM_ReadContract(benchmark::State& state)
{
    bench::TimeReadingContract(state, ContractPath());
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

const CContract& ReadOnce()
{
    static const std::unique_ptr<CContract> contract = [] {
        std::unique_ptr<CContract> c;
        if (ReadContractFile(ContractPath(), c) != CF_OK)
            std::abort();
        return c;
    }();
    return *contract;
}

void Find(benchmark::State& state, const char* needle)
{
    const CContract& contract = ReadOnce();
    size_t hits = 0;
    for (auto _ : state) {
        const SearchResult r = SearchContract(contract, needle);
        hits = r.hits.size();
        benchmark::DoNotOptimize(r);
    }
    state.counters["hits"] = static_cast<double>(hits);
}

void BM_FindAbsent(benchmark::State& state)
{
    Find(state, "qzx");
}

void BM_FindWord(benchmark::State& state)
{
    Find(state, "CULVERT");
}

void BM_FindLetter(benchmark::State& state)
{
    Find(state, "e");
}

void BM_FilterUnassigned(benchmark::State& state)
{
    const CContract& contract = ReadOnce();
    size_t found = 0;
    for (auto _ : state) {
        const std::vector<int> items = MatchingItems(contract, ItemFilter::Unassigned, nullptr);
        found = items.size();
        benchmark::DoNotOptimize(items);
    }
    state.counters["items"] = static_cast<double>(found);
}

} // namespace

BENCHMARK(BM_ReadContract)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SubItemQuantityEdit)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FindAbsent)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FindWord)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FindLetter)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FilterUnassigned)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    // Reports each run, then the change against the read, both measured in
    // this run, by CPU time: the machines these run on are shared.
    bench::TimesReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double readMs = reporter.CpuTime("BM_ReadContract");
    const double editMs = reporter.CpuTime("BM_SubItemQuantityEdit");
    benchmark::Shutdown();
    std::remove(ContractPath().c_str());
    if (readMs <= 0)
        return 0;
    if (editMs > 0)
        std::printf("edit_vs_read: %.4f (edit %.3f ms, read %.3f ms, target <= 0.05)\n", editMs / readMs,
                    editMs, readMs);
    const std::pair<const char*, const char*> finds[] = {{"BM_FindAbsent", "target <= 0.1"},
                                                         {"BM_FindWord", "target <= 0.1"},
                                                         {"BM_FindLetter", "every hit copied, no target"}};
    for (const auto& [find, note] : finds)
        if (const double ms = reporter.CpuTime(find); ms > 0)
            std::printf("find_vs_read (%s): %.4f (find %.3f ms, %s)\n", find + 3, ms / readMs, ms, note);
    if (const double ms = reporter.CpuTime("BM_FilterUnassigned"); ms > 0)
        std::printf("filter_vs_read: %.4f (filter %.3f ms, target <= 0.2)\n", ms / readMs, ms);
    return 0;
}
