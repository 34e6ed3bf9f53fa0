#!/usr/bin/env bash
# Runs a Windows program that makes windows under Wine (cmake/wine-run.sh), on DISPLAY or else a private display.
# - Without DISPLAY: a private Xvfb display and, unless WINEPREFIX is set, a Wine prefix beside the program; both
#   ended when it ends.
# - KESTRUM_WINE_DPI=N: in a prefix of its own beside the program, set to N dpi.
# - A program this host cannot run is not given a display: status 77, as wine-run.sh answers.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
dpi=${KESTRUM_WINE_DPI:-}
reason=$("$here/wine-run.sh" --can-run "$1") || { echo "wine-display-run: skipped: $reason"; exit 77; }
[ -n "${DISPLAY:-}" ] && [ -z "$dpi" ] && exec "$here/wine-run.sh" "$@"

# shellcheck source=tests/e2e/desktop.sh
source "$here/../tests/e2e/desktop.sh"
own_prefix=
if [ -n "$dpi" ] || [ -z "${WINEPREFIX:-}" ]; then
    own_prefix=$(cd "$(dirname "$1")" && pwd)/wineprefix-display${dpi:+-${dpi}dpi}
    export WINEPREFIX=$own_prefix
fi
# Wine's processes in a prefix of its own still hold the display: ended with it.
trap '[ -z "$own_prefix" ] || wineserver -k 2>/dev/null; display_stop' EXIT
[ -n "${DISPLAY:-}" ] || display_start 1280x1024x24 || exit
if [ -n "$dpi" ] && [ ! -f "$WINEPREFIX/.dpi-$dpi" ]; then
    "$here/wine-run.sh" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null || exit
    # Wine's own processes read the DPI as they start: ended, so that the program's desktop has it.
    wineserver -k 2>/dev/null
    touch "$WINEPREFIX/.dpi-$dpi"
fi
"$here/wine-run.sh" "$@"
