#!/usr/bin/env bash
# Builds the Debian package (cpack -G DEB) from the Release build tree BUILD_DIR (default:
# build) and prints its path on the last line. Sets up and builds first, as test.sh does.
# Extra arguments go to CMake.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
"$root/scripts/setup.sh"
# rsvg-convert draws the PNG icons from the SVG one.
"$root/scripts/install-packages.sh" librsvg2-bin
BUILD_DIR=$build "$root/scripts/build.sh" -DORVIX_RSVG_CONVERT="$(command -v rsvg-convert)" "$@"
type=$(sed -n 's/^CMAKE_BUILD_TYPE:[A-Z]*=//p' "$build/CMakeCache.txt")
if [[ $type != Release ]]; then
    echo "package.sh: $build is a $type build; the package is made from a Release build" >&2
    exit 1
fi
rm -rf "$build/package"
(cd "$build" && cpack -G DEB -B "$build/package" >&2)
shopt -s nullglob
debs=("$build"/package/*.deb)
if ((${#debs[@]} != 1)); then
    echo "package.sh: expected one package in $build/package" >&2
    exit 1
fi
echo "${debs[0]}"
