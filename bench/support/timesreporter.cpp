#include "support/timesreporter.h"

namespace kestrel::bench {

void TimesReporter::ReportRuns(const std::vector<Run>& runs)
{
    for (const auto& r : runs) {
        // With repetitions only the mean stands for the benchmark.
        if (r.run_type == Run::RT_Aggregate && r.aggregate_name != "mean")
            continue;
        m_times[r.benchmark_name()] = {r.GetAdjustedRealTime(), r.GetAdjustedCPUTime()};
        for (const auto& [counter, value] : r.counters)
            m_counters[r.benchmark_name()][counter] = value;
    }
    ConsoleReporter::ReportRuns(runs);
}

std::pair<double, double> TimesReporter::Find(const std::string& name) const
{
    for (const auto& [benchmark, times] : m_times)
        if (benchmark.find(name) != std::string::npos)
            return times;
    return {0, 0};
}

double TimesReporter::Counter(const std::string& name, const std::string& counter) const
{
    for (const auto& [benchmark, counters] : m_counters) {
        if (benchmark.find(name) == std::string::npos)
            continue;
        const auto it = counters.find(counter);
        return it == counters.end() ? 0 : it->second;
    }
    return 0;
}

} // namespace kestrel::bench
