#!/usr/bin/env bash
# The Windows check: everything that needs no Qt (libraries, tools, the batch tool without
# --charts, and their tests) cross-built with MinGW-w64 and the tests run under wine.
# Builds into WINDOWS_BUILD_DIR (default: build-windows), which also holds what the build
# needs for Windows: GoogleTest built from Debian's sources, giflib's gif2rgb (the tests'
# independent GIF decoder) built from Debian's giflib source package, and wine's prefix.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${WINDOWS_BUILD_DIR:-$root/build-windows}
deps=$build/deps
toolchain=$root/cmake/mingw-w64-x86_64.cmake
jobs=$(nproc)
step() { echo "=== $1 (at $SECONDS s)"; }

packages=(cmake ninja-build dpkg-dev g++-mingw-w64-x86-64-posix wine wine64 googletest)
"$root/scripts/install-packages.sh" "${packages[@]}"
mkdir -p "$deps"

# GoogleTest for Windows, from the sources Debian ships in /usr/src/googletest.
gtest=$deps/googletest
if [[ ! -f $gtest/lib/cmake/GTest/GTestConfig.cmake ]]; then
    step "GoogleTest for Windows"
    cmake -S /usr/src/googletest -B "$deps/googletest-build" -G Ninja \
        -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_INSTALL_PREFIX="$gtest" -DBUILD_GMOCK=OFF -DINSTALL_GTEST=ON >/dev/null
    cmake --build "$deps/googletest-build" --parallel "$jobs" >/dev/null
    cmake --install "$deps/googletest-build" >/dev/null
fi

# gif2rgb for Windows, from the giflib source package of the installed Debian release (the
# same giflib that gives the Linux tests their gif2rgb). The source index is fetched into a
# folder of this build, so the machine's own package sources stay as they are.
gif2rgb=$deps/gif2rgb.exe
if [[ ! -f $gif2rgb ]]; then
    step "gif2rgb for Windows"
    apt=$deps/apt
    mkdir -p "$apt/sources" "$apt/lists/partial" "$apt/giflib"
    # The machine's own Debian sources, for source packages.
    for f in /etc/apt/sources.list.d/*.sources; do
        if [[ -f $f ]]; then sed 's/^Types:.*/Types: deb-src/' "$f" >"$apt/sources/${f##*/}"; fi
    done
    if [[ -f /etc/apt/sources.list ]]; then
        sed -n 's/^deb \(.*\)/deb-src \1/p' /etc/apt/sources.list >"$apt/sources.list"
    fi
    aptopts=(-o "Dir::Etc::sourcelist=$apt/sources.list" -o "Dir::Etc::sourceparts=$apt/sources"
             -o "Dir::State::Lists=$apt/lists" -o "APT::Sandbox::User=root")
    # A source without source packages only warns; giflib must come from one that has them.
    apt-get "${aptopts[@]}" update -qq || true
    (cd "$apt/giflib" && apt-get "${aptopts[@]}" source -qq --download-only giflib)
    rm -rf "$apt/giflib/src"
    # apt checked the files against the archive's signed index; the .dsc's own signature
    # would need the maintainers' keys, which this machine does not have.
    dpkg-source --no-check -x "$apt"/giflib/giflib_*.dsc "$apt/giflib/src" >/dev/null
    src=$apt/giflib/src
    # binmode.o: files are opened in binary mode, as on POSIX.
    x86_64-w64-mingw32-gcc-posix -O2 -w -static -I"$src" -o "$gif2rgb" \
        "$src"/{gif2rgb,getarg,qprintf,quantize,dgif_lib,egif_lib,gifalloc,gif_err,gif_hash}.c \
        "$src"/openbsd-reallocarray.c /usr/x86_64-w64-mingw32/lib/binmode.o
fi

step "Cross build (MinGW-w64, without Qt)"
cmake --preset windows-cross -B "$build" -DGTest_DIR="$gtest/lib/cmake/GTest" \
    -DORVIX_GIF2RGB="$gif2rgb" >/dev/null
cmake --build "$build" --parallel "$jobs"

step "Tests under wine"
# A prefix of its own inside the build. wine's server is started once, persistent and with
# its standard streams detached: started by a test instead, it would keep ctest's output pipe
# open and ctest would wait on it after the last test.
export WINEPREFIX=$build/wine WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
stop_wine() {
    wineserver -k >/dev/null 2>&1 || true
    wineserver -w >/dev/null 2>&1 || true
}
mkdir -p "$WINEPREFIX"
stop_wine  # one left from an earlier run
trap stop_wine EXIT
wineserver -p </dev/null >/dev/null 2>&1
wineboot -i </dev/null >/dev/null 2>&1
# No display here: wine's null display driver still lets the tests make windows and menus.
wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f </dev/null >/dev/null 2>&1
cd "$build"
ctest --output-on-failure --parallel "$jobs" --timeout 300
echo "Windows check done in $SECONDS s"
