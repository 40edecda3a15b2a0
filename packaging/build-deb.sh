#!/usr/bin/env bash
# Builds the Debian package in build/package (or $ZENTAB_PACKAGE_BUILD),
# checks it with lintian (no error, no warning) and prints its path; with
# --install also installs it (as root), as a user would: apt-get install ./FILE.
set -euo pipefail
cd "$(dirname "$0")/.."

build=${ZENTAB_PACKAGE_BUILD:-build/package}
ZENTAB_WITH_PACKAGING=1 bash scripts/install-deps.sh
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr -DZENTAB_BUILD_TESTS=OFF
cmake --build "$build" -j2
(cd "$build" && cpack -G DEB)
deb=$(ls -t "$build"/zentab-editor_*.deb | head -n 1)
lintian --fail-on error,warning "$deb"
echo "Package: $(pwd)/$deb"
if [ "${1:-}" = --install ]; then
    export DEBIAN_FRONTEND=noninteractive
    apt-get install -y --no-install-recommends "./$deb"
fi
