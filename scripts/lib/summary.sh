# shellcheck shell=bash
# Test totals, and the one reader of the runners' closing lines. Sourced by
# the test runner and the suites; each ends with summary_finish.
#
#   summary_result STATUS NAME   count one check: PASS when STATUS is 0, else FAIL
#   summary_skip NAME REASON     count one skipped check, with its reason
#   summary_add_log LOG          add a log's closing line: ctest's "N tests
#                                failed out of M" (its skipped tests are among
#                                the M, listed as "(Skipped)"), or a plain
#                                "N passed, N failed[, N skipped]"; a log with
#                                neither counts as one failure
#   summary_finish               print "N passed, N failed, N skipped"; the
#                                status is 0 when nothing failed

SUMMARY_PASSED=0
SUMMARY_FAILED=0
SUMMARY_SKIPPED=0

summary_result() {
    if [ "$1" -eq 0 ]; then
        SUMMARY_PASSED=$((SUMMARY_PASSED + 1))
        echo "PASS $2"
    else
        SUMMARY_FAILED=$((SUMMARY_FAILED + 1))
        echo "FAIL $2"
    fi
}

summary_skip() {
    SUMMARY_SKIPPED=$((SUMMARY_SKIPPED + 1))
    echo "SKIP $1: $2"
}

summary_add_log() {
    local line skips
    line=$(tr -d '\r' <"$1" 2>/dev/null |
        grep -E 'tests failed out of [0-9]+|^([[:alnum:]_-]+: )?[0-9]+ passed, [0-9]+ failed' | tail -n 1)
    if [[ $line =~ ([0-9]+)\ tests\ failed\ out\ of\ ([0-9]+) ]]; then
        skips=$(grep -cE '^[[:space:]]*[0-9]+ - .*\(Skipped\)' "$1")
        SUMMARY_PASSED=$((SUMMARY_PASSED + BASH_REMATCH[2] - BASH_REMATCH[1] - skips))
        SUMMARY_FAILED=$((SUMMARY_FAILED + BASH_REMATCH[1]))
        SUMMARY_SKIPPED=$((SUMMARY_SKIPPED + skips))
    elif [[ $line =~ ([0-9]+)\ passed,\ ([0-9]+)\ failed(,\ ([0-9]+)\ skipped)? ]]; then
        SUMMARY_PASSED=$((SUMMARY_PASSED + BASH_REMATCH[1]))
        SUMMARY_FAILED=$((SUMMARY_FAILED + BASH_REMATCH[2]))
        SUMMARY_SKIPPED=$((SUMMARY_SKIPPED + ${BASH_REMATCH[4]:-0}))
    else
        echo "FAIL $1: no summary line (the run ended early)"
        SUMMARY_FAILED=$((SUMMARY_FAILED + 1))
    fi
}

summary_finish() {
    echo "$SUMMARY_PASSED passed, $SUMMARY_FAILED failed, $SUMMARY_SKIPPED skipped"
    [ "$SUMMARY_FAILED" -eq 0 ]
}
