#pragma once
// The console reporter of a benchmark that prints ratios after its run: it
// keeps each benchmark's time (the mean, with repetitions) by name.

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace kestrel::bench {

class TimesReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override;

    // The real and the CPU time, in the benchmark's unit, of the benchmark
    // whose name holds `name`; 0 when it did not run.
    double RealTime(const std::string& name) const { return Find(name).first; }
    double CpuTime(const std::string& name) const { return Find(name).second; }
    // A user counter of that benchmark; 0 when it has none of that name.
    double Counter(const std::string& name, const std::string& counter) const;

private:
    std::pair<double, double> Find(const std::string& name) const;

    std::map<std::string, std::pair<double, double>> m_times;
    std::map<std::string, std::map<std::string, double>> m_counters;
};

} // namespace kestrel::bench
