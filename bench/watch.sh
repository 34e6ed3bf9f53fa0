#!/usr/bin/env bash
# The resident watch under Wine, for bench/run.sh (which starts the display
# and the prefix, and prints the rows this prints in its table):
#   1. how long after a pane's creation kestrum.exe /watch sets its width,
#      less the settling time, against watch_floor.exe: a bare program with
#      the same hook that only notes when the pane's creation reaches it
#   2. the processor time of a watch with nothing happening
#   3. the watch's memory after 10 and after 1,000 client openings
#
#   bench/watch.sh BUILD_DIR KESTRUM_EXE
#
# BUILD_DIR holds watch_floor.exe and timed_client.exe. DISPLAY and
# WINEPREFIX must be set, the prefix with HKCU\Software\Wine\X11 Driver
# Managed=N (closing a window is then instant). Settings:
#   BENCH_REPEATS (3)             runs of each program for 1, the order alternating
#   BENCH_WATCH_OPENINGS (20)     timed openings per run, after 2 warm-up ones
#   BENCH_WATCH_SETTLE (500)      the settling time of 1, in ms
#   BENCH_IDLE_SECONDS (60)       how long 2 waits
#   BENCH_MEMORY_OPENINGS (1000)  openings before 3's second reading
# Rows on standard output, progress on standard error.
set -uo pipefail
cd "$(dirname "$0")/.." || exit 1

bin=$1
kestrum_exe=$2
repeats=${BENCH_REPEATS:-3}
openings=${BENCH_WATCH_OPENINGS:-20}
settle=${BENCH_WATCH_SETTLE:-500}
idle_seconds=${BENCH_IDLE_SECONDS:-60}
memory_openings=${BENCH_MEMORY_OPENINGS:-1000}
readonly warmup=2 width=250
wine_run=$PWD/cmake/wine-run.sh
client_exe=$bin/timed_client.exe
floor_exe=$bin/watch_floor.exe
out=$bin/watch
mkdir -p "$out"

log() { echo "--- $*" >&2; }
fail() { echo "bench/watch.sh: $*" >&2; exit 1; }
median() { sort -n | awk '{ v[NR] = $1 } END { if (NR == 0) print "?"; else print (NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2) }'; }
for exe in "$kestrum_exe" "$client_exe" "$floor_exe"; do [ -f "$exe" ] || fail "$exe missing"; done

watch_pid=""
floor_pid=""
# Ends what this script started and is still running.
cleanup() {
    for pid in $watch_pid $floor_pid; do kill "$pid" 2>/dev/null; done
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# The watch, started in the background; the timed client's /waitfor= waits
# until it listens.
start_watch() {
    "$wine_run" "$kestrum_exe" /watch "$@" >/dev/null 2>&1 &
    watch_pid=$!
}
stop_watch() {
    "$wine_run" "$kestrum_exe" /stop >/dev/null 2>&1 || log "kestrum.exe /stop failed"
    timeout 10 tail --pid="$watch_pid" -f /dev/null || kill "$watch_pid" 2>/dev/null
    wait "$watch_pid" 2>/dev/null
    watch_pid=""
}
# The timed client, to the end: OUTPUT ARGS...
client() {
    local output=$1
    shift
    "$wine_run" "$client_exe" /width=$width "$@" >"$output" 2>&1 || fail "timed_client.exe $* failed (see $output)"
}
# A field of the watch's Wine process (of /proc/PID/status): NAME, in KiB.
status_kib() { awk -v f="$1:" '$1 == f { print $2 }' "/proc/$watch_pid/status"; }
# Processor time of the watch's Wine process so far, user and system, in
# clock ticks (what follows the command's name in /proc/PID/stat: fields 14
# and 15 of the whole line).
cpu_ticks() { sed 's/.*) //' "/proc/$watch_pid/stat" | awk '{ print $12 + $13 }'; }
is_watch_process() { tr '\0' ' ' <"/proc/$watch_pid/cmdline" 2>/dev/null | grep -q 'kestrum\.exe /watch'; }

# --- 1: latency against the floor ---------------------------------------------
# Every opening lasts the same in both programs' runs (settle + 300 ms, then
# a 100 ms pause), so that the client does the same work whichever listens.
hold=$((settle + 300))
client_args=("/openings=$((warmup + openings))" "/hold=$hold" "/timeout=$hold" /gap=100)
# Per timed opening, in ms: the width set less the settling time.
kestrum_run() {
    local file=$out/kestrum-$1.out
    start_watch /newsize=$width /settle="$settle"
    client "$file" "${client_args[@]}" /waitfor=KestrumWatch
    stop_watch
    tr -d '\r' <"$file" | awk -v w="$warmup" -v s="$settle" '
        $1 == "frequency" { f = $2 }
        $1 == "opening" && $2 > w && $8 != "-" { printf "%.3f\n", ($8 - $6) * 1000 / f - s }' >"$out/kestrum-$1.ms"
}
# Per timed opening, in ms: the creation heard by the floor.
floor_run() {
    local file=$out/floor-$1.out
    "$wine_run" "$floor_exe" /panes=$((warmup + openings)) >"$out/floor-$1.heard" 2>&1 &
    floor_pid=$!
    for _ in $(seq 100); do grep -q '^ready' "$out/floor-$1.heard" && break; sleep 0.1; done
    grep -q '^ready' "$out/floor-$1.heard" || fail "watch_floor.exe did not start"
    client "$file" "${client_args[@]}"
    timeout 5 tail --pid="$floor_pid" -f /dev/null || kill "$floor_pid" 2>/dev/null
    wait "$floor_pid" 2>/dev/null
    floor_pid=""
    cat "$out/floor-$1.heard" "$file" | tr -d '\r' | awk -v w="$warmup" '
        $1 == "frequency" { f = $2 }
        $1 == "pane" && $3 == "heard" { heard[$2] = $4 }
        $1 == "opening" && $2 > w && ($4 in heard) { printf "%.3f\n", (heard[$4] - $6) * 1000 / f }' >"$out/floor-$1.ms"
}
rows=""
ratios=""
k_medians=""
f_medians=""
for rep in $(seq 1 "$repeats"); do
    log "the watch against its floor, $openings openings each (repeat $rep of $repeats)"
    if [ $((rep % 2)) -eq 1 ]; then kestrum_run "$rep"; floor_run "$rep"; else floor_run "$rep"; kestrum_run "$rep"; fi
    k=$(median <"$out/kestrum-$rep.ms")
    f=$(median <"$out/floor-$rep.ms")
    if [ "$k" = "?" ] || [ "$f" = "?" ]; then fail "no latencies in repeat $rep (see $out)"; fi
    ratio=$(awk -v k="$k" -v f="$f" 'BEGIN { printf "%.1f", k / f }')
    ratios="$ratios $ratio"
    k_medians="$k_medians $k"
    f_medians="$f_medians $f"
    goal=$(awk -v k="$k" -v f="$f" 'BEGIN { g = 1.5 * f + 50; printf "%.1f ms: %s", g, (k <= g ? "within" : "over") }')
    rows="$rows| watch repeat $rep: median from a pane's creation to its width set, less the settling time ($settle ms) / to its creation heard by watch_floor.exe | $(printf '%.2f' "$k") ms / $(printf '%.3f' "$f") ms = $ratio (goal at most 1.5 × floor + 50 = $goal); $(wc -l <"$out/kestrum-$rep.ms") and $(wc -l <"$out/floor-$rep.ms") of $openings openings; slowest $(sort -n "$out/kestrum-$rep.ms" | tail -n 1) / $(sort -n "$out/floor-$rep.ms" | tail -n 1) ms |
"
done
k=$(tr ' ' '\n' <<<"$k_medians" | grep . | median)
f=$(tr ' ' '\n' <<<"$f_medians" | grep . | median)
rows="$rows| watch latency less the settling time / floor, medians of the $repeats repeats | $(printf '%.2f' "$k") ms / $(printf '%.3f' "$f") ms; ratio $(tr ' ' '\n' <<<"$ratios" | grep . | median) (goal at most 1.5 × floor + 50 ms = $(awk -v k="$k" -v f="$f" 'BEGIN { g = 1.5 * f + 50; printf "%.1f ms: %s", g, (k <= g ? "within" : "over") }')) |
"

# --- 2: processor time while nothing happens -------------------------------------
log "an idle watch, ${idle_seconds} s"
start_watch /newsize=$width
client "$out/idle.out" /openings=1 /waitfor=KestrumWatch  # one pane set: the watch has done its work once
sleep 2
is_watch_process || fail "process $watch_pid is not the watch"
before=$(cpu_ticks)
sleep "$idle_seconds"
after=$(cpu_ticks)
stop_watch
rows="$rows| idle watch: processor time over $idle_seconds s with nothing happening (user + system of its Wine process; 1 tick = $((1000 / $(getconf CLK_TCK))) ms) | $((after - before)) ticks (goal 0) |
"

# --- 3: memory after 10 and after 1,000 openings ------------------------------
log "the watch's memory over $memory_openings client openings"
start_watch /newsize=$width /settle=0
client "$out/memory-10.out" /openings=10 /gap=20 /waitfor=KestrumWatch
sleep 1
is_watch_process || fail "process $watch_pid is not the watch"
anon_10=$(status_kib RssAnon)
rss_10=$(status_kib VmRSS)
client "$out/memory-rest.out" /openings=$((memory_openings - 10)) /gap=20
sleep 1
anon_n=$(status_kib RssAnon)
rss_n=$(status_kib VmRSS)
stop_watch
set_count=$(cat "$out/memory-10.out" "$out/memory-rest.out" | tr -d '\r' | awk '$1 == "end" { n += $4 } END { print n + 0 }')
settle0=$(cat "$out/memory-10.out" "$out/memory-rest.out" | tr -d '\r' |
    awk '$1 == "frequency" { f = $2 } $1 == "opening" && $8 != "-" { printf "%.3f\n", ($8 - $6) * 1000 / f }' | median)
rows="$rows| watch memory after 10 / after $memory_openings client openings (/settle=0): private resident memory (RssAnon) | $anon_10 KiB / $anon_n KiB: growth $((anon_n - anon_10)) KiB (goal at most 64 KiB); whole resident set (VmRSS) $rss_10 / $rss_n KiB |
| watch with /settle=0 over those openings: panes set, median from creation to width set | $set_count of $memory_openings, $(printf '%.2f' "$settle0") ms |"
echo "$rows"
