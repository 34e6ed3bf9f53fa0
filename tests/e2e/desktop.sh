#!/usr/bin/env bash
# A private desktop for kestrum.exe and the stand-in client: an Xvfb display and a Wine prefix with one virtual desktop.
#   desktop.sh start DIR ARCH [--fresh]   start it in DIR (a ctest fixture's setup); status 77 where ARCH cannot run
#   desktop.sh stop DIR                   end what start started (the fixture's cleanup); 77 where nothing was
#   desktop.sh run DIR COMMAND...         run a command on it (without it where it was skipped)
#   desktop.sh screenshot DIR BUILD PNG   Kestrum's window (BUILD/kestrum.exe) beside two clients, not blank
# Sourced: display_start/display_stop (a bare Xvfb display), desktop_use DIR BUILD, then client_start DIR ARGS...,
# client_ask COMMAND PATTERN [SECONDS], client_stop and screenshot PNG.
WINE_RUN=$(cd "$(dirname "${BASH_SOURCE[0]}")/../../cmake" && pwd)/wine-run.sh
DISPLAY_PID=
CLIENT_PID=
CLIENT_FD=
CLIENT_OUT=
BUILD=

# A display of its own (the first free number, no TCP): display_start [WxHxDEPTH], setting DISPLAY.
display_start() {
    local number_file
    number_file=$(mktemp)
    Xvfb -displayfd 3 -screen 0 "${1:-1280x1024x24}" -nolisten tcp 3>"$number_file" </dev/null >/dev/null 2>&1 &
    DISPLAY_PID=$!
    for _ in $(seq 100); do
        if [ -s "$number_file" ] || ! kill -0 "$DISPLAY_PID" 2>/dev/null; then break; fi
        sleep 0.1
    done
    DISPLAY=:$(head -n 1 "$number_file") && export DISPLAY
    rm -f "$number_file"
    [ "$DISPLAY" != : ] || { echo "Xvfb did not start" >&2; display_stop; return 1; }
}
display_stop() {
    [ -z "$DISPLAY_PID" ] || { kill "$DISPLAY_PID" 2>/dev/null; wait "$DISPLAY_PID" 2>/dev/null; }
    DISPLAY_PID=
}

desktop_use() {
    # shellcheck source=/dev/null
    source "$1/desktop.env" || return
    export DISPLAY WINEPREFIX LC_ALL=C.UTF-8 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
    BUILD=${2:-}
}

desktop_start() {
    local dir=$1 reason
    reason=$("$WINE_RUN" --can-run "$2") || { echo "skipped: $reason"; return 77; }
    desktop_stop "$dir" || true
    [ "${3:-}" != --fresh ] || rm -rf "$dir/wineprefix"
    mkdir -p "$dir" && display_start 1024x768x24 || return
    printf 'DISPLAY=%s\nWINEPREFIX=%s\nDISPLAY_PID=%s\n' "$DISPLAY" "$(cd "$dir" && pwd)/wineprefix" "$DISPLAY_PID" \
        >"$dir/desktop.env"
    desktop_use "$dir"
    [ ! -f "$WINEPREFIX/.desktop" ] || return 0
    # One virtual desktop: Wine manages every window itself, and the screen is that desktop.
    timeout 300 "$WINE_RUN" wineboot --init >/dev/null 2>&1
    timeout 60 "$WINE_RUN" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null &&
        timeout 60 "$WINE_RUN" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f >/dev/null &&
        wineserver -k && touch "$WINEPREFIX/.desktop"
}

desktop_stop() {
    [ -f "$1/desktop.env" ] || return 77
    desktop_use "$1"
    wineserver -k 2>/dev/null
    kill "$DISPLAY_PID" 2>/dev/null
    rm -f "$1/desktop.env"
}

client_start() {
    local dir=$1
    shift
    mkdir -p "$dir" && rm -f "$dir/client.in" && mkfifo "$dir/client.in"
    CLIENT_OUT=$dir/client.out
    "$WINE_RUN" "$BUILD/tests/e2e/standin_client.exe" "$@" <"$dir/client.in" >"$CLIENT_OUT" 2>&1 &
    CLIENT_PID=$!
    exec {CLIENT_FD}>"$dir/client.in"
    client_line 0 '^ready$' 60 >/dev/null
}

# The first line after line $1 of the client's output matching $2, within $3 seconds.
client_line() {
    for _ in $(seq $(($3 * 10))); do
        tail -n +"$(($1 + 1))" "$CLIENT_OUT" | tr -d '\r' | grep -E -m 1 "$2" && return 0
        sleep 0.1
    done
    echo "no answer matching '$2' from the stand-in client" >&2
    return 1
}

client_ask() {
    local lines
    lines=$(wc -l <"$CLIENT_OUT")
    echo "$1" >&"$CLIENT_FD"
    client_line "$lines" "$2" "${3:-10}"
}

# Ends the client (and a Kestrum window left open), keeping the desktop.
client_stop() {
    [ -z "$CLIENT_FD" ] || { (echo quit >&"$CLIENT_FD") 2>/dev/null; exec {CLIENT_FD}>&-; }
    for pid in $CLIENT_PID "$@"; do timeout 10 tail --pid="$pid" -f /dev/null || kill "$pid" 2>/dev/null; done
    CLIENT_FD='' CLIENT_PID=''
}

# Kestrum's window, opened, photographed and closed; the picture must show more than a plain fill.
screenshot() {
    local png=$1 kestrum found status=0 x y r b seen
    "$WINE_RUN" "$BUILD/kestrum.exe" </dev/null &
    kestrum=$!
    for _ in $(seq 60); do
        found=$(client_ask "find KestrumSize" '^(found|none)' 5) && [[ $found == found* ]] && break
        sleep 0.5
    done
    [[ $found == found* ]] || { echo "Kestrum's window did not appear" >&2; client_stop "$kestrum"; return 1; }
    read -r _ _ x y r b <<<"$found"
    sleep 1  # let it paint
    import -display "$DISPLAY" -window root -crop "$((r - x))x$((b - y))+$x+$y" +repage "$png"
    client_ask "close KestrumSize" '^(closed|none)' >/dev/null
    timeout 20 tail --pid="$kestrum" -f /dev/null && wait "$kestrum" || status=1
    seen=$(convert "$png" -format '%k colours, standard deviation %[fx:standard_deviation]' info:) || status=1
    echo "screenshot $png: $seen"
    [ "$status" = 0 ] && [ "${seen%% *}" -ge 3 ] && [ "$(convert "$png" -format '%[fx:standard_deviation>0.02]' info:)" = 1 ]
}

[ "${BASH_SOURCE[0]}" = "$0" ] || return 0
set -uo pipefail
case ${1:-} in
    start) desktop_start "$2" "$3" "${4:-}" ;;
    stop) desktop_stop "$2" ;;
    run) [ ! -f "$2/desktop.env" ] || desktop_use "$2"; shift 2; exec "$@" ;;  # none: what cannot run skips
    screenshot)
        reason=$("$WINE_RUN" --can-run "$3/kestrum.exe") || { echo "skipped: $reason"; exit 77; }
        desktop_use "$2" "$3" || exit
        client_start "$2" --window Orders --pane 2,15,12,220,150 --window "Größe – Café" --pane 0,20,30,210,120 &&
            screenshot "$4"
        status=$?
        client_stop
        exit "$status" ;;
    *) echo "usage: desktop.sh start DIR ARCH [--fresh] | stop DIR | run DIR COMMAND... | screenshot DIR BUILD PNG" >&2
        exit 2 ;;
esac
