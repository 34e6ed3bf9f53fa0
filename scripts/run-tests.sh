#!/usr/bin/env bash
# Every test: each preset's workflow (configure, build, ctest), its JUnit in build/test-results/, its log in build/test-logs/.
# - Installs what is missing first (scripts/install-deps.sh). A Windows build this host cannot run is built, and its
#   tests under Wine skipped with the reason; the run fails if the host can run neither.
# - Ends with "N passed, N failed, N skipped": the JUnit files' tests, and a failure for each workflow that ended
#   before its tests.
set -uo pipefail
cd "$(dirname "$0")/.." || exit 1

if ! missing=$(bash scripts/install-deps.sh --check); then
    echo "missing packages: $missing (installing them with scripts/install-deps.sh)"
    bash scripts/install-deps.sh || { echo "0 passed, 1 failed, 0 skipped"; exit 1; }
fi
export CTEST_PARALLEL_LEVEL=${CTEST_PARALLEL_LEVEL:-$(nproc)}
results=build/test-results logs=build/test-logs
rm -rf "$results" && mkdir -p "$results" "$logs"
passed=0 failed=0 skipped=0
reason=$(cmake/wine-run.sh --can-run x86_64 i686) || { echo "FAIL this host runs no Windows build under Wine: $reason"; failed=1; }

count() { xmllint --xpath "count(//testcase$1)" "$2"; }
for preset in native windows windows64 asan fuzz; do
    echo "=== $preset"
    cmake --workflow --preset "$preset" >"$logs/$preset.log" 2>&1
    status=$?
    xml=$results/$preset.xml
    grep -hE '^[0-9]+: (fuzz [a-z]+:|functions reached)' "$logs/$preset.log" | sed -E 's/^[0-9]+: /  /'
    if [ ! -s "$xml" ]; then
        echo "FAIL $preset: the workflow ended with status $status before its tests (see $logs/$preset.log)"
        failed=$((failed + 1))
        continue
    fi
    ran=$(count "[@status='run' and not(failure)]" "$xml")
    skip=$(count "[skipped[starts-with(@message, 'SKIP_')]]" "$xml")
    fail=$(($(count '' "$xml") - ran - skip))
    echo "$ran passed, $fail failed, $skip skipped"
    [ "$skip" = 0 ] || xmllint --xpath "//testcase[skipped]/system-out/text()" "$xml" | grep -i skipped | sort -u |
        sed 's/^/  SKIP /'
    [ "$fail" = 0 ] || xmllint --xpath "//testcase[not(@status='run' and not(failure)) and
        not(skipped[starts-with(@message, 'SKIP_')])]/@name" "$xml" | sed "s/ name=\"\(.*\)\"/  FAIL \1 (see $logs\/$preset.log)/"
    passed=$((passed + ran)) failed=$((failed + fail)) skipped=$((skipped + skip))
done
echo "$passed passed, $failed failed, $skipped skipped"
[ "$failed" = 0 ]
