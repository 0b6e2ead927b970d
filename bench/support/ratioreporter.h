#pragma once
// A console reporter that also keeps the time of a measured benchmark and
// of its baseline (the mean when runs are repeated), so that the run can end
// with their ratio.

#include <benchmark/benchmark.h>

#include <string>
#include <utility>
#include <vector>

namespace kestrel::bench {

class RatioReporter : public benchmark::ConsoleReporter {
public:
    // Benchmarks whose names hold these parts.
    RatioReporter(std::string measured, std::string baseline)
        : m_measured(std::move(measured)), m_baseline(std::move(baseline))
    {
    }

    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const auto& r : runs) {
            if (r.run_type == Run::RT_Aggregate && r.aggregate_name != "mean")
                continue;
            const double ns = r.GetAdjustedRealTime();
            if (r.benchmark_name().find(m_measured) != std::string::npos)
                measuredTime = ns;
            else if (r.benchmark_name().find(m_baseline) != std::string::npos)
                baselineTime = ns;
        }
        ConsoleReporter::ReportRuns(runs);
    }

    bool HasRatio() const { return measuredTime > 0 && baselineTime > 0; }
    double Ratio() const { return measuredTime / baselineTime; }

    double measuredTime = 0; // in the benchmarks' unit
    double baselineTime = 0;

private:
    std::string m_measured;
    std::string m_baseline;
};

} // namespace kestrel::bench
