#!/usr/bin/env bash
# The end-to-end suite: the real kestrum.exe against the stand-in client on a
# private Xvfb display and Wine desktop, in the roads of
# tests/e2e/kestrum_e2e_tests.exe (GoogleTest; its results in
# build/test-results/e2e-<preset>-roads.xml), then a screenshot of Kestrum's
# window, checked not to be blank. Runs for each Windows build this host can
# run (32-bit, 64-bit); a build it cannot run is reported as skipped, with the
# reason. Builds the programs first when needed.
# Ends with "N passed, N failed, N skipped".
set -uo pipefail
cd "$(dirname "$0")/../.." || exit 1

out_root=build/e2e
mkdir -p "$out_root"

# shellcheck source=scripts/lib/summary.sh
source scripts/lib/summary.sh
# shellcheck source=tests/e2e/desktop.sh
source tests/e2e/desktop.sh
trap e2e_desktop_stop EXIT
trap 'exit 130' INT TERM

# Every road and the screenshot against one build: PRESET ARCH LABEL.
run_build() {
    local preset=$1 arch=$2 label=$3 out=$out_root/$1 reason started shot status
    local roads=$SUMMARY_RESULTS_DIR/e2e-$1-roads.xml
    echo "=== e2e, $label build (build/$preset)"
    rm -f "$roads"  # never an earlier run's results
    if ! reason=$(cmake/wine-run.sh --can-run "$arch"); then
        summary_skip "e2e, $label build" "$reason"
        return
    fi
    mkdir -p "$out"
    # Configured every time: a tree configured before tests/e2e/ existed lacks its targets.
    if ! { cmake --preset "$preset" && cmake --build --preset "$preset" --target kestrum standin_client kestrum_e2e_tests; } \
            >"$out/build.log" 2>&1; then
        summary_result 1 "e2e, $label build: the programs build (see $out/build.log)"
        return
    fi
    if [ -z "$E2E_PREFIX" ] && ! e2e_desktop_start "$out_root/wineprefix"; then
        summary_result 1 "e2e, $label build: a private desktop starts"
        return
    fi
    E2E_BIN=build/$preset

    started=$(date +%s)
    # In the background, so that INT and TERM end the run at once. The program
    # finds kestrum.exe and the client in its build tree; Wine reads a Linux
    # path as one on drive Z:.
    timeout 480 "$E2E_WINE" "build/$preset/tests/e2e/kestrum_e2e_tests.exe" --gtest_output="xml:Z:$roads" \
        </dev/null 2>&1 | tee "$out/roads.log" &
    wait $!
    status=$?
    summary_add_junit "$roads"
    # Results without a failed road from a program that still failed (a crash
    # on the way out): its status counts as well.
    if [ "$status" -ne 0 ] && [ -s "$roads" ] && ! grep -q '<failure' "$roads"; then
        summary_result "$status" "e2e roads, $label build: the program ended with status $status (see $out/roads.log)"
    fi
    echo "roads ($label): $(($(date +%s) - started)) s"

    # The screenshot: Kestrum's window listing two clients.
    shot=$out/kestrum-window.png
    rm -f "$shot"
    e2e_client_start "$out" --window "Orders" --pane 2,15,12,220,150 \
        --window "Größe – Café" --pane 0,20,30,210,120 &&
        e2e_screenshot "$shot" && e2e_not_blank "$shot"
    summary_result $? "screenshot of the window ($label): a picture with content at $PWD/$shot"
    e2e_client_stop
}

run_build windows i686 32-bit
run_build windows64 x86_64 64-bit

summary_finish
