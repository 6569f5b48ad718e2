#!/usr/bin/env bash
# The batch tool's speed against a reference: builds orvix-kl-batch of REVISION (default: the
# last revision before the tool ran on worker threads) into build-reference/, this checkout's
# into BUILD_DIR (default: build), then runs bench/cli/batch_bench, which times both on the same
# 1,000 generated protocols with --charts in the same run. (scripts/compare-batch.sh compares
# what two builds write; give it a reference with the same outputs.)
#   scripts/bench-batch.sh [REVISION]
# Extra arguments for the benchmark program: BENCH_ARGS (e.g. --benchmark_format=json).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
revision=${1:-7a867c9}
build=${BUILD_DIR:-$root/build}
reference=$root/build-reference
jobs=${JOBS:-2}
launcher=()
if command -v ccache >/dev/null; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi

echo "=== reference: orvix-kl-batch of $revision"
rm -rf "$reference/src"
mkdir -p "$reference/src"
git -C "$root" archive "$revision" | tar -x -C "$reference/src"
cmake -S "$reference/src" -B "$reference/build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DORVIX_TESTS=OFF -DORVIX_BENCHMARKS=OFF "${launcher[@]}" >/dev/null
nice cmake --build "$reference/build" --target orvix-kl-batch --parallel "$jobs"

echo "=== this checkout"
if [[ ! -f $build/CMakeCache.txt ]]; then
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release "${launcher[@]}" >/dev/null
fi
nice cmake --build "$build" --target batch_bench orvix-kl-batch protogen --parallel "$jobs"

echo "=== speed (machine: $(nproc) hardware threads, load $(cut -d' ' -f1-3 /proc/loadavg))"
ORVIX_BENCH_REFERENCE_BATCH=$reference/build/bin/orvix-kl-batch \
    "$build/bin/batch_bench" ${BENCH_ARGS:-}
