#!/usr/bin/env bash
# Runs every benchmark of a release build. Usage: bench.sh BUILD_DIR
set -euo pipefail
build=${1:-build-bench}
for bin in "$build"/bench/bench_*; do
  [ -x "$bin" ] || continue
  echo "== $(basename "$bin")"
  "$bin" --benchmark_counters_tabular=true
done
