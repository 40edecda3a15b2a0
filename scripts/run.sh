#!/usr/bin/env bash
# Builds the editor and starts it. Without a display it starts under Xvfb in
# the background, saves a screenshot once it is up, and says how to stop it.
# A module named after the command is opened, as the file manager opens it.
set -euo pipefail
# Named from where the command was given, before the folder changes.
args=()
for a in "$@"; do
    case $a in -*) args+=("$a") ;; *) args+=("$(realpath -m -- "$a")") ;; esac
done
cd "$(dirname "$0")/.."

display=1
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    display=0
fi
ZENTAB_WITH_XVFB=$((1 - display)) bash scripts/install-deps.sh

build=${ZENTAB_RUN_BUILD:-build/release}
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DZENTAB_BUILD_TESTS=OFF
cmake --build "$build" -j2 --target ZentabEditor zentab examples

echo "Sample modules to load are in $(pwd)/examples; the command-line tool is $(pwd)/$build/tools/zentab"
if [ "$display" = 1 ]; then
    exec "$build"/app/ZentabEditor "${args[@]}"
fi

echo "No display found: the editor runs under Xvfb."
number_file=$(mktemp)
# -displayfd: Xvfb picks a free display and writes its number once it is ready.
setsid Xvfb -displayfd 3 -screen 0 1400x800x24 -nolisten tcp 3>"$number_file" >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do
    [ -s "$number_file" ] && break
    sleep 0.1
done
if [ ! -s "$number_file" ]; then
    echo "Xvfb did not start" >&2
    kill "$xvfb_pid" 2>/dev/null || true
    exit 1
fi
export DISPLAY=":$(tr -d '[:space:]' < "$number_file")"
rm -f "$number_file"

setsid "$build"/app/ZentabEditor "${args[@]}" >"$build"/editor.log 2>&1 &
editor_pid=$!
sleep 3
if ! kill -0 "$editor_pid" 2>/dev/null; then
    echo "The editor ended at start-up; its output is in $(pwd)/$build/editor.log" >&2
    kill "$xvfb_pid" 2>/dev/null || true
    exit 1
fi
shot="$(pwd)/$build/startup-screenshot.png"
import -display "$DISPLAY" -window root "$shot"
echo "Screenshot after start-up: $shot"
echo "The editor runs on display $DISPLAY (editor process $editor_pid, Xvfb process $xvfb_pid)."
echo "Stop it with: kill $editor_pid $xvfb_pid"
