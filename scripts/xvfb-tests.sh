#!/usr/bin/env bash
# Runs the window tests that need a real X server (gtest filter, default
# 'UnderX.*') on Xvfb with a window manager (openbox), as a planner sees the
# workbench: real placement, focus, modal message boxes.
# Usage: scripts/xvfb-tests.sh PATH/TO/q7tests [FILTER]
set -uo pipefail
tests=${1:?usage: xvfb-tests.sh PATH/TO/q7tests [FILTER]}
filter=${2:-UnderX.*}
command -v Xvfb >/dev/null || { echo "Xvfb is not installed (scripts/setup.sh installs it)" >&2; exit 1; }

work=$(mktemp -d)
xvfb_pid="" wm_pid=""
cleanup() {
  [ -n "$wm_pid" ] && kill "$wm_pid" 2>/dev/null && wait "$wm_pid" 2>/dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 50); do
  [ -s "$work/display" ] && break
  sleep 0.1
done
[ -s "$work/display" ] || { echo "Xvfb did not start:" >&2; cat "$work/xvfb.log" >&2; exit 1; }
display=":$(head -n1 "$work/display")"

if command -v openbox >/dev/null; then
  DISPLAY=$display openbox --sm-disable >"$work/wm.log" 2>&1 &
  wm_pid=$!
  sleep 0.5
else
  echo "no window manager (openbox) installed: windows are placed by the X server alone" >&2
fi

suppressions="$(cd "$(dirname "$0")/.." && pwd)/tests/lsan-x11.supp"
DISPLAY=$display QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR=$work \
  LSAN_OPTIONS="suppressions=$suppressions:print_suppressions=0${LSAN_OPTIONS:+:$LSAN_OPTIONS}" "$tests" --gtest_filter="$filter"
