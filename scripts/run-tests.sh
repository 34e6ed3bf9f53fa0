#!/usr/bin/env bash
# Runs every test: the presets' workflows (the unit tests on the host, under
# the sanitizers and the fuzzers; the Windows builds, 32-bit and 64-bit, with
# their tests under Wine), then each suite in scripts/suites/. A Windows
# architecture this host cannot run is built and its tests reported as
# skipped, with the reason; the run fails if it can run neither. Every result
# lands as JUnit XML in build/test-results/; the run ends with their totals:
# "N passed, N failed, N skipped".
set -uo pipefail
cd "$(dirname "$0")/.." || exit 1

if ! missing=$(bash scripts/install-deps.sh --check); then
    echo "missing packages: $missing (installing them with scripts/install-deps.sh)"
    bash scripts/install-deps.sh || { echo "0 passed, 1 failed, 0 skipped"; exit 1; }
fi
export CTEST_PARALLEL_LEVEL=${CTEST_PARALLEL_LEVEL:-$(nproc)}

log_dir=build/test-logs
export SUMMARY_RESULTS_DIR=$PWD/build/test-results
rm -rf "$SUMMARY_RESULTS_DIR"
mkdir -p "$log_dir" "$SUMMARY_RESULTS_DIR"
# shellcheck source=scripts/lib/summary.sh
source scripts/lib/summary.sh

# Configure, build and test one preset; its tests' JUnit goes to
# build/test-results/<preset>.xml (CMakePresets.json).
workflow() {
    echo "=== $1: $2"
    cmake --workflow --preset "$1" >"$log_dir/$1.log" 2>&1
    summary_result $? "$1: configures, builds and its tests pass (see $log_dir/$1.log)"
    grep -hE '^[0-9]+: (fuzz [a-z]+:|functions reached)' "$log_dir/$1.log" | sed -E 's/^[0-9]+: /  /'
}

workflow native "unit tests on the in-memory desktop"
runnable=0
for build in "windows i686 32-bit" "windows64 x86_64 64-bit"; do
    read -r preset arch label <<<"$build"
    if reason=$(cmake/wine-run.sh --can-run "$arch"); then
        runnable=$((runnable + 1))
    else
        echo "SKIP the $label tests under Wine: $reason (ctest counts them as skipped)"
    fi
    workflow "$preset" "the $label build, its unit tests and the Windows layer's under Wine"
done
[ "$runnable" -gt 0 ]
summary_result $? "this host runs at least one Windows architecture under Wine"
workflow asan "unit tests under AddressSanitizer and UndefinedBehaviorSanitizer"
workflow fuzz "fuzzing the readers and the whole road (about 90 s)"

# The suites: each writes its results beside the others.
for suite in scripts/suites/*.sh; do
    name=$(basename "$suite" .sh)
    echo "=== $name"
    bash "$suite" >"$log_dir/$name.log" 2>&1
    grep -E '^SKIP' "$log_dir/$name.log"
    tail -n 1 "$log_dir/$name.log"
    [ -f "$SUMMARY_RESULTS_DIR/$name.xml" ]
    summary_result $? "$name: the suite ran to its end (see $log_dir/$name.log)"
done

for log in "$log_dir"/*.log; do
    if grep -qE '(\*\*\*Failed|\[  FAILED  \]|^FAIL)' "$log"; then
        echo "--- failures in $log:"
        grep -E '(\*\*\*Failed|\[  FAILED  \]|^FAIL|expected|seen)' "$log" | head -n 40
    fi
done

for xml in "$SUMMARY_RESULTS_DIR"/*.xml; do
    [ "$xml" = "$SUMMARY_XML" ] || summary_add_junit "$xml"
done
summary_finish
