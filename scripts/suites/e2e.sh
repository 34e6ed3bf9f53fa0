#!/usr/bin/env bash
# The end-to-end suite: the real kestrum.exe against the stand-in client on a
# private Xvfb display and Wine desktop, driven by tests/e2e/e2e_driver.exe,
# then a screenshot of Kestrum's window, checked not to be blank. Builds the
# Windows programs first when needed. Ends with "N passed, N failed".
set -uo pipefail
cd "$(dirname "$0")/../.." || exit 1

out=build/e2e
mkdir -p "$out"
give_up() {
    echo "e2e: $1"
    echo "0 passed, 1 failed"
    exit 1
}

# Configured every time: a tree configured before tests/e2e/ existed lacks its targets.
cmake --preset windows >"$out/build.log" 2>&1 || give_up "configure failed, see $out/build.log"
cmake --build --preset windows --target kestrum standin_client e2e_driver >>"$out/build.log" 2>&1 ||
    give_up "build failed, see $out/build.log"

# shellcheck source=tests/e2e/desktop.sh
source tests/e2e/desktop.sh
trap e2e_desktop_stop EXIT
trap 'exit 130' INT TERM
e2e_desktop_start "$out/wineprefix" || give_up "no private desktop"

started=$(date +%s)
# In the background, so that INT and TERM end the run at once.
timeout 480 wine build/windows/tests/e2e/e2e_driver.exe --kestrum "$PWD/build/windows/kestrum.exe" \
    </dev/null 2>&1 | tee "$out/driver.log" &
wait $!
summary=$(grep -E '^[0-9]+ passed, [0-9]+ failed' "$out/driver.log" | tail -n 1)
if [ -n "$summary" ]; then
    passed=$(sed -E 's/^([0-9]+) passed.*/\1/' <<<"$summary")
    failed=$(sed -E 's/.* ([0-9]+) failed.*/\1/' <<<"$summary")
else
    echo "FAIL driver: expected a summary line, seen none (ended early or timed out)"
    passed=0
    failed=1
fi
echo "driver: $(($(date +%s) - started)) s"

# The screenshot: Kestrum's window listing two clients.
shot=$out/kestrum-window.png
rm -f "$shot"
if e2e_client_start "$out" --window "Orders" --pane 2,15,12,220,150 \
        --window "Größe – Café" --pane 0,20,30,210,120 &&
    e2e_screenshot "$shot" && e2e_not_blank "$shot"; then
    echo "PASS screenshot of the window: $PWD/$shot"
    passed=$((passed + 1))
else
    echo "FAIL screenshot of the window: expected a picture with content at $shot, seen none or a blank one"
    failed=$((failed + 1))
fi

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
