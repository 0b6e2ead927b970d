#pragma once
// The baseline most benchmarks measure against: reading a contract file
// into a new contract (freeing it is not part of the read).

#include <benchmark/benchmark.h>

#include <string>

namespace kestrel::bench {

void TimeReadingContract(benchmark::State& state, const std::string& path);

} // namespace kestrel::bench
