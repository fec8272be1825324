#!/usr/bin/env bash
# Opens and closes every menu entry of the workbench, and drives the report
# window with mouse and keys, on a real X server (scripts/xvfb-tests.sh starts
# and stops it); fails on any warning on stderr.
# Usage: scripts/xvfb-smoke.sh PATH/TO/q7tests
set -uo pipefail
tests=${1:?usage: xvfb-smoke.sh PATH/TO/q7tests}
err=$(mktemp)
trap 'rm -f "$err"' EXIT

"$(dirname "$0")/xvfb-tests.sh" "$tests" \
  'Workbench.EveryMenuEntryOpensAndClosesByItsProgramType:Workbench.MaintenanceFormExitClosesItsWindow:ReportWindowTest.*' 2>"$err"
status=$?
if [ "$status" -ne 0 ]; then
  cat "$err" >&2
  exit "$status"
fi
if [ -s "$err" ]; then
  echo "warnings on stderr under X:" >&2
  cat "$err" >&2
  exit 1
fi
echo "no warnings under X"
