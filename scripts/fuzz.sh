#!/usr/bin/env bash
# Builds a fuzz target with clang, ASan and UBSan (in its own build directory)
# and runs it for SECONDS, starting from its seed corpus in fuzz/corpus/TARGET.
# Usage: scripts/fuzz.sh tsql|filter [SECONDS] [libFuzzer options...]
# New inputs go to BUILD_DIR/corpus-TARGET, failing ones to BUILD_DIR/artifacts/.
set -euo pipefail
cd "$(dirname "$0")/.."
target=${1:?usage: scripts/fuzz.sh tsql|filter [SECONDS]}
seconds=${2:-60}
shift $(( $# < 2 ? $# : 2 ))
case "$target" in
  tsql|filter) ;;
  *) echo "scripts/fuzz.sh: unknown target '$target' (tsql or filter)" >&2; exit 2 ;;
esac
build_dir=${Q7_FUZZ_BUILD_DIR:-build-fuzz}

if [ ! -f "$build_dir/CMakeCache.txt" ]; then
  cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    -DQ7_FUZZ=ON -DQ7_WERROR=OFF -DQ7_BENCHMARKS=OFF -DBUILD_TESTING=OFF
fi
cmake --build "$build_dir" --target "fuzz_$target"

mkdir -p "$build_dir/corpus-$target" "$build_dir/artifacts"
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=0:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
"$build_dir/bin/fuzz_$target" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=3072 -print_final_stats=1 \
  -artifact_prefix="$build_dir/artifacts/$target-" "$@" "$build_dir/corpus-$target" "fuzz/corpus/$target"
