# shellcheck shell=bash
# Test results as JUnit XML, and their totals. Sourced by the test runner and
# the suites; each ends with summary_finish.
#
#   summary_result STATUS NAME   one check of this script's own: passed when
#                                STATUS is 0, failed otherwise
#   summary_skip NAME REASON     one check skipped, with its reason
#   summary_add_junit FILE       counts every test case of a JUnit file
#                                (ctest's --output-junit, GoogleTest's
#                                --gtest_output=xml) in this script's totals;
#                                a missing or unreadable file is one failure
#   summary_finish               writes this script's own checks to
#                                $SUMMARY_XML (build/test-results/<script>.xml)
#                                and prints "N passed, N failed, N skipped";
#                                the status is 0 when nothing failed
#
# The test runner adds up every file in build/test-results/, so a suite that
# runs a GoogleTest program leaves that program's XML there beside its own.

SUMMARY_RESULTS_DIR=${SUMMARY_RESULTS_DIR:-$PWD/build/test-results}
SUMMARY_XML=${SUMMARY_XML:-$SUMMARY_RESULTS_DIR/$(basename "$0" .sh).xml}
SUMMARY_PASSED=0
SUMMARY_FAILED=0
SUMMARY_SKIPPED=0
SUMMARY_CASES=""

# (sed rather than ${text//...}: bash 5.2 reads & in a replacement as the text matched.)
summary_escape() {
    printf '%s' "$1" | sed -e 's/&/\&amp;/g' -e 's/</\&lt;/g' -e 's/>/\&gt;/g' -e 's/"/\&quot;/g'
}

summary_result() {
    local name
    name=$(summary_escape "$2")
    if [ "$1" -eq 0 ]; then
        SUMMARY_PASSED=$((SUMMARY_PASSED + 1))
        SUMMARY_CASES+="  <testcase name=\"$name\"/>"$'\n'
        echo "PASS $2"
    else
        SUMMARY_FAILED=$((SUMMARY_FAILED + 1))
        SUMMARY_CASES+="  <testcase name=\"$name\"><failure message=\"status $1\"/></testcase>"$'\n'
        echo "FAIL $2"
    fi
}

summary_skip() {
    SUMMARY_SKIPPED=$((SUMMARY_SKIPPED + 1))
    SUMMARY_CASES+="  <testcase name=\"$(summary_escape "$1")\"><skipped message=\"$(summary_escape "$2")\"/></testcase>"$'\n'
    echo "SKIP $1: $2"
}

# Prints "PASSED FAILED SKIPPED" for a JUnit file; fails when it cannot be read.
summary_count_junit() {
    local total failed skipped
    [ -s "$1" ] || return 1
    total=$(xmllint --xpath 'count(//testcase)' "$1" 2>/dev/null) || return 1
    failed=$(xmllint --xpath "count(//testcase[failure or error or @status='fail'])" "$1") || return 1
    skipped=$(xmllint --xpath "count(//testcase[not(failure or error or @status='fail') and
        (skipped or @result='skipped' or @status='notrun' or @status='disabled')])" "$1") || return 1
    echo "$((total - failed - skipped)) $failed $skipped"
}

summary_add_junit() {
    local counts passed failed skipped
    if ! counts=$(summary_count_junit "$1"); then
        summary_result 1 "$1: results readable (the run ended early?)"
        return
    fi
    read -r passed failed skipped <<<"$counts"
    SUMMARY_PASSED=$((SUMMARY_PASSED + passed))
    SUMMARY_FAILED=$((SUMMARY_FAILED + failed))
    SUMMARY_SKIPPED=$((SUMMARY_SKIPPED + skipped))
}

summary_finish() {
    local suite
    suite=$(summary_escape "$(basename "$SUMMARY_XML" .xml)")
    mkdir -p "$(dirname "$SUMMARY_XML")"
    printf '<?xml version="1.0" encoding="UTF-8"?>\n<testsuite name="%s">\n%s</testsuite>\n' \
        "$suite" "$SUMMARY_CASES" >"$SUMMARY_XML"
    echo "$SUMMARY_PASSED passed, $SUMMARY_FAILED failed, $SUMMARY_SKIPPED skipped"
    [ "$SUMMARY_FAILED" -eq 0 ]
}
