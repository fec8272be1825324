#!/usr/bin/env bash
# Sets up (packages, configure, build) and runs every test.
# Usage: scripts/test.sh [BUILD_DIR] [extra cmake args...]
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${1:-build}
scripts/setup.sh "$@"
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=0}
ctest --test-dir "$build_dir" --output-on-failure -j"$(nproc)"
