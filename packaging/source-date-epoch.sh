#!/usr/bin/env bash
# Prints the time every built artefact carries, in seconds since 1970:
# $SOURCE_DATE_EPOCH when given; else the time of the commit the tree is
# checked out at; else (a tree without git, such as an unpacked tarball) the
# date of the newest entry of packaging/changelog. So two builds of one
# commit stamp the same time, whenever and wherever they run.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd -P)

if [ -n "${SOURCE_DATE_EPOCH:-}" ]; then
    case $SOURCE_DATE_EPOCH in
        *[!0-9]*) echo "SOURCE_DATE_EPOCH is not a number of seconds: $SOURCE_DATE_EPOCH" >&2; exit 1 ;;
    esac
    echo "$SOURCE_DATE_EPOCH"
    exit 0
fi
# Only the tree's own repository: a tarball unpacked inside another
# checkout must not take that one's commit.
if command -v git >/dev/null 2>&1 &&
    top=$(git -C "$root" rev-parse --show-toplevel 2>/dev/null) &&
    [ "$(cd "$top" && pwd -P)" = "$root" ]; then
    git -C "$root" log -1 --format=%ct
    exit 0
fi
line=$(sed -n 's/^ -- .*>  //p' "$root/packaging/changelog" | head -n 1)
date -d "$line" +%s
