#!/usr/bin/env bash
# Packs the two Windows downloads from a MinGW build folder BUILD (the one
# scripts/test-windows.sh makes): stages the programs and texts in
# BUILD/package/ZentabEditor-VERSION-win64, then writes
# BUILD/ZentabEditor-VERSION-win64.zip and BUILD/ZentabEditor-VERSION-setup.exe
# and prints their paths. Both are the same bytes from the same commit: every
# staged file, zip entry and installed file carries the time from
# packaging/source-date-epoch.sh.
set -euo pipefail
build=$(cd "${1:?usage: pack-windows.sh BUILD}" && pwd)
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh --only python3 nsis

epoch=$(bash packaging/source-date-epoch.sh)
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
name=ZentabEditor-$version-win64
stage=$build/package/$name
rm -rf "$build/package" && mkdir -p "$stage"
cp "$build/win32/ZentabEditor.exe" "$build/tools/zentab.exe" "$stage/"
# Texts with CR LF, as Notepad shows them.
sed 's/\r$//; s/$/\r/' app/ZentabEditor.ini >"$stage/ZentabEditor.ini"
sed 's/\r$//; s/$/\r/' win32/LICENSE.txt >"$stage/LICENSE.txt"
sed "s/@VERSION@/$version/; s/\r\$//; s/\$/\r/" win32/README.txt >"$stage/README.txt"
# The installer keeps each file's time for the installed copy.
chmod 0755 "$stage" "$stage"/*.exe
chmod 0644 "$stage"/*.ini "$stage"/*.txt
touch -h -d "@$epoch" "$stage" "$stage"/*

zip=$build/$name.zip
rm -f "$zip"
# Debian's Python and zlib, not one a version manager puts first on PATH:
# another zlib may compress to other bytes.
/usr/bin/python3 packaging/write-zip.py "$zip" "$stage" "$epoch"
echo "$zip"

setup=$build/ZentabEditor-$version-setup.exe
SOURCE_DATE_EPOCH=$epoch makensis -V2 -DVERSION="$version" -DSTAGE="$stage" -DOUTFILE="$setup" win32/installer.nsi
echo "$setup"
