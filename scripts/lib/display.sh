# shellcheck shell=bash
# A private X display for Wine: an Xvfb server of its own, on the first free
# display number, with no TCP listener. Sourced by every script that shows
# windows (the Windows layer's tests, the end-to-end desktop, the bench).
#
#   display_start [WxHxDEPTH]   start Xvfb (1280x1024x24 unless given), export
#                               DISPLAY; DISPLAY_PID holds the server's PID
#   display_stop                end the server started here, if any

DISPLAY_PID=

display_start() {
    local screen=${1:-1280x1024x24} number_file
    command -v Xvfb >/dev/null || { echo "Xvfb not found: install xvfb" >&2; return 1; }
    number_file=$(mktemp)
    # Xvfb writes the display number it took to fd 3 once it accepts clients.
    Xvfb -displayfd 3 -screen 0 "$screen" -nolisten tcp 3>"$number_file" >/dev/null 2>&1 &
    DISPLAY_PID=$!
    for _ in $(seq 100); do
        [ -s "$number_file" ] && break
        kill -0 "$DISPLAY_PID" 2>/dev/null || break
        sleep 0.1
    done
    if [ ! -s "$number_file" ]; then
        echo "Xvfb did not start" >&2
        rm -f "$number_file"
        display_stop
        return 1
    fi
    DISPLAY=":$(head -n 1 "$number_file")"
    export DISPLAY
    rm -f "$number_file"
}

display_stop() {
    [ -n "$DISPLAY_PID" ] || return 0
    kill "$DISPLAY_PID" 2>/dev/null || true
    wait "$DISPLAY_PID" 2>/dev/null || true
    DISPLAY_PID=
}
