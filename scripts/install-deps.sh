#!/bin/bash
# Installs what building and testing Norvathel needs on Debian 12, as root, and makes the
# project's Wine prefix. Safe to run again: it installs only what is missing.
#   install-deps.sh          everything: native tools, MinGW-w64, Wine, Xvfb
set -euo pipefail
cd "$(dirname -- "$0")/.."

say() { printf '==> %s\n' "$*"; }

packages=(
    cmake make g++ googletest libbenchmark-dev clang libclang-rt-14-dev python3
    g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix
    wine wine64 wine32:i386 fonts-wine fonts-liberation
    xvfb xauth xdotool imagemagick
)

if [ "$(id -u)" != 0 ]; then
    SUDO=sudo
else
    SUDO=
fi

# 32-bit Wine needs the i386 architecture; without wine32 a 32-bit .exe exits 0 doing nothing.
if ! dpkg --print-foreign-architectures | grep -qx i386; then
    say "adding the i386 architecture (for 32-bit Wine)"
    $SUDO dpkg --add-architecture i386
    need_update=1
fi

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    say "installing: ${missing[*]}"
    $SUDO apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
elif [ -n "${need_update:-}" ]; then
    $SUDO apt-get update -qq
fi

# The project-local Wine prefix (build/wineprefix), made once: ~25 s the first time.
prefix=${WINEPREFIX:-$PWD/build/wineprefix}
[ -f "$prefix/.init-done" ] || say "creating the Wine prefix $prefix (about 25 s)"
. cmake/wine-env.sh
[ -f "$WINEPREFIX/.init-done" ] || { echo "error: could not create the Wine prefix $WINEPREFIX" >&2; exit 1; }
say "dependencies ready"
