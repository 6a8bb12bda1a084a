#!/usr/bin/env bash
# vtlconfig-cli against vtl-mcu-sim over real MIDI ports on the private JACK server: write a
# console file to a simulated three-manual chain, read it back, compare, and verify; on the
# way, the port list and the probe must find the chain.
#
#   cli_sim_e2e.sh <vtl-mcu-sim> <vtlconfig-cli> <console.vtl> <work-dir>
#
# The simulator always ends with this script; as a safety net it also ends by itself.
set -euo pipefail

sim=$1
cli=$2
console=$3
work=$4
sim_lifetime=300

mkdir -p "$work"
read_back="$work/read-back.vtl"
rm -f "$read_back"

# timeout passes TERM on to the simulator, which ends on it.
timeout "$sim_lifetime" "$sim" --manuals 3 --api jack >"$work/sim.out" 2>"$work/sim.err" \
    </dev/null &
sim_pid=$!
stop_sim() {
    kill -TERM "$sim_pid" 2>/dev/null || true
    wait "$sim_pid" 2>/dev/null || true
}
trap stop_sim EXIT

for _ in $(seq 200); do
    if grep -q '^ready:' "$work/sim.out"; then break; fi
    if ! kill -0 "$sim_pid" 2>/dev/null; then break; fi
    sleep 0.1
done
if ! grep -q '^ready:' "$work/sim.out"; then
    echo "vtl-mcu-sim did not get ready:" >&2
    cat "$work/sim.out" "$work/sim.err" >&2
    exit 1
fi
cat "$work/sim.out"

# The simulator's input port is an output for us, its output port an input.
ports=(--in "VTL MCU chain" --out "VTL MCU chain" --api jack)
step() {
    echo "== vtlconfig-cli $*"
    "$cli" "$@"
}
step ports --api jack
step probe --api jack | tee "$work/probe.out"
grep -q '": 3 manuals$' "$work/probe.out"
step write "$console" "${ports[@]}"
step read -o "$read_back" "${ports[@]}"
step diff "$console" "$read_back"
step verify "$console" "${ports[@]}"
echo "written, read back and verified"
