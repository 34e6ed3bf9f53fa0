#!/usr/bin/env bash
# One fuzzing step, as the fuzz preset's ctest runs it: run-fuzzer.sh STEP FUZZER FUZZ_DIR ARTIFACTS
# - seeds: every seed of FUZZ_DIR/corpus on its own; readers: FUZZ_SECONDS (60) on a copy of the corpus;
#   desktop: FUZZ_DESKTOP_SECONDS (30) from an empty corpus.
# - Fails on any crash, sanitizer report, disagreement or broken rule, the input left in ARTIFACTS; writes
#   ARTIFACTS/../STEP.log and says in one line what it did: executions, their rate, the coverage reached.
set -uo pipefail
step=$1 fuzzer=$2 fuzz_dir=$3 artifacts=$4
logs=$(dirname "$artifacts")
log=$logs/$step.log work=$logs/work-$step
mkdir -p "$artifacts"
common=(-print_final_stats=1 -artifact_prefix="$artifacts")
readers=(-dict="$fuzz_dir/start_options.dict" -max_len=2048)
case $step in
    seeds) "$fuzzer" "${common[@]}" "${readers[@]}" "$fuzz_dir"/corpus/* >"$log" 2>&1 ;;
    readers)
        rm -rf "$work" && mkdir -p "$work" && cp "$fuzz_dir"/corpus/* "$work/"
        "$fuzzer" "${common[@]}" "${readers[@]}" -print_coverage=1 -max_total_time="${FUZZ_SECONDS:-60}" "$work" >"$log" 2>&1 ;;
    desktop)
        rm -rf "$work" && mkdir -p "$work"
        "$fuzzer" "${common[@]}" -max_len=4096 -max_total_time="${FUZZ_DESKTOP_SECONDS:-30}" "$work" >"$log" 2>&1 ;;
    *) echo "run-fuzzer: unknown step '$step'" >&2; exit 2 ;;
esac
status=$?
runs=$(sed -nE 's/^stat::number_of_executed_units: *([0-9]+).*/\1/p' "$log")
rate=$(sed -nE 's/^stat::average_exec_per_sec: *([0-9]+).*/\1/p' "$log")
coverage=$(grep -E '^#[0-9]+.*cov: [0-9]+' "$log" | tail -n 1 | sed -E 's/.*cov: ([0-9]+) ft: ([0-9]+).*/\1 edges, \2 features/')
echo "fuzz $step: ${runs:-0} executions (${rate:-0}/s), coverage ${coverage:-unknown}"
# libFuzzer's own account of the functions the corpus reached.
[ "$step" != readers ] || echo "functions reached: $(grep -c '^COVERED_FUNC' "$log"), not reached: $(grep -c '^UNCOVERED_FUNC' "$log")"
if [ "$status" -ne 0 ]; then
    grep -E 'DISAGREEMENT|BROKEN|ERROR|SUMMARY|runtime error' "$log" | head -n 20
    ls "$artifacts" 2>/dev/null
fi
exit "$status"
