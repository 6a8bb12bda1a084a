#!/usr/bin/env bash
# Sets up the machine, builds and runs every test, each once:
#   ci    the optimised build of the programs and benchmarks, and the package test
#   tsan  the MIDI platform tests under ThreadSanitizer: RtMidi's thread hands messages over
#   fuzz  a short run of each fuzz harness, where the fuzz preset configures
#   asan  every test but the package test under AddressSanitizer and UndefinedBehaviorSanitizer
#         (Debug, line tables only: they name file and line, and build faster)
#   win64 the programs, the tests, the installer and the zip cross-compiled for 64-bit Windows
#         against the kit in ../shared/win64; every test but JACK's under Wine, and the installer
#         proven there against ci's vtlconfig-cli (where the kit is missing, said and left out)
# Warnings are errors in ci, tsan, asan and win64. VTL_PRESET=<preset> builds and tests that
# preset alone.
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
    if [ "$1" = win64 ]; then
        windows
        return
    fi
    timed cmake --preset "$1" >/dev/null
    timed cmake --build --preset "$1"
    timed ctest --preset "$1"
}

# Wine's server and services run from before the build (whose test listing runs the programs)
# to the end of the tests, started apart from both: the services outlive the program that
# starts them, and would hold the output of a build step or a test open until they end.
windows() {
    if [ ! -f ../shared/win64/toolchain-mingw64.cmake ]; then
        echo "test.sh: no Windows kit in ../shared/win64: the win64 stage is left out"
        return
    fi
    export WINEPREFIX=$PWD/build/win64/wine WINEDEBUG=-all
    export WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree=d;mshtml=d"
    mkdir -p "$WINEPREFIX"
    local start=$SECONDS
    trap 'wineserver -k 2>/dev/null || true' EXIT
    wineserver -p </dev/null >/dev/null 2>&1 || true
    wine wineboot -i </dev/null >/dev/null 2>&1
    timed cmake --preset win64 >/dev/null
    timed cmake --build --preset win64
    timed ctest --preset win64
    echo "test.sh: the win64 stage took $((SECONDS - start)) s, the Wine prefix's start included"
    wineserver -k
    trap - EXIT
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
preset win64
