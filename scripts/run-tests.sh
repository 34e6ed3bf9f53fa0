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

# Adds the counts of a ctest log ("..., N tests failed out of M").
count_ctest() {
    local line
    line=$(grep -E 'tests failed out of [0-9]+' "$1" | tail -n 1)
    if [ -z "$line" ]; then
        failed=$((failed + 1))
        return
    fi
    local bad total
    bad=$(sed -E 's/.* ([0-9]+) tests failed out of ([0-9]+).*/\1/' <<<"$line")
    total=$(sed -E 's/.* tests failed out of ([0-9]+).*/\1/' <<<"$line")
    passed=$((passed + total - bad))
    failed=$((failed + bad))
}

# Adds the counts of a suite that ends with "N passed, N failed".
count_plain() {
    local line
    line=$(grep -E '^([A-Za-z]+: )?[0-9]+ passed, [0-9]+ failed' "$1" | tail -n 1)
    if [ -z "$line" ]; then
        failed=$((failed + 1))
        return
    fi
    passed=$((passed + $(sed -E 's/^([A-Za-z]+: )?([0-9]+) passed.*/\2/' <<<"$line")))
    failed=$((failed + $(sed -E 's/.* ([0-9]+) failed.*/\1/' <<<"$line")))
}

stage() {
    echo "=== $1"
}

stage "native unit tests"
{ cmake --preset native && cmake --build --preset native && ctest --preset native; } \
    >"$log_dir/native.log" 2>&1
tail -n 3 "$log_dir/native.log"
count_ctest "$log_dir/native.log"

stage "Windows build and unit tests under Wine"
{ cmake --preset windows && cmake --build --preset windows && ctest --preset windows; } \
    >"$log_dir/windows.log" 2>&1
tail -n 3 "$log_dir/windows.log"
count_ctest "$log_dir/windows.log"

# Further suites, each a script that ends with "N passed, N failed".
for suite in scripts/suites/*.sh; do
    [ -e "$suite" ] || continue
    name=$(basename "$suite" .sh)
    stage "$name"
    bash "$suite" >"$log_dir/$name.log" 2>&1
    tail -n 5 "$log_dir/$name.log"
    count_plain "$log_dir/$name.log"
done

for log in "$log_dir"/*.log; do
    if grep -qE '(\*\*\*Failed|FAILED|\[  FAILED  \]|^FAIL)' "$log"; then
        echo "--- failures in $log:"
        grep -E '(\*\*\*Failed|\[  FAILED  \]|^FAIL|expected|seen)' "$log" | head -n 40
    fi
done

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
