#!/usr/bin/env bash
# Runs every test suite: the unit tests on the host, the same tests built for
# Windows under Wine (32-bit and 64-bit), and each further suite that is
# present. A Windows architecture this host cannot run is built, its tests
# reported as skipped with the reason; the run fails if it can run neither.
# Installs what is missing first. Every result lands as JUnit XML in
# build/test-results/; the run ends with their totals in one line:
# "N passed, N failed, N skipped".
set -uo pipefail
cd "$(dirname "$0")/.." || exit 1

bash scripts/install-deps.sh || { echo "0 passed, 1 failed"; exit 1; }

log_dir=build/test-logs
results=$PWD/build/test-results
rm -rf "$results"
mkdir -p "$log_dir" "$results"
# shellcheck source=scripts/lib/summary.sh
source scripts/lib/summary.sh

stage() {
    echo "=== $1"
}

stage "native unit tests"
{ cmake --preset native && cmake --build --preset native &&
    ctest --preset native --output-junit "$results/native.xml"; } >"$log_dir/native.log" 2>&1
tail -n 3 "$log_dir/native.log"

# The Windows builds: preset, architecture, label.
runnable=0
for build in "windows i686 32-bit" "windows64 x86_64 64-bit"; do
    read -r preset arch label <<<"$build"
    stage "Windows $label build and unit tests under Wine (build/$preset)"
    if reason=$(cmake/wine-run.sh --can-run "$arch"); then
        runnable=$((runnable + 1))
    else
        echo "SKIP the $label tests under Wine: $reason (ctest counts them as skipped)"
    fi
    { cmake --preset "$preset" && cmake --build --preset "$preset" &&
        ctest --preset "$preset" --output-junit "$results/$preset.xml"; } >"$log_dir/$preset.log" 2>&1
    tail -n 3 "$log_dir/$preset.log"
done
[ "$runnable" -gt 0 ]
summary_result $? "this host runs at least one Windows architecture under Wine"

# Further suites: each writes its results beside the others.
for suite in scripts/suites/*.sh; do
    name=$(basename "$suite" .sh)
    stage "$name"
    bash "$suite" >"$log_dir/$name.log" 2>&1
    grep -E '^SKIP' "$log_dir/$name.log"
    tail -n 5 "$log_dir/$name.log"
    [ -f "$results/$name.xml" ]
    summary_result $? "$name: the suite ran to its end (see $log_dir/$name.log)"
done

for log in "$log_dir"/*.log; do
    if grep -qE '(\*\*\*Failed|\[  FAILED  \]|^FAIL)' "$log"; then
        echo "--- failures in $log:"
        grep -E '(\*\*\*Failed|\[  FAILED  \]|^FAIL|expected|seen)' "$log" | head -n 40
    fi
done

for xml in "$results"/*.xml; do
    [ "$xml" = "$SUMMARY_XML" ] || summary_add_junit "$xml"
done
summary_finish
