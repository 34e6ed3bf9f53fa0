#!/usr/bin/env bash
# Runs every test suite: the unit tests on the host, the same tests built for
# Windows under Wine, and each further suite that is present. Installs what is
# missing first. Ends with one line: "N passed, N failed".
set -uo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh || { echo "0 passed, 1 failed"; exit 1; }

passed=0
failed=0
log_dir=build/test-logs
mkdir -p "$log_dir"

# Reads a suite's log into the totals: ctest's "N tests failed out of M", or
# a plain "N passed, N failed". A log with neither counts as one failure.
count_log() {
    local line
    line=$(grep -E 'tests failed out of [0-9]+|^([[:alnum:]_-]+: )?[0-9]+ passed, [0-9]+ failed' "$1" |
        tail -n 1)
    if [[ $line =~ ([0-9]+)\ tests\ failed\ out\ of\ ([0-9]+) ]]; then
        passed=$((passed + BASH_REMATCH[2] - BASH_REMATCH[1]))
        failed=$((failed + BASH_REMATCH[1]))
    elif [[ $line =~ ([0-9]+)\ passed,\ ([0-9]+)\ failed ]]; then
        passed=$((passed + BASH_REMATCH[1]))
        failed=$((failed + BASH_REMATCH[2]))
    else
        failed=$((failed + 1))
    fi
}

stage() {
    echo "=== $1"
}

stage "native unit tests"
{ cmake --preset native && cmake --build --preset native && ctest --preset native; } \
    >"$log_dir/native.log" 2>&1
tail -n 3 "$log_dir/native.log"
count_log "$log_dir/native.log"

stage "Windows build and unit tests under Wine"
{ cmake --preset windows && cmake --build --preset windows && ctest --preset windows; } \
    >"$log_dir/windows.log" 2>&1
tail -n 3 "$log_dir/windows.log"
count_log "$log_dir/windows.log"

# Further suites, each a script that ends with "N passed, N failed".
for suite in scripts/suites/*.sh; do
    [ -e "$suite" ] || continue
    name=$(basename "$suite" .sh)
    stage "$name"
    bash "$suite" >"$log_dir/$name.log" 2>&1
    tail -n 5 "$log_dir/$name.log"
    count_log "$log_dir/$name.log"
done

for log in "$log_dir"/*.log; do
    if grep -qE '(\*\*\*Failed|FAILED|\[  FAILED  \]|^FAIL)' "$log"; then
        echo "--- failures in $log:"
        grep -E '(\*\*\*Failed|\[  FAILED  \]|^FAIL|expected|seen)' "$log" | head -n 40
    fi
done

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
