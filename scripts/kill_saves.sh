#!/usr/bin/env bash
# Kills saves of a console file with SIGKILL at random moments and checks that the file is
# always the old or the new one whole, and that the temporary files the kills leave are
# removed by later saves into the folder, while a save of another file beside it, which is
# not killed, must always succeed: its temporary file is never taken for a leftover, and its
# cleanup of leftovers never makes the killed one's saves fail.
#   scripts/kill_saves.sh [--wine] [KILLS] [PROBE]
# KILLS defaults to 500; PROBE is the atomic_save_probe program (default: the default
# preset's build; with --wine the win64 preset's atomic_save_probe.exe).
#
# With --wine the probe is the Windows build, run under Wine (WINEPREFIX, default the build's
# own prefix beside its bin folder) and killed from the Linux side, which ends the Windows
# process as TerminateProcess does: no handler of its own runs, Wine's server drops its
# handles and locks. A Wine process takes far longer to start than a save lasts, so there the
# probe saves new, old, new ... in a loop, telling each save's start on a line, and the kill
# falls at a random moment after the first line: in a save, at a random point of it.
set -u
wine=
if [ "${1:-}" = --wine ]; then
    wine=wine
    shift
fi
kills=${1:-500}
if [ -n "$wine" ]; then
    probe=${2:-$(dirname "$0")/../build/win64/bin/atomic_save_probe.exe}
    export WINEPREFIX=${WINEPREFIX:-$(cd "$(dirname "$probe")/.." && pwd)/wine} WINEDEBUG=-all
    export WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree=d;mshtml=d"
    # One server for every start, as on a running desktop (one already running stays, and the
    # call fails). It and the services the first start brings up outlive the script: they must
    # not hold its output open.
    { wineserver -p 600; wine wineboot; } </dev/null >/dev/null 2>&1 || exit 1
else
    probe=${2:-$(dirname "$0")/../build/default/bin/atomic_save_probe}
fi
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir "$scratch/ref" "$scratch/work"
file=$scratch/work/organ.vtl
said=$scratch/said # the looping probe's lines
$wine "$probe" "$scratch/ref/old.vtl" old && $wine "$probe" "$scratch/ref/new.vtl" new || exit 1

# A sleep without a process of its own: read with a timeout from a pipe no one writes.
mkfifo "$scratch/idle"
exec 9<>"$scratch/idle"
pause() { read -r -t "$1" -u 9 || true; }
microseconds() { echo "${EPOCHREALTIME/./}"; }

# Starts the save that is killed; $pid is its process. The looping one is waited for until
# its first save begins (or it ends).
start_save() {
    if [ -z "$wine" ]; then
        "$probe" "$file" new &
        pid=$!
        return
    fi
    : >"$said"
    $wine "$probe" "$file" alternate >"$said" &
    pid=$!
    until [ -s "$said" ] || ! kill -0 "$pid" 2>/dev/null; do pause 0.001; done
}

# The kills fall anywhere in the life of a save, from its start to its end.
# The quickest of five saves: a slow one (a cold cache, a busy machine) would put most kills
# after the end of the saves that follow. Under Wine, the saves a looping probe makes in a
# second tell the span of one; the kills then fall anywhere in the first twenty saves.
span=
if [ -z "$wine" ]; then
    for _ in 1 2 3 4 5; do
        start=$(microseconds)
        "$probe" "$scratch/ref/timing.vtl" new || exit 1
        took=$(($(microseconds) - start))
        [ -z "$span" ] || [ "$took" -lt "$span" ] && span=$took
    done
    echo "a whole save takes about ${span} µs"
else
    file=$scratch/ref/timing.vtl start_save
    pause 1
    kill -KILL "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
    saves=$(wc -l <"$said")
    [ "$saves" -gt 1 ] || { echo "the looping probe did not save under Wine" >&2; exit 1; }
    span=$((1000000 / saves))
    echo "a whole save takes about ${span} µs under Wine (${saves} in a second)"
    span=$((20 * span))
fi

killed=0 old=0 new=0 torn=0 finished=0 refused=0 seen=0 removed=0 besideFailed=0 begun=0
declare -A pending=()
for ((run = 0; killed < kills && run < 10 * kills; run++)); do
    cp "$scratch/ref/old.vtl" "$file"
    # Worked out before the save starts, so that only the pause lies between its start and
    # the kill.
    delay=$(((RANDOM * 32768 + RANDOM) % span))
    printf -v seconds '%d.%06d' $((delay / 1000000)) $((delay % 1000000))
    $wine "$probe" "$scratch/work/beside.vtl" new &
    beside=$!
    start_save
    pause "$seconds"
    kill -KILL "$pid" 2>/dev/null
    { wait "$pid"; } 2>/dev/null # without the shell's "Killed" line
    status=$?
    if [ "$status" -eq 0 ]; then
        finished=$((finished + 1))
        if ! cmp -s "$file" "$scratch/ref/new.vtl"; then
            torn=$((torn + 1))
            echo "run $run: a finished save did not leave the new file" >&2
        fi
    elif [ "$status" -ne 137 ]; then
        # The save gave up and said why (above): the file must still be one whole.
        refused=$((refused + 1))
        if ! cmp -s "$file" "$scratch/ref/old.vtl" && ! cmp -s "$file" "$scratch/ref/new.vtl"; then
            torn=$((torn + 1))
            echo "run $run: a refused save left the file neither old nor new" >&2
        fi
    elif cmp -s "$file" "$scratch/ref/old.vtl"; then
        killed=$((killed + 1)) old=$((old + 1))
    elif cmp -s "$file" "$scratch/ref/new.vtl"; then
        killed=$((killed + 1)) new=$((new + 1))
    else
        killed=$((killed + 1)) torn=$((torn + 1))
        echo "run $run: the file is neither the old nor the new one" >&2
    fi
    [ -z "$wine" ] || begun=$((begun + $(wc -l <"$said")))
    wait "$beside" || besideFailed=$((besideFailed + 1))
    for left in "${!pending[@]}"; do
        [ -e "$left" ] || { unset "pending[$left]"; removed=$((removed + 1)); }
    done
    for left in "$scratch"/work/.organ.vtl.tmp-*; do
        [ -e "$left" ] && [ -z "${pending[$left]:-}" ] && { pending[$left]=1; seen=$((seen + 1)); }
    done
done

# A save that runs to its end removes whatever is left.
$wine "$probe" "$file" old || exit 1
for left in "${!pending[@]}"; do [ -e "$left" ] || removed=$((removed + 1)); done
remaining=$(find "$scratch/work" -name '.organ.vtl.tmp-*' | wc -l)
[ -z "$wine" ] || echo "saves begun in the killed probes: $begun"
echo "kills=$killed old-whole=$old new-whole=$new torn=$torn finished-before-the-kill=$finished" \
    "saves-refused=$refused leftovers-seen=$seen leftovers-removed=$removed" \
    "leftovers-remaining=$remaining saves-beside-failed=$besideFailed"
[ "$killed" -ge "$kills" ] && [ "$torn" -eq 0 ] && [ "$refused" -eq 0 ] && [ "$remaining" -eq 0 ] &&
    [ "$besideFailed" -eq 0 ]
