#!/usr/bin/env bash
# The main job on a fresh Debian machine (as root): installs what is missing,
# builds kestrum.exe and its release files (zips and MSIs), starts a stand-in
# client on a private Xvfb display, runs "kestrum.exe /AUTO /newsize=250" and
# prints the pane's rectangle before and after, then opens Kestrum's window and
# writes a screenshot of it. Runs the 32-bit build where this host runs 32-bit
# programs, the 64-bit one otherwise, and says which. Leaves nothing running
# that it started.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
if reason=$(cmake/wine-run.sh --can-run i686); then
    preset=windows
    echo "running the 32-bit build (build/windows)"
else
    preset=windows64
    echo "running the 64-bit build (build/windows64): $reason"
fi
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" --target kestrum standin_client

# shellcheck source=tests/e2e/desktop.sh
source tests/e2e/desktop.sh
E2E_BIN=build/$preset
out=build/demo
trap e2e_desktop_stop EXIT
trap 'exit 130' INT TERM
echo "starting a private desktop (a first run also prepares its Wine prefix)"
e2e_desktop_start "$out/wineprefix"
e2e_client_start "$out" --window "Orders" --pane 2,15,12,220,150

# "pane <h> screen <l> <t> <r> <b> client <l> <t> <r> <b> moves <n>"
show_pane() {
    local line
    line=$(e2e_client_ask report '^pane ')
    read -r _ h _ l t r b _ cl ct _ _ _ _ <<<"$line"
    printf '%-7s pane %s: screen (%s,%s)-(%s,%s), %s x %s pixels, at (%s,%s) in its parent\n' \
        "$1" "$h" "$l" "$t" "$r" "$b" "$((r - l))" "$((b - t))" "$cl" "$ct"
    echo "$((r - l))"
}

before=$(show_pane before)
echo "${before%$'\n'*}"
echo "running: kestrum.exe /AUTO /newsize=250"
status=0
"$E2E_WINE" "$E2E_BIN/kestrum.exe" /AUTO /newsize=250 </dev/null || status=$?
echo "kestrum.exe ended with status $status"
# The move reaches the pane through the client's own message queue.
for _ in $(seq 20); do
    after=$(show_pane after)
    [ "${after##*$'\n'}" = 250 ] && break
    sleep 0.25
done
echo "${after%$'\n'*}"

shot=$out/kestrum-window.png
echo "opening Kestrum's window for a screenshot"
e2e_screenshot "$shot"
e2e_not_blank "$shot"
echo "screenshot: $PWD/$shot"

# The release files, both architectures (building them needs no Wine).
for archive_preset in windows windows64; do
    cmake --preset "$archive_preset" >/dev/null
    cmake --build --preset "$archive_preset" --target package >/dev/null
done
echo "release files (zip to unpack anywhere, MSI to install):"
for file in build/windows/Kestrum-*-win32.zip build/windows/Kestrum-*-win32.msi \
    build/windows64/Kestrum-*-win64.zip build/windows64/Kestrum-*-win64.msi; do
    echo "  $PWD/$file ($(stat -c %s "$file") bytes, checksum in $(basename "$file").sha256)"
done
