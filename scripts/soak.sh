#!/usr/bin/env bash
# Soak test, not part of the regular test run: read-write-verify cycles of a three-manual
# console between vtlconfig-cli and vtl-mcu-sim over a private JACK server (dummy driver),
# each cycle with a new random console. Every cycle reads what the chain holds (which must be
# the last cycle's console), writes a new console and verifies it. The simulator's resident
# memory and open descriptors are sampled along the way; the soak fails when a verify finds
# a difference or when either grows beyond a small tolerance.
#
#   scripts/soak.sh [build-dir]        (default: build/default)
#
# Environment: SOAK_CYCLES (200), SOAK_SEED (first seed, 1), SOAK_TICK_MS (the CLI's pace,
# 10), SOAK_RSS_TOLERANCE_KB (1024), SOAK_FD_TOLERANCE (2), SOAK_WORK (a fresh temporary
# folder; kept when set).
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
bin=$(cd "${1:-$root/build/default}" && pwd)/bin
cli=$bin/vtlconfig-cli
sim=$bin/vtl-mcu-sim
cycles=${SOAK_CYCLES:-200}
seed=${SOAK_SEED:-1}
tick_ms=${SOAK_TICK_MS:-10}
rss_tolerance=${SOAK_RSS_TOLERANCE_KB:-1024}
fd_tolerance=${SOAK_FD_TOLERANCE:-2}
samples=5 # points at which memory and descriptors are sampled, start and end included

for program in "$cli" "$sim"; do
    [[ -x "$program" ]] || { echo "soak: $program is missing; build it first" >&2; exit 2; }
done
if [[ -n "${SOAK_WORK:-}" ]]; then
    work=$SOAK_WORK
    mkdir -p "$work"
else
    work=$(mktemp -d)
fi

server=vtl-soak-$$
jack=$root/tests/e2e/jack_server.sh
export JACK_DEFAULT_SERVER=$server JACK_NO_START_SERVER=1 JACK_NO_AUDIO_RESERVATION=1
# The server's safety-net lifetime outlasts a long soak (200 cycles take about 20 minutes).
export VTL_JACK_LIFETIME=${VTL_JACK_LIFETIME:-14400}
sim_pid=
finish() {
    if [[ -n "$sim_pid" ]]; then
        kill -TERM "$sim_pid" 2>/dev/null || true
        wait "$sim_pid" 2>/dev/null || true
    fi
    bash "$jack" stop "$server" "$work" || true
    [[ -n "${SOAK_WORK:-}" ]] || rm -rf "$work"
}
trap finish EXIT
bash "$jack" start "$server" "$work" >/dev/null

"$sim" --manuals 3 --api jack >"$work/sim.out" 2>"$work/sim.err" </dev/null &
sim_pid=$!
for _ in $(seq 200); do
    grep -q '^ready:' "$work/sim.out" && break
    kill -0 "$sim_pid" 2>/dev/null || break
    sleep 0.1
done
if ! grep -q '^ready:' "$work/sim.out"; then
    echo "soak: vtl-mcu-sim did not get ready:" >&2
    cat "$work/sim.out" "$work/sim.err" >&2
    exit 1
fi

rss_kb() { awk '/^VmRSS:/ { print $2 }' "/proc/$sim_pid/status"; }
fds() { find "/proc/$sim_pid/fd" -mindepth 1 -maxdepth 1 | wc -l; }
declare -a sample_cycle sample_rss sample_fds
sample() {
    sample_cycle+=("$1")
    sample_rss+=("$(rss_kb)")
    sample_fds+=("$(fds)")
    printf 'soak: after cycle %3d: simulator RSS %6d kB, %3d open descriptors\n' \
        "$1" "${sample_rss[-1]}" "${sample_fds[-1]}"
}

ports=(--in "VTL MCU chain" --out "VTL MCU chain" --api jack --tick-ms "$tick_ms" --timeout 20)
# Runs one command of the CLI; its output is shown only when it fails.
run() {
    local what=$1
    shift
    if ! "$cli" "$@" >"$work/step.out" 2>"$work/step.err"; then
        echo "soak: cycle $cycle: $what failed:" >&2
        cat "$work/step.out" "$work/step.err" >&2
        exit 1
    fi
}

every=$((cycles / (samples - 1) > 0 ? cycles / (samples - 1) : 1))
start=$SECONDS
cycle=0
sample 0
for ((cycle = 1; cycle <= cycles; cycle++)); do
    run "random" random -o "$work/console.vtl" --seed $((seed + cycle))
    run "read" read -o "$work/held.vtl" "${ports[@]}"
    if [[ -f "$work/last.vtl" ]]; then
        run "diff of what was held with the last cycle's console" \
            diff "$work/last.vtl" "$work/held.vtl"
    fi
    run "write" write "$work/console.vtl" "${ports[@]}"
    run "verify" verify "$work/console.vtl" "${ports[@]}"
    mv "$work/console.vtl" "$work/last.vtl"
    # The first cycle warms up the simulator's buffers; growth counts from the sample after it.
    if ((cycle == 1 || cycle % every == 0 || cycle == cycles)); then sample "$cycle"; fi
done
elapsed=$((SECONDS - start))

rss_growth=$((sample_rss[-1] - sample_rss[1]))
fd_growth=$((sample_fds[-1] - sample_fds[1]))
echo "soak: $cycles cycles (read, write, verify; every verify equal) in ${elapsed} s"
echo "soak: simulator RSS ${sample_rss[0]} kB at start, ${sample_rss[1]} kB after cycle 1," \
    "${sample_rss[-1]} kB at the end (growth $rss_growth kB, tolerance $rss_tolerance kB)"
echo "soak: simulator descriptors ${sample_fds[0]} at start, ${sample_fds[1]} after cycle 1," \
    "${sample_fds[-1]} at the end (growth $fd_growth, tolerance $fd_tolerance)"
if ((rss_growth > rss_tolerance || fd_growth > fd_tolerance)); then
    echo "soak: FAILED: the simulator grows" >&2
    exit 1
fi
echo "soak: passed"
