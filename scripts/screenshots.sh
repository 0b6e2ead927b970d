#!/usr/bin/env bash
# Renders the program's windows on the demo contract to PNG files, under a
# virtual X server: the main window with a subcontractor chosen, the contract
# view, the subcontractor list, a subcontractor's items, the error list, the
# print preview, the options sheet, the About box, the credits, the splash
# window and the proposal dialog; then, in debug mode, the template editor
# and a cell dump.
# Usage: screenshots.sh [BUILD_DIR] [OUT_DIR]; set QT_SCALE_FACTOR=2 for a
# 200 % rendering.
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
xvfb-run -a -s "-screen 0 1600x1000x24" \
  "$program" "/ini=$settings/kestrel.ini" "$root/samples/DEMO.CON"
xvfb-run -a -s "-screen 0 1600x1000x24" \
  "$program" /Debug "/ini=$settings/kestrel.ini" "$root/samples/DEMO.CON"
echo "Screenshots in $out"
