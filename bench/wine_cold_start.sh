#!/usr/bin/env bash
# The Windows build's cold start under Wine against the minimal Qt program built with the same
# kit, side by side: PAIRS launches of each, in turn, so that both see the same machine.
#   bench/wine_cold_start.sh [PAIRS] [BUILD]     (defaults: 20, build/win64)
# Each launch is timed from its start to its end by the launcher: vtlconfig --demo
# --quit-after-start ends once its main window is up, minimal_window --start ends at its
# window's first paint; both on the offscreen platform. The times include Wine's own start of
# a process, the same for both. One unmeasured launch of each comes first, so that every
# measured one starts from the page cache. Prints the medians and their ratio.
set -euo pipefail
pairs=${1:-20}
bin=$(cd "${2:-$(dirname "$0")/../build/win64}/bin" && pwd)
export WINEPREFIX=${WINEPREFIX:-$(dirname "$bin")/wine} WINEDEBUG=-all
export WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree=d;mshtml=d"
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
cd "$home" # the application's log and backups stay out of the build
wineserver -p 60 || true # one server for every launch, as on a running desktop

app() { wine "$bin/vtlconfig.exe" --demo --quit-after-start -platform offscreen >/dev/null 2>&1; }
minimal() { wine "$bin/minimal_window.exe" --start 0 -platform offscreen >/dev/null 2>&1; }
milliseconds() {
    local start=$EPOCHREALTIME
    "$@"
    echo "$(((${EPOCHREALTIME/./} - ${start/./}) / 1000))"
}
median() { sort -n | awk '{v[NR] = $1} END {print (NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2)}'; }

app && minimal
apps=() minimals=()
for ((i = 0; i < pairs; i++)); do
    apps+=("$(milliseconds app)")
    minimals+=("$(milliseconds minimal)")
done
a=$(printf '%s\n' "${apps[@]}" | median)
m=$(printf '%s\n' "${minimals[@]}" | median)
echo "vtlconfig: median $a ms; minimal_window: median $m ms; ratio $(awk -v a="$a" -v m="$m" 'BEGIN {printf "%.2f", a / m}') ($pairs pairs, load $(cut -d' ' -f1-3 /proc/loadavg))"
