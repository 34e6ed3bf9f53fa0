#!/usr/bin/env bash
# Runs a Windows program that makes windows under Wine. With DISPLAY set it
# runs there, in the caller's WINEPREFIX or one beside the program. Without a
# display it starts a private Xvfb display (and, unless WINEPREFIX is set, a
# Wine prefix of its own) and ends only those when the program is done.
# KESTRUM_WINE_DPI=N runs it on a display at N dpi, always in a prefix of its
# own beside the program (made once, set to that DPI), so that no other
# prefix changes its DPI.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
program=$1
dpi=${KESTRUM_WINE_DPI:-}
# A program this host cannot run is not given a display: the same answer as
# wine-run.sh's, status 77.
reason=$("$here/wine-run.sh" --can-run "$program") || { echo "wine-display-run: skipped: $reason"; exit 77; }

if [ -n "${DISPLAY:-}" ] && [ -z "$dpi" ]; then
    exec "$here/wine-run.sh" "$@"
fi

# shellcheck source=scripts/lib/display.sh
source "$here/../scripts/lib/display.sh"
own_prefix=
if [ -n "$dpi" ]; then
    own_prefix=$(cd "$(dirname "$program")" && pwd)/wineprefix-display-${dpi}dpi
    export WINEPREFIX=$own_prefix
elif [ -z "${WINEPREFIX:-}" ]; then
    own_prefix=$(cd "$(dirname "$program")" && pwd)/wineprefix-display
    export WINEPREFIX=$own_prefix
fi
cleanup() {
    # Wine's processes in our own prefix still hold the display: end them.
    if [ -n "$own_prefix" ]; then WINEPREFIX=$own_prefix wineserver -k 2>/dev/null || true; fi
    display_stop
}
trap cleanup EXIT

[ -n "${DISPLAY:-}" ] || display_start 1280x1024x24
if [ -n "$dpi" ] && [ ! -f "$WINEPREFIX/.dpi-$dpi" ]; then
    "$here/wine-run.sh" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f \
        >/dev/null || exit
    # Wine's own processes started with the prefix read the DPI as they
    # started: end them, so that the program's desktop is at the new DPI.
    wineserver -k 2>/dev/null || true
    touch "$WINEPREFIX/.dpi-$dpi"
fi
"$here/wine-run.sh" "$@"
