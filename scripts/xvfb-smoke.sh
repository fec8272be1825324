#!/usr/bin/env bash
# Opens and closes every menu entry of the workbench, and drives the report
# window with mouse and keys, on a real X server (Xvfb, started and stopped
# here); fails on any warning on stderr.
# Usage: scripts/xvfb-smoke.sh PATH/TO/q7tests
set -uo pipefail
tests=${1:?usage: xvfb-smoke.sh PATH/TO/q7tests}
command -v Xvfb >/dev/null || { echo "Xvfb is not installed (scripts/setup.sh installs it)" >&2; exit 1; }

work=$(mktemp -d)
xvfb_pid=""
cleanup() {
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

# -displayfd lets the server pick a free display and tell us which.
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 50); do
  [ -s "$work/display" ] && break
  sleep 0.1
done
[ -s "$work/display" ] || { echo "Xvfb did not start:" >&2; cat "$work/xvfb.log" >&2; exit 1; }
display=":$(head -n1 "$work/display")"

suppressions="$(cd "$(dirname "$0")/.." && pwd)/tests/lsan-x11.supp"
DISPLAY=$display QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR=$work \
  LSAN_OPTIONS="suppressions=$suppressions:print_suppressions=0${LSAN_OPTIONS:+:$LSAN_OPTIONS}" "$tests" \
  --gtest_filter='Workbench.EveryMenuEntryOpensAndClosesByItsProgramType:Workbench.MaintenanceFormExitClosesItsWindow:ReportWindowTest.*' \
  >"$work/out" 2>"$work/err"
status=$?
cat "$work/out"
if [ "$status" -ne 0 ]; then
  cat "$work/err" >&2
  exit "$status"
fi
if [ -s "$work/err" ]; then
  echo "warnings on stderr under X:" >&2
  cat "$work/err" >&2
  exit 1
fi
echo "no warnings on $display"
