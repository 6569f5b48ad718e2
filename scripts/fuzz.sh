#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (address and undefined-behaviour sanitizers) and runs
# TARGET (protocol, gif, ppm or all) for SECONDS each (default 60). Seeds are generated fresh;
# the corpus found so far is kept in the build folder. Exits non-zero on any finding; the input
# that caused it is left in BUILD/fuzz-artifacts.
#   scripts/fuzz.sh [TARGET] [SECONDS]
# FUZZ_RUNS=N runs each target for N executions instead of SECONDS.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
target=${1:-all}
seconds=${2:-60}
build=${FUZZ_BUILD_DIR:-$root/build-fuzz}

"$root/scripts/setup.sh"
"$root/scripts/install-packages.sh" clang libclang-rt-14-dev libgif-dev python3

generator=()
if command -v ninja >/dev/null; then generator=(-G Ninja); fi
if [[ ! -f $build/CMakeCache.txt ]]; then
    CC=clang CXX=clang++ cmake -S "$root" -B "$build" "${generator[@]}" \
        -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORVIX_FUZZ=ON -DORVIX_TESTS=OFF -DORVIX_BENCHMARKS=OFF
fi
cmake --build "$build" --parallel "$(nproc)" --target protocol_fuzz gif_fuzz ppm_fuzz protogen

seeds=$build/fuzz-seeds
rm -rf "$seeds"
mkdir -p "$seeds"/{protocol,gif,ppm} "$build"/fuzz-corpus/{protocol,gif,ppm} "$build/fuzz-artifacts"
# Protocols: the generator's variants (short and long tests, either separator) as plain text,
# and the bundled samples descrambled.
gen=$build/bin/protogen
"$gen" --plain --seed=1 --count=4 --selections=40 --seconds=60 "$seeds/protocol" >/dev/null
"$gen" --plain --seed=11 --count=2 --selections=8 --seconds=12 "$seeds/protocol" >/dev/null
"$gen" --plain --seed=21 --count=2 --decimal=, --selections=30 --seconds=40 "$seeds/protocol" >/dev/null
"$gen" --plain --seed=31 --count=1 --selections=200 --seconds=200 "$seeds/protocol" >/dev/null
for f in "$root"/Data/*.klp; do
    python3 - "$f" "$seeds/protocol/$(basename "$f").txt" <<'PY'
import sys
key = b"quintabel"
data = open(sys.argv[1], "rb").read()
open(sys.argv[2], "wb").write(bytes(b ^ key[i % 9] for i, b in enumerate(data)))
PY
done
# Pictures: width and height bytes, then pixels (a few colours, many colours, one colour).
printf '\x08\x04\xff\x00\x00\x00\xff\x00' >"$seeds/gif/two-colours"
printf '\x3f\x3f' >"$seeds/gif/black"
head -c 3000 /dev/urandom >"$seeds/gif/noise" 2>/dev/null || true
printf '\x01\x01\x10\x20\x30' >"$seeds/gif/one-pixel"
printf 'P6\n2 1\n255\n\xff\x00\x00\x00\xff\x00' >"$seeds/ppm/small"
printf 'P6 # comment\n1\n1 255 \x01\x02\x03extra' >"$seeds/ppm/comment"

# The memory bound: no input may make the process grow beyond about ten times its size plus a
# fixed amount (the sanitizers' own share included), and no single allocation beyond that.
limit=(-max_total_time="$seconds")
if [[ -n ${FUZZ_RUNS:-} ]]; then limit=(-runs="$FUZZ_RUNS"); fi
run() {
    local name=$1 max_len=$2 rss_mb=$3
    shift 3
    echo "=== ${name}_fuzz for ${FUZZ_RUNS:-$seconds s} (inputs up to ${max_len} bytes, ${rss_mb} MB) ==="
    # A small quarantine of freed memory, so the sanitizer's own keeping does not count
    # against the memory limit (later options override what the caller set).
    ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}quarantine_size_mb=16:malloc_context_size=10" \
        "$build/bin/${name}_fuzz" "$build/fuzz-corpus/$name" "$seeds/$name" \
        "${limit[@]}" -max_len="$max_len" -rss_limit_mb="$rss_mb" \
        -malloc_limit_mb="$rss_mb" -timeout=10 -print_final_stats=1 \
        -artifact_prefix="$build/fuzz-artifacts/${name}-" "$@"
}
case $target in
    protocol | all) run protocol 8192 192 -dict="$root/fuzz/dict/protocol.dict" ;;&
    gif | all) run gif 2048 160 ;;&
    ppm | all) run ppm 65536 160 -dict="$root/fuzz/dict/ppm.dict" ;;
    protocol | gif) ;;
    *) echo "usage: scripts/fuzz.sh [protocol|gif|ppm|all] [SECONDS]" >&2; exit 2 ;;
esac
