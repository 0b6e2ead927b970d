#!/usr/bin/env bash
# The demo that `make run` shows. Usage: demo.sh BUILD_DIR
set -euo pipefail
build=${1:-build}
root=$(cd "$(dirname "$0")/.." && pwd)
cli="$build/src/kestrel-cli"
demo="$root/samples/DEMO.CON"
if [ ! -f "$demo" ]; then
  echo "No demo contract under samples/ yet."
  exit 0
fi
echo "== kestrel-cli info $demo"
"$cli" info "$demo"
