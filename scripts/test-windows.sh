#!/usr/bin/env bash
# The check for Windows: cross-builds the file layer, the core, the editing
# session, zentab, the native editor window and their tests with MinGW-w64
# into build/windows, runs them under Wine on a virtual display, and
# compares every zentab command under Wine with the Linux zentab, byte for
# byte: what it prints, its exit status and every file it writes. Then starts the real
# ZentabEditor.exe (title, client size, a screenshot, a clean close), packs
# the portable zip and the installer, installs and uninstalls that silently,
# and times the editor's start-up against a bare window. Leaves in
# build/windows: ZentabEditor-VERSION-win64.zip, ZentabEditor-VERSION-setup.exe,
# screenshot-96.png and screenshot-144.png, and tools/zentab.exe and win32/ZentabEditor.exe, which need
# no DLL beside them.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
out=$root/build/windows
jobs=2

packages=(
    cmake make g++ googletest libcli11-dev nlohmann-json3-dev
    g++-mingw-w64-x86-64-posix wine64 xvfb xauth imagemagick nsis
)
bash scripts/install-deps.sh --only "${packages[@]}"

# Wine: its own prefix, quiet, and UTF-8 arguments read as UTF-8.
wine=/usr/lib/wine/wine64
export WINEPREFIX=$out/wineprefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LC_ALL=C.UTF-8
mkdir -p "$WINEPREFIX"
# A virtual display of our own for the windows, on the first free number.
display=90
while [ -e "/tmp/.X$display-lock" ] || [ -e "/tmp/.X11-unix/X$display" ]; do display=$((display + 1)); done
Xvfb ":$display" -screen 0 2000x1100x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
export DISPLAY=":$display"
for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$display" ] && break; sleep 0.1; done
# One wine server for the whole run instead of one per program.
/usr/lib/wine/wineserver -p || true  # one left running serves as well
trap '/usr/lib/wine/wineserver -k 2>/dev/null || true; kill "$xvfb_pid" 2>/dev/null || true' EXIT
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
cmake --build "$out" -j"$jobs" --target zentab files_tests core_tests editor_tests cli_tests \
    ZentabEditor window_tests window_probe bare_window startup_launcher

# Nothing but system DLLs: the C++ and thread runtimes are linked in.
for exe in "$out/tools/zentab.exe" "$out/win32/ZentabEditor.exe"; do
    imports=$(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^\s*DLL Name: //p')
    echo "$(basename "$exe") imports: $(echo $imports)"
    if echo "$imports" | grep -qiE 'libstdc|libgcc|pthread|mingw'; then
        echo "$(basename "$exe") needs a MinGW DLL beside it" >&2
        exit 1
    fi
done

echo "== Tests under Wine"
"$wine" "$out/tests/files_tests.exe"
"$wine" "$out/tests/core_tests.exe"
"$wine" "$out/tests/editor/editor_tests.exe"
"$wine" "$out/tests/cli/cli_tests.exe"
# The window under both Windows versions Wine can report: the newer calls
# are looked up at run time.
for version in win7 win10; do
    echo "-- window tests, Wine reporting $version"
    "$wine" winecfg -v "$version"
    "$wine" "$out/tests/win32/window_tests.exe"
done

echo "== zentab.exe against the Linux zentab"
cmake -S . -B "$out/host" -DCMAKE_BUILD_TYPE=Release -DZENTAB_BUILD_APP=OFF -DZENTAB_BUILD_TESTS=OFF
cmake --build "$out/host" -j"$jobs" --target zentab make_examples
bash scripts/compare-windows-zentab.sh "$out/host/tools/zentab" "$out/tools/zentab.exe" "$wine" \
    "$out/host/tools/make_examples"

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$out/CMakeCache.txt")
probe=$out/tests/win32/window_probe.exe
title="Редактор списка моделей"

# Starts an editor with the arguments after the first three, checks its
# window and title from outside, closes it.
check_editor() {
    local exe=$1 expected=$2 shot=$3
    shift 3
    "$wine" "$exe" "$@" &
    local pid=$!
    "$wine" "$probe" check "$expected"
    if [ -n "$shot" ]; then
        import -window root "$shot"
        echo "screenshot: $shot"
    fi
    "$wine" "$probe" close
    wait "$pid"
}

echo "== Portable zip and installer"
# Both stamped with the commit's time, so a rebuild gives the same bytes.
bash packaging/pack-windows.sh "$out"
stage=$out/package/ZentabEditor-$version-win64

echo "== The editor under Wine, from the unpacked zip, opening a module as Open with does"
modules="$out/модули"
rm -rf "$modules" && "$out/host/tools/make_examples" "$modules" >/dev/null
for dpi in 144 96; do
    "$wine" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null
    check_editor "$stage/ZentabEditor.exe" "$title - royl-new-10rows.bin" "$out/screenshot-$dpi.png" \
        "Z:$(echo "$modules/royl-new-10rows.bin" | tr / '\\')"
done

echo "== Installer"
setup=$out/ZentabEditor-$version-setup.exe
installed="$WINEPREFIX/drive_c/Program Files/ZentabEditor"
shortcut="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/ZentabEditor.lnk"
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\ZentabEditor'
"$wine" "$setup" /S
for f in ZentabEditor.exe zentab.exe uninstall.exe ZentabEditor.example.ini; do
    [ -f "$installed/$f" ] || { echo "installer left out $f" >&2; exit 1; }
done
[ -f "$shortcut" ] || { echo "no Start-menu shortcut" >&2; exit 1; }
"$wine" reg query "$key" /v UninstallString >/dev/null
# "Open with": the registered command starts the installed editor with the file.
open_with='HKLM\Software\Classes\Applications\ZentabEditor.exe\shell\open\command'
"$wine" reg query "$open_with" /ve | grep -qF '"C:\Program Files\ZentabEditor\ZentabEditor.exe" "%1"' ||
    { echo "no Open with command" >&2; exit 1; }
"$wine" reg query 'HKLM\Software\Classes\.bin\OpenWithList\ZentabEditor.exe' >/dev/null
check_editor 'C:\Program Files\ZentabEditor\ZentabEditor.exe' "$title - legacy-std-8rows.bin" "" \
    "Z:$(echo "$modules/legacy-std-8rows.bin" | tr / '\\')"
# The uninstaller runs from a copy of itself and returns at once.
"$wine" 'C:\Program Files\ZentabEditor\uninstall.exe' /S
for _ in $(seq 300); do [ ! -e "$installed" ] && break; sleep 0.1; done
[ ! -e "$installed" ] || { echo "uninstall left $(ls "$installed")" >&2; exit 1; }
[ ! -e "$shortcut" ] || { echo "uninstall left the shortcut" >&2; exit 1; }
for left in "$key" 'HKLM\Software\Classes\Applications\ZentabEditor.exe' \
    'HKLM\Software\Classes\.bin\OpenWithList\ZentabEditor.exe'; do
    if "$wine" reg query "$left" >/dev/null 2>&1; then
        echo "uninstall left the registry entry $left" >&2
        exit 1
    fi
done
echo "installed, started, uninstalled: nothing left"

echo "== Start-up benchmark (medians of 15, 96 dpi; wall-clock time under Wine, noisy on a busy machine)"
windows_path() { echo "Z:$1" | tr / '\\'; }
echo "-- to the first painted window"
"$wine" "$out/bench/win32/startup_launcher.exe" 15 "$(windows_path "$stage/ZentabEditor.exe")" \
    "$(windows_path "$out/bench/win32/bare_window.exe")" || echo "the start-up benchmark did not finish"
echo "-- to the module on screen: each started with a 10-row module, as Open with does"
"$wine" "$out/bench/win32/startup_launcher.exe" 15 --open "$(windows_path "$modules/royl-new-10rows.bin")" \
    "$(windows_path "$stage/ZentabEditor.exe")" "$(windows_path "$out/bench/win32/bare_window.exe")" ||
    echo "the start-up benchmark did not finish"
