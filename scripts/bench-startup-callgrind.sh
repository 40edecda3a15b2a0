#!/usr/bin/env bash
# Start-up counted in instructions under Callgrind, which, unlike time,
# does not move with the load of the machine: the editor against the bare Qt
# window with the same widgets, to the first painted window and, started
# with a 10-row module as its argument, to the module on screen. Prints the
# counts and the ratios; never fails on a figure.
#   scripts/bench-startup-callgrind.sh [BUILD_DIR]   (default build/release,
#   configured Release with the benchmarks; startup_cpu is built there)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/release}
jobs=2

if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release
fi
cmake --build "$build" -j"$jobs" --target startup_cpu make_examples
bench=$PWD/$build/bench/startup_cpu

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR=$work
mkdir -p "$work/empty" "$work/modules"
# The module the children open, one of the examples.
"$build/tools/make_examples" "$work/modules" >/dev/null
module=$work/modules/royl-new-10rows.bin
[ -f "$module" ] || { echo "no example module to open (make_examples)" >&2; exit 1; }

# Instructions of one child start, from Callgrind's summary.
count() {
    (cd "$work/empty" && valgrind --tool=callgrind --callgrind-out-file="$work/out.%p" "$bench" --child "$@" \
        2>"$work/log") || { cat "$work/log" >&2; return 1; }
    sed -n 's/.*Collected : \([0-9]*\).*/\1/p' "$work/log"
}

report() {
    local title=$1 editor=$2 bare=$3
    echo "$title"
    awk -v e="$editor" -v b="$bare" 'BEGIN {
        printf "  editor %.1f million instructions\n  bare   %.1f million instructions\n  ratio: %.3f\n",
            e / 1e6, b / 1e6, e / b }'
}

report "Start-up to the first painted window (Callgrind):" "$(count editor)" "$(count bare)"
report "Start-up to the module on screen, started with a module (Callgrind):" \
    "$(count editor "$module")" "$(count bare "$module")"
