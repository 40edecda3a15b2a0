#!/usr/bin/env bash
# The check for Windows: cross-builds the core, the editing session, zentab
# and the tests that need no window with MinGW-w64 into build/windows, runs them under Wine, and then
# compares every zentab command under Wine with the Linux zentab, byte for
# byte: what it prints, its exit status and every file it writes. Leaves
# build/windows/tools/zentab.exe, which needs no DLL beside it.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
out=$root/build/windows
jobs=2

packages=(
    cmake make g++ googletest libcli11-dev nlohmann-json3-dev
    g++-mingw-w64-x86-64-posix wine64
)
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

# Wine: its own prefix, quiet, and UTF-8 arguments read as UTF-8.
wine=/usr/lib/wine/wine64
export WINEPREFIX=$out/wineprefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LC_ALL=C.UTF-8
mkdir -p "$WINEPREFIX"
# One wine server for the whole run instead of one per program.
/usr/lib/wine/wineserver -p || true  # one left running serves as well
trap '/usr/lib/wine/wineserver -k 2>/dev/null || true' EXIT
"$wine" wineboot --init

echo "== Headers and GoogleTest for MinGW"
# Only these, not the host's /usr/include, are visible to the cross compiler.
deps=$out/deps
if [ ! -f "$deps/lib/libgtest.a" ]; then
    cmake -S /usr/src/googletest -B "$out/googletest-build" -DCMAKE_BUILD_TYPE=Release -DBUILD_GMOCK=OFF \
        -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" -DCMAKE_INSTALL_PREFIX="$deps"
    cmake --build "$out/googletest-build" -j"$jobs"
    cmake --install "$out/googletest-build"
fi
mkdir -p "$deps/include" "$deps/share/cmake"
cp -r /usr/include/CLI /usr/include/nlohmann "$deps/include/"
cp -r /usr/share/cmake/CLI11 /usr/share/cmake/nlohmann_json "$deps/share/cmake/"

echo "== Cross-build"
cmake -S . -B "$out" -DCMAKE_BUILD_TYPE=Release -DZENTAB_BUILD_APP=OFF -DZENTAB_BENCH=OFF \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" -DCMAKE_FIND_ROOT_PATH="$deps" \
    -DCMAKE_CROSSCOMPILING_EMULATOR="$wine"
cmake --build "$out" -j"$jobs" --target zentab core_tests editor_tests cli_tests

# Nothing but system DLLs: the C++ and thread runtimes are linked in.
imports=$(x86_64-w64-mingw32-objdump -p "$out/tools/zentab.exe" | sed -n 's/^\s*DLL Name: //p')
echo "zentab.exe imports: $(echo $imports)"
if echo "$imports" | grep -qiE 'libstdc|libgcc|pthread|mingw'; then
    echo "zentab.exe needs a MinGW DLL beside it" >&2
    exit 1
fi

echo "== Tests under Wine"
"$wine" "$out/tests/core_tests.exe"
"$wine" "$out/tests/editor/editor_tests.exe"
"$wine" "$out/tests/cli/cli_tests.exe"

echo "== zentab.exe against the Linux zentab"
cmake -S . -B "$out/host" -DCMAKE_BUILD_TYPE=Release -DZENTAB_BUILD_APP=OFF -DZENTAB_BUILD_TESTS=OFF
cmake --build "$out/host" -j"$jobs" --target zentab make_examples
bash scripts/compare-windows-zentab.sh "$out/host/tools/zentab" "$out/tools/zentab.exe" "$wine" \
    "$out/host/tools/make_examples"
