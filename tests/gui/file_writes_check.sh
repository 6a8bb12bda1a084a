#!/usr/bin/env bash
# Watches the file system through a whole use in demo mode and fails naming every path written
# outside the program's own: the files the user chose (and the temporary file a save makes
# beside one), the settings folder (settings file, backups), the log and the single-instance
# socket in the per-user runtime folder.
#
# The use is in two runs under strace, with every per-user folder in a scratch folder:
#  1. the program itself, logging on, starts in demo mode with a console file, loads it and
#     quits as a user does, writing its settings and log;
#  2. the demo-use test: start, New, the demo console read, three editors, Write, Read, Save to
#     a chosen file.
# Written means opened for writing, created, renamed, linked, removed, made a folder, had its
# mode, owner or times changed, or bound as a socket; a call that failed counts too, except a
# folder made that was there already.
#
# Usage: file_writes_check.sh <program folder> <demo_use_tests>
set -euo pipefail

bin=$(cd "$1" && pwd -P)
test_binary=$(realpath "$2")
command -v strace >/dev/null || { echo "file_writes_check: no strace (scripts/setup.sh installs it)"; exit 1; }

scratch=$(mktemp -d "${TMPDIR:-/tmp}/file-writes-XXXXXX")
trap 'rm -rf "$scratch"' EXIT
scratch=$(cd "$scratch" && pwd -P)
mkdir -m 700 "$scratch"/{home,config,data,cache,runtime,tmp,trace}
# The program's own copy, so that its log lands here (its files are links to the build's).
cp -rs "$bin/." "$scratch/program"
cp --remove-destination "$bin/vtlconfig" "$scratch/program/vtlconfig"
settings="$scratch/config/Larchmont Consoles/VTLConfig"
mkdir -p "$settings"
printf '[Tabulist]\nLog=1\n' >"$settings/VTLConfig.ini"
cp "$bin/samples/three-manuals.vtl" "$scratch/home/chosen.vtl"

# -ff: one trace per process, so that no call is split across lines; -y: folders as paths.
# LeakSanitizer cannot run under a tracer: the sanitizer builds check leaks in the other tests.
traced() {
  (cd "$scratch/home" &&
    env HOME="$scratch/home" XDG_CONFIG_HOME="$scratch/config" XDG_DATA_HOME="$scratch/data" \
      XDG_CACHE_HOME="$scratch/cache" XDG_RUNTIME_DIR="$scratch/runtime" TMPDIR="$scratch/tmp" \
      QT_QPA_PLATFORM=offscreen ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0" \
      strace -ff -y -qq -s 4096 -o "$scratch/trace/$1" -e trace=%file,bind -e signal=none \
      "${@:2}" >"$scratch/output" 2>&1) || {
    cat "$scratch/output"
    echo "file_writes_check: $2 failed"
    exit 1
  }
}
traced program "$scratch/program/vtlconfig" --demo --quit-after-start "$scratch/home/chosen.vtl"
traced test "$test_binary" ReadEditWriteReadBackAndSave

# Folder names as literal text in a regular expression.
literal() { sed 's/[][\\.*^$+?(){}|]/\\&/g' <<<"$1"; }
root=$(literal "$scratch")
# The test makes its home folder (settings, the chosen file) in the temporary folder.
home="$root/tmp/$(literal "$(basename "$test_binary")")-[^/]+"
ours="(/Larchmont Consoles(/VTLConfig(/.*)?)?)?"
allowed=(
  # The file chosen in the save dialog and the temporary file the save renames onto it (the
  # file loaded at start is only read).
  "$home/whole-use\.vtl"
  "$home/\.whole-use\.vtl\.tmp-[0-9]+-[0-9]+"
  # The settings folder with the folders above it, the settings file and the backups; the
  # test's in the home folder it makes, and removes with all in it at its end.
  "$root/config$ours"
  "$home(/\.config$ours)?"
  # The log, in the program's folder.
  "$root/program/VTLConfig\.log"
  # The single-instance socket in the per-user runtime folder, bound, opened to its owner only
  # and removed.
  "$root/runtime/vtlconfig-[0-9a-f]{16}"
  # Qt's file dialog keeps its history and view in the user's Qt settings.
  "$home/\.config/QtProject\.conf(\.lock)?"
)
allowed_pattern="^($(IFS='|'; echo "${allowed[*]}"))\$"
# Seen written, or the use or this watch went wrong.
required=(
  "$home/whole-use\.vtl"
  "$root/config/Larchmont Consoles/VTLConfig/VTLConfig\.ini"
  "$root/program/VTLConfig\.log"
  "$root/runtime/vtlconfig-[0-9a-f]{16}"
)

writing='O_WRONLY|O_RDWR|O_CREAT|O_TRUNC|O_TMPFILE'
socket='sun_path="([^"]*)"'
# A path, after the folder it is relative to where the call names one: dirfd<folder>.
path_argument='(([A-Z_]+|[0-9]+)<([^>]*)>, )?"([^"]*)"(.*)'
writes="$scratch/writes"
: >"$writes"
# One target path per line, each made absolute against the folder its call names.
while IFS= read -r line; do
  call=${line%%(*}
  args=${line#*(}
  case $call in
    open | openat | openat2) [[ $args =~ $writing ]] || continue ;;
    mkdir | mkdirat) [[ $args == *"= -1 EEXIST "* ]] && continue ;;
  esac
  if [[ $call == bind ]]; then
    [[ $args =~ $socket ]] && echo "${BASH_REMATCH[1]}" >>"$writes"
    continue
  fi
  # Paths without a folder are relative to the current folder, the scratch home.
  while [[ $args =~ $path_argument ]]; do
    folder=${BASH_REMATCH[3]:-$scratch/home}
    path=${BASH_REMATCH[4]}
    args=${BASH_REMATCH[5]}
    [[ $path == /proc/self/fd/* ]] && continue # a file already open, linked to its name
    [[ $path == /* ]] || path="$folder/$path"
    echo "$path" >>"$writes"
  done
done < <(cat "$scratch"/trace/* | grep -E '^(open|openat|openat2|creat|mkdir|mkdirat|rmdir|unlink|unlinkat|rename|renameat|renameat2|link|linkat|symlink|symlinkat|truncate|chmod|fchmodat|chown|lchown|fchownat|mknod|mknodat|utimensat|bind)\(')

sort -u "$writes" -o "$writes"
echo "file_writes_check: paths written during the whole use:"
sed 's/^/  /' "$writes"
for path in "${required[@]}"; do
  grep -Eq "^$path\$" "$writes" || { echo "file_writes_check: not seen written: $path"; exit 1; }
done
if stray=$(grep -Ev "$allowed_pattern" "$writes"); then
  echo "file_writes_check: written outside the program's own files:"
  sed 's/^/  /' <<<"$stray"
  exit 1
fi
