#!/usr/bin/env bash
# make test-windows: the Windows build of the core tests and kestrel-cli,
# run under Wine in a prefix of the build's own, with no display. The core
# tests print each test skipped on Windows with its reason; the smoke suite
# compares kestrel-cli.exe with the Linux build's kestrel-cli.
#
#   scripts/test-windows.sh WINDOWS_BUILD LINUX_BUILD
set -eu -o pipefail
cd "$(dirname "$0")/.."
win=$(realpath "$1")
linux=$(realpath "$2")

export WINEPREFIX=$win/wine-prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY
# The first run makes the prefix; no window, no question asked.
[ -d "$WINEPREFIX" ] || wineboot --init >/dev/null 2>&1 || true

start=$(date +%s)
log=$win/core-tests.log
status=0
# The console's line ends (CR LF) are taken off for the lines below.
(cd "$win/tests" && wine ./kestrel_core_tests.exe --gtest_color=no) 2>&1 | tr -d '\r' >"$log" ||
  status=$?
# Each skipped test and its reason, then the counts.
awk '/^\[ RUN/ { reason = ""; next }
     /^\[  SKIPPED \] .*\([0-9]+ ms\)$/ { sub(/ \([0-9]+ ms\)$/, ""); print $0 " --" reason; next }
     !/: Skipped$/ && NF { reason = reason " " $0 }' "$log"
grep -E '^\[(==========|  PASSED  |  SKIPPED |  FAILED  )\] [0-9]+ test' "$log"
if [ "$status" != 0 ]; then
  grep -E '^\[  FAILED  \]' "$log" || true
  echo "The Windows core tests failed (status $status); the whole run is in $log"
  exit 1
fi
bash tests/cli/windows_smoke.sh "$win/src/kestrel-cli.exe" "$linux/src/kestrel-cli"
echo "Windows tests ran in $(($(date +%s) - start)) s"
