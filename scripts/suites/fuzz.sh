#!/usr/bin/env bash
# Fuzzes under AddressSanitizer and UndefinedBehaviorSanitizer, for a bounded
# time each: the command-line and width-field readers, held against the plain
# reference reader in fuzz/ (FUZZ_SECONDS, 60 by default), and the whole road
# on random in-memory desktops with random faults (FUZZ_DESKTOP_SECONDS, 30).
# Fails on any crash, sanitizer report, disagreement or broken rule.
# Ends with one line: "N passed, N failed, N skipped".
set -uo pipefail
cd "$(dirname "$0")/../.." || exit 1

seconds=${FUZZ_SECONDS:-60}
desktop_seconds=${FUZZ_DESKTOP_SECONDS:-30}
build=build/fuzz
work=$build/work
# shellcheck source=scripts/lib/summary.sh
source scripts/lib/summary.sh

mkdir -p "$build"
CC=clang CXX=clang++ cmake -S . -B "$build" -DKESTRUM_FUZZ=ON -DKESTRUM_BUILD_TESTS=OFF \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo >"$build.configure.log" 2>&1 &&
    cmake --build "$build" --target kestrum_fuzz_start_options kestrum_fuzz_desktop -j2 >"$build.build.log" 2>&1
status=$?
[ $status -ne 0 ] && tail -n 30 "$build.configure.log" "$build.build.log"
summary_result $status "build the fuzz targets"
if [ $status -ne 0 ]; then summary_finish; exit; fi

target=$build/fuzz/kestrum_fuzz_start_options
options=(-dict=fuzz/start_options.dict -max_len=2048 -print_final_stats=1
         -artifact_prefix="$build/")

# Every seed on its own first: a regression there is found in a second.
"$target" "${options[@]}" fuzz/corpus/* >"$build/seeds.log" 2>&1
status=$?
[ $status -ne 0 ] && tail -n 30 "$build/seeds.log"
summary_result $status "seed corpus ($(find fuzz/corpus -type f | wc -l) inputs)"

# The bounded run, on a working copy of the corpus so the seeds stay as they are.
rm -rf "$work" && mkdir -p "$work" && cp fuzz/corpus/* "$work/"
"$target" "${options[@]}" -max_total_time="$seconds" "$work" >"$build/run.log" 2>&1
status=$?
if [ $status -ne 0 ]; then
    grep -E 'DISAGREEMENT|ERROR|SUMMARY|runtime error' "$build/run.log" | head -n 20
    ls "$build"/crash-* "$build"/leak-* "$build"/timeout-* 2>/dev/null
fi
fuzz_stats() {  # log, label
    local runs rate coverage edges
    runs=$(sed -nE 's/^stat::number_of_executed_units: *([0-9]+).*/\1/p' "$1")
    rate=$(sed -nE 's/^stat::average_exec_per_sec: *([0-9]+).*/\1/p' "$1")
    coverage=$(grep -E '^#[0-9]+.*cov: [0-9]+' "$1" | tail -n 1 |
               sed -E 's/.*cov: ([0-9]+) ft: ([0-9]+).*/\1 edges, \2 features/')
    edges=$(sed -nE 's/.*\(([0-9]+) inline 8-bit counters\).*/\1/p' "$1" | head -n 1)
    echo "$2: ${runs:-0} executions (${rate:-0}/s), coverage ${coverage:-unknown} (of ${edges:-?} instrumented edges)"
}
fuzz_stats "$build/run.log" "fuzz, readers, ${seconds} s"
echo "corpus grown from $(find fuzz/corpus -type f | wc -l) seeds to $(find "$work" -type f | wc -l) inputs"
summary_result $status "fuzz run of ${seconds} s: no crash, no disagreement"

# The whole road on random desktops, from an empty corpus of its own.
desktop_work=$build/work-desktop
rm -rf "$desktop_work" && mkdir -p "$desktop_work"
"$build/fuzz/kestrum_fuzz_desktop" -max_len=4096 -print_final_stats=1 -artifact_prefix="$build/" \
    -max_total_time="$desktop_seconds" "$desktop_work" >"$build/run-desktop.log" 2>&1
status=$?
if [ $status -ne 0 ]; then
    grep -E 'BROKEN|ERROR|SUMMARY|runtime error' "$build/run-desktop.log" | head -n 20
    ls "$build"/crash-* "$build"/leak-* "$build"/timeout-* 2>/dev/null
fi
fuzz_stats "$build/run-desktop.log" "fuzz, desktop road, ${desktop_seconds} s"
summary_result $status "desktop road fuzz run of ${desktop_seconds} s: no crash, every rule kept"

# Source coverage the corpus reaches in the two readers (reported, not judged).
profdata=$(command -v llvm-profdata || command -v llvm-profdata-14)
llvmcov=$(command -v llvm-cov || command -v llvm-cov-14)
if [ -n "$profdata" ] && [ -n "$llvmcov" ]; then
    mkdir -p "$build/cov"
    if clang++ -std=c++20 -O1 -fsanitize=fuzzer -fprofile-instr-generate -fcoverage-mapping \
           -Isrc -Ifuzz fuzz/fuzz_start_options.cpp fuzz/reference_reader.cpp \
           src/startup/leading_number.cpp src/startup/start_options.cpp \
           -o "$build/cov/fuzz_cov" >"$build/cov/build.log" 2>&1 &&
       LLVM_PROFILE_FILE="$build/cov/run.profraw" "$build/cov/fuzz_cov" -runs=0 "$work" \
           >"$build/cov/run.log" 2>&1 &&
       "$profdata" merge -sparse "$build/cov/run.profraw" -o "$build/cov/run.profdata"; then
        echo "coverage reached by the corpus (regions, functions, lines, branches):"
        "$llvmcov" report "$build/cov/fuzz_cov" -instr-profile="$build/cov/run.profdata" \
            src/startup/leading_number.cpp src/startup/start_options.cpp fuzz/reference_reader.cpp |
            awk 'NR > 2 && NF > 5 { printf "  %-32s regions %s, lines %s, branches %s\n", $1, $4, $10, $13 }'
    fi
fi
summary_finish
