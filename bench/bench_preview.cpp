// The print preview of a long report: how soon its first page is on the
// screen, and whether the window answers while the rest is laid out.
//
// First page: from the command (the first page laid out) to the preview
// window built and painted with it; the rest of the layout starts after
// that. The same for a report of about 1,000 pages and one of about 10, in
// the same run. Target: 1,000 pages / 10 pages <= 1.2.
//
// Responsiveness: a timer ticks every 2 ms on the event loop from the
// command until the last page is laid out (the first page, the window, the
// copy of the contract, the rest laid out in the background); the longest
// gap between two ticks is the longest the window could not answer.
// Target: 50 ms or less.
// For comparison, the same timer on the idle event loop of this run (what
// the machine itself adds), the whole report laid out at once (what
// printing and the PDF export take, and what the preview waited for
// before), and the copy of a large contract the preview takes before its
// layout starts.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QImage>
#include <QPrinter>
#include <QTimer>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <map>
#include <memory>
#include <vector>

#include "app/printpreview.h"
#include "calc/evaluator.h"
#include "model/contract/contract.h"
#include "print/backgroundlayout.h"
#include "print/reportprintjob.h"
#include "support/contractgen.h"
#include "support/programbench.h"
#include "support/reportcontract.h"

namespace {

using namespace kestrel;

CContract& ContractOfPages(int pages)
{
    static std::map<int, std::unique_ptr<CContract>> contracts;
    std::unique_ptr<CContract>& c = contracts[pages];
    if (!c)
        c = bench::MakeReportContract(bench::SubsForPages(pages));
    return *c;
}

// Ticks on the event loop and keeps the longest gap between two ticks.
class StallProbe {
public:
    StallProbe()
    {
        m_timer.setTimerType(Qt::PreciseTimer);
        m_timer.setInterval(2);
        QObject::connect(&m_timer, &QTimer::timeout, &m_timer, [this] { Tick(); });
        m_clock.start();
        m_last = 0;
        m_timer.start();
    }
    // Ends the gap open now and stops.
    double Stop()
    {
        Tick();
        m_timer.stop();
        return m_longest;
    }
    std::function<void()> onTick;

private:
    void Tick()
    {
        const double now = m_clock.nsecsElapsed() / 1e6;
        m_longest = std::max(m_longest, now - m_last);
        m_last = now;
        if (onTick)
            onTick();
    }
    QTimer m_timer;
    QElapsedTimer m_clock;
    double m_last = 0;
    double m_longest = 0;
};

// The preview window on the report, built and painted with page 1.
std::unique_ptr<CPrintPreview> ShowPreview(CBackgroundLayout& report)
{
    static QPrinter printer(QPrinter::HighResolution);
    auto preview = std::make_unique<CPrintPreview>(report, printer.pageLayout());
    preview->resize(900, 1000);
    preview->show();
    const QImage shown = preview->grab().toImage();
    benchmark::DoNotOptimize(shown.constBits());
    return preview;
}

void FirstPage(benchmark::State& state, int pages)
{
    CContract& contract = ContractOfPages(pages);
    Evaluator evaluator;
    int drawn = 0;
    for (auto _ : state) {
        auto report = std::make_unique<CBackgroundLayout>(contract, evaluator);
        if (report->Job().PageCount() != 1) {
            state.SkipWithError("no first page");
            break;
        }
        auto preview = ShowPreview(*report);
        drawn = preview->PagesDrawn();
        state.PauseTiming(); // closing stops the layout; not part of the first page
        preview.reset();
        report.reset();
        state.ResumeTiming();
    }
    state.counters["drawn"] = drawn;
}

void BM_FirstPageOf10Pages(benchmark::State& state)
{
    FirstPage(state, 10);
}

void BM_FirstPageOf1000Pages(benchmark::State& state)
{
    FirstPage(state, 1000);
}

// From the command to the last page laid out, with the window open.
void BM_PreviewWhileLayingOut(benchmark::State& state)
{
    CContract& contract = ContractOfPages(1000);
    Evaluator evaluator;
    std::vector<double> stalls;
    int pages = 0;
    for (auto _ : state) {
        StallProbe probe;
        QEventLoop loop;
        CBackgroundLayout report(contract, evaluator);
        auto preview = ShowPreview(report);
        probe.onTick = [&] {
            if (!preview->LayingOut())
                loop.quit();
        };
        loop.exec();
        stalls.push_back(probe.Stop());
        pages = preview->PageCount();
    }
    std::sort(stalls.begin(), stalls.end());
    state.counters["pages"] = pages;
    state.counters["stall_ms"] = stalls.empty() ? 0 : stalls[stalls.size() / 2];
    state.counters["worst_ms"] = stalls.empty() ? 0 : stalls.back();
}

// The same probe on the idle event loop, as long as a layout takes.
void BM_IdleEventLoop(benchmark::State& state)
{
    std::vector<double> stalls;
    for (auto _ : state) {
        StallProbe probe;
        QEventLoop loop;
        QTimer::singleShot(1500, &loop, &QEventLoop::quit);
        loop.exec();
        stalls.push_back(probe.Stop());
    }
    std::sort(stalls.begin(), stalls.end());
    state.counters["stall_ms"] = stalls.empty() ? 0 : stalls[stalls.size() / 2];
}

// The copy the preview takes on the window's thread before its layout
// starts, for the large contract of the other benchmarks (199
// subcontractors with 500 sub-items each): it counts against the stall.
void BM_CopyLargeContract(benchmark::State& state)
{
    static const std::unique_ptr<CContract> large = [] {
        bench::ContractShape shape;
        shape.tables = true;
        return bench::GenerateContract(shape);
    }();
    for (auto _ : state) {
        auto copy = std::make_unique<CContract>();
        copy->Copy(*large);
        benchmark::DoNotOptimize(copy.get());
        state.PauseTiming();
        copy.reset();
        state.ResumeTiming();
    }
}

// What printing and the export take: the whole report laid out at once.
void BM_WholeReportOf1000Pages(benchmark::State& state)
{
    CContract& contract = ContractOfPages(1000);
    Evaluator evaluator;
    int pages = 0;
    for (auto _ : state) {
        const Result<CReportPrintJob> job = CReportPrintJob::LayoutReport(contract, evaluator);
        if (!job) {
            state.SkipWithError("the layout failed");
            break;
        }
        pages = job.value().PageCount();
    }
    state.counters["pages"] = pages;
}

} // namespace

BENCHMARK(BM_FirstPageOf10Pages)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
BENCHMARK(BM_FirstPageOf1000Pages)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
BENCHMARK(BM_WholeReportOf1000Pages)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_PreviewWhileLayingOut)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK(BM_CopyLargeContract)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_IdleEventLoop)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

int main(int argc, char** argv)
{
    return bench::RunProgramBenchmarks(argc, argv, [](const bench::TimesReporter& reporter) {
        const double ten = reporter.RealTime("BM_FirstPageOf10Pages");
        const double thousand = reporter.RealTime("BM_FirstPageOf1000Pages");
        const double whole = reporter.RealTime("BM_WholeReportOf1000Pages");
        if (ten > 0 && thousand > 0)
            std::printf(
                "preview first page, 1,000 pages / 10 pages ratio: %.2f (%.1f ms and %.1f ms, target 1.2 "
                "or less)\n",
                thousand / ten, thousand, ten);
        if (thousand > 0 && whole > 0)
            std::printf("preview first page / whole layout of 1,000 pages: %.3f (layout %.0f ms)\n",
                        thousand / whole, whole);
        const double stall = reporter.Counter("BM_PreviewWhileLayingOut", "stall_ms");
        if (stall > 0)
            std::printf(
                "longest event-loop stall while laying out 1,000 pages: %.1f ms (worst run %.1f ms, idle "
                "loop %.1f ms; target 50 ms or less)\n",
                stall, reporter.Counter("BM_PreviewWhileLayingOut", "worst_ms"),
                reporter.Counter("BM_IdleEventLoop", "stall_ms"));
    });
}
