#!/usr/bin/env bash
# Sets up, builds and starts the window program on the sample protocols: the protocols of
# Data/ are copied beside the program (build/bin/Data), so are the norm tables of norms/
# (build/bin/norms), and build/bin/Results is made for what it saves. Extra arguments go to
# CMake.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
"$root/scripts/setup.sh"
BUILD_DIR=$build "$root/scripts/build.sh" "$@"

bin=$build/bin
mkdir -p "$bin/Data" "$bin/Results" "$bin/norms"
shopt -s nullglob
samples=("$root"/Data/*)
if ((${#samples[@]})); then
    cp -p "${samples[@]}" "$bin/Data/"
fi
tables=("$root"/norms/*)
if ((${#tables[@]})); then
    cp -p "${tables[@]}" "$bin/norms/"
fi
echo "Sample protocols: $bin/Data (${#samples[@]} files); saved files go to $bin/Results"

if [[ -z ${DISPLAY:-} && -z ${WAYLAND_DISPLAY:-} ]]; then
    echo "No display to show the window on. Run it on a virtual X server instead:" >&2
    echo "    xvfb-run -a -s \"-screen 0 1280x1024x24\" ./scripts/run.sh" >&2
    exit 1
fi
exec "$bin/orvix-kl"
