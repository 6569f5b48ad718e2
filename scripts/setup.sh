#!/usr/bin/env bash
# Installs, with apt-get, whatever of the build and test tools is missing (Debian 12).
set -euo pipefail

packages=(build-essential cmake ninja-build pkg-config qt6-base-dev fonts-liberation xvfb xauth
          x11-utils giflib-tools libgif-dev libgtest-dev googletest libbenchmark-dev python3
          poppler-utils openbox xdotool qt6-translations-l10n)
"$(dirname "$0")/install-packages.sh" "${packages[@]}"
