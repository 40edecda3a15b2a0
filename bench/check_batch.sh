#!/usr/bin/env bash
# zentab check over a folder of 1000 synthesised modules, against cat of the
# same files and a shell loop of one zentab per file. Best of five runs each.
#
#   bash bench/check_batch.sh BUILD_DIR
#
# BUILD_DIR holds tools/zentab and tools/make_examples (a Release build).
set -euo pipefail
build=${1:?usage: bench/check_batch.sh BUILD_DIR}
zentab=$build/tools/zentab
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$build/tools/make_examples" "$work/samples" >/dev/null
samples=("$work"/samples/*.bin)
mkdir "$work/reads"
for i in $(seq -w 0 999); do
    cp "${samples[$((10#$i % ${#samples[@]}))]}" "$work/reads/m$i.bin"
done
bytes=$(cat "$work"/reads/* | wc -c)
echo "1000 modules, $bytes bytes in all"

best() {  # best wall time in ms of five runs of "$@"
    local best=
    for _ in 1 2 3 4 5; do
        local start end
        start=$(date +%s%N)
        "$@" >/dev/null
        end=$(date +%s%N)
        local ms=$(((end - start) / 1000000))
        if [[ -z $best || $ms -lt $best ]]; then best=$ms; fi
    done
    echo "$best"
}
loop() { for f in "$work"/reads/*; do "$zentab" check "$f"; done; }
cat_all() { cat "$work"/reads/*; }

cat_ms=$(best cat_all)
check_ms=$(best "$zentab" check "$work/reads")
loop_ms=$(best loop)
echo "cat of the files:          $cat_ms ms"
echo "zentab check FOLDER:       $check_ms ms"
echo "one zentab check per file: $loop_ms ms"
awk -v c="$check_ms" -v k="$cat_ms" 'BEGIN { if (k > 0) printf "check / cat: %.1f\n", c / k }'
