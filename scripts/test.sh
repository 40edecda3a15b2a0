#!/usr/bin/env bash
# Builds and runs every test: the desktop entry and metainfo checks, then the
# tests built with AddressSanitizer and UndefinedBehaviorSanitizer, then short
# fuzz runs, then the normal build and its tests.
set -euo pipefail
cd "$(dirname "$0")/.."

ZENTAB_WITH_TESTS=1 bash scripts/install-deps.sh
export QT_QPA_PLATFORM=offscreen
jobs=2

echo "== Desktop entry and AppStream metainfo"
desktop-file-validate packaging/org.zentab.ZentabEditor.desktop
appstreamcli validate --no-net packaging/org.zentab.ZentabEditor.metainfo.xml

echo "== Sanitizer build (ASan + UBSan)"
cmake -S . -B build/asan -DCMAKE_BUILD_TYPE=Debug -DZENTAB_SANITIZE=ON -DZENTAB_BENCH=OFF
cmake --build build/asan -j"$jobs"
(cd build/asan && ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
    ctest --output-on-failure -j"$jobs")

echo "== Fuzz harnesses (short runs)"
cmake -S . -B build/fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
    -DZENTAB_BUILD_APP=OFF -DZENTAB_BUILD_TESTS=OFF -DZENTAB_FUZZ=ON
cmake --build build/fuzz -j"$jobs"
(cd build/fuzz && ctest --output-on-failure)

echo "== Tests"
cmake -S . -B build/test -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build/test -j"$jobs"
cd build/test
ctest --output-on-failure -j"$jobs"

echo "== Start-up benchmarks (figures only, never a failure)"
./bench/startup_cpu 15 || echo "startup_cpu did not finish"
(cd ../.. && bash scripts/bench-startup-callgrind.sh build/test) || echo "the Callgrind start-up count did not finish"
