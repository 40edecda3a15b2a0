#!/usr/bin/env bash
# Checks that the downloads are reproducible: builds the Debian package and
# the Windows downloads (ZentabEditor.exe, zentab.exe, the portable zip and
# the installer) twice, from two clones of the commit checked out here
# (HEAD, not uncommitted changes) in folders of different names under WORK
# (default /tmp/zentab-repro), and compares them byte for byte. Names every
# artefact that differs with its first differing byte and exits 1; else
# prints the SHA-256 sums, which a download must match. About 40 minutes
# on two cores.
set -euo pipefail
cd "$(dirname "$0")/.."
work=${1:-/tmp/zentab-repro}
commit=$(git rev-parse HEAD)
ZENTAB_WITH_PACKAGING=1 bash scripts/install-deps.sh
bash scripts/install-deps.sh --only g++-mingw-w64-x86-64-posix nsis python3

# The build steps of packaging/build-deb.sh and scripts/test-windows.sh,
# for the programs and downloads only.
build_copy() {
    local src=$1
    echo "== Building $commit in $src"
    (
        cd "$src"
        ZENTAB_PACKAGE_BUILD=build/package bash packaging/build-deb.sh
        local out=build/windows deps=build/windows/deps
        mkdir -p "$deps/include" "$deps/share/cmake"
        cp -r /usr/include/CLI /usr/include/nlohmann "$deps/include/"
        cp -r /usr/share/cmake/CLI11 /usr/share/cmake/nlohmann_json "$deps/share/cmake/"
        cmake -S . -B "$out" -DCMAKE_BUILD_TYPE=Release -DZENTAB_BUILD_APP=OFF -DZENTAB_BUILD_TESTS=OFF \
            -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64-x86_64.cmake" -DCMAKE_FIND_ROOT_PATH="$PWD/$deps"
        cmake --build "$out" -j2 --target zentab ZentabEditor
        bash packaging/pack-windows.sh "$out"
    )
}

copies=("$work-a/src-one" "$work-b/another-name")
# Clones, not bare copies of the files: each build takes its time from the
# commit as a user's checkout does, with nothing set for it here.
for src in "${copies[@]}"; do
    rm -rf "$src" && mkdir -p "$(dirname "$src")"
    git clone -q --no-checkout "$PWD" "$src"
    git -C "$src" checkout -q --detach "$commit"
done
for src in "${copies[@]}"; do
    build_copy "$src"
done

echo "== Comparing (built in $((SECONDS / 60)) minutes)"
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "${copies[0]}/build/windows/CMakeCache.txt")
artefacts=(
    "$(cd "${copies[0]}" && ls build/package/zentab-editor_*.deb)"
    build/windows/win32/ZentabEditor.exe
    build/windows/tools/zentab.exe
    build/windows/ZentabEditor-"$version"-win64.zip
    build/windows/ZentabEditor-"$version"-setup.exe
)
differ=0
for a in "${artefacts[@]}"; do
    if ! result=$(cmp "${copies[0]}/$a" "${copies[1]}/$a" 2>&1); then
        echo "DIFFERS: $(basename "$a"): ${result:-missing}"
        differ=1
    fi
done
if [ "$differ" = 1 ]; then
    echo "Not reproducible: see above (builds kept in $work-a and $work-b)." >&2
    exit 1
fi
echo "Reproducible: commit $commit built identically in both folders (times: @$(bash "${copies[0]}/packaging/source-date-epoch.sh"))."
(cd "${copies[0]}" && sha256sum "${artefacts[@]}" | sed 's| [^ ]*/| |')
