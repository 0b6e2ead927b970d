#!/usr/bin/env bash
# What `make run` shows: the program on the demo contract when there is a
# desktop to show it on, else (no DISPLAY and no WAYLAND_DISPLAY) the
# command-line demo. Usage: run.sh BUILD_DIR
set -uo pipefail
build=${1:-build}
root=$(cd "$(dirname "$0")/.." && pwd)
case "$build" in /*) ;; *) build="$root/$build" ;; esac
program="$build/src/kestrel"

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No desktop session (neither DISPLAY nor WAYLAND_DISPLAY is set):"
  echo "showing the command-line demo instead of the program's window."
  echo "(scripts/screenshots.sh renders the windows to PNG files without a desktop.)"
  echo
  exec bash "$root/scripts/demo.sh" "$build"
fi
if [ ! -x "$program" ]; then
  echo "The program is not built ($program)." >&2
  exit 1
fi
exec "$program" "$root/samples/DEMO.CON"
