#!/usr/bin/env bash
# The MIDI device vanishes mid-transfer: vtl-mcu-sim is killed (SIGKILL, as a crash or an
# unplugged interface) while vtlconfig-cli writes to it, and again while it reads from it,
# over real ports on the private JACK server. The tool must end on its own with the device
# named as gone, not wait for its timeout, and the read must leave the old file as it was.
#
#   cli_device_gone_e2e.sh <vtl-mcu-sim> <vtlconfig-cli> <console.vtl> <work-dir>
set -euo pipefail

sim=$1
cli=$2
console=$3
work=$4
mkdir -p "$work"

sim_pid=
cli_pid=
cleanup() {
    for pid in $sim_pid $cli_pid; do kill -KILL "$pid" 2>/dev/null || true; done
}
trap cleanup EXIT

# Waits up to 60 s for a line matching the pattern in the file, while the process lives.
wait_for() {
    local pattern=$1 file=$2 pid=$3
    for _ in $(seq 600); do
        if grep -q "$pattern" "$file" 2>/dev/null; then return 0; fi
        if ! kill -0 "$pid" 2>/dev/null; then break; fi
        sleep 0.1
    done
    echo "\"$pattern\" did not show in $file:" >&2
    cat "$file" >&2
    return 1
}

# kill_during <name> <line to wait for> <cli arguments...>: the CLI's exit status goes to
# $work/<name>.rc, its standard error to $work/<name>.err.
kill_during() {
    local name=$1 marker=$2
    shift 2
    rm -f "$work/$name"*
    "$sim" --manuals 3 --api jack >"$work/$name-sim.out" 2>&1 </dev/null &
    sim_pid=$!
    wait_for '^ready:' "$work/$name-sim.out" "$sim_pid"
    # A long timeout: only noticing the device gone ends the tool in time.
    "$cli" "$@" --in "VTL MCU chain" --out "VTL MCU chain" --api jack --timeout 120 \
        2>"$work/$name.err" </dev/null &
    cli_pid=$!
    wait_for "$marker" "$work/$name.err" "$cli_pid"
    kill -KILL "$sim_pid"
    local rc=0
    wait "$cli_pid" || rc=$?
    cli_pid=
    echo "$rc" >"$work/$name.rc"
    cat "$work/$name.err"
}

expect_gone() {
    local name=$1 what=$2
    [ "$(cat "$work/$name.rc")" = 2 ] || { echo "$name: exit $(cat "$work/$name.rc")" >&2; exit 1; }
    grep -q "^The MIDI device stopped working during the $what: its port is no longer there" \
        "$work/$name.err" || { echo "$name: the device is not named as gone" >&2; exit 1; }
}

kill_during write 'manual 1 of 3 written' write "$console"
expect_gone write write

old="$work/old.vtl"
cp "$console" "$old"
kill_during read 'manual 1 of 3 read' read -o "$old"
expect_gone read read
cmp "$console" "$old"
echo "the tool ended on its own each time, and the old file stayed"
