#!/usr/bin/env bash
# vtl-mcu-sim played like a console into vtlconfig-cli monitor --json over real MIDI ports on
# the private JACK server: every line names the element the console file says sent it.
#
#   cli_monitor_e2e.sh <vtl-mcu-sim> <vtlconfig-cli> <console.vtl> <work-dir>
set -euo pipefail

sim=$1
cli=$2
console=$3
work=$4

mkdir -p "$work"
rm -f "$work/play" "$work/monitor.out" "$work/monitor.err"
mkfifo "$work/play"

# The simulator reads its script from the pipe, which stays open here until the end.
timeout 120 "$sim" --manuals 3 --api jack --file "$console" <"$work/play" \
    >"$work/sim.out" 2>"$work/sim.err" &
sim_pid=$!
exec 3>"$work/play"
monitor_pid=
stop_all() {
    exec 3>&- || true
    kill -TERM "$sim_pid" ${monitor_pid:+"$monitor_pid"} 2>/dev/null || true
    wait 2>/dev/null || true
}
trap stop_all EXIT

wait_for() { # file pattern
    for _ in $(seq 200); do
        if grep -q "$2" "$1" 2>/dev/null; then return 0; fi
        sleep 0.1
    done
    echo "no '$2' in $1:" >&2
    cat "$work"/*.out "$work"/*.err >&2
    return 1
}
wait_for "$work/sim.out" '^ready:'

"$cli" monitor --in "VTL MCU chain" --api jack --file "$console" --json --duration 6 \
    >"$work/monitor.out" 2>"$work/monitor.err" &
monitor_pid=$!
wait_for "$work/monitor.err" '^Listening on'

cat >&3 <<'SCRIPT'
key 1 60 on
wait 200
key 1 60 off
key 2 64 on
wait 50
piston 2 15
shoe 2 100
piston 1 1
shoe 3 10
SCRIPT
wait "$monitor_pid"
monitor_pid=
cat "$work/monitor.out"
cat "$work/monitor.err"

expect() { # the n-th line, and what it must hold
    local line
    line=$(sed -n "$1p" "$work/monitor.out")
    if [[ "$line" != *"$2"* ]]; then
        echo "line $1 is not as expected: $line" >&2
        echo "expected it to hold: $2" >&2
        exit 1
    fi
}
expect 1 '"bytes": "90 3c 64 93 3c 64", "kind": "note-on", "channels": [1, 4], "note": 60, "velocity": 100, "elements": [{"manual": 1, "element": "keyboard"}], "problems": []}'
expect 2 '"kind": "note-off", "channels": [1, 4], "note": 60, "velocity": 0, "elements": [{"manual": 1, "element": "keyboard"}], "problems": []}'
expect 3 '"channels": [2, 5, 6, 7, 8], "note": 64, "velocity": 100, "elements": [{"manual": 2, "element": "keyboard"}]'
expect 4 '"bytes": "cf 0b", "kind": "program-change", "channel": 16, "program": 12, "elements": [{"manual": 2, "element": "piston", "piston": 15}], "problems": []}'
expect 5 '"bytes": "b1 07 64", "kind": "controller", "channel": 2, "controller": 7, "value": 100, "elements": [{"manual": 2, "element": "shoe"}], "problems": []}'
expect 6 '"note": 64, "velocity": 100, "elements": [{"manual": 2, "element": "keyboard"}], "problems": ["stuck-note"]}'
[[ $(wc -l <"$work/monitor.out") -eq 6 ]]
grep -q 'piston 1 of manual 1 sends no program change' "$work/sim.err"
grep -q 'the shoe of manual 3 is disabled' "$work/sim.err"
grep -q '^Stuck notes: Manual 2, keyboard E4$' "$work/monitor.err"
echo "the monitor named every element the console played"
