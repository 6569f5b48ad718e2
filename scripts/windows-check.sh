#!/usr/bin/env bash
# The Windows check, built with Debian's MinGW-w64 compiler and run under wine, in one of two
# forms:
# - WINDOWS_QT=1 (the default): the whole program (WINDOWS_QT_BUILD_DIR, default
#   build-windows-qt) against Qt cross-built from Debian's own sources (scripts/windows-qt-kit.sh;
#   kept in a cache folder and built once per machine), its whole test suite under wine on a
#   virtual screen, the zip and the installer (scripts/windows-package.sh), and the installed
#   program tried as a user would (scripts/windows-try.sh);
# - WINDOWS_QT=0: without Qt (WINDOWS_BUILD_DIR, default build-windows): libraries, tools, the
#   batch tool without --charts and their tests, as a build without a Qt for the target is
#   configured. Its tests are a part of the first form's, which therefore leaves it out unless
#   WINDOWS_NO_QT=1 asks for it too.
# The first build folder also holds what both need for Windows: GoogleTest built from Debian's
# sources and giflib's gif2rgb (the tests' independent GIF decoder) built from Debian's giflib
# source package.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/scripts/windows-sources.sh"
source "$root/scripts/windows-wine.sh"
build=${WINDOWS_BUILD_DIR:-$root/build-windows}
qtbuild=${WINDOWS_QT_BUILD_DIR:-$root/build-windows-qt}
deps=$build/deps
toolchain=$root/cmake/mingw-w64-x86_64.cmake
jobs=$(nproc)
step() { echo "=== $1 (at $SECONDS s)"; }

# tcl generates SQLite's single-file source; libz-mingw-w64-dev is zlib for Windows, which the
# workbook library packs its files with.
packages=(cmake ninja-build dpkg-dev g++-mingw-w64-x86-64-posix wine wine64 googletest python3
          librsvg2-bin tcl libz-mingw-w64-dev)
if [[ ${WINDOWS_QT:-1} != 0 ]]; then
    # Qt's host tools and Russian texts; nsis makes the installer; a virtual screen with a
    # window manager, xdotool to work the window and xwd with netpbm for its screenshot.
    packages+=(qt6-base-dev qt6-base-dev-tools qt6-translations-l10n fonts-liberation nsis xvfb
               xauth openbox xdotool x11-apps netpbm poppler-utils locales)
fi
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
# same giflib that gives the Linux tests their gif2rgb).
gif2rgb=$deps/gif2rgb.exe
if [[ ! -f $gif2rgb ]]; then
    step "gif2rgb for Windows"
    fetch_debian_source "$deps" giflib "$deps/giflib"
    src=$deps/giflib
    # binmode.o: files are opened in binary mode, as on POSIX.
    x86_64-w64-mingw32-gcc-posix -O2 -w -static -I"$src" -o "$gif2rgb" \
        "$src"/{gif2rgb,getarg,qprintf,quantize,dgif_lib,egif_lib,gifalloc,gif_err,gif_hash}.c \
        "$src"/openbsd-reallocarray.c /usr/x86_64-w64-mingw32/lib/binmode.o
fi

# SQLite for Windows (the archive), from the sqlite3 source package of the installed release:
# its single-file form is generated on this machine, then compiled into a static library.
sqlite=$deps/sqlite
if [[ ! -f $sqlite/lib/libsqlite3.a ]]; then
    step "SQLite for Windows"
    fetch_debian_source "$deps" sqlite3 "$deps/sqlite3-src"
    rm -rf "$deps/sqlite3-gen" "$sqlite"
    mkdir -p "$deps/sqlite3-gen" "$sqlite/include" "$sqlite/lib"
    (cd "$deps/sqlite3-gen" && "$deps/sqlite3-src/configure" --disable-tcl >/dev/null &&
        make -j"$jobs" sqlite3.c >/dev/null)
    x86_64-w64-mingw32-gcc-posix -O2 -w -DSQLITE_THREADSAFE=1 -c "$deps/sqlite3-gen/sqlite3.c" \
        -o "$deps/sqlite3-gen/sqlite3.o"
    x86_64-w64-mingw32-ar rcs "$sqlite/lib/libsqlite3.a" "$deps/sqlite3-gen/sqlite3.o"
    cp "$deps/sqlite3-gen/sqlite3.h" "$sqlite/include/"
    rm -rf "$deps/sqlite3-src" "$deps/sqlite3-gen"
fi

# libxlsxwriter for Windows (workbooks), from its source package, static, on MinGW's zlib.
xlsx=$deps/xlsxwriter
zlib=/usr/x86_64-w64-mingw32/lib/libz.a
if [[ ! -f $xlsx/lib/libxlsxwriter.a ]]; then
    step "libxlsxwriter for Windows"
    fetch_debian_source "$deps" libxlsxwriter "$deps/xlsxwriter-src"
    cmake -S "$deps/xlsxwriter-src" -B "$deps/xlsxwriter-build" -G Ninja \
        -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=OFF \
        -DCMAKE_INSTALL_PREFIX="$xlsx" -DZLIB_LIBRARY="$zlib" \
        -DZLIB_INCLUDE_DIR=/usr/x86_64-w64-mingw32/include >/dev/null
    cmake --build "$deps/xlsxwriter-build" --parallel "$jobs" >/dev/null
    cmake --install "$deps/xlsxwriter-build" >/dev/null
    rm -rf "$deps/xlsxwriter-src" "$deps/xlsxwriter-build"
fi
# What both Windows builds are given to find them.
libraries=(-DSQLite3_INCLUDE_DIR="$sqlite/include" -DSQLite3_LIBRARY="$sqlite/lib/libsqlite3.a"
           -DORVIX_XLSXWRITER_INCLUDE="$xlsx/include" -DORVIX_XLSXWRITER="$xlsx/lib/libxlsxwriter.a"
           -DZLIB_LIBRARY="$zlib" -DZLIB_INCLUDE_DIR=/usr/x86_64-w64-mingw32/include)

trap 'wine_stop; screen_stop' EXIT

if [[ ${WINDOWS_QT:-1} == 0 || ${WINDOWS_NO_QT:-0} == 1 ]]; then
    step "Cross build (MinGW-w64, without Qt)"
    cmake --preset windows-cross -B "$build" -DGTest_DIR="$gtest/lib/cmake/GTest" \
        -DORVIX_GIF2RGB="$gif2rgb" "${libraries[@]}" >/dev/null
    cmake --build "$build" --parallel "$jobs"

    step "Tests under wine (without Qt)"
    # No display here: wine's null display driver still lets the tests make windows and menus.
    wine_start "$build/wine" null
    (cd "$build" && ctest --output-on-failure --parallel "$jobs" --timeout 300)
    wine_stop
    echo "=== Windows without Qt done (at $SECONDS s)"
fi
[[ ${WINDOWS_QT:-1} != 0 ]] || exit 0

step "Qt for Windows (built once, then from the cache)"
kit=$("$root/scripts/windows-qt-kit.sh" | tail -n1)

step "Cross build (MinGW-w64, with Qt)"
cmake --preset windows-cross-qt -B "$qtbuild" -DORVIX_QT_KIT="$kit" \
    -DGTest_DIR="$gtest/lib/cmake/GTest" -DORVIX_GIF2RGB="$gif2rgb" "${libraries[@]}" >/dev/null
cmake --build "$qtbuild" --parallel "$jobs"

step "Tests under wine (with Qt, on a virtual screen)"
screen_start "$qtbuild/screen"
wine_start "$qtbuild/wine"
(cd "$qtbuild" && ctest --output-on-failure --parallel "$jobs" --timeout 300)
wine_stop
screen_stop

step "Zip and installer"
"$root/scripts/windows-package.sh" "$qtbuild"

step "The installed program under wine"
"$root/scripts/windows-try.sh" "$qtbuild"
echo "Windows check done in $SECONDS s"
