#pragma once
// The main routine of the benchmarks that time the program's windows: Qt on
// the offscreen platform (its notes on what it cannot do are no concern
// here), the benchmarks run, then `report` prints the ratios from their
// times. Header only: the other benchmarks build without Qt.

#include <benchmark/benchmark.h>

#include <QApplication>

#include <cstdio>
#include <cstdlib>
#include <functional>

#include "support/quietqt.h"
#include "support/timesreporter.h"

namespace kestrel::bench {

inline int RunProgramBenchmarks(int argc, char** argv,
                                const std::function<void(const TimesReporter&)>& report)
{
    UseQuietOffscreenPlatform();
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    TimesReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    report(reporter);
    return 0;
}

} // namespace kestrel::bench
