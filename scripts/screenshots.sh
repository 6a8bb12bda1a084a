#!/usr/bin/env bash
# Takes the user manual's pictures of the console view and its editors: the demo console under
# Xvfb and openbox, clicked through with xdotool, each picture cut to its window and made small.
# Needs xvfb, openbox, xdotool, imagemagick and pngquant. Usage: scripts/screenshots.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
bin=$(realpath "${1:-build/default}")/bin
images=$PWD/resources/Documentation/images
work=$(mktemp -d)
export HOME=$work TMPDIR=$work DISPLAY=${SHOTS_DISPLAY:-:57}
unset XDG_CONFIG_HOME
Xvfb "$DISPLAY" -screen 0 1400x1024x24 -nolisten tcp & pids=$!
trap 'kill $pids 2>/dev/null; rm -rf "$work"' EXIT
sleep 1
openbox & pids="$pids $!"
sleep 1

# shot NAME: the main window, which openbox puts at the top left. shot NAME W H [DX DY]: the
# editor in front, cut to its rounded outline of W by H pixels at DX, DY in the window.
shot() {
    import -window root "$work/root.png"
    if [ $# -eq 1 ]; then
        convert "$work/root.png" -crop 912x606+3+3 +repage "$work/shot.png"
    else
        eval "$(xdotool getactivewindow getwindowgeometry --shell)"
        local w=$2 h=$3
        convert "$work/root.png" -crop "${w}x${h}+$((X + ${4:-0}))+$((Y + ${5:-0}))" +repage \
            \( +clone -alpha transparent -fill white \
            -draw "roundrectangle 0,0 $((w - 1)),$((h - 1)) 25,25" \) \
            -compose CopyOpacity -composite "$work/shot.png"
    fi
    pngquant --quality 60-90 --strip --force --output "$images/$1.png" "$work/shot.png"
}
click() { xdotool mousemove "$1" "$2" click 1 && sleep 1.5; }
edit() { click "$2" "$3" && shot "$1" "${@:4}" && xdotool key Escape && sleep 0.5; }
load() { xdotool key ctrl+o && sleep 2 && xdotool type "$1" && xdotool key Return && sleep 3; }

"$bin/vtlconfig" --demo & pids="$pids $!"
sleep 5
click 630 440 # "Configure a Velutone from scratch" reads the simulated three-manual console
sleep 15
# Screen positions in the three-manual view: rails at y 278, 423 and 568, pistons 1, 10, 12
# and 20 at x 171, 451, 499 and 751.
edit piston-general 171 278 480 200
edit piston-set 451 278 480 200
edit piston-sfz 499 423 480 200
edit piston-program 499 278 480 200
edit piston-unassigned 751 278 480 200
edit channels 453 338 535 130 8 10
edit shoe 861 226 490 200
xdotool mousemove 499 278 && sleep 1 # the piston's short label beside the rail
shot console
xdotool mousemove 600 900
for n in 1 2; do
    python3 -c "import json, sys; c = json.load(sys.stdin); c['manualCount'] = $n
c['manuals'] = c['manuals'][:$n]; json.dump(c, sys.stdout)" \
        <resources/samples/three-manuals.json | "$bin/vtlconfig-cli" build - -o "$work/m$n.vtl"
    load "$work/m$n.vtl"
    shot "console-$n"
done
# The console check: Manual 3 on the channels of Manual 1 and a program sent twice, marked, with
# the Console check window beside the main window.
python3 -c "import json, sys; c = json.load(sys.stdin); m = c['manuals']
m[2]['divisionChannels'] = m[0]['divisionChannels']; m[1]['pistons'][12]['programNumber'] = 1
json.dump(c, sys.stdout)" <resources/samples/three-manuals.json |
    "$bin/vtlconfig-cli" build - -o "$work/check.vtl"
load "$work/check.vtl"
xdotool key F7 && sleep 1.5
import -window root "$work/root.png"
convert "$work/root.png" -crop 1392x609+0+0 +repage "$work/shot.png"
pngquant --quality 60-90 --strip --force --output "$images/check.png" "$work/shot.png"

# The live console playing its demo passage on the three-manual console; the window grows by
# the log. Shot while manual 2 holds its chord, then while the shoe of manual 1 is swept.
live_shot() {
    import -window root "$work/root.png"
    convert "$work/root.png" -crop 912x822+3+3 +repage "$work/shot.png"
    pngquant --quality 60-90 --strip --force --output "$images/$1.png" "$work/shot.png"
}
# Export for GrandOrgue: the three-manual console onto GrandOrgue's demo organ, a package that
# GrandOrgue's configuration says it has opened, so that the settings file is proposed.
demo=$(ls /usr/share/GrandOrgue/packages/demo-*.orgue)
printf '[Archive001]\nID=%s\nPath=%s\n' "$(basename "$demo" .orgue | sed 's/^demo-//')" "$demo" \
    >"$HOME/GrandOrgueConfig"
load "$PWD/resources/samples/three-manuals.vtl"
xdotool key alt+f && sleep 1 && xdotool key g && sleep 2
click 725 53 # the organ's Choose…
xdotool type "$demo" && xdotool key Return && sleep 3
xdotool mousemove 1300 900 && sleep 0.5
import -window root "$work/root.png"
convert "$work/root.png" -crop 644x546+136+10 +repage "$work/shot.png"
pngquant --quality 60-90 --strip --force --output "$images/grandorgue-export.png" "$work/shot.png"
xdotool key Escape && sleep 0.5

load "$PWD/resources/samples/three-manuals.vtl"
xdotool key ctrl+k && sleep 2
xdotool mousemove 557 634 click 1 # Play a Demo Passage
sleep 2.0 && live_shot live-console
sleep 3.0 && live_shot live-shoe
