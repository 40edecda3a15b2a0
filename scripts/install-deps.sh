#!/usr/bin/env bash
# Installs the Debian 12 packages the build, the tests and the editor need,
# asking apt only when one of them is missing.
set -euo pipefail

packages=(
    cmake make g++ pkg-config
    qt6-base-dev qt6-qpa-plugins libgl-dev
    libgtest-dev libbenchmark-dev
    libcli11-dev nlohmann-json3-dev
    clang libclang-rt-14-dev
    fonts-liberation2
    libxkbcommon-dev
    dpkg-dev desktop-file-utils appstream
)
if [ "${ZENTAB_WITH_XVFB:-0}" = 1 ]; then
    packages+=(xvfb xauth imagemagick)
fi

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ "${#missing[@]}" -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update
    apt-get install -y --no-install-recommends "${missing[@]}"
fi
