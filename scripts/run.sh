#!/usr/bin/env bash
# Sets up the machine, builds the application and starts it. Without arguments it starts
# with the simulated three-manual console (--demo); pass your own options to use real MIDI
# ports (for example: scripts/run.sh --api jack).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake --preset default >/dev/null
cmake --build --preset default --target vtlconfig vtlconfig-cli vtl-mcu-sim vtl_resources
if [ $# -eq 0 ]; then set -- --demo; fi
exec build/default/bin/vtlconfig "$@"
