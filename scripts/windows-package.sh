#!/usr/bin/env bash
# The Windows deliveries from a cross build with Qt (scripts/windows-check.sh makes one): the
# portable zip and the per-user installer, both named with the version, made with CPack into
# BUILD/package. Prints their paths, the installer's last.
#   scripts/windows-package.sh [BUILD]      (default build-windows-qt)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build-windows-qt}" && pwd)
"$root/scripts/install-packages.sh" nsis qt6-translations-l10n >&2
cmake --build "$build" --parallel "$(nproc)" >&2
rm -rf "$build/package"
(cd "$build" && cpack -C Release >&2)
zip=$(ls "$build"/package/*-win64.zip)
setup=$(ls "$build"/package/*-win64-setup.exe)
for f in "$zip" "$setup"; do echo "$(du -h "$f" | cut -f1) $(basename "$f")" >&2; done
echo "$zip"
echo "$setup"
