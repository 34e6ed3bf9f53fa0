#!/usr/bin/env bash
# The resident watch under Wine, as rows of bench/run.sh's table: bench/watch.sh BUILD_DIR KESTRUM_EXE
# - how long after a pane's creation kestrum.exe /watch sets its width, less the settling time, against watch_floor.exe
#   (the same hook, noting only when the creation reaches it); timed_client.exe opens the panes (JSON lines, read by jq);
# - the processor time of a watch with its icon and nothing happening; its memory after 10 and after 1,000 client
#   openings; how soon a width the user gives a pane is kept (HKCU\Software\Kestrum, UserWidth);
# - how often the watch wakes (its thread's voluntary context switches) while a user works in a client: pointer
#   moves, focus changes, a long drag of the pane's splitter (the stand-in client raising Windows's events).
# DISPLAY and WINEPREFIX set (Managed=N, as run.sh sets them); settings in docs/performance.md; progress on stderr.
set -uo pipefail
cd "$(dirname "$0")/.." || exit 1
bin=$1 kestrum_exe=$2
repeats=${BENCH_REPEATS:-3} openings=${BENCH_WATCH_OPENINGS:-20} settle=${BENCH_WATCH_SETTLE:-500}
idle_seconds=${BENCH_IDLE_SECONDS:-60} memory_openings=${BENCH_MEMORY_OPENINGS:-1000}
user_changes=${BENCH_USER_CHANGES:-20} drag_seconds=${BENCH_DRAG_SECONDS:-60} user_events=${BENCH_USER_EVENTS:-1000}
readonly warmup=2 width=250
wine_run=$PWD/cmake/wine-run.sh client_exe=$bin/timed_client.exe floor_exe=$bin/watch_floor.exe out=$bin/watch
mkdir -p "$out"
log() { echo "--- $*" >&2; }
fail() { echo "bench/watch.sh: $*" >&2; exit 1; }
for exe in "$kestrum_exe" "$client_exe" "$floor_exe"; do [ -f "$exe" ] || fail "$exe missing"; done
median='def median: sort | (.[(length - 1) / 2 | floor] + .[length / 2 | floor]) / 2;'
# jq over the lines of the programs' output files, together, ms(t) a counter difference in ms: FILTER FILE...
q() {
    local filter=$1
    shift
    jq -rs "$median (map(.frequency // empty)[0]) as \$freq | def ms(t): t * 1000 / \$freq; $filter" "$@"
}
median_of() { printf '%s\n' "$@" | jq -s "$median median"; }

watch_pid='' floor_pid=''
trap 'kill $watch_pid $floor_pid 2>/dev/null' EXIT
trap 'exit 130' INT TERM
# The watch in the background; the timed client's /waitfor= waits until it listens.
start_watch() { "$wine_run" "$kestrum_exe" /watch "$@" >/dev/null 2>"${watch_errors:-/dev/null}" & watch_pid=$!; }
stop_watch() {
    "$wine_run" "$kestrum_exe" /stop >/dev/null 2>&1 || log "kestrum.exe /stop failed"
    timeout 10 tail --pid="$watch_pid" -f /dev/null || kill "$watch_pid" 2>/dev/null
    wait "$watch_pid" 2>/dev/null
    watch_pid=''
}
client() {  # OUTPUT ARGS...
    local output=$1
    shift
    "$wine_run" "$client_exe" /width=$width "$@" >"$output" 2>&1 || fail "timed_client.exe $* failed (see $output)"
}
# The watch's Wine process: a field of /proc/PID/status in KiB, its processor time in clock ticks (user + system).
status_kib() { sed -n "s/^$1:[[:space:]]*\([0-9]*\) kB/\1/p" "/proc/$watch_pid/status"; }
cpu_ticks() { local f; read -ra f < <(sed 's/.*) //' "/proc/$watch_pid/stat"); echo $((f[11] + f[12])); }
# The user's width kept in the prefix (a drag here keeps one), forgotten.
forget() { "$wine_run" reg delete 'HKCU\Software\Kestrum' /v UserWidth /f >/dev/null 2>&1 || true; }
# How often the watch's thread (its process's first, which runs its loop) has woken from a wait.
wakes() { sed -n 's/^voluntary_ctxt_switches:[[:space:]]*//p' "/proc/$watch_pid/task/$watch_pid/status"; }
is_watch_process() { tr '\0' ' ' <"/proc/$watch_pid/cmdline" 2>/dev/null | grep -q 'kestrum\.exe /watch'; }

# --- latency against the floor: every opening lasts the same in both programs' runs (settle + 300 ms, then 100 ms) --
hold=$((settle + 300))
client_args=("/openings=$((warmup + openings))" "/hold=$hold" "/timeout=$hold" /gap=100)
kestrum_run() {  # per timed opening, ms: to the width set, less the settling time
    start_watch /newsize=$width /settle="$settle"
    client "$out/kestrum-$1.json" "${client_args[@]}" /waitfor=KestrumWatch
    stop_watch
    q "[.[] | select(.opening > $warmup and .set != null) | ms(.set - .created) - $settle]" "$out/kestrum-$1.json" \
        >"$out/kestrum-$1.ms.json"
}
floor_run() {  # per timed opening, ms: to the creation heard by the floor
    "$wine_run" "$floor_exe" /panes=$((warmup + openings)) >"$out/floor-$1.heard.json" 2>&1 &
    floor_pid=$!
    for _ in $(seq 100); do grep -q '"ready"' "$out/floor-$1.heard.json" && break; sleep 0.1; done
    grep -q '"ready"' "$out/floor-$1.heard.json" || fail "watch_floor.exe did not start"
    client "$out/floor-$1.json" "${client_args[@]}"
    timeout 5 tail --pid="$floor_pid" -f /dev/null || kill "$floor_pid" 2>/dev/null
    wait "$floor_pid" 2>/dev/null
    floor_pid=''
    q "(map(select(.heard)) | map({key: (.pane | tostring), value: .heard}) | from_entries) as \$heard
        | [.[] | select(.opening > $warmup and \$heard[.pane | tostring] != null) | ms(\$heard[.pane | tostring] - .created)]" \
        "$out/floor-$1.heard.json" "$out/floor-$1.json" >"$out/floor-$1.ms.json"
}
# The goal, at most 1.5 × floor + 50 ms, and whether K keeps it: K F
goal() { local g; g=$(jq -n "1.5 * $2 + 50"); printf '%.1f ms: %s' "$g" "$(jq -rn "if $1 <= $g then \"within\" else \"over\" end")"; }
rows='' ks=() fs=() ratios=()
for rep in $(seq "$repeats"); do
    log "the watch against its floor, $openings openings each (repeat $rep of $repeats)"
    if [ $((rep % 2)) = 1 ]; then kestrum_run "$rep" && floor_run "$rep"; else floor_run "$rep" && kestrum_run "$rep"; fi
    read -r k nk slow_k < <(jq -r "$median [median, length, max] | @tsv" "$out/kestrum-$rep.ms.json")
    read -r f nf slow_f < <(jq -r "$median [median, length, max] | @tsv" "$out/floor-$rep.ms.json")
    if [ "${nk:-0}" = 0 ] || [ "${nf:-0}" = 0 ]; then fail "no latencies in repeat $rep (see $out)"; fi
    ks+=("$k") fs+=("$f") ratios+=("$(jq -n "$k / $f")")
    rows+="| watch repeat $rep: median from a pane's creation to its width set, less the settling time ($settle ms) / to its creation heard by watch_floor.exe | $(printf '%.2f ms / %.3f ms = %.1f' "$k" "$f" "${ratios[-1]}") (goal at most 1.5 × floor + 50 = $(goal "$k" "$f")); $nk and $nf of $openings openings; slowest $(printf '%.3f / %.3f' "$slow_k" "$slow_f") ms |"$'\n'
done
k=$(median_of "${ks[@]}") f=$(median_of "${fs[@]}")
rows+="| watch latency less the settling time / floor, medians of the $repeats repeats | $(printf '%.2f ms / %.3f ms; ratio %.1f' "$k" "$f" "$(median_of "${ratios[@]}")") (goal at most 1.5 × floor + 50 ms = $(goal "$k" "$f")) |"$'\n'

# --- processor time while nothing happens --------------------------------------------------------------------------
log "an idle watch with its icon, ${idle_seconds} s"
start_watch /newsize=$width
client "$out/idle.json" /openings=1 /waitfor=KestrumWatch  # one pane set: the watch has done its work once
sleep 2
is_watch_process || fail "process $watch_pid is not the watch"
# With no taskbar on the display, Wine shows its own window for the notification area while it holds an icon.
xdotool search --onlyvisible --name 'Wine System Tray' >/dev/null || fail "the watch shows no icon"
before=$(cpu_ticks) woke=$(wakes)
sleep "$idle_seconds"
after=$(cpu_ticks) woke=$(($(wakes) - woke))
stop_watch
rows+="| idle watch with its icon: processor time over $idle_seconds s with nothing happening (user + system of its Wine process; 1 tick = $((1000 / $(getconf CLK_TCK))) ms) | $((after - before)) ticks, $woke wakes (goal 0) |"$'\n'

# --- wakes while a user works in a client ----------------------------------------------------------------------------
# shellcheck source=tests/e2e/desktop.sh
source tests/e2e/desktop.sh
BUILD=$bin
log "the watch's wakes: $user_events pointer moves, $user_events focus changes, a ${drag_seconds} s drag"
# Wine's trace of the messages the watch's thread takes (+msg) names each window event handed to its hook
# (MSG_WINEVENT, with the event's number): the callbacks that reach the watch, counted by Wine, not by the watch.
trace=$out/wakes.trace
WINEDEBUG=+msg watch_errors=$trace start_watch /newsize=$width "/log=$(winepath -w "$out/wakes.log" 2>/dev/null)"
client_start "$out/wakes" --window Wakes --place 100,100,600,400 --pane 0,15,12,220,150 --splitter ||
    fail "the stand-in client did not start"
sleep 3  # its pane set
is_watch_process || fail "process $watch_pid is not the watch"
heard() { grep -c 'MSG_WINEVENT' "$trace"; }
# The window events that reached the watch, its wakes and its ticks while COMMAND... runs, and a second after:
# "EVENTS WAKES TICKS", and the events by kind (hexadecimal number) on stderr.
while_doing() {
    local e w t
    e=$(heard) w=$(wakes) t=$(cpu_ticks)
    "$@" >/dev/null || fail "$* failed"
    sleep 1
    echo "$(($(heard) - e)) $(($(wakes) - w)) $(($(cpu_ticks) - t))"
    grep 'MSG_WINEVENT' "$trace" | tail -n +"$((e + 1))" | awk '{ print $6 }' | sort | uniq -c | paste -sd ' ' |
        sed 's/^$/none/; s/^/--- window events by number (count, event): /' >&2
}
read -r pointer_e pointer_w pointer_t < <(while_doing client_ask "pointer-moves $user_events" '^pointer moved' 120)
read -r focus_e focus_w focus_t < <(while_doing client_ask "focus-cycle $user_events" '^focus moved' 120)
read -r _ _ _ _ top r bottom _ _ _ _ _ _ moves_before < <(client_ask report '^pane ')
x=$((r + 3)) y=$(((top + bottom) / 2))
drag() {  # the splitter held for the whole time, the pointer moved ten times a second
    local steps=$((drag_seconds * 10)) i moves=("mousemove" "$x" "$y" "mousedown" "1")
    for i in $(seq "$steps"); do moves+=("sleep" "0.1" "mousemove" "$((x + i % 80))" "$y"); done
    xdotool "${moves[@]}" mouseup 1
}
read -r drag_e drag_w drag_t < <(while_doing drag)
read -r _ _ _ _ _ _ _ _ _ _ _ _ _ moves_after < <(client_ask report '^pane ')
client_stop
stop_watch
forget  # the drag kept the user's width
rows+="| window events reaching the watch (Wine's count) / its thread's voluntary context switches (each wake, and each wait on the Wine server while it works) / processor ticks (Wine's trace on): $user_events pointer moves over a client; $user_events focus changes in it; a ${drag_seconds} s drag of its splitter ($((moves_after - moves_before)) sizes of the pane, each with its splitter's move, raising two location changes) | $pointer_e / $pointer_w / $pointer_t; $focus_e / $focus_w / $focus_t; $drag_e / $drag_w / $drag_t (goal for the events: 0, 0, at most the drag's location changes and its capture's start and end) |"$'\n'

# --- memory after 10 and after 1,000 openings ------------------------------------------------------------------------
log "the watch's memory over $memory_openings client openings"
start_watch /newsize=$width /settle=0
client "$out/memory-10.json" /openings=10 /gap=20 /waitfor=KestrumWatch
sleep 1
is_watch_process || fail "process $watch_pid is not the watch"
anon_10=$(status_kib RssAnon) rss_10=$(status_kib VmRSS)
client "$out/memory-rest.json" /openings=$((memory_openings - 10)) /gap=20
sleep 1
anon_n=$(status_kib RssAnon) rss_n=$(status_kib VmRSS)
stop_watch
read -r set_count settle0 < <(q '[([.[] | select(.end) | .set] | add), ([.[] | select(.opening and .set != null)
    | ms(.set - .created)] | median)] | @tsv' "$out/memory-10.json" "$out/memory-rest.json")
rows+="| watch memory after 10 / after $memory_openings client openings (/settle=0): private resident memory (RssAnon) | $anon_10 KiB / $anon_n KiB: growth $((anon_n - anon_10)) KiB (goal at most 64 KiB); whole resident set (VmRSS) $rss_10 / $rss_n KiB |
| watch with /settle=0 over those openings: panes set, median from creation to width set | $set_count of $memory_openings, $(printf '%.2f' "$settle0") ms |"

# --- the user's width: from the end of a user's change to the width kept -------------------------------------------
log "the user's width, $user_changes changes"
forget
start_watch /newsize=$width
client "$out/user-width.json" /openings=1 /userchanges="$user_changes" /waitfor=KestrumWatch
stop_watch
forget
read -r kept n_kept slowest < <(q '[.[] | select(.change and .stored != null) | ms(.stored - .changed)]
    | [median, length, max] | @tsv' "$out/user-width.json")
[ "${n_kept:-0}" != 0 ] || fail "no user's width kept (see $out/user-width.json)"
rows+=$'\n'"| the user's width: from the end of a user's drag of the pane's edge (the capture's start, the pane's sizes, the capture's end, raised by the client as Windows raises them) to the width written to HKCU, median | $(printf '%.2f' "$kept") ms; $n_kept of $user_changes kept; slowest $(printf '%.2f' "$slowest") ms |"
echo "$rows"
