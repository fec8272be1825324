#!/usr/bin/env bash
# Sets up (packages, configure, build) and runs every test. The server-account
# tests run on a throwaway PostgreSQL cluster started here and stopped at the
# end (also when a test fails); without it the run fails.
# Usage: scripts/test.sh [BUILD_DIR] [extra cmake args...]
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${1:-build}
scripts/setup.sh "$@"
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=0}

cluster=$(mktemp -d /tmp/q7pg.XXXXXX)
trap 'scripts/pg-cluster.sh stop "$cluster"' EXIT
Q7_PG_CONNECTION=$(scripts/pg-cluster.sh start "$cluster") || {
  echo "test.sh: the PostgreSQL test cluster did not start" >&2
  exit 1
}
export Q7_PG_CONNECTION
export Q7_REQUIRE_SERVER=1
ctest --test-dir "$build_dir" --output-on-failure -j"$(nproc)"
