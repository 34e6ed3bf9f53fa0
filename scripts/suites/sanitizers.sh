#!/usr/bin/env bash
# Builds the native unit tests with AddressSanitizer and
# UndefinedBehaviorSanitizer (any report is fatal) and runs them.
# Ends with one line: "N passed, N failed, N skipped".
set -uo pipefail
cd "$(dirname "$0")/../.." || exit 1

build=build/asan
flags="-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer -g -O1"
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1:strict_string_checks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}

mkdir -p "$build"
# shellcheck source=scripts/lib/summary.sh
source scripts/lib/summary.sh
if ! { cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Debug -DKESTRUM_WERROR=ON \
           -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" &&
       cmake --build "$build" --target kestrum_tests -j2; } >"$build/build.log" 2>&1; then
    tail -n 40 "$build/build.log"
    summary_result 1 "the unit tests build with the sanitizers"
    summary_finish
    exit
fi

(cd "$build" && ctest --output-on-failure -j2 --output-junit "$SUMMARY_RESULTS_DIR/asan-ctest.xml") \
    >"$build/ctest.log" 2>&1
grep -E 'runtime error|ERROR: AddressSanitizer|SUMMARY|\*\*\*Failed|tests passed' "$build/ctest.log" | head -n 40
summary_add_junit "$SUMMARY_RESULTS_DIR/asan-ctest.xml"
summary_finish
