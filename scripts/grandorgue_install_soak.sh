#!/usr/bin/env bash
# Soak of `vtlconfig-cli grandorgue --install`, not part of the regular test run: INSTALLS
# installs of the sample console's settings for GrandOrgue's demo organ into one settings file,
# in a private home whose GrandOrgueConfig knows the demo package. The file starts as a user's
# would be: keys, sections and comments the export does not own, old MIDI events in sections it
# maps, events in sections it does not map. The installs alternate between two device names, so
# that each one replaces the mapped events. After every install the folder holds the settings
# and its one backup, which is the file as it was before that install; at the end every line
# the export does not own is byte for byte as it was, and the sections the file lacked have
# been added once. Three starting files: plain (LF), CR LF, and gzip-compressed (as GrandOrgue
# may keep it; the first install writes it back as plain text).
#
#   scripts/grandorgue_install_soak.sh [build-dir]      (default: build/default)
#
# Environment: GO_INSTALLS (1000 a starting file), GO_VARIANTS (plain crlf gzip). Exits 77
# (skipped) where GrandOrgue's demo package is not installed.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cli=$(cd "${1:-$root/build/default}" && pwd)/bin/vtlconfig-cli
[[ -x "$cli" ]] || { echo "install soak: $cli is missing; build it first" >&2; exit 2; }
installs=${GO_INSTALLS:-1000}
variants=${GO_VARIANTS:-plain crlf gzip}
package=/usr/share/GrandOrgue/packages/demo-4232D4C616E4B99145537F02B34D342D4E3E3808.orgue
[[ -f "$package" ]] || { echo "install soak: GrandOrgue's demo package is missing" >&2; exit 77; }
console=$root/resources/samples/three-manuals.vtl
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export HOME=$work/home
unset XDG_CONFIG_HOME
data=$HOME/GrandOrgue/Data
settings=$data/C908A13B64A67F3D74E66370E1F988A1492953CC-0.cmb
mkdir -p "$HOME"
printf '\xEF\xBB\xBF[Archive001]\nID=4232D4C616E4B99145537F02B34D342D4E3E3808\nPath=%s\n' \
    "$package" >"$HOME/GrandOrgueConfig"

# A user's settings file: the export maps Manual001, Manual002, Enclosure001, Enclosure002,
# General001-004 and SetterGeneral3-6 of the demo organ; it owns only their MIDI events.
user_file() {
    printf '\xEF\xBB\xBF; kept by the organist, not by the export\n\n'
    cat <<'EOF'
[Organ]
ChurchName=GrandOrgue demo V1
Volume=-3
Bemerkung=Kirchenorgel Ü, geprüft
MIDISendDevice001=Organ lights

[Manual001]
Displayed=1
NumberOfMIDIEvents=3
MIDIDevice001=Old keyboard
MIDIEventType001=Note
MIDIChannel001=9
MIDIKeyShift001=12
MIDIDevice002=Old keyboard
MIDIEventType002=Note
MIDIChannel002=10
MIDIKeyShift002=0
MIDIDevice003=Old keyboard
MIDIEventType003=Note
MIDIChannel003=11
MIDIKeyShift003=0
MIDIKeyMap=custom
MIDISendNumberOfEvents001=0

[Stop003]
NumberOfMIDIEvents=1
MIDIDevice001=Stop tabs
MIDIEventType001=Note
MIDIChannel001=14
MIDIKey001=60

[Manual002]
; no events yet
Displayed=1

[Enclosure001]
AmplitudeMinimum=10
NumberOfMIDIEvents=1
MIDIDevice001=Old shoe
MIDIEventType001=ControlChange
MIDIChannel001=3
MIDIKey001=4
MIDILowerLimit001=1
MIDIUpperLimit001=126

[General001]
NumberOfStops=2
StopNumber001=1
StopNumber002=-3
NumberOfMIDIEvents=1
MIDIDevice001=Old pistons
MIDIEventType001=ProgramChange
MIDIChannel001=5
MIDIKey001=40

[General010]
NumberOfStops=1
StopNumber001=2
NumberOfMIDIEvents=1
MIDIDevice001=Old pistons
MIDIEventType001=ProgramChange
MIDIChannel001=5
MIDIKey001=49

[SetterGeneral3]
Protected=true
EOF
}

mapped=" Manual001 Manual002 Enclosure001 Enclosure002 General001 General002 General003 General004 "
mapped+="SetterGeneral3 SetterGeneral4 SetterGeneral5 SetterGeneral6 "
# The lines the export does not own: its MIDI event keys in the sections it maps go (as its
# own test of a key: NumberOfMIDIEvents, and MIDI<name><NNN> but MIDISend...).
others() {
    awk -v mapped="$mapped" '
        { line = $0; sub(/\r$/, "", line) }
        line ~ /^\[.*\]$/ { section = substr(line, 2, length(line) - 2) }
        {
            key = line; sub(/=.*/, "", key)
            owned = index(mapped, " " section " ") &&
                    (key == "NumberOfMIDIEvents" ||
                     (key ~ /^MIDI/ && key !~ /^MIDISend/ && key ~ /^MIDI.+[0-9][0-9][0-9]$/))
            if (!owned) print
        }' "$1"
}

for variant in $variants; do
    rm -rf "$data"
    mkdir -p "$data"
    user_file >"$work/user.cmb"
    case $variant in
    plain) cp "$work/user.cmb" "$settings" ;;
    crlf) sed 's/$/\r/' "$work/user.cmb" >"$work/user-crlf.cmb" && mv "$work/user-crlf.cmb" \
        "$work/user.cmb" && cp "$work/user.cmb" "$settings" ;;
    gzip) gzip -c "$work/user.cmb" >"$settings" ;;
    *) echo "install soak: no variant $variant" >&2 && exit 2 ;;
    esac
    start=$SECONDS
    for ((i = 1; i <= installs; i++)); do
        cp "$settings" "$work/before"
        device="VTL console $((i % 2 ? 1 : 2))"
        if ! "$cli" grandorgue "$console" --organ "$package" --install --device "$device" \
            >"$work/out" 2>&1; then
            echo "install soak ($variant): install $i failed:" >&2
            cat "$work/out" >&2
            exit 1
        fi
        files=$(find "$data" -mindepth 1 | wc -l)
        if ((files != 2)) || ! cmp -s "$settings.bak" "$work/before"; then
            echo "install soak ($variant): after install $i the folder holds:" >&2
            ls -la "$data" >&2
            echo "(the backup should be the file before the install)" >&2
            exit 1
        fi
        # With the same device as two installs before, the file comes back byte for byte.
        same=$work/even
        ((i % 2)) && same=$work/odd
        if ((i <= 2)); then
            cp "$settings" "$same"
        elif ! cmp -s "$settings" "$same"; then
            echo "install soak ($variant): install $i wrote another file than install $((i - 2))" >&2
            exit 1
        fi
    done
    # Every line the export does not own comes first, as it was; after them come only the
    # sections the user's file lacked, each once, with their events.
    others "$work/user.cmb" >"$work/user.others"
    others "$settings" >"$work/now.others"
    kept=$(wc -c <"$work/user.others")
    if ! cmp -s "$work/user.others" <(head -c "$kept" "$work/now.others"); then
        echo "install soak ($variant): lines the export does not own changed:" >&2
        diff "$work/user.others" "$work/now.others" >&2 || true
        exit 1
    fi
    added=$(tail -c +"$((kept + 1))" "$work/now.others" | tr -d '\r' | grep -v '^$' | tr '\n' ' ')
    lacked="[Enclosure002] [General002] [General003] [General004] [SetterGeneral4]"
    lacked+=" [SetterGeneral5] [SetterGeneral6] "
    if [[ "$added" != "$lacked" ]]; then
        echo "install soak ($variant): the sections added at the end are: $added" >&2
        exit 1
    fi
    grep -q "^MIDIDevice001=$device" "$settings" || {
        echo "install soak ($variant): the last install's device is not in the file" >&2
        exit 1
    }
    echo "install soak ($variant): $installs installs in $((SECONDS - start)) s; every line the" \
        "export does not own unchanged; the folder holds the settings ($(wc -c <"$settings")" \
        "bytes) and one backup, the file before the last install"
done
echo "install soak: passed"
