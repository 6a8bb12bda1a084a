#!/usr/bin/env bash
# Sets up the machine, builds and runs every test, each once:
#   ci    the optimised build of everything, benchmarks included, and the package test
#   tsan  the MIDI platform tests under ThreadSanitizer: RtMidi's thread hands messages over
#   fuzz  a short run of each fuzz harness, where the fuzz preset configures
#   asan  the whole suite but the package test under AddressSanitizer and UndefinedBehavior-
#         Sanitizer (Debug)
# Warnings are errors in ci, tsan and asan. VTL_PRESET=<preset> builds and tests that preset alone.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh

# The compiler cache, where there is one, also serves clones in other folders.
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1

timed() {
    local start=$SECONDS status=0
    "$@" || status=$?
    echo "test.sh: '$*' took $((SECONDS - start)) s" >&2
    return "$status"
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

# The optimised build first: it fails fastest on a warning. Its tests are those of the package.
timed cmake --preset ci >/dev/null
timed cmake --build --preset ci
timed ctest --preset ci -L package --no-tests=ignore
preset tsan
if [[ $(cmake --list-presets) == *'"fuzz"'* ]]; then preset fuzz; fi
preset asan
