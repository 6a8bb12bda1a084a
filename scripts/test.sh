#!/usr/bin/env bash
# Sets up the machine, builds and runs every test, each once:
#   ci    the optimised build of the programs and benchmarks, and the package test
#   tsan  the MIDI platform tests under ThreadSanitizer: RtMidi's thread hands messages over
#   fuzz  a short run of each fuzz harness, where the fuzz preset configures
#   asan  every test but the package test under AddressSanitizer and UndefinedBehaviorSanitizer
#         (Debug, line tables only: they name file and line, and build faster)
# Warnings are errors in ci, tsan and asan. VTL_PRESET=<preset> builds and tests that preset alone.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh

# The compiler cache, where there is one, also serves clones in other folders.
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1

# Each step's time, and the processor time it took, which other load on the machine leaves be.
timed() {
    local TIMEFORMAT="test.sh: '$*' took %0R s (processor: %0U s user, %0S s system)"
    time "$@"
}

preset() {
    timed cmake --preset "$1" >/dev/null
    timed cmake --build --preset "$1"
    timed ctest --preset "$1"
}

if [ -n "${VTL_PRESET:-}" ]; then
    preset "$VTL_PRESET"
    exit
fi

# The optimised build first: it fails fastest on a warning.
preset ci
preset tsan
if [[ $(cmake --list-presets) == *'"fuzz"'* ]]; then preset fuzz; fi
preset asan
