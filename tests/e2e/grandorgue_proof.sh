#!/usr/bin/env bash
# The GrandOrgue export against the real GrandOrgue (Linux only): a private JACK server, a
# private X server and GrandOrgue with a home of its own play the demo organ; the settings
# exported for a console go where GrandOrgue reads them; the simulator plays that console into
# GrandOrgue, and the sound GrandOrgue makes is recorded and measured (RMS).
#
#   grandorgue_proof.sh <vtl-mcu-sim> <vtlconfig-cli> <jack_level> <console.vtl> <work-dir>
#
# The console is the three-manual sample: manuals 1 and 2 map to the demo organ's two manuals,
# manual 3 (channels 3, 13-15) to nothing; piston 11 of manual 1 sends program 1, General 1;
# manual 2's shoe is mapped to the Recit, the box around manual 2's Bourdon 8'.
#
# Every process started here is ended by its id when the script ends.
set -euo pipefail

sim=$1
cli=$2
level_client=$3
console=$4
work=$5
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

# The settings for the console, installed where GrandOrgue reads them for the demo organ, with
# manual 2's shoe on the Recit and manual 1's on the other box.
HOME="$home" "$cli" grandorgue "$console" --organ "$organ" --install --shoe 1=002 --shoe 2=001 |
    tee "$work/export.out"
settings=$(sed -n "s/^GrandOrgue's settings written to //p" "$work/export.out")
[[ -f "$settings" ]]
# Stop states GrandOrgue keeps in the same file: the motor noise and the drawstops' noises off,
# so that silence is silent, and only Bourdon 8' on (manual 2, inside the Recit).
printf '\n[Switch021]\nDefaultToEngaged=N\n\n[Switch029]\nDefaultToEngaged=N\n\n[Switch014]\nDefaultToEngaged=Y\n' \
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
    exit 1
fi
echo "GrandOrgue has loaded '$organ_title'"
# A key GrandOrgue does not know, or a value it refuses, opens its "Log messages" window.
sleep 2
if xdotool search --name '^Log messages$' >/dev/null 2>&1; then
    echo "FAILED: GrandOrgue opened its \"Log messages\" window on the exported settings" >&2
    exit 1
fi

# The test's own capture client, on GrandOrgue's two outputs.
coproc meter { exec timeout "$lifetime" "$level_client" GrandOrgueAudio:out_0 GrandOrgueAudio:out_1; }
pids+=("$meter_PID")
read -r -t 20 ready <&"${meter[0]}" && [[ $ready == ready ]] || {
    echo "the capture client did not start; JACK's ports:" >&2
    jack_lsp >&2
    exit 1
}

play() { printf '%s\n' "$@" >&3; }
failures=0
results=$work/levels.txt
: >"$results"
# hear LABEL COMMAND...: plays the commands, lets the sound settle for half a second, then
# measures 1.5 s of GrandOrgue's output; the level (dBFS) is left in $db.
hear() {
    local label=$1
    shift
    play "$@"
    sleep 0.5
    echo "level 1.5" >&"${meter[1]}"
    read -r -t 20 db <&"${meter[0]}"
    printf '%-48s %7s dBFS\n' "$label" "$db" | tee -a "$results"
}
# Sound is anything above -60 dBFS (a key with one stop measures about -40 here); silence is
# below -70 (GrandOrgue's output with nothing playing is silent).
expect() { # sounds|silent
    local loud
    loud=$(awk -v db="$db" 'BEGIN { print (db != "-inf" && db > -60) ? "sounds" : (db == "-inf" || db < -70) ? "silent" : "between" }')
    if [[ $loud != "$1" ]]; then
        echo "FAILED: expected the organ to be $1, it measured $db dBFS" | tee -a "$results" >&2
        failures=$((failures + 1))
    fi
}

hear "nothing played" "wait 0"
expect silent
hear "manual 2, key 60 (Bourdon 8')" "shoe 2 127" "key 2 60 on 100"
expect sounds
open=$db
hear "the same, manual 2's shoe at 0 (Recit closed)" "shoe 2 0"
expect sounds
closed=$db
play "key 2 60 off" "shoe 2 127"
sleep 2
hear "after the release" "wait 0"
expect silent
hear "manual 3, key 60 (channel 3, no manual)" "key 3 60 on 100"
expect silent
play "key 3 60 off"
hear "manual 1, key 60, no stop of manual 1 on" "key 1 60 on 100"
expect silent
hear "the same after piston 11 (General 1: Montre 8')" "piston 1 11"
expect sounds
play "key 1 60 off"
sleep 2

# The Recit closes to 20 % of the amplitude (its AmpMinimumLevel): 20·log10(0.2) = -14.0 dB.
range=$(awk -v a="$open" -v b="$closed" 'BEGIN { printf "%.1f", a - b }')
echo "manual 2's shoe from 127 to 0: $range dB (the Recit's range: 14.0 dB)" | tee -a "$results"
if ! awk -v r="$range" 'BEGIN { exit !(r > 12.5 && r < 15.5) }'; then
    echo "FAILED: the shoe changed the level by $range dB" | tee -a "$results" >&2
    failures=$((failures + 1))
fi
exit $((failures > 0))
