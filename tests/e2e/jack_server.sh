#!/usr/bin/env bash
# Starts or stops a private JACK server (dummy driver: no audio hardware, no realtime rights)
# for the end-to-end tests. Clients reach it with JACK_DEFAULT_SERVER=<name>.
#
#   jack_server.sh start [name] [state-dir]   returns once the server answers
#   jack_server.sh stop  [name] [state-dir]   ends the server this script started
#
# VTL_JACK_DUMMY_ARGS adds options for the dummy driver (for example "-r 48000 -p 1024").
# The server's process id and log are kept in state-dir. As a safety net the server ends by
# itself after VTL_JACK_LIFETIME seconds (default 1800) should stop never run.
set -euo pipefail

action=${1:-}
name=${2:-vtl-test}
state_dir=${3:-${TMPDIR:-/tmp}}
pid_file="$state_dir/jack-$name.pid"
log_file="$state_dir/jack-$name.log"
lifetime=${VTL_JACK_LIFETIME:-1800}

export JACK_DEFAULT_SERVER="$name"
export JACK_NO_START_SERVER=1     # a probe must never start a server of its own
export JACK_NO_AUDIO_RESERVATION=1 # no D-Bus device reservation

answers() { jack_lsp >/dev/null 2>&1; }

any_alive() {
    local pid
    for pid in "$@"; do
        if kill -0 "$pid" 2>/dev/null; then return 0; fi
    done
    return 1
}

# True while the recorded process is still the server this script started (process ids are
# reused, so its command line is checked too).
our_server_alive() {
    [[ -f "$pid_file" ]] || return 1
    local command
    command=$(tr '\0' ' ' 2>/dev/null <"/proc/$(cat "$pid_file")/cmdline") || return 1
    [[ "$command" == *"jackd -n $name "* ]]
}

stop_server() {
    [[ -f "$pid_file" ]] || return 0
    local pid
    pid=$(cat "$pid_file")
    if our_server_alive; then
        # The recorded process is timeout, which passes TERM on to jackd, its child.
        local server
        server=$(cat "/proc/$pid/task/$pid/children" 2>/dev/null || true)
        kill -TERM "$pid" 2>/dev/null || true
        for _ in $(seq 50); do
            any_alive "$pid" $server || break
            sleep 0.1
        done
        kill -KILL "$pid" $server 2>/dev/null || true
    fi
    rm -f "$pid_file"
}

# JACK keeps at most eight servers in its shared registry and frees an entry only when its
# server ends cleanly, or when a server of the same name starts after the old one died. So a
# killed server of another name holds its entry for good; starting and cleanly stopping a
# server of that name gives it back. Entries of live servers are left alone.
reclaim_dead_entries() {
    local registry=/dev/shm/jack-shm-registry entry other
    [[ -r "$registry" ]] || return 0
    for entry in $(grep -ao "jack-$(id -u):[^:]*:" "$registry" || true); do
        other=${entry#*:}
        other=${other%:}
        [[ "$other" != "$name" ]] || continue
        JACK_DEFAULT_SERVER="$other" jack_lsp >/dev/null 2>&1 && continue
        timeout 10 jackd -n "$other" --no-realtime -d dummy </dev/null >/dev/null 2>&1 &
        local pid=$!
        for _ in $(seq 50); do
            JACK_DEFAULT_SERVER="$other" jack_lsp >/dev/null 2>&1 && break
            kill -0 "$pid" 2>/dev/null || break
            sleep 0.1
        done
        kill -TERM "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
}

start_server() {
    mkdir -p "$state_dir"
    # A server left behind by an interrupted run of this script is ours to replace.
    if our_server_alive; then stop_server; fi
    rm -f "$pid_file"
    if answers; then
        echo "A JACK server named '$name' is already running and was not started here." >&2
        exit 1
    fi
    launch && return 0
    if grep -q "Too many servers" "$log_file"; then
        reclaim_dead_entries
        launch && return 0
    fi
    echo "The JACK server '$name' did not start; its log:" >&2
    cat "$log_file" >&2
    exit 1
}

# Starts the server and waits until it answers; on failure nothing of it is left running.
launch() {
    # Detached from the caller's pipes, so that the test runner does not wait on the server's
    # output.
    # shellcheck disable=SC2086 # the driver options are words on purpose
    timeout "$lifetime" jackd -n "$name" --no-realtime -d dummy ${VTL_JACK_DUMMY_ARGS:-} \
        </dev/null >"$log_file" 2>&1 &
    echo $! >"$pid_file"
    for _ in $(seq 200); do
        if answers; then
            echo "JACK server '$name' is running (process $(cat "$pid_file"))."
            return 0
        fi
        if ! our_server_alive; then break; fi
        sleep 0.1
    done
    stop_server
    return 1
}

case "$action" in
start) start_server ;;
stop) stop_server ;;
*)
    echo "usage: $0 start|stop [name] [state-dir]" >&2
    exit 2
    ;;
esac
