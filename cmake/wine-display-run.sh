#!/usr/bin/env bash
# Runs a Windows program that makes windows under Wine. With DISPLAY set it
# runs there, in the caller's WINEPREFIX or one beside the program. Without a
# display it starts an Xvfb display of its own (and, unless WINEPREFIX is set,
# a Wine prefix of its own) and ends only those when the program is done.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
program=$1

if [ -n "${DISPLAY:-}" ]; then
    exec "$here/wine-run.sh" "$@"
fi

command -v Xvfb >/dev/null || { echo "Xvfb not found: install xvfb" >&2; exit 1; }
own_prefix=
if [ -z "${WINEPREFIX:-}" ]; then
    own_prefix=$(cd "$(dirname "$program")" && pwd)/wineprefix-display
    export WINEPREFIX=$own_prefix
fi

display_file=$(mktemp)
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$display_file" 2>/dev/null &
xvfb_pid=$!
cleanup() {
    # Wine's processes in our own prefix still hold the display: end them.
    if [ -n "$own_prefix" ]; then WINEPREFIX=$own_prefix wineserver -k 2>/dev/null || true; fi
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
    rm -f "$display_file"
}
trap cleanup EXIT

for _ in $(seq 100); do
    [ -s "$display_file" ] && break
    kill -0 "$xvfb_pid" 2>/dev/null || { echo "Xvfb did not start" >&2; exit 1; }
    sleep 0.1
done
[ -s "$display_file" ] || { echo "Xvfb gave no display" >&2; exit 1; }
DISPLAY=:$(head -n1 "$display_file")
export DISPLAY

"$here/wine-run.sh" "$@"
