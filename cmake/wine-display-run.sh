#!/usr/bin/env bash
# Runs a Windows program that makes windows under Wine. With DISPLAY set it
# runs there, in the caller's WINEPREFIX or one beside the program. Without a
# display it starts a private Xvfb display (and, unless WINEPREFIX is set, a
# Wine prefix of its own) and ends only those when the program is done.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
program=$1

if [ -n "${DISPLAY:-}" ]; then
    exec "$here/wine-run.sh" "$@"
fi

# shellcheck source=scripts/lib/display.sh
source "$here/../scripts/lib/display.sh"
own_prefix=
if [ -z "${WINEPREFIX:-}" ]; then
    own_prefix=$(cd "$(dirname "$program")" && pwd)/wineprefix-display
    export WINEPREFIX=$own_prefix
fi
cleanup() {
    # Wine's processes in our own prefix still hold the display: end them.
    if [ -n "$own_prefix" ]; then WINEPREFIX=$own_prefix wineserver -k 2>/dev/null || true; fi
    display_stop
}
trap cleanup EXIT

display_start 1280x1024x24
"$here/wine-run.sh" "$@"
