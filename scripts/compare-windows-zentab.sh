#!/usr/bin/env bash
# Runs every zentab command twice, with the Linux zentab and with zentab.exe
# under Wine, each in its own copy of the same folder of modules, and
# requires the same standard output, standard error, exit status and written
# files, byte for byte. The modules sit in a folder with Cyrillic letters in
# its name; some commands write over their own input. Then random modules
# and random edits, named by absolute paths: "/tmp/..." (under Wine the root
# of the current drive) and "Z:\tmp\...".
#   compare-windows-zentab.sh LINUX_ZENTAB ZENTAB_EXE WINE MAKE_EXAMPLES
set -euo pipefail
linux=$(realpath "$1")
windows=$(realpath "$2")
wine=$3
make_examples=$(realpath "$4")

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
folder="Модули диска"
mkdir -p "$work/seed/$folder" "$work/seed/out" "$work/results"
"$make_examples" "$work/seed/$folder" --random 40 20261209 >/dev/null
(
    cd "$work/seed/$folder"
    cp royl-std-4rows.bin "сохранить поверх.bin"
    cp legacy-new-11rows.bin "сохранить поверх 2.bin"
    cp royl-new-10rows.bin bad-checksum.bin
    printf '\x5a' | dd of=bad-checksum.bin bs=1 seek=200 conv=notrunc status=none
    head -c 40 royl-std-4rows.bin >truncated.bin
    : >empty.bin
    printf 'MZ\r\n\x1a\r\n' >text-like.bin
    mkdir "папка.bin"
    printf 'format,row,name,lba\r\nMain,1,WDC WD10EARS-00MVWB0,1953525168\r\n"Alt 2",3," SPACED, QUOTED ""X""",500G\r\n' \
        >table.csv
    printf '{"cells": [{"format": "Alt 5", "row": 2, "lba": 2T}, {"format": "Main", "row": 4, "name": "ONLY NAME"}]}' \
        >table.json
    printf 'format,row,name,lba\nMain,99,X,1\n' >refused.csv
)
cp -r "$work/seed" "$work/linux"
cp -r "$work/seed" "$work/windows"

failures=0
count=0
# run SIDE ARGUMENT...: one command on one side, its standard input the file
# $input names (relative to that side's folder) or nothing.
input=/dev/null
run() {
    local side=$1 r=$work/results/$count
    shift
    (cd "$work/$side" && set +e && "$@" <"$input" >"$r.$side.out" 2>"$r.$side.err"; echo $? >"$r.$side.status")
}
same() {
    local r=$work/results/$count part
    for part in status out err; do
        cmp -s "$r.linux.$part" "$r.windows.$part" || return 1
    done
}
# compare ARGUMENT...: one command on both sides.
compare() {
    count=$((count + 1))
    local r=$work/results/$count part
    run linux "$linux" "$@"
    run windows "$wine" "$windows" "$@"
    if ! same; then
        # Rarely (once in some hundreds of starts on a loaded machine) Wine
        # ends a program with status 1 and no output at all. zentab prints
        # something on every path, so such a run did nothing and is run
        # again; a real difference stays.
        if [ "$(cat "$r.windows.status")" = 1 ] && [ ! -s "$r.windows.out" ] && [ ! -s "$r.windows.err" ]; then
            echo "note: zentab.exe ended with 1 and no output; run again: zentab $*"
            run windows "$wine" "$windows" "$@"
        fi
    fi
    if ! same; then
        for part in status out err; do
            if ! cmp -s "$r.linux.$part" "$r.windows.$part"; then
                echo "DIFFERS ($part): zentab $*"
                diff <(od -c "$r.linux.$part") <(od -c "$r.windows.$part") | head -20 || true
                failures=$((failures + 1))
            fi
        done
    fi
}

samples=(royl-std-4rows.bin royl-new-10rows.bin legacy-std-8rows.bin legacy-new-11rows.bin)
damaged=(bad-checksum.bin truncated.bin empty.bin text-like.bin missing.bin "папка.bin")

compare
compare help
compare --help
compare version
compare --version
compare frobnicate
for command in show check fix set auto diff export import capacity; do
    compare "$command" --help
    compare "$command"
done

for name in "${samples[@]}" "${damaged[@]}"; do
    m="$folder/$name"
    compare show "$m"
    compare show --json "$m"
    compare fix "$m" -o "out/fix-$name"
    compare fix "$m" -o -
    compare check "$m"
    compare check --json "$m"
    compare export "$m"
    compare export --json "$m"
    compare diff "$m" "$folder/royl-std-4rows.bin"
    compare diff --json "$m" "$folder/legacy-new-11rows.bin"
done
compare check "$folder"
compare check --recursive .
compare check --json --recursive "$folder" out

for name in "${samples[@]}"; do
    m="$folder/$name"
    compare set "$m" --format 2 --row 3 --name "WDC WD5000AAKX-00ERMA0" -o "out/set-name-$name"
    compare set "$m" --format 1 --row 1 --lba 500G -o "$folder/set-lba-$name"
    compare set "$m" --format 6 --row 4 --lba 976773168 -o -
    compare set "$m" --format 7 --row 1 --lba 1 -o "out/refused-$name"
    compare set "$m" --format 1 --row 12 --lba 1 -o "out/refused-$name"
    compare set "$m" --format 1 --row 1 --name "Диск" -o "out/refused-$name"
    compare set "$m" --format 1 --row 1 --lba 2X -o "out/refused-$name"
    compare auto "$m" --head0 488397168 -o "out/auto-$name"
    compare auto "$m" --head0 976773168 --divider 10 --align 100 --template "WDC WD10EARS-00MVWB0" \
        -o "$folder/auto-$name"
    compare auto "$m" --head0 0 -o "out/refused-$name"
    compare auto "$m" --head0 976773168 --divider 0 -o "out/refused-$name"
    compare import "$m" "$folder/table.csv" -o "out/import-csv-$name"
    compare import "$m" "$folder/table.json" -o "$folder/import-json-$name"
    compare import "$m" "$folder/refused.csv" -o "out/refused-$name"
    input="$folder/table.csv" compare import "$m" - -o -
done

# OUT is FILE itself: the module is replaced where it lies.
compare fix "$folder/сохранить поверх.bin" -o "$folder/сохранить поверх.bin"
compare set "$folder/сохранить поверх.bin" --format 3 --row 2 --name "SAVED OVER" -o "$folder/сохранить поверх.bin"
compare auto "$folder/сохранить поверх 2.bin" --head0 1953525168 -o "$folder/сохранить поверх 2.bin"
compare show --json "$folder/сохранить поверх.bin"
# Writes that must fail and leave nothing.
compare fix "$folder/royl-std-4rows.bin" -o "no such folder/out.bin"
compare fix "$folder/royl-std-4rows.bin" -o "$folder/папка.bin"
compare fix "$folder/royl-std-4rows.bin"
compare fix "$folder/royl-std-4rows.bin" -o

# compare_abs FORM ARGUMENT...: one command on both sides, where "@/" in an
# argument stands for the side's own folder as an absolute path. FORM unix
# gives zentab.exe that path as Linux spells it; what both print is then
# compared with the folder named "@/". FORM drive gives it as Z:\...; the
# separators it prints differ, so status and written files are compared.
compare_abs() {
    local form=$1 a root_w
    shift
    count=$((count + 1))
    local r=$work/results/$count linux_args=() windows_args=()
    root_w="$work/windows/"
    [ "$form" = drive ] && root_w="Z:$(printf '%s' "$root_w" | tr / '\\')"
    for a in "$@"; do
        linux_args+=("${a//@\//$work/linux/}")
        a="${a//@\//$root_w}"
        [ "$form" = drive ] && a=$(printf '%s' "$a" | tr / '\\')
        windows_args+=("$a")
    done
    run linux "$linux" "${linux_args[@]}"
    run windows "$wine" "$windows" "${windows_args[@]}"
    [ "$(cat "$r.linux.status")" = 0 ] && absolute_done=$((absolute_done + 1))
    local part side
    for part in out err; do
        sed -i "s|$work/linux/|@/|g" "$r.linux.$part"
        sed -i "s|$work/windows/|@/|g" "$r.windows.$part"
        if [ "$form" = drive ]; then
            : >"$r.linux.$part"
            : >"$r.windows.$part"
        fi
    done
    if ! same; then
        if [ "$(cat "$r.windows.status")" = 1 ] && [ ! -s "$r.windows.err" ]; then
            echo "note: zentab.exe ended with 1 and no output; run again: zentab $*"
            run windows "$wine" "$windows" "${windows_args[@]}"
            for side in out err; do sed -i "s|$work/windows/|@/|g" "$r.windows.$side"; done
            [ "$form" = drive ] && : >"$r.windows.out" && : >"$r.windows.err"
        fi
    fi
    if ! same; then
        for part in status out err; do
            if ! cmp -s "$r.linux.$part" "$r.windows.$part"; then
                echo "DIFFERS ($part): zentab $form $*"
                diff "$r.linux.$part" "$r.windows.$part" | head -20 || true
                failures=$((failures + 1))
            fi
        done
    fi
}

# Random modules and edits, the same on both sides: bash's generator is seeded.
RANDOM=20261209
forms=(unix drive)
absolute_done=0
for i in $(seq 0 39); do
    name=$(printf 'random-%03d.bin' "$i")
    m="@/$folder/$name"
    form=${forms[$((i % 2))]}
    lbas=(0 1 -1 4294967295 4294967296 538976288 "$RANDOM$RANDOM$RANDOM" "$RANDOM" 500G 2T)
    compare_abs "$form" show --json "$m"
    compare_abs "$form" fix "$m" -o "@/out/fix-$name"
    compare_abs "$form" set "$m" --format $((RANDOM % 6 + 1)) --row $((RANDOM % 11 + 1)) \
        --lba "${lbas[$((RANDOM % 10))]}" -o "@/out/set-lba-$name"
    compare_abs "$form" set "$m" --format $((RANDOM % 6 + 1)) --row $((RANDOM % 11 + 1)) \
        --name "MODEL $RANDOM" -o "@/out/set-name-$name"
    compare_abs "$form" export --json "$m"
    compare_abs "$form" auto "$m" --head0 $((RANDOM * 4000)) -o "@/out/auto-$name"
done

# Most of them must have done their work, or the comparison proves little.
echo "$absolute_done of 240 commands with absolute paths succeeded"
if [ "$absolute_done" -lt 120 ]; then
    echo "DIFFERS: too few commands with absolute paths succeeded"
    failures=$((failures + 1))
fi

compare capacity 500G 2T 1T 320G 976773168
compare capacity 0 -5 1.5T 99999999999999999999 abc ""

if ! diff -r "$work/linux" "$work/windows"; then
    echo "DIFFERS: the written files"
    failures=$((failures + 1))
fi
echo "$count commands compared, $failures differences"
[ "$failures" -eq 0 ]
