#!/usr/bin/env bash
# Installs every Debian package the build, the app and the tests need, and configures
# the build tree. A no-op for packages already installed. Where the Windows kit lies beside the
# clone (../shared/win64), also what the Windows build needs: the MinGW-w64 compilers, Qt's
# host tools of the kit's version, Wine, NSIS, and for its tests xdotool and the DejaVu fonts.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(
  cmake ninja-build g++ pkg-config clang-format clang-tidy
  clang libclang-rt-14-dev
  qt6-base-dev librtmidi-dev libzip-dev
  jackd2 libjack-jackd2-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth
  strace
  grandorgue grandorgue-demo
  dpkg-dev appstream desktop-file-utils
)
if [ -f ../shared/win64/toolchain-mingw64.cmake ]; then
  packages+=(
    g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix libz-mingw-w64-dev qt6-base-dev-tools
    wine wine64 nsis xdotool fonts-dejavu-core
  )
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  export DEBIAN_FRONTEND=noninteractive
  "${sudo_cmd[@]}" apt-get update -qq
  "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
