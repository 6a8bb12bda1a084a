#!/usr/bin/env bash
# Kills saves of a console file with SIGKILL at random moments and checks that the file is
# always the old or the new one whole, and that the temporary files the kills leave are
# removed by later saves into the folder, while a save of another file beside it, which is
# not killed, must always succeed: its temporary file is never taken for a leftover.
#   scripts/kill_saves.sh [KILLS] [PROBE]
# KILLS defaults to 500; PROBE is the atomic_save_probe program (default: the default
# preset's build).
set -u
kills=${1:-500}
probe=${2:-$(dirname "$0")/../build/default/bin/atomic_save_probe}
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir "$scratch/ref" "$scratch/work"
file=$scratch/work/organ.vtl
"$probe" "$scratch/ref/old.vtl" old && "$probe" "$scratch/ref/new.vtl" new || exit 1

# A sleep without a process of its own: read with a timeout from a pipe no one writes.
mkfifo "$scratch/idle"
exec 9<>"$scratch/idle"
pause() { read -r -t "$1" -u 9 || true; }

# The kills fall anywhere in the life of a save, from its start to its end.
# The quickest of five saves: a slow one (a cold cache, a busy machine) would put most kills
# after the end of the saves that follow.
span=
for _ in 1 2 3 4 5; do
    start=$(date +%s%N)
    "$probe" "$scratch/ref/timing.vtl" new || exit 1
    took=$((($(date +%s%N) - start) / 1000)) # microseconds
    [ -z "$span" ] || [ "$took" -lt "$span" ] && span=$took
done
echo "a whole save takes about ${span} µs"

killed=0 old=0 new=0 torn=0 finished=0 seen=0 removed=0 besideFailed=0
declare -A pending=()
for ((run = 0; killed < kills && run < 10 * kills; run++)); do
    cp "$scratch/ref/old.vtl" "$file"
    # Worked out before the save starts, so that only the pause lies between its start and
    # the kill.
    delay=$(((RANDOM * 32768 + RANDOM) % span))
    printf -v seconds '%d.%06d' $((delay / 1000000)) $((delay % 1000000))
    "$probe" "$scratch/work/beside.vtl" new &
    beside=$!
    "$probe" "$file" new &
    pid=$!
    pause "$seconds"
    kill -KILL "$pid" 2>/dev/null
    { wait "$pid"; } 2>/dev/null # without the shell's "Killed" line
    if [ $? -ne 137 ]; then
        finished=$((finished + 1))
        if ! cmp -s "$file" "$scratch/ref/new.vtl"; then
            torn=$((torn + 1))
            echo "run $run: a finished save did not leave the new file" >&2
        fi
    elif cmp -s "$file" "$scratch/ref/old.vtl"; then
        killed=$((killed + 1)) old=$((old + 1))
    elif cmp -s "$file" "$scratch/ref/new.vtl"; then
        killed=$((killed + 1)) new=$((new + 1))
    else
        killed=$((killed + 1)) torn=$((torn + 1))
        echo "run $run: the file is neither the old nor the new one" >&2
    fi
    wait "$beside" || besideFailed=$((besideFailed + 1))
    for left in "${!pending[@]}"; do
        [ -e "$left" ] || { unset "pending[$left]"; removed=$((removed + 1)); }
    done
    for left in "$scratch"/work/.organ.vtl.tmp-*; do
        [ -e "$left" ] && [ -z "${pending[$left]:-}" ] && { pending[$left]=1; seen=$((seen + 1)); }
    done
done

# A save that runs to its end removes whatever is left.
"$probe" "$file" old || exit 1
for left in "${!pending[@]}"; do [ -e "$left" ] || removed=$((removed + 1)); done
remaining=$(find "$scratch/work" -name '.organ.vtl.tmp-*' | wc -l)
echo "kills=$killed old-whole=$old new-whole=$new torn=$torn finished-before-the-kill=$finished" \
    "leftovers-seen=$seen leftovers-removed=$removed leftovers-remaining=$remaining" \
    "saves-beside-failed=$besideFailed"
[ "$killed" -ge "$kills" ] && [ "$torn" -eq 0 ] && [ "$remaining" -eq 0 ] && [ "$besideFailed" -eq 0 ]
