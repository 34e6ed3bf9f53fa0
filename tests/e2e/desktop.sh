# shellcheck shell=bash
# A private desktop for running kestrum.exe and the stand-in client: an Xvfb
# display of its own and a Wine prefix of its own with a virtual desktop.
# Sourced by scripts/suites/e2e.sh and scripts/demo.sh; every process started
# here is ended by e2e_desktop_stop (by PID, and wineserver -k for this prefix
# only). Callers: trap e2e_desktop_stop EXIT, and turn INT and TERM into an exit.
#
#   e2e_desktop_start PREFIX   start a private display, export DISPLAY and the Wine settings
#   e2e_client_start DIR ARGS  start the stand-in client, commands through DIR/client.in
#   e2e_client_ask COMMAND PATTERN [SECONDS]   send a command, print the first new
#                              answer line matching PATTERN (grep -E)
#   e2e_screenshot PNG         open Kestrum's window, take a screenshot of it, close it
#   e2e_not_blank PNG          succeed when the picture shows more than a plain fill
#   e2e_client_stop            end the stand-in client
#   e2e_desktop_stop           end everything started here

E2E_PREFIX=
E2E_CLIENT_PID=
E2E_CLIENT_FD=
E2E_CLIENT_OUT=
E2E_KESTRUM_PID=
E2E_DESKTOP_SIZE=1024x768
# The build whose programs run here: build/windows (32-bit) or build/windows64.
E2E_BIN=${E2E_BIN:-build/windows}
E2E_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
# Wine, with the loader for each program's architecture.
E2E_WINE=$E2E_ROOT/cmake/wine-run.sh
# shellcheck source=scripts/lib/display.sh
source "$E2E_ROOT/scripts/lib/display.sh"

e2e_desktop_start() {
    local prefix=$1
    mkdir -p "$(dirname "$prefix")"
    display_start "${E2E_DESKTOP_SIZE}x24" || { echo "e2e: Xvfb did not start" >&2; return 1; }

    E2E_PREFIX=$(cd "$(dirname "$prefix")" && pwd)/$(basename "$prefix")
    export WINEPREFIX=$E2E_PREFIX
    export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win64
    # Titles beyond ASCII need a known system code page (1252 here).
    export LC_ALL=C.UTF-8
    if [ ! -f "$WINEPREFIX/.e2e-desktop" ]; then
        timeout 300 "$E2E_WINE" wineboot --init >/dev/null 2>&1 || true
        # One virtual desktop: Wine then manages every window itself, with no
        # X window manager needed, and the screen is exactly that desktop.
        timeout 60 "$E2E_WINE" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
        timeout 60 "$E2E_WINE" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default \
            /d "$E2E_DESKTOP_SIZE" /f >/dev/null 2>&1
        wineserver -k 2>/dev/null || true
        touch "$WINEPREFIX/.e2e-desktop"
    fi
}

e2e_client_start() {
    local dir=$1
    shift
    mkdir -p "$dir"
    rm -f "$dir/client.in"
    mkfifo "$dir/client.in"
    E2E_CLIENT_OUT=$dir/client.out
    : >"$E2E_CLIENT_OUT"
    "$E2E_WINE" "$E2E_BIN/tests/e2e/standin_client.exe" "$@" <"$dir/client.in" >"$E2E_CLIENT_OUT" 2>&1 &
    E2E_CLIENT_PID=$!
    exec {E2E_CLIENT_FD}>"$dir/client.in"
    e2e_wait_line 0 '^ready$' 60 >/dev/null
}

# Prints the first line after line number $1 of the client's output matching
# $2, waiting at most $3 seconds.
e2e_wait_line() {
    local after=$1 pattern=$2 seconds=$3 line
    for _ in $(seq $((seconds * 10))); do
        line=$(tail -n +"$((after + 1))" "$E2E_CLIENT_OUT" | tr -d '\r' | grep -E -m 1 "$pattern") && {
            echo "$line"
            return 0
        }
        sleep 0.1
    done
    echo "e2e: no answer matching '$pattern' from the stand-in client" >&2
    return 1
}

e2e_client_ask() {
    local lines
    lines=$(wc -l <"$E2E_CLIENT_OUT")
    echo "$1" >&"$E2E_CLIENT_FD"
    e2e_wait_line "$lines" "$2" "${3:-10}"
}

e2e_screenshot() {
    local png=$1 found x y r b status
    "$E2E_WINE" "$E2E_BIN/kestrum.exe" </dev/null &
    E2E_KESTRUM_PID=$!
    for _ in $(seq 60); do
        found=$(e2e_client_ask "find KestrumSize" '^(found|none)' 5) || break
        [[ $found == found* ]] && break
        sleep 0.5
    done
    if [[ $found != found* ]]; then
        echo "e2e: Kestrum's window did not appear" >&2
        return 1
    fi
    read -r _ _ x y r b <<<"$found"
    sleep 1  # let it paint
    import -display "$DISPLAY" -window root -crop "$((r - x))x$((b - y))+$x+$y" +repage "$png"
    e2e_client_ask "close KestrumSize" '^(closed|none)' >/dev/null
    status=0
    timeout 20 tail --pid="$E2E_KESTRUM_PID" -f /dev/null || status=1
    wait "$E2E_KESTRUM_PID" || status=1
    E2E_KESTRUM_PID=
    [ -s "$png" ] && [ "$status" -eq 0 ]
}

e2e_not_blank() {
    local colours deviation
    colours=$(convert "$1" -format '%k' info: 2>/dev/null) || return 1
    deviation=$(convert "$1" -format '%[fx:standard_deviation]' info: 2>/dev/null) || return 1
    echo "screenshot $1: $(identify -format '%wx%h' "$1"), $colours colours, standard deviation $deviation"
    [ "$colours" -ge 3 ] && awk -v d="$deviation" 'BEGIN { exit !(d > 0.02) }'
}

# Ends the stand-in client (and a Kestrum window left open), keeping the desktop.
e2e_client_stop() {
    if [ -n "$E2E_CLIENT_FD" ]; then
        { echo quit >&"$E2E_CLIENT_FD"; } 2>/dev/null || true
        exec {E2E_CLIENT_FD}>&-
        E2E_CLIENT_FD=
    fi
    for pid in $E2E_KESTRUM_PID $E2E_CLIENT_PID; do
        timeout 10 tail --pid="$pid" -f /dev/null 2>/dev/null || kill "$pid" 2>/dev/null || true
    done
    E2E_KESTRUM_PID=
    E2E_CLIENT_PID=
}

e2e_desktop_stop() {
    e2e_client_stop
    if [ -n "$E2E_PREFIX" ]; then
        WINEPREFIX=$E2E_PREFIX wineserver -k 2>/dev/null || true
        E2E_PREFIX=
    fi
    display_stop
}
