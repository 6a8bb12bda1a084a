#!/usr/bin/env bash
# The Windows installer under Wine, as a user meets it, in a Wine prefix of its own on an X
# server (xvfb-run):
#   windows_install_test.sh BUILD_DIR VERSION SAMPLES_DIR WORK [LINUX_CLI...]
# 1. The installer (/S) puts exactly the staged files, an uninstaller, a Start menu entry and
#    the .vtl file type in place; the portable zip holds the same files.
# 2. The installed CLI's random --seed N, show --json, build and a demo read -o write the same
#    bytes as the Linux build's CLI (the first of LINUX_CLI that exists; without one the test
#    is skipped, exit 77).
# 3. The installed application starts in demo mode; "New" (Return on the start choice) reads
#    the simulated console, the installed sample, which it keeps as a backup in %APPDATA%;
#    Alt+F4 closes it and it writes its settings there. SCREENSHOT=<file.png> keeps a picture
#    of its window (needs ImageMagick's import).
# 4. The uninstaller (/S) removes the program, its menu entry and file type, and leaves the
#    settings and backups.
set -euo pipefail
export LC_ALL=C
build=$1 version=$2 samples=$3 work=$4
shift 4
linux_cli=
for candidate in "$@"; do
    if [ -x "$candidate" ]; then linux_cli=$candidate && break; fi
done
if [ -z "$linux_cli" ]; then
    echo "no Linux build's vtlconfig-cli to compare with (build the ci preset first)"
    exit 77
fi

fail() {
    echo "FAIL: $*" >&2
    exit 1
}
# Waits up to $1 seconds for the command after it to succeed.
wait_for() {
    local end=$((SECONDS + $1))
    shift
    until "$@"; do
        ((SECONDS < end)) || return 1
        sleep 0.2
    done
}

rm -rf "$work"
mkdir -p "$work/cli"
export WINEPREFIX=$work/wine WINEDEBUG=-all
export WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree=d;mshtml=d"
trap 'wineserver -k 2>/dev/null || true' EXIT
# A new prefix; its services are started apart from this script's output, which they would
# keep open after the script.
wine wineboot -i </dev/null >/dev/null 2>&1
wineserver -w

drive=$WINEPREFIX/drive_c
installed=$drive/"Program Files/VTLConfig"
link=$drive/"ProgramData/Microsoft/Windows/Start Menu/Programs/VTLConfig.lnk"
settings=$drive/users/$(id -un)/AppData/Roaming/"Larchmont Consoles/VTLConfig"
stage=$build/package/VTLConfig-$version
listing() { (cd "$1" && find . -type f | sort); }

# 1. Installing.
wine "$build/VTLConfig-$version-win64-setup.exe" /S
wineserver -w
[ -f "$installed/vtlconfig.exe" ] || fail "nothing installed in $installed"
diff <({ listing "$stage"; echo ./Uninstall.exe; } | sort) <(listing "$installed") >&2 ||
    fail "the installed files are not the staged ones and the uninstaller"
diff <(listing "$stage" | sed 's|^\./|VTLConfig-'"$version"'/|') \
    <(cmake -E tar tf "$build/VTLConfig-$version-win64.zip" | grep -v '/$' | sort) >&2 ||
    fail "the portable zip does not hold the staged files"
[ -f "$link" ] || fail "no Start menu entry"
# A key's default value; a key that is not there fails (and reg says so on standard output).
reg() { wine reg query "$1" /ve 2>&1 | tr -d '\r'; }
[[ $(reg 'HKLM\Software\Classes\.vtl') == *VTLConfig.Console* ]] || fail ".vtl is not associated"
[[ $(reg 'HKLM\Software\Classes\VTLConfig.Console\shell\open\command') == \
    *'"C:\Program Files\VTLConfig\vtlconfig.exe" "%1"'* ]] || fail "no open command for .vtl"
key() { wine reg query "$1" >/dev/null 2>&1; }

# 2. The installed CLI against the Linux one, in the same folder with the same names.
cd "$work/cli"
windows_cli() { wine 'C:\Program Files\VTLConfig\vtlconfig-cli.exe' "$@"; }
same() { # what: file or "stdout"; then the arguments
    local what=$1
    shift
    if [ "$what" = stdout ]; then
        cmp <(windows_cli "$@") <("$linux_cli" "$@") || fail "vtlconfig-cli $* prints differently"
        return
    fi
    windows_cli "$@" && mv "$what" "windows-$what"
    "$linux_cli" "$@" && cmp "windows-$what" "$what" || fail "vtlconfig-cli $* writes differently"
}
for seed in 1 7 "$RANDOM"; do
    same random.vtl random -o random.vtl --seed "$seed"
    same stdout show --json random.vtl
    "$linux_cli" show --json random.vtl >random.json
    same built.vtl build random.json -o built.vtl
done
same stdout show "$samples/three-manuals.vtl"
same demo.vtl read --demo -o demo.vtl

# 3. The application in demo mode, driven as a user would: its start choice takes "New" with
#    Return; Alt+F4 closes the main window once the read is kept.
wine 'C:\Program Files\VTLConfig\vtlconfig.exe' --demo &
app=$!
backups=$settings/Backups
kept() { compgen -G "$backups/VTL *.vtl" >/dev/null; }
choice() { xdotool search --onlyvisible --name '^Larchmont VTLConfig$' >/dev/null; }
wait_for 30 choice || fail "the application shows no window"
sleep 5 # the splash's 3.5 s, then the start choice
xdotool key Return
wait_for 60 kept || fail "no backup of the demo read in $backups"
"$linux_cli" diff "$backups"/VTL*.vtl "$samples/three-manuals.vtl" ||
    fail "the read kept is not the console the demo holds, the sample"
if [ -n "${SCREENSHOT:-}" ]; then
    sleep 6 # the status window gone and what it covered painted again
    import -window "$(xdotool search --onlyvisible --name '^Larchmont VTLConfig$' | tail -1)" \
        "$SCREENSHOT"
fi
xdotool key alt+F4
wait_for 30 test -f "$settings/VTLConfig.ini" || fail "no settings written to $settings"
wait "$app" || fail "the application ended with $?"

# 4. Uninstalling: the uninstaller runs on from a copy of itself; its last step removes its
#    entry among the installed programs.
wine 'C:\Program Files\VTLConfig\Uninstall.exe' /S
uninstalled() { ! key 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\VTLConfig'; }
wait_for 60 uninstalled || fail "the uninstaller did not finish"
[ ! -e "$installed" ] || fail "the uninstaller left $(listing "$installed")"
[ ! -e "$link" ] || fail "the Start menu entry is left"
! key 'HKLM\Software\Classes\.vtl' && ! key 'HKLM\Software\Classes\VTLConfig.Console' ||
    fail "the .vtl file type is left"
[ -f "$settings/VTLConfig.ini" ] && kept || fail "the settings or backups went with the program"
echo "installed, compared with $linux_cli, run, uninstalled"
