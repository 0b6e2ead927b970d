#!/usr/bin/env bash
# Runs every fuzz target of a fuzz build for a fixed time each, starting from
# its seed corpus under fuzz/corpus/<target> (copied, so runs do not grow the
# repository's corpus). Usage: fuzz.sh BUILD_DIR SECONDS
set -euo pipefail
build=${1:-build-fuzz}
seconds=${2:-60}
root=$(cd "$(dirname "$0")/.." && pwd)
status=0
for bin in "$build"/fuzz/fuzz_*; do
  [ -x "$bin" ] || continue
  name=$(basename "$bin")
  work=$(mktemp -d)
  if [ -d "$root/fuzz/corpus/$name" ]; then cp -r "$root/fuzz/corpus/$name/." "$work/"; fi
  echo "== $name for ${seconds}s"
  if ! "$bin" "$work" -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=10 \
       -artifact_prefix="$build/fuzz/$name-" 2>"$build/fuzz/$name.log"; then
    echo "!! $name found a problem; see $build/fuzz/$name.log"
    status=1
  fi
  grep -E '^(#[0-9]+\s+DONE|Done [0-9]+ runs)' "$build/fuzz/$name.log" | tail -n 1 || true
  rm -rf "$work"
done
exit $status
