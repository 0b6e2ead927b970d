#!/usr/bin/env bash
# The demo that `make run` shows: the demo contract's summary, its check, and
# its subcontractor report as text and as PDF. Usage: demo.sh BUILD_DIR
#
# Commands the built kestrel-cli does not have yet are skipped with a note,
# so that the demo runs at every stage of the program.
set -uo pipefail
build=${1:-build}
root=$(cd "$(dirname "$0")/.." && pwd)
case "$build" in /*) ;; *) build="$root/$build" ;; esac
cli="$build/src/kestrel-cli"
demo="$root/samples/DEMO.CON"
text="$build/demo-report.txt"
pdf="$build/demo-report.pdf"

if [ ! -x "$cli" ]; then
  echo "kestrel-cli is not built ($cli)." >&2
  exit 1
fi
if [ ! -f "$demo" ]; then
  echo "No demo contract under samples/ yet."
  exit 0
fi

commands=$("$cli" --help 2>/dev/null)
has() { grep -q "^  $1 " <<<"$commands"; }
skip() { echo "(kestrel-cli has no '$1' command yet: skipped)"; }

echo "== kestrel-cli info samples/DEMO.CON"
if has info; then
  "$cli" info "$demo" || echo "(info failed: status $?)"
else
  skip info
fi

echo
echo "== kestrel-cli check samples/DEMO.CON"
if has check; then
  # The demo contract is deliberately incomplete: status 1 means the check
  # found errors, which is what it is there to show.
  "$cli" check "$demo"
  status=$?
  case $status in
    0) echo "(the contract is complete)" ;;
    1) echo "(status 1: the check found errors, as the demo intends)" ;;
    *) echo "(check failed: status $status)" ;;
  esac
else
  skip check
fi

echo
echo "== kestrel-cli report samples/DEMO.CON --text $text --pdf $pdf"
if has report; then
  rm -f "$text" "$pdf"
  if "$cli" report "$demo" --text "$text" --pdf "$pdf"; then
    pages=$(grep -c $'^\f$' "$text" || true)
    echo "The report has $pages pages. Its first pages as text:"
    echo
    # Up to the second form feed: the cover and the first page.
    awk 'BEGIN { n = 0 } /^\f$/ { if (++n == 2) exit; print "--------------------------------------------------------------------------------"; next } { print }' "$text"
    echo
    echo "Text report: $text"
    if [ -s "$pdf" ]; then
      echo "PDF report:  $pdf"
    else
      echo "(no PDF was written: this kestrel-cli was built without the Qt print support)"
    fi
  else
    echo "(report failed: status $?)"
  fi
else
  skip report
fi

if has kvl; then
  echo
  echo "== kestrel-cli kvl list samples/DEMO.kvl"
  "$cli" kvl list "$root/samples/DEMO.kvl" || echo "(kvl list failed: status $?)"
fi
exit 0
