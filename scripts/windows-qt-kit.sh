#!/usr/bin/env bash
# Qt 6 for 64-bit Windows, cross-built with Debian's MinGW-w64 g++ (posix threads) from Debian's
# own qt6-base source package, exactly the version of the installed qt6-base-dev: the Windows
# build uses the host's moc, rcc and uic through QT_HOST_PATH, and they must match.
#   scripts/windows-qt-kit.sh            prints the kit's folder on its last line
#   scripts/windows-qt-kit.sh --cached   the same when the kit is built already; else status 1
#   scripts/windows-qt-kit.sh --packages the Debian packages the build needs, one line
# The kit goes to a cache folder outside the checkout (ORVIX_CACHE_DIR, default
# ~/.cache/orvix-kl), named by the source version, the compiler's version and the recipe below,
# so that every later build reuses it; a fresh machine builds it once (about 30-40 minutes on
# two cores). Progress goes to standard error.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/scripts/windows-sources.sh"

packages=(cmake ninja-build dpkg-dev g++-mingw-w64-x86-64-posix qt6-base-dev qt6-base-dev-tools)
if [[ ${1:-} == --packages ]]; then
    echo "${packages[*]}"
    exit 0
fi
"$root/scripts/install-packages.sh" "${packages[@]}" >&2

# Only what the program and its tests use: Core, Gui, Widgets, PrintSupport, Test, the Windows
# platform plugin and the Windows styles. Debian's source has no wintab, hence no tablet events;
# OpenGL goes off through its input (the feature alone leaves dynamic GL on, which breaks the
# Windows plugin); Direct2D stays on, as the links of PrintSupport and of the plugin need it.
recipe=(
    -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=ON
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF
    -DINPUT_opengl=no -DFEATURE_vulkan=OFF -DFEATURE_tabletevent=OFF
    -DFEATURE_network=OFF -DFEATURE_sql=OFF -DFEATURE_dbus=OFF -DFEATURE_concurrent=OFF
    -DFEATURE_xml=OFF -DFEATURE_testlib=ON -DFEATURE_printsupport=ON -DFEATURE_widgets=ON
)

qt_version=$(dpkg-query -W -f='${Version}' qt6-base-dev)
gxx=x86_64-w64-mingw32-g++-posix
gxx_version="$($gxx -dumpfullversion) $(dpkg-query -W -f='${Version}' g++-mingw-w64-x86-64-posix)"
key=$(printf '%s\n' "$qt_version" "$gxx_version" "${recipe[@]}" | sha256sum | cut -c1-12)
cache=${ORVIX_CACHE_DIR:-${XDG_CACHE_HOME:-$HOME/.cache}/orvix-kl}
kit=$cache/qt6-mingw-w64-${qt_version//[^A-Za-z0-9.]/_}-$key

if [[ ${1:-} == --cached && ! -f $kit/.complete ]]; then exit 1; fi
if [[ ! -f $kit/.complete ]]; then
    echo "=== Qt $qt_version for MinGW-w64 ($gxx $gxx_version): building $kit" >&2
    work=$cache/work-$key
    # A build stopped half-way (the machine stopped, say) goes on where it was.
    if [[ ! -f $work/build/build.ninja ]]; then
        rm -rf "$work"
        mkdir -p "$work"
        fetch_debian_source "$work" "qt6-base=$qt_version" "$work/src" >&2
        cmake -S "$work/src" -B "$work/build" -G Ninja \
            -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
            -DQT_HOST_PATH=/usr \
            -DQT_HOST_PATH_CMAKE_DIR="/usr/lib/$(dpkg-architecture -qDEB_HOST_MULTIARCH)/cmake" \
            -DCMAKE_INSTALL_PREFIX="$kit" "${recipe[@]}" >"$work/configure.log" 2>&1 ||
            { tail -50 "$work/configure.log" >&2; exit 1; }
    fi
    cmake --build "$work/build" --parallel "${ORVIX_KIT_JOBS:-$(nproc)}" >>"$work/build.log" 2>&1 ||
        { grep -B2 -A20 'FAILED:' "$work/build.log" | tail -80 >&2; exit 1; }
    rm -rf "$kit"
    cmake --install "$work/build" --prefix "$kit" --strip >"$work/install.log" 2>&1
    date -u +%FT%TZ >"$kit/.complete"
    rm -rf "$work"
    echo "=== Qt kit ready: $(du -sh "$kit" | cut -f1)" >&2
fi
echo "$kit"
