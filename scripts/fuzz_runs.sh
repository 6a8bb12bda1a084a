#!/usr/bin/env bash
# Longer fuzz runs than the test run's few seconds, recorded so that they add up: one harness of
# the fuzz preset runs for a number of runs or seconds at the lowest priority, its grown corpus
# kept in the build tree, and a line goes to docs/fuzz-runs.tsv: when it ended, the harness,
# the runs, the seconds, libFuzzer's coverage (cov) and features (ft) at the end, and the
# result ("ok"; "stopped" when interrupted; or "crash" and the input kept under the build tree's
# fuzz/artifacts/).
#
#   scripts/fuzz_runs.sh <harness> <N>r|<S>s [--until <total runs>]
#       e.g. "hex 1800s": 30 minutes; "hex 1000000r": a million runs. With --until, runs of that
#       size follow one another until the harness's recorded runs add up to the total, or one
#       fails.
#   scripts/fuzz_runs.sh --totals
#       the recorded runs and hours of each harness, added up
#
# Environment: FUZZ_BUILD (the fuzz preset's build folder, build/fuzz), FUZZ_RECORD (the record
# file, docs/fuzz-runs.tsv). Build the harnesses first: cmake --preset fuzz && cmake --build
# --preset fuzz.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${FUZZ_BUILD:-$root/build/fuzz}
record=${FUZZ_RECORD:-$root/docs/fuzz-runs.tsv}

totals() {
    [[ -f "$record" ]] || { echo "fuzz_runs: nothing recorded in $record" >&2; exit 2; }
    printf '%-20s %12s %8s %6s %6s %6s %8s\n' harness runs hours chunks cov ft crashed
    awk -F'\t' 'NR > 1 { runs[$2] += $3; secs[$2] += $4; n[$2]++; cov[$2] = $5; ft[$2] = $6
                         if ($7 ~ /^crash/) bad[$2]++ }
        END { for (h in runs) printf "%-20s %12d %8.2f %6d %6d %6d %8d\n", h, runs[h],
                                     secs[h] / 3600, n[h], cov[h], ft[h], bad[h] }' "$record" |
        sort
}

recorded_runs() {
    [[ -f "$record" ]] || { echo 0; return; }
    awk -F'\t' -v h="$1" 'NR > 1 && $2 == h { runs += $3 } END { print runs + 0 }' "$record"
}

# One run of the harness; appends its record line and fails when the harness failed.
run_once() {
    local name=$1 size=$2
    local program=$build/bin/fuzz_$name
    local source=$root/fuzz
    [[ -x "$program" ]] || { echo "fuzz_runs: $program is missing; build the fuzz preset" >&2; exit 2; }
    local limit
    case $size in
    *r) limit=-runs=${size%r} ;;
    *s) limit=-max_total_time=${size%s} ;;
    *) echo "fuzz_runs: give the size as <N>r (runs) or <S>s (seconds)" >&2; exit 2 ;;
    esac
    local found=$build/fuzz/corpus/$name artifacts=$build/fuzz/artifacts/$name/
    local log=$build/fuzz/logs/$name-$(date -u +%Y%m%dT%H%M%S).log
    mkdir -p "$found" "$artifacts" "$(dirname "$log")"
    local options=(-rss_limit_mb=2048 -malloc_limit_mb=128 -max_len=4096 -timeout=60 -print_final_stats=1
                   "-artifact_prefix=$artifacts" "$limit")
    [[ -f "$source/$name.dict" ]] && options+=("-dict=$source/$name.dict")

    local start=$SECONDS status=0
    # SCHED_IDLE as well as nice 19: a harness then takes no processor time that anything else
    # wants, so that it can run beside a measurement of stalls.
    UBSAN_OPTIONS=print_stacktrace=1 chrt --idle 0 nice -n 19 "$program" "${options[@]}" "$found" \
        "$source/corpus/$name" >"$log" 2>&1 || status=$?
    local seconds=$((SECONDS - start))

    # The final statistics on success; the last status line when the harness stopped early.
    local runs cov ft result=ok
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
    [[ -n "$runs" ]] || runs=$(grep -o '^#[0-9]*' "$log" | tail -n 1 | tr -d '#')
    cov=$(grep -o 'cov: [0-9]*' "$log" | tail -n 1 | cut -d' ' -f2)
    ft=$(grep -o 'ft: [0-9]*' "$log" | tail -n 1 | cut -d' ' -f2)
    # Slow inputs are kept too (slow-unit-*), but end nothing; an interrupted run is no crash.
    if grep -q 'libFuzzer: run interrupted' "$log"; then
        result=stopped
    elif ((status != 0)); then
        local kept
        kept=$(sed -n 's/.*Test unit written to \([^ ]*\).*/\1/p' "$log" | grep -v /slow-unit- |
            tail -n 1)
        result="crash ${kept:-(exit $status)}"
    fi
    [[ -f "$record" ]] || printf 'date\tharness\truns\tseconds\tcov\tft\tresult\n' >"$record"
    printf '%s\t%s\t%s\t%s\t%s\t%s\t%s\n' "$(date -u +%Y-%m-%dT%H:%M:%SZ)" "$name" "${runs:-0}" \
        "$seconds" "${cov:-0}" "${ft:-0}" "$result" >>"$record"
    echo "fuzz_runs: $name: ${runs:-0} runs in $seconds s, cov ${cov:-0} ft ${ft:-0}: $result (log: $log)"
    [[ $result == ok ]]
}

if [[ ${1:-} == --totals ]]; then
    totals
    exit
fi
[[ $# == 2 || ($# == 4 && $3 == --until) ]] || { sed -n '9,18p' "$0" >&2; exit 2; }
name=$1 size=$2
if [[ $# == 4 ]]; then
    while (($(recorded_runs "$name") < $4)); do
        run_once "$name" "$size"
    done
else
    run_once "$name" "$size"
fi
