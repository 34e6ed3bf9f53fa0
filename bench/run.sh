#!/usr/bin/env bash
# Runs every measurement and prints one table:
#   1. window-manager calls per foreign window during discovery (in memory)
#   2. discovery cost in ns per window, 1,000 to 100,000 windows, and its growth
#   3. an unattended kestrum.exe run against the bare floor program under Wine
#      (hyperfine, side by side, with a stand-in client running)
#   4. kestrum.exe's footprint, both architectures: size and imported DLLs
#   5. the resident watch's calls and time per foreign window event (in memory)
#   6. the resident watch under Wine (bench/watch.sh): how long after a pane's
#      creation its width is set, against the floor watch_floor.exe; the
#      processor time of an idle watch; its memory after 10 and 1,000 openings
# Builds what it needs with the presets: bench (host, Release) and windows
# (32-bit) or windows64 (64-bit), the shipped build. Settings from the
# environment:
#   BENCH_ARCH              i686 or x86_64: the build timed under Wine (default:
#                           32-bit where this host runs it, else 64-bit)
#   BENCH_RUNS (20)         timed runs per program in each side-by-side run
#   BENCH_REPEATS (3)       side-by-side runs, the programs' order alternating
#   BENCH_SETTLE (0.3)      seconds to wait after the pane is put back, before each timed run
#   WINEPREFIX              default build/windows/wineprefix (or build/windows64/...)
#   BENCH_WATCH_OPENINGS (20), BENCH_WATCH_SETTLE (500 ms), BENCH_IDLE_SECONDS
#   (60), BENCH_MEMORY_OPENINGS (1000)
#                           part 6's openings per run, settling time, idle
#                           wait and openings before the second memory reading
#                           (BENCH_REPEATS applies to it as well)
#   BENCH_SKIP_WINE=1       only the in-memory parts (1, 2 and 5)
#   BENCH_KESTRUM_EXE       time this kestrum.exe instead of the one built here
#   BENCH_CANDIDATE_EXE     also time this build of kestrum.exe in the same runs
#                           (to try a change against the current one)
# Writes the table to build/bench/results.md as well.
set -uo pipefail
cd "$(dirname "$0")/.." || exit 1
root=$PWD

runs=${BENCH_RUNS:-20}
settle=${BENCH_SETTLE:-0.3}
repeats=${BENCH_REPEATS:-3}
host=build/bench
wine_run=$root/cmake/wine-run.sh
mkdir -p "$host"
# The Windows preset of an architecture, and its build directory.
win_preset() { if [ "$1" = i686 ]; then echo windows; else echo windows64; fi; }
win_dir() { echo "build/$(win_preset "$1")"; }
# Configures and builds Windows targets: ARCH TARGET...
build_windows() {
    local arch=$1 preset
    shift
    preset=$(win_preset "$arch")
    mkdir -p "build/$preset"
    { cmake --preset "$preset" && cmake --build --preset "$preset" --target "$@"; } >"build/$preset/bench-build.log" 2>&1 ||
        { tail -n 30 "build/$preset/bench-build.log"; fail "Windows build ($arch) failed"; }
}
if [ -n "${BENCH_ARCH:-}" ]; then
    arch=$BENCH_ARCH
elif "$wine_run" --can-run i686 >/dev/null; then
    arch=i686
else
    arch=x86_64
fi
win=$(win_dir "$arch")
mkdir -p "$win"
results=$host/results.md
log() { echo "--- $*" >&2; }
fail() { echo "bench: $*" >&2; exit 1; }

# --- 1, 2 and 5: the in-memory desktop ------------------------------------------
log "building the discovery and watch benchmarks"
{ cmake --preset bench && cmake --build --preset bench --target kestrum_discovery_bench kestrum_watch_bench; } \
    >"$host/build.log" 2>&1 || { tail -n 30 "$host/build.log"; fail "host build failed"; }
log "running the discovery benchmark"
"$host/bench/kestrum_discovery_bench" --benchmark_format=json --benchmark_min_time=0.2 \
    >"$host/discovery.json" 2>"$host/discovery.err" || fail "benchmark failed"
log "running the watch benchmark"
"$host/bench/kestrum_watch_bench" --benchmark_format=json --benchmark_min_time=0.2 \
    >"$host/watch.json" 2>"$host/watch.err" || fail "watch benchmark failed"
# One line per benchmark: name, ns per event, calls per event.
per_event=$(awk -F': ' '
    /"name":/ { gsub(/[",]/, "", $2); name = $2; calls = "-"; ips = "" }
    /"calls_per_event":/ { gsub(/,/, "", $2); calls = sprintf("%.4f", $2) }
    /"items_per_second":/ { gsub(/,/, "", $2); ips = $2 }
    /^ *}/ && name != "" && ips != "" { printf "%s %.2f %s\n", name, 1e9 / ips, calls; name = "" }
' "$host/watch.json")
[ -n "$per_event" ] || fail "no watch benchmark results"
event_at() { grep "^ForeignEvents/windows:$1/kind:$2 " <<<"$per_event" | awk -v f="$3" '{ print $f }'; }

# One line per benchmark: name, windows, ns per window, calls per foreign window.
per_window=$(awk -F': ' '
    /"name":/ { gsub(/[",]/, "", $2); name = $2; calls = "-"; ips = "" }
    /"calls_per_foreign":/ { gsub(/,/, "", $2); calls = sprintf("%.4f", $2) }
    /"windows":/ { gsub(/,/, "", $2); windows = $2 }
    /"items_per_second":/ { gsub(/,/, "", $2); ips = $2 }
    /^ *}/ && name != "" && ips != "" { printf "%s %d %.2f %s\n", name, windows, 1e9 / ips, calls; name = "" }
' "$host/discovery.json")
[ -n "$per_window" ] || fail "no benchmark results"

# Growth: the exponent k in time ~ n^k between the smallest and largest desktop
# of each kind (1.00 is linear; a quadratic list append would show near 2).
growth() {
    grep "^$1" <<<"$per_window" | awk '
        NR == 1 { n1 = $2; t1 = $2 * $3 } { n2 = $2; t2 = $2 * $3 }
        END { printf "%.3f", log(t2 / t1) / log(n2 / n1) }'
}
ns_at() { grep "^$1 " <<<"$per_window" | awk '{ print $3 }'; }
calls_at_10k=$(grep '^TopLevel/top:10000/' <<<"$per_window" | awk '{ print $4 }')

# --- 3: under Wine ------------------------------------------------------------
wine_rows=""
footprint_rows=""
kestrum_exe=""
if [ "${BENCH_SKIP_WINE:-0}" != 1 ]; then
    reason=$("$wine_run" --can-run "$arch") || fail "cannot time the $arch build here: $reason"
    log "building kestrum.exe, the stand-in client and the floor program for Windows ($arch)"
    build_windows "$arch" kestrum standin_client floor startup_steps watch_floor timed_client
    kestrum_exe=${BENCH_KESTRUM_EXE:-$win/kestrum.exe}
    candidate_exe=${BENCH_CANDIDATE_EXE:-}
    floor_exe=$win/floor.exe
    client_exe=$(find "$win" -name standin_client.exe | head -n 1)
    if [ ! -f "$kestrum_exe" ] || [ ! -f "$floor_exe" ] || [ -z "$client_exe" ]; then fail "programs missing"; fi

    export WINEPREFIX=${WINEPREFIX:-$root/$win/wineprefix}
    export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
    # shellcheck source=tests/e2e/desktop.sh
    source tests/e2e/desktop.sh
    client_pid=""
    # Ends everything started here: the client, Wine's processes in this
    # prefix, and the private display.
    cleanup() {
        if [ -n "${fifo_fd_open:-}" ]; then exec 3>&-; fi
        if [ -n "$client_pid" ]; then kill "$client_pid" 2>/dev/null; fi
        wineserver -k 2>/dev/null
        display_stop
        rm -f "$win/client.fifo"
    }
    trap cleanup EXIT
    trap 'exit 130' INT TERM
    display_start 1280x1024x24 || fail "no private display"
    [ -d "$WINEPREFIX" ] || "$wine_run" wineboot --init >"$win/wineboot.log" 2>&1
    # Windows closed at once, with no window manager to wait for (the watch's
    # client opens and closes a thousand of them); programs read it at start.
    "$wine_run" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >"$win/reg.log" 2>&1 ||
        fail "could not set Managed=N in the prefix"

    # The stand-in client: one main window, its pane inside a framed parent,
    # 200 pixels wide. Commands reach it through a pipe that stays open.
    rm -f "$win/client.fifo" && mkfifo "$win/client.fifo"
    "$wine_run" "$client_exe" --window Bench --place 100,100,700,500 --pane 1,10,10,200,300 \
        <"$win/client.fifo" >"$win/client.out" 2>"$win/client.err" &
    client_pid=$!
    exec 3>"$win/client.fifo"
    fifo_fd_open=1
    for _ in $(seq 1 100); do grep -q '^ready' "$win/client.out" 2>/dev/null && break; sleep 0.2; done
    grep -q '^ready' "$win/client.out" || fail "the stand-in client did not start"

    # Each timed run must really move the pane: before every run the floor
    # program puts it back to 200 pixels, and both programs set it to 250.
    # Then the run waits BENCH_SETTLE seconds: started straight after the
    # reset, about half the runs of either program took some 70 ms longer
    # (while the client and Wine were still busy with the reset), and such a
    # mix makes both medians a matter of chance.
    # Wine's process start-up varies a lot from run to run (and with whatever
    # else the machine is doing), so the side-by-side run is repeated, the
    # order of the two programs alternating, and every repeat is reported.
    # hyperfine's CSV: command,mean,stddev,median,user,system,min,max (seconds).
    field() { awk -F, -v c="$2" -v f="$3" '$1 == c { print $f }' "$1"; }
    ms() { awk -v s="$1" 'BEGIN { printf "%.1f", s * 1000 }'; }
    ratios=""
    c_ratios=""
    min_ratios=""
    c_min_ratios=""
    wine_rows=""
    for rep in $(seq 1 "$repeats"); do
        log "timing under Wine, $runs runs each (repeat $rep of $repeats)"
        kestrum_cmd=(-n kestrum "$wine_run $kestrum_exe /AUTO /newsize=250")
        floor_cmd=(-n floor "$wine_run $floor_exe /newsize=250" -n floor-unconfirmed
                   "$wine_run $floor_exe /newsize=250 /noconfirm")
        candidate_cmd=()
        [ -n "$candidate_exe" ] && candidate_cmd=(-n candidate "$wine_run $candidate_exe /AUTO /newsize=250")
        if [ $((rep % 2)) -eq 1 ]; then order=("${kestrum_cmd[@]}" "${candidate_cmd[@]}" "${floor_cmd[@]}");
        else order=("${floor_cmd[@]}" "${candidate_cmd[@]}" "${kestrum_cmd[@]}"); fi
        csv=$win/hyperfine-$rep.csv
        hyperfine --style basic -N --runs "$runs" --warmup 2 \
            --prepare "sh -c '$wine_run $floor_exe /newsize=200 && sleep $settle'" \
            --export-csv "$csv" --export-json "$win/hyperfine-$rep.json" \
            "${order[@]}" >"$win/hyperfine-$rep.log" 2>&1 ||
            { cat "$win/hyperfine-$rep.log"; fail "hyperfine failed"; }
        k_med=$(field "$csv" kestrum 4)
        f_med=$(field "$csv" floor 4)
        u_med=$(field "$csv" floor-unconfirmed 4)
        wine_rows="$wine_rows| repeat $rep: what confirming costs: median floor.exe with / without the read-back | $(ms "$f_med") ms / $(ms "$u_med") ms = $(awk -v f="$f_med" -v u="$u_med" 'BEGIN { printf "%.3f", f / u }') |
"
        ratio=$(awk -v k="$k_med" -v f="$f_med" 'BEGIN { printf "%.3f", k / f }')
        ratios="$ratios $ratio"
        # The fastest runs are the least disturbed by other work: their ratio
        # is reported beside the medians'.
        k_min=$(field "$csv" kestrum 7)
        f_min=$(field "$csv" floor 7)
        min_ratio=$(awk -v k="$k_min" -v f="$f_min" 'BEGIN { printf "%.3f", k / f }')
        min_ratios="$min_ratios $min_ratio"
        if [ -n "$candidate_exe" ]; then
            c_med=$(field "$csv" candidate 4)
            c_ratio=$(awk -v k="$c_med" -v f="$f_med" 'BEGIN { printf "%.3f", k / f }')
            c_ratios="$c_ratios $c_ratio"
            c_min=$(field "$csv" candidate 7)
            c_min_ratio=$(awk -v k="$c_min" -v f="$f_min" 'BEGIN { printf "%.3f", k / f }')
            c_min_ratios="$c_min_ratios $c_min_ratio"
            wine_rows="$wine_rows| repeat $rep: median candidate $(basename "$candidate_exe") / floor.exe, same run | $(ms "$c_med") ms / $(ms "$f_med") ms = $c_ratio (fastest $(ms "$c_min") / $(ms "$f_min") ms = $c_min_ratio) |
"
        fi
        wine_rows="$wine_rows| repeat $rep: median kestrum.exe /AUTO /newsize=250 / floor.exe /newsize=250 | $(ms "$k_med") ms / $(ms "$f_med") ms = $ratio (fastest $(ms "$k_min") / $(ms "$f_min") ms = $min_ratio; means $(ms "$(field "$csv" kestrum 2)") ± $(ms "$(field "$csv" kestrum 3)") and $(ms "$(field "$csv" floor 2)") ± $(ms "$(field "$csv" floor 3)") ms) |
"
    done
    echo report >&3
    for _ in $(seq 1 50); do grep -q '^end' "$win/client.out" && break; sleep 0.2; done
    # The client writes Windows line ends.
    moves=$(tr -d '\r' <"$win/client.out" |
        awk '/^pane / { for (i = 1; i <= NF; i++) if ($i == "moves") print $(i + 1) }' | tail -n 1)
    width=$(awk '/^pane / { print $6 - $4 }' "$win/client.out" | tail -n 1)
    # Two moves per run (the reset to 200, then to 250), per program, the
    # warm-up runs included; the very first reset finds the pane at 200.
    programs=$([ -n "$candidate_exe" ] && echo 4 || echo 3)
    expected_moves=$((repeats * 2 * programs * (runs + 2) - 1))
    median_of() { tr ' ' '\n' <<<"$1" | grep . | sort -n |
        awk '{ r[NR] = $1 } END { print (NR % 2 ? r[(NR + 1) / 2] : (r[NR / 2] + r[NR / 2 + 1]) / 2) }'; }
    [ -n "$candidate_exe" ] && wine_rows="$wine_rows| candidate: ratio of medians / of the fastest runs, median of the $repeats repeats | $(median_of "$c_ratios") / $(median_of "$c_min_ratios") |
"
    wine_rows="$wine_rows| ratio of medians, median of the $repeats repeats (goal at most 1.10) | $(median_of "$ratios") |
| ratio of the fastest runs, median of the $repeats repeats | $(median_of "$min_ratios") |
| pane moves seen by the client (expected $expected_moves) | ${moves:-?}, final width ${width:-?} |
| load average while timing (other work on the machine) | $(cut -d' ' -f1-3 /proc/loadavg) |"
    echo quit >&3

    # Where the time beyond the floor goes: the start-up steps kestrum.exe
    # takes besides its window-manager calls, each timed on its own. Run
    # round-robin (each round runs every step once, the order rotating), so
    # that the machine's drift over time falls on all steps alike; a diagnosis
    # beside the hyperfine figures above, not a replacement for them.
    log "timing kestrum.exe's start-up steps under Wine, round-robin"
    steps=$win/startup_steps.exe
    step_names=("process only" "+ common controls" "+ hidden window"
                "+ hidden window and its controls" "+ all three")
    step_args=("" "comctl" "window" "window controls" "comctl window controls")
    : >"$win/steps.times"
    for round in $(seq 0 "$runs"); do  # round 0 warms up
        for k in 0 1 2 3 4; do
            i=$(((k + round) % 5))
            sleep "$settle"
            start_us=${EPOCHREALTIME/./}
            # shellcheck disable=SC2086
            "$wine_run" "$steps" ${step_args[$i]} || fail "startup_steps failed"
            end_us=${EPOCHREALTIME/./}
            [ "$round" -gt 0 ] && echo "$i $((end_us - start_us))" >>"$win/steps.times"
        done
    done
    for i in 0 1 2 3 4; do
        median_us=$(awk -v i="$i" '$1 == i { print $2 }' "$win/steps.times" | sort -n |
            awk '{ t[NR] = $1 } END { print (NR % 2 ? t[(NR + 1) / 2] : (t[NR / 2] + t[NR / 2 + 1]) / 2) }')
        wine_rows="$wine_rows
| start-up step: ${step_names[$i]}, median of $runs round-robin runs | $(awk -v u="$median_us" 'BEGIN { printf "%.1f", u / 1000 }') ms |"
    done

    # --- 6: the resident watch under Wine ---------------------------------------
    watch_rows=$(bash bench/watch.sh "$win" "$kestrum_exe") || fail "the watch's measurements failed"
    wine_rows="$wine_rows
${watch_rows%$'\n'}"
fi

# --- 4: footprint, both architectures ------------------------------------------
# kestrum.exe is stripped when it is linked; the floor program is stripped here.
footprint_row() {
    local a=$1 exe=$2 prefix format manifest imports checks
    if [ "$a" = i686 ]; then
        prefix=i686-w64-mingw32 format=PE32 manifest=x86
    else
        prefix=x86_64-w64-mingw32 format=PE32+ manifest=amd64
    fi
    imports=$("$prefix-objdump" -p "$exe" | awk '/DLL Name:/ { print $3 }' | sort -f | paste -sd ' ')
    # The shipped exe's own checks: PE format, system DLLs only, manifest, stripped.
    checks=$(bash tests/package/check_exe.sh "$exe" "$format" "$manifest" "$prefix-objdump" | tail -n 1)
    printf '| kestrum.exe (%s), as built and shipped (stripped) | %s bytes; imports %s; exe checks: %s |\n' \
        "$a" "$(stat -c %s "$exe")" "$imports" "$checks"
}
for a in i686 x86_64; do
    if [ "$a" = "$arch" ] && [ -n "$kestrum_exe" ] && [ -z "${BENCH_KESTRUM_EXE:-}" ]; then
        exe=$kestrum_exe
    else
        log "building kestrum.exe ($a) for its footprint"
        build_windows "$a" kestrum
        exe=$(win_dir "$a")/kestrum.exe
    fi
    footprint_rows="$footprint_rows$(footprint_row "$a" "$exe")
"
done
if [ -n "$kestrum_exe" ] && [ -f "${floor_exe:-}" ]; then
    strip_tool=$([ "$arch" = i686 ] && echo i686-w64-mingw32-strip || echo x86_64-w64-mingw32-strip)
    "$strip_tool" -o "$win/floor.stripped.exe" "$floor_exe"
    footprint_rows="$footprint_rows| floor.exe ($arch) stripped, for comparison | $(stat -c %s "$win/floor.stripped.exe") bytes |"
fi

# --- the table ----------------------------------------------------------------
{
    echo "| measurement | result |"
    echo "|---|---|"
    echo "| calls per foreign window, 10,000 windows of which 2 match | ${calls_at_10k} |"
    echo "| discovery, 10,000 top-level windows (100,000 descendants on the desktop) | $(ns_at TopLevel/top:10000/desc:10) ns per window |"
    for n in 1000 3000 10000 30000 100000; do
        echo "| top-level discovery, $n windows | $(ns_at TopLevel/top:$n/desc:10) ns per window |"
    done
    echo "| top-level growth exponent, 1,000 to 100,000 (1 = linear) | $(growth TopLevel) |"
    for n in 1000 10000 100000; do
        echo "| pane discovery, $n descendants, 1 pane | $(ns_at Panes/desc:$n/paneEvery:0) ns per window |"
    done
    echo "| pane discovery growth, 1,000 to 100,000 | $(growth 'Panes/desc:[0-9]*/paneEvery:0') |"
    for n in 1000 10000 100000; do
        echo "| pane discovery, $n descendants, every 4th a pane | $(ns_at Panes/desc:$n/paneEvery:4) ns per window |"
    done
    echo "| pane discovery growth with 250 to 25,000 list appends | $(growth 'Panes/desc:[0-9]*/paneEvery:4') |"
    echo "| watch: calls per foreign window event, a creation / a showing (goal at most 2) | $(event_at 10000 0 3) / $(event_at 10000 1 3) |"
    for n in 1000 10000; do
        echo "| watch: time per foreign window event, $n windows on the desktop, a creation / a showing | $(event_at "$n" 0 2) / $(event_at "$n" 1 2) ns |"
    done
    [ -n "$wine_rows" ] && echo "$wine_rows"
    [ -n "$footprint_rows" ] && echo "${footprint_rows%$'\n'}"
    echo
    echo "Machine: $(nproc) CPUs, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'), $(/usr/lib/wine/wine64 --version 2>/dev/null || echo 'no wine'), timed build $arch, $(date -u '+%Y-%m-%d %H:%M UTC')"
} | tee "$results"
