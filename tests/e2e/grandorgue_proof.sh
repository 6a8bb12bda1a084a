#!/usr/bin/env bash
# The GrandOrgue export against the real GrandOrgue (Linux only): a private JACK server, a
# private X server and GrandOrgue with a home of its own play the demo organ; the settings
# exported for a console go where GrandOrgue reads them; the simulator plays that console into
# GrandOrgue, and the sound GrandOrgue makes is recorded and measured (RMS).
#
#   grandorgue_proof.sh <vtl-mcu-sim> <vtlconfig-cli> <console.vtl> <work-dir>
#
# Every process started here is ended by its id when the script ends.
set -euo pipefail

sim=$1
cli=$2
console=$3
work=$4
here=$(cd "$(dirname "$0")" && pwd)
organ=${VTL_GRANDORGUE_DEMO:-/usr/share/GrandOrgue/packages/demo-4232D4C616E4B99145537F02B34D342D4E3E3808.orgue}
organ_id=4232D4C616E4B99145537F02B34D342D4E3E3808
organ_title="GrandOrgue demo V1"
rate=48000
period=1024
lifetime=600

rm -rf "$work"
mkdir -p "$work/home"
home="$work/home"
server="vtl-go-$$"
export JACK_DEFAULT_SERVER="$server" JACK_NO_START_SERVER=1 JACK_NO_AUDIO_RESERVATION=1

pids=()
cleanup() {
    local pid
    for pid in "${pids[@]}"; do kill -TERM "$pid" 2>/dev/null || true; done
    for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
    "$here/jack_server.sh" stop "$server" "$work" >/dev/null 2>&1 || true
}
trap cleanup EXIT

# GrandOrgue's own settings: JACK at the server's rate and period as the only sound port, MIDI
# from JACK only, no start-up questions, no organ but the one on the command line. The demo
# package is listed so that its settings file can be installed before GrandOrgue first opens it.
# Written as plain UTF-8 text with a byte-order mark, as GrandOrgue reads it.
write_grandorgue_config() {
    printf '\xef\xbb\xbf'
    cat <<EOF
[General]
SettingPath=$home/GrandOrgue/Data
CachePath=$home/GrandOrgue/Cache
CMBPath=$home/GrandOrgue/Settings
LoadLastFile=N
SampleRate=$rate
SamplesPerBuffer=$period
ArchiveCount=1
[Archive001]
ID=$organ_id
Name=GrandOrgue demo sampleset V1
FileID=6EF0172A8FD7C74DB5D1DDCE413AF5C35CA10669
Path=$organ
DependenciesCount=0
[SoundPorts]
Jack.Enabled=Y
PortAudio.Enabled=N
RtAudio.Enabled=N
[MidiPorts]
Rt.Enabled=Y
Rt.alsa.Enabled=N
Rt.jack.Enabled=Y
[MIDIIn]
IsToCheckMidiOnStart=N
IsToAutoAddMidi=Y
[AudioGroups]
Count=1
Name001=Default audio group
[AudioDevices]
Count=1
Device001Name=Jack: Native Output
Device001ChannelCount=2
Device001Latency=50
Device001Channel001GroupCount=1
Device001Channel001Group001Name=Default audio group
Device001Channel001Group001Left=0.000000
Device001Channel001Group001Right=-121.000000
Device001Channel002GroupCount=1
Device001Channel002Group001Name=Default audio group
Device001Channel002Group001Left=-121.000000
Device001Channel002Group001Right=0.000000
EOF
}
write_grandorgue_config >"$home/GrandOrgueConfig"

VTL_JACK_DUMMY_ARGS="-r $rate -p $period" "$here/jack_server.sh" start "$server" "$work"

# The settings for the console, installed where GrandOrgue reads them for the demo organ.
HOME="$home" "$cli" grandorgue "$console" --organ "$organ" --install | tee "$work/export.out"
settings=$(sed -n "s/^GrandOrgue's settings written to //p" "$work/export.out")
[[ -f "$settings" ]]
# Stop states GrandOrgue keeps in the same file: the motor noise off, so that silence is
# silent, and one stop on for each of the first two manuals (Montre 8', Bourdon 8').
printf '\n[Switch021]\nDefaultToEngaged=N\n\n[Switch007]\nDefaultToEngaged=Y\n\n[Switch014]\nDefaultToEngaged=Y\n' \
    >>"$settings"

# The simulator's port must exist before GrandOrgue starts: GrandOrgue looks for MIDI ports once.
mkfifo "$work/play"
timeout "$lifetime" "$sim" --api jack --name "VTL console" --file "$console" \
    <"$work/play" >"$work/sim.out" 2>"$work/sim.err" &
pids+=($!)
exec 3>"$work/play"
for _ in $(seq 200); do
    grep -q '^ready:' "$work/sim.out" && break
    sleep 0.1
done
grep -q '^ready:' "$work/sim.out" || { cat "$work/sim.out" "$work/sim.err" >&2; exit 1; }

display=90
while [[ -e /tmp/.X11-unix/X$display || -e /tmp/.X$display-lock ]]; do display=$((display + 1)); done
timeout "$lifetime" Xvfb ":$display" -screen 0 1280x1024x24 -nolisten tcp \
    >"$work/xvfb.log" 2>&1 &
pids+=($!)
export DISPLAY=":$display"
for _ in $(seq 100); do
    xdotool getmouselocation >/dev/null 2>&1 && break
    sleep 0.1
done

HOME="$home" XDG_CONFIG_HOME="$home/.config" timeout "$lifetime" GrandOrgue "$organ" \
    >"$work/grandorgue.log" 2>&1 &
pids+=($!)
echo "waiting for GrandOrgue to load the organ"
loaded=0
for _ in $(seq 120); do
    if xdotool search --name "$organ_title" >/dev/null 2>&1; then loaded=1; break; fi
    sleep 0.5
done
if [[ $loaded != 1 ]]; then
    echo "GrandOrgue did not load the organ; its windows:" >&2
    for w in $(xdotool search --name . 2>/dev/null); do xdotool getwindowname "$w" >&2 || true; done
    cat "$work/grandorgue.log" >&2
    if command -v import >/dev/null; then import -window root "$work/screen.png" || true; fi
    exit 1
fi
echo "GrandOrgue has loaded '$organ_title'"
jack_lsp -c | tee "$work/ports.txt"

# Records GrandOrgue's output for a while and prints its RMS level in dB below full scale.
level() {
    local take="$work/take-$1.wav"
    jack_rec -f "$take" -d "$2" -b 16 GrandOrgueAudio:out_0 GrandOrgueAudio:out_1 \
        >/dev/null 2>&1
    python3 - "$take" <<'PY'
import array, math, sys, wave
with wave.open(sys.argv[1]) as w:
    samples = array.array("h", w.readframes(w.getnframes()))
mean = sum(x * x for x in samples) / max(len(samples), 1)
print("%.1f" % (10 * math.log10(mean / 32768.0**2) if mean > 0 else -200.0))
PY
}
play() { printf '%s\n' "$@" >&3; }

results="$work/levels.txt"
: >"$results"
# measure NAME LABEL COMMAND...: plays the commands, then records 1.5 s and notes the level.
measure() {
    local name=$1 label=$2
    shift 2
    play "$@"
    sleep 0.5
    local db
    db=$(level "$name" 1.5)
    printf '%-42s %8s dBFS\n' "$label" "$db" | tee -a "$results"
}
measure silence "silence" "wait 0"
measure m1 "manual 1 key 60, Montre 8' on" "key 1 60 on 100"
play "key 1 60 off"
sleep 2
measure released "after the release" "wait 0"
measure m2 "manual 2 key 60, Bourdon 8' on" "key 2 60 on 100"
play "key 2 60 off"
sleep 2
measure m3 "manual 3 key 60 (no manual maps it)" "key 3 60 on 100"
play "key 3 60 off"
sleep 1
measure m1held "manual 1 key 60 held" "key 1 60 on 100"
measure general1 "the same after piston 11 (General 1)" "piston 1 11"
play "key 1 60 off"
sleep 2
measure shoe0 "manual 2 key 60, shoe 2 at 0" "shoe 2 0" "key 2 60 on 100"
measure shoe127 "manual 2 key 60, shoe 2 at 127" "shoe 2 127"
play "key 2 60 off"
sleep 1
