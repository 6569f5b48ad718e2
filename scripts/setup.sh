#!/usr/bin/env bash
# Installs, with apt-get, whatever of the build and test tools is missing (Debian 12).
set -euo pipefail

packages=(build-essential cmake ninja-build pkg-config qt6-base-dev fonts-liberation xvfb xauth
          x11-utils giflib-tools libgif-dev libgtest-dev googletest libbenchmark-dev python3
          poppler-utils)
missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q '^install ok installed'; then
        missing+=("$p")
    fi
done
if ((${#missing[@]})); then
    echo "Installing: ${missing[*]}"
    sudo=()
    if [[ $(id -u) -ne 0 ]]; then sudo=(sudo); fi
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends \
        "${missing[@]}"
fi
