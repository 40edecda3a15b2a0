#!/usr/bin/env bash
# Installs the Debian 12 packages that building and running the editor
# need, asking apt only when one of them is missing. ZENTAB_WITH_TESTS=1 adds
# the test, sanitizer, fuzzing and benchmark toolchains, ZENTAB_WITH_PACKAGING=1
# what the Debian package is built and checked with, ZENTAB_WITH_XVFB=1 a
# virtual display. `install-deps.sh --only PACKAGE...` installs just those,
# for the scripts that need other packages.
set -euo pipefail

packages=(
    cmake make g++ pkg-config
    qt6-base-dev qt6-qpa-plugins libgl-dev
    libcli11-dev nlohmann-json3-dev
    fonts-liberation2
    libxkbcommon-dev
)
if [ "${ZENTAB_WITH_TESTS:-0}" = 1 ]; then
    packages+=(libgtest-dev librapidcheck-dev libbenchmark-dev valgrind clang libclang-rt-14-dev desktop-file-utils appstream)
fi
if [ "${ZENTAB_WITH_PACKAGING:-0}" = 1 ]; then
    # CPack's DEB generator runs file(1) on every installed file.
    packages+=(dpkg-dev file lintian)
fi
if [ "${ZENTAB_WITH_XVFB:-0}" = 1 ]; then
    packages+=(xvfb xauth imagemagick)
fi
if [ "${1:-}" = --only ]; then
    shift
    packages=("$@")
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
