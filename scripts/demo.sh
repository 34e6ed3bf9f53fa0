#!/usr/bin/env bash
# The main job on a fresh Debian machine (as root), leaving nothing running that it started:
# - installs what is missing; builds kestrum.exe (32-bit where this host runs it, else 64-bit, and says which);
# - on a private desktop, kestrum.exe /AUTO /newsize=250 sets a stand-in client's pane (its rectangle before and after)
#   and a screenshot of Kestrum's window is written; then the release files of both architectures are built.
set -uo pipefail
cd "$(dirname "$0")/.." || exit 1
bash scripts/install-deps.sh || exit
if reason=$(cmake/wine-run.sh --can-run i686); then preset=windows; echo "running the 32-bit build (build/windows)"
else preset=windows64; echo "running the 64-bit build (build/windows64): $reason"; fi
{ cmake --preset "$preset" >/dev/null && cmake --build --preset "$preset" --target kestrum standin_client; } || exit

# shellcheck source=tests/e2e/desktop.sh
source tests/e2e/desktop.sh
out=build/demo
trap 'client_stop; desktop_stop "$out"' EXIT
trap 'exit 130' INT TERM
echo "starting a private desktop (a first run also prepares its Wine prefix)"
desktop_start "$out" "build/$preset/kestrum.exe" && desktop_use "$out" "build/$preset" &&
    client_start "$out" --window "Orders" --pane 2,15,12,220,150 || exit

# "pane <h> screen <l> <t> <r> <b> client <l> <t> ..." as a sentence; the width alone on the last line.
show_pane() {
    local h l t r b cl ct
    read -r _ h _ l t r b _ cl ct _ < <(client_ask report '^pane ')
    printf '%-7s pane %s: screen (%s,%s)-(%s,%s), %s x %s pixels, at (%s,%s) in its parent\n%s\n' \
        "$1" "$h" "$l" "$t" "$r" "$b" "$((r - l))" "$((b - t))" "$cl" "$ct" "$((r - l))"
}
before=$(show_pane before)
echo "${before%$'\n'*}"
echo "running: kestrum.exe /AUTO /newsize=250"
"$WINE_RUN" "$BUILD/kestrum.exe" /AUTO /newsize=250 </dev/null
echo "kestrum.exe ended with status $?"
# The move reaches the pane through the client's own message queue.
for _ in $(seq 20); do after=$(show_pane after) && [ "${after##*$'\n'}" = 250 ] && break; sleep 0.25; done
echo "${after%$'\n'*}"
echo "opening Kestrum's window for a screenshot"
screenshot "$out/kestrum-window.png" || exit
echo "screenshot: $PWD/$out/kestrum-window.png"

for archive_preset in windows windows64; do
    { cmake --preset "$archive_preset" && cmake --build --preset "$archive_preset" --target package; } >/dev/null || exit
done
echo "release files (zip to unpack anywhere, MSI to install):"
for file in build/windows/Kestrum-*-win32.{zip,msi} build/windows64/Kestrum-*-win64.{zip,msi}; do
    echo "  $PWD/$file ($(stat -c %s "$file") bytes, checksum in $(basename "$file").sha256)"
done
