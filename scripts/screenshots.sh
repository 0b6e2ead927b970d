#!/usr/bin/env bash
# Renders the program's windows on the demo contract to PNG files, under a
# virtual X server: the main window with a subcontractor chosen, the contract
# view, the subcontractor list, a subcontractor's items (the grid with the
# entry of a subcontracted line below it), the contract item schedule (and
# with rows chosen for copying), the subcontractor and miscellaneous-data
# forms, the vendor look-up open on a typed part, the error list, the find bar
# with its hits (an item, a subcontractor's field), the quick filters of
# the item schedule and of a subcontractor's items, the check panel, the
# quote import's preview, the print preview, the options sheet, the About
# box, the credits, the splash window, the proposal dialog, the history
# list, the recovery offer, the lock message and a failed save; then, in debug mode, the
# template editor and a
# cell dump; then the main views again at 200 % (QT_SCALE_FACTOR=2) into
# OUT_DIR/200. Set QT_SCALE_FACTOR yourself for one rendering at that scale
# only.
# Usage: screenshots.sh [BUILD_DIR] [OUT_DIR]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-build}
case "$build" in /*) ;; *) build="$root/$build" ;; esac
out=${2:-$build/screenshots}
program="$build/src/kestrel"
if [ ! -x "$program" ]; then
  echo "The program is not built ($program)." >&2
  exit 1
fi
if ! command -v xvfb-run >/dev/null; then
  echo "xvfb-run is missing: run scripts/install-deps.sh first." >&2
  exit 1
fi
mkdir -p "$out"
settings=$(mktemp -d)
trap 'rm -rf "$settings"' EXIT
# The program's own settings stay untouched: a fresh INI file, and no splash.
export KESTREL_NO_SPLASH=1
export KESTREL_SCREENSHOTS="$out"
export XDG_RUNTIME_DIR="$settings"
render() {
  xvfb-run -a -s "-screen 0 ${3:-1600x1000}x24" \
    "$program" ${4:-} "/ini=$settings/$2.ini" "$root/samples/DEMO.CON"
}
if [ -n "${QT_SCALE_FACTOR:-}" ]; then
  render "$out" kestrel
else
  render "$out" kestrel
  render "$out" kestrel 1600x1000 /Debug
  mkdir -p "$out/200"
  KESTREL_SCREENSHOTS="$out/200" QT_SCALE_FACTOR=2 render "$out/200" kestrel200 3200x2000
fi
echo "Screenshots in $out"
