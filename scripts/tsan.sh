#!/usr/bin/env bash
# Runs the tests that work on several threads (parallel account creation, the
# per-thread module state, the explosions summarised side by side, the script
# watchdog, concurrent saves) under ThreadSanitizer. Qt itself is not built
# for it: what passes from thread to thread through Qt's queued calls (the
# report window's worker) is ordered by locks the checker cannot see, so
# those tests would only report that; they run under ASan with the rest.
# Usage: scripts/tsan.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${1:-build-tsan}
scripts/setup.sh "$build_dir" -DQ7_TSAN=ON -DQ7_BENCHMARKS=OFF -DQ7_MAN_PAGES=OFF

export QT_QPA_PLATFORM=offscreen
export TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 suppressions=$PWD/tests/tsan-qt.supp"
# The account file's tests start q7bom processes through QProcess, which starts a child in a way the
# checker does not follow (the child shares the parent's memory for a moment). After that the checker
# loses track of the locks of threads started later in the same process and reports races on data
# that every access reaches under one mutex, so those tests run in a process of their own.
threaded='ModBOMState.*:ScriptLimits*:ExplosionFixtures*:ProcedureReports*:ConcurrentSave*:ReadersAgreement*:MadeAhead*:BomImport*'
"$build_dir/bin/q7tests" --gtest_filter="$threaded" --gtest_brief=1
"$build_dir/bin/q7tests" --gtest_filter='AccountFile.*' --gtest_brief=1
