// Report layout and drawing: a report of 100 and of 1,000 pages (many
// subcontractors with sub-items) laid out once and drawn to PDF. The time per
// page must stay flat: the 1,000-page time against ten times the 100-page
// time is the figure reported.

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <string>

#include "model/contract/contract.h"
#include "model/subcontract/winmeta.h"
#include "report/reportrun.h"
#include "support/reportcontract.h"

#if __has_include(<QPdfWriter>)
#include <QGuiApplication>

#include "print/reportpdf.h"
#define KESTREL_BENCH_PDF 1
#endif

namespace {

using namespace kestrel;

void BM_ReportToPdf(benchmark::State& state)
{
    auto c = bench::MakeReportContract(bench::SubsForPages(static_cast<int>(state.range(0))));
    const std::string pdf = (std::filesystem::temp_directory_path() / "kestrel_bench_report.pdf").string();
    size_t pages = 0;
    Evaluator evaluator;
    for (auto _ : state) {
        CReportRun run(*c, evaluator);
        ReportOutcome out = run.LayoutAll();
        pages = out.pages.size();
#ifdef KESTREL_BENCH_PDF
        if (const Status written = CReportPdf::Write(QString::fromStdString(pdf), out.pages); !written) {
            state.SkipWithError(written.errorText().c_str());
            break;
        }
#endif
        benchmark::DoNotOptimize(out);
    }
    std::filesystem::remove(pdf);
    state.counters["pages"] = double(pages);
    state.counters["per_page"] = benchmark::Counter(
        double(pages), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_ReportToPdf)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond)->MinTime(2.0);

class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& r : runs) {
            const auto pages = r.counters.find("pages");
            if (pages != r.counters.end() && r.iterations > 0) {
                perPage[r.benchmark_name()] = r.GetAdjustedRealTime() / pages->second.value;
                cpuPerPage[r.benchmark_name()] = r.GetAdjustedCPUTime() / pages->second.value;
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> perPage;
    std::map<std::string, double> cpuPerPage;
};

} // namespace

int main(int argc, char** argv)
{
#ifdef KESTREL_BENCH_PDF
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
#endif
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    // On a machine shared with other work the CPU time is the steadier
    // figure; both are printed.
    for (const auto* times : {&reporter.perPage, &reporter.cpuPerPage}) {
        const auto small = times->find("BM_ReportToPdf/100/min_time:2.000");
        const auto large = times->find("BM_ReportToPdf/1000/min_time:2.000");
        if (small != times->end() && large != times->end())
            std::printf(
                "%s time per page: 100 pages %.3f ms, 1000 pages %.3f ms; ratio (1000-page time / 10 x "
                "100-page time) %.3f (must be <= 1.1)\n",
                times == &reporter.perPage ? "wall" : "cpu", small->second, large->second,
                large->second / small->second);
    }
    benchmark::Shutdown();
    return 0;
}
