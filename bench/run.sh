#!/usr/bin/env bash
# Every measurement, as one table (also build/bench/results.md); docs/performance.md says how to read it and its settings.
# - in memory (Google Benchmark's JSON): discovery's calls and time per window, and their growth; the watch's per event;
# - under Wine (hyperfine's JSON): kestrum.exe /AUTO against the floor program, its start-up steps, and the resident
#   watch (bench/watch.sh); then both architectures' footprint.
set -uo pipefail
cd "$(dirname "$0")/.." || exit 1
runs=${BENCH_RUNS:-20} settle=${BENCH_SETTLE:-0.3} repeats=${BENCH_REPEATS:-3}
host=build/bench wine_run=$PWD/cmake/wine-run.sh
log() { echo "--- $*" >&2; }
fail() { echo "bench: $*" >&2; exit 1; }
win_preset() { if [ "$1" = i686 ]; then echo windows; else echo windows64; fi; }
build_windows() {  # ARCH TARGET...
    local preset
    preset=$(win_preset "$1") && shift && mkdir -p "build/$preset"
    { cmake --preset "$preset" && cmake --build --preset "$preset" --target "$@"; } >"build/$preset/bench-build.log" 2>&1 ||
        { tail -n 30 "build/$preset/bench-build.log"; fail "Windows build ($preset) failed"; }
}
# Numbers with DIGITS decimals: fixed DIGITS NUMBER...
fixed() { local digits=$1; shift; printf "%.${digits}f " "$@" | sed 's/ $//'; }
# A jq expression on numbers: calc EXPRESSION.
calc() { jq -n "$1"; }
median() { printf '%s\n' "$@" | jq -s 'sort | if length % 2 == 1 then .[(length - 1) / 2] else (.[length / 2 - 1] + .[length / 2]) / 2 end'; }
arch=${BENCH_ARCH:-$("$wine_run" --can-run i686 >/dev/null && echo i686 || echo x86_64)}
win=build/$(win_preset "$arch")
mkdir -p "$host" "$win"

# --- in memory ------------------------------------------------------------------
log "building and running the discovery and watch benchmarks"
{ cmake --preset bench && cmake --build --preset bench --target kestrum_discovery_bench kestrum_watch_bench; } \
    >"$host/build.log" 2>&1 || { tail -n 30 "$host/build.log"; fail "host build failed"; }
for bench in discovery watch; do
    "$host/bench/kestrum_${bench}_bench" --benchmark_min_time=0.2 --benchmark_out="$host/$bench.json" \
        --benchmark_out_format=json >"$host/$bench.log" 2>&1 || fail "the $bench benchmark failed (see $host/$bench.log)"
done
# FILE NAME-PATTERN EXPRESSION: the expression on the list of the file's benchmarks whose whole name matches.
figure() { jq -r --arg re "^$2\$" "[.benchmarks[] | select(.name | test(\$re))] | $3" "$host/$1.json"; }
ns_at() { fixed 2 "$(figure discovery "$1" '1e9 / .[0].items_per_second')"; }
# The exponent k in time ~ n^k between the smallest and largest desktop of a kind (1 is linear, 2 quadratic).
growth() {
    fixed 3 "$(figure discovery "$1" '((.[-1].windows / .[-1].items_per_second) / (.[0].windows / .[0].items_per_second)
        | log) / (.[-1].windows / .[0].windows | log)')"
}
slashed() { local out=$1; shift; for x in "$@"; do out+=" / $x"; done; echo "$out"; }  # A / B / C
event_at() {  # WINDOWS KIND: ns per event, calls per event
    fixed 2 "$(figure watch "ForeignEvents/windows:$1/kind:$2" '1e9 / .[0].items_per_second')"
    echo -n " $(fixed 4 "$(figure watch "ForeignEvents/windows:$1/kind:$2" '.[0].calls_per_event')")"
}
[ -n "$(figure discovery 'TopLevel/top:10000/desc:10' '.[0].name // empty')" ] || fail "no benchmark results"

# --- under Wine -----------------------------------------------------------------
wine_rows='' kestrum_exe=''
if [ "${BENCH_SKIP_WINE:-0}" != 1 ]; then
    reason=$("$wine_run" --can-run "$arch") || fail "cannot time the $arch build here: $reason"
    log "building kestrum.exe, the stand-in client and the floor programs for Windows ($arch)"
    build_windows "$arch" kestrum standin_client floor startup_steps watch_floor timed_client
    kestrum_exe=${BENCH_KESTRUM_EXE:-$win/kestrum.exe} candidate_exe=${BENCH_CANDIDATE_EXE:-} floor_exe=$win/floor.exe
    export WINEPREFIX=${WINEPREFIX:-$PWD/$win/wineprefix} WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
    # shellcheck source=tests/e2e/desktop.sh
    source tests/e2e/desktop.sh
    BUILD=$win
    trap 'client_stop; wineserver -k 2>/dev/null; display_stop' EXIT
    trap 'exit 130' INT TERM
    display_start 1280x1024x24 || fail "no private display"
    [ -d "$WINEPREFIX" ] || "$wine_run" wineboot --init >"$win/wineboot.log" 2>&1
    # Windows closed at once, with no window manager to wait for; programs read it as they start.
    "$wine_run" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >"$win/reg.log" 2>&1 || fail "no Managed=N"
    # One main window, its pane inside a framed parent, 200 pixels wide.
    client_start "$win/bench-client" --window Bench --place 100,100,700,500 --pane 1,10,10,200,300 ||
        fail "the stand-in client did not start"

    # Each timed run really moves the pane: before it the floor program puts it back to 200 pixels, and the run
    # waits BENCH_SETTLE seconds (straight after the reset, runs of either program took some 70 ms more). Wine's
    # process start varies from run to run: the side-by-side run is repeated, the programs' order alternating.
    ratios=() min_ratios=() c_ratios=() c_min_ratios=()
    for rep in $(seq "$repeats"); do
        log "timing under Wine, $runs runs each (repeat $rep of $repeats)"
        mine=(-n kestrum "$wine_run $kestrum_exe /AUTO /newsize=250")
        floor=(-n floor "$wine_run $floor_exe /newsize=250" -n floor-unconfirmed "$wine_run $floor_exe /newsize=250 /noconfirm")
        candidate=()
        [ -z "$candidate_exe" ] || candidate=(-n candidate "$wine_run $candidate_exe /AUTO /newsize=250")
        if [ $((rep % 2)) = 1 ]; then order=("${mine[@]}" "${candidate[@]}" "${floor[@]}")
        else order=("${floor[@]}" "${candidate[@]}" "${mine[@]}"); fi
        json=$win/hyperfine-$rep.json
        hyperfine --style basic -N --runs "$runs" --warmup 2 --export-json "$json" \
            --prepare "sh -c '$wine_run $floor_exe /newsize=200 && sleep $settle'" "${order[@]}" \
            >"$win/hyperfine-$rep.log" 2>&1 || { cat "$win/hyperfine-$rep.log"; fail "hyperfine failed"; }
        read -r k f u kmin fmin kmean ksd fmean fsd c cmin < <(jq -r 'def r(n): .results[] | select(.command == n);
            [r("kestrum").median, r("floor").median, r("floor-unconfirmed").median, r("kestrum").min, r("floor").min,
             r("kestrum").mean, r("kestrum").stddev, r("floor").mean, r("floor").stddev,
             (r("candidate").median // 0), (r("candidate").min // 0)] | map(. * 1000) | @tsv' "$json")
        ratios+=("$(calc "$k / $f")") min_ratios+=("$(calc "$kmin / $fmin")")
        wine_rows+="| repeat $rep: what confirming costs: median floor.exe with / without the read-back | $(fixed 1 "$f") ms / $(fixed 1 "$u") ms = $(fixed 3 "$(calc "$f / $u")") |"$'\n'
        if [ -n "$candidate_exe" ]; then
            c_ratios+=("$(calc "$c / $f")") c_min_ratios+=("$(calc "$cmin / $fmin")")
            wine_rows+="| repeat $rep: median candidate $(basename "$candidate_exe") / floor.exe, same run | $(fixed 1 "$c") ms / $(fixed 1 "$f") ms = $(fixed 3 "${c_ratios[-1]}") (fastest $(fixed 1 "$cmin") / $(fixed 1 "$fmin") ms = $(fixed 3 "${c_min_ratios[-1]}")) |"$'\n'
        fi
        wine_rows+="| repeat $rep: median kestrum.exe /AUTO /newsize=250 / floor.exe /newsize=250 | $(fixed 1 "$k") ms / $(fixed 1 "$f") ms = $(fixed 3 "${ratios[-1]}") (fastest $(fixed 1 "$kmin") / $(fixed 1 "$fmin") ms = $(fixed 3 "${min_ratios[-1]}"); means $(fixed 1 "$kmean") ± $(fixed 1 "$ksd") and $(fixed 1 "$fmean") ± $(fixed 1 "$fsd") ms) |"$'\n'
    done
    # "pane <h> screen <l> <t> <r> <b> client <l> <t> <r> <b> moves <n>"; two moves per run and program (the reset,
    # then 250), warm-up runs included; the very first reset finds the pane at 200.
    read -r _ _ _ l _ r _ _ _ _ _ _ _ moves < <(client_ask report '^pane ')
    expected_moves=$((repeats * 2 * (${#candidate[@]} > 0 ? 4 : 3) * (runs + 2) - 1))
    [ -z "$candidate_exe" ] || wine_rows+="| candidate: ratio of medians / of the fastest runs, median of the $repeats repeats | $(fixed 3 "$(median "${c_ratios[@]}")") / $(fixed 3 "$(median "${c_min_ratios[@]}")") |"$'\n'
    wine_rows+="| ratio of medians, median of the $repeats repeats (goal at most 1.10) | $(fixed 3 "$(median "${ratios[@]}")") |
| ratio of the fastest runs, median of the $repeats repeats | $(fixed 3 "$(median "${min_ratios[@]}")") |
| pane moves seen by the client (expected $expected_moves) | ${moves:-?}, final width $((${r:-0} - ${l:-0})) |
| load average while timing (other work on the machine) | $(cut -d' ' -f1-3 /proc/loadavg) |"
    client_stop

    # Where the time beyond the floor goes: kestrum.exe's start-up steps besides its window-manager calls, each timed
    # alone, round-robin (the order rotating each round, round 0 a warm-up), so that drift falls on all alike.
    log "timing kestrum.exe's start-up steps under Wine, round-robin"
    names=("process only" "+ common controls" "+ hidden window" "+ hidden window and its controls" "+ all three")
    step_args=("" "comctl" "window" "window controls" "comctl window controls")
    times=()
    for round in $(seq 0 "$runs"); do
        for k in 0 1 2 3 4; do
            i=$(((k + round) % 5))
            sleep "$settle"
            start=${EPOCHREALTIME/./}
            # shellcheck disable=SC2086  # the step's words
            "$wine_run" "$win/startup_steps.exe" ${step_args[$i]} || fail "startup_steps failed"
            [ "$round" = 0 ] || times+=("{\"step\": $i, \"us\": $((${EPOCHREALTIME/./} - start))}")
        done
    done
    for i in 0 1 2 3 4; do
        us=$(printf '%s\n' "${times[@]}" | jq -s --argjson i "$i" 'map(select(.step == $i).us) | sort |
            if length % 2 == 1 then .[(length - 1) / 2] else (.[length / 2 - 1] + .[length / 2]) / 2 end')
        wine_rows+=$'\n'"| start-up step: ${names[$i]}, median of $runs round-robin runs | $(fixed 1 "$(calc "$us / 1000")") ms |"
    done

    watch_rows=$(bash bench/watch.sh "$win" "$kestrum_exe") || fail "the watch's measurements failed"
    wine_rows+=$'\n'"$watch_rows"
fi

# --- footprint, both architectures (stripped where linked; the floor program stripped here) ----------------------
footprint_rows=''
for a in i686 x86_64; do
    exe=$kestrum_exe
    if [ "$a" != "$arch" ] || [ -z "$exe" ] || [ -n "${BENCH_KESTRUM_EXE:-}" ]; then
        log "building kestrum.exe ($a) for its footprint"
        build_windows "$a" kestrum
        exe=build/$(win_preset "$a")/kestrum.exe
    fi
    if [ "$a" = i686 ]; then set -- i686-w64-mingw32 PE32 x86; else set -- x86_64-w64-mingw32 PE32+ amd64; fi
    imports=$("$1-objdump" -p "$exe" | sed -n 's/.*DLL Name: //p' | sort -f | paste -sd ' ')
    checks=$(bash tests/package/check_exe.sh "$exe" "$2" "$3" "$1-objdump" \
        "$(cat "build/$(win_preset "$a")/version.txt").0" | tail -n 1)
    footprint_rows+="| kestrum.exe ($a), as built and shipped (stripped) | $(stat -c %s "$exe") bytes; imports $imports; exe checks: $checks |"$'\n'
done
if [ -n "$kestrum_exe" ]; then
    "$arch-w64-mingw32-strip" -o "$win/floor.stripped.exe" "$floor_exe"
    footprint_rows+="| floor.exe ($arch) stripped, for comparison | $(stat -c %s "$win/floor.stripped.exe") bytes |"
fi

{
    echo "| measurement | result |"
    echo "|---|---|"
    echo "| calls per foreign window, 10,000 windows of which 2 match | $(fixed 4 "$(figure discovery 'TopLevel/top:10000/.*' '.[0].calls_per_foreign')") |"
    echo "| discovery, 10,000 top-level windows (100,000 descendants on the desktop) | $(ns_at TopLevel/top:10000/desc:10) ns per window |"
    for n in 1000 3000 10000 30000 100000; do
        echo "| top-level discovery, $n windows | $(ns_at "TopLevel/top:$n/desc:10") ns per window |"
    done
    echo "| top-level growth exponent, 1,000 to 100,000 (1 = linear) | $(growth 'TopLevel/.*') |"
    for n in 1000 10000 100000; do echo "| pane discovery, $n descendants, 1 pane | $(ns_at "Panes/desc:$n/paneEvery:0") ns per window |"; done
    echo "| pane discovery growth, 1,000 to 100,000 | $(growth 'Panes/desc:[0-9]*/paneEvery:0') |"
    for n in 1000 10000 100000; do
        echo "| pane discovery, $n descendants, every 4th a pane | $(ns_at "Panes/desc:$n/paneEvery:4") ns per window |"
    done
    echo "| pane discovery growth with 250 to 25,000 list appends | $(growth 'Panes/desc:[0-9]*/paneEvery:4') |"
    calls=() times=()
    for kind in 0 1 2 3 4; do read -r _ "calls[$kind]" < <(event_at 10000 "$kind"); done
    echo "| watch: calls per foreign window event, a creation / a showing / a restore / the focus / the mouse let go, two panes set (goal at most 2) | $(slashed "${calls[@]}") |"
    for n in 1000 10000; do
        for kind in 0 1 2 3 4; do read -r "times[$kind]" _ < <(event_at "$n" "$kind"); done
        echo "| watch: time per foreign window event, $n windows on the desktop, the same five | $(slashed "${times[@]}") ns |"
    done
    [ -z "$wine_rows" ] || echo "${wine_rows%$'\n'}"
    echo "${footprint_rows%$'\n'}"
    echo
    echo "Machine: $(nproc) CPUs, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'), $(/usr/lib/wine/wine64 --version 2>/dev/null || echo 'no wine'), timed build $arch, $(date -u '+%Y-%m-%d %H:%M UTC')"
} | tee "$host/results.md"
