#!/bin/bash
# Installs what building and testing Norvathel needs on Debian 12, as root, and makes the
# project's Wine prefix. Safe to run again: it installs only what is missing.
# 32-bit Wine (wine32:i386, and the i386 architecture it needs) only where this machine runs
# 32-bit programs: elsewhere its packages cannot even be configured.
#   install-deps.sh               what the build, the tests and the program need
#   install-deps.sh --packaging   also what scripts/package.sh needs (zip, lintian, dpkg-dev,
#                                 nsis for the installers, llvm and lld for the Visual C++
#                                 import library and its check, man-db for the manual check)
set -euo pipefail
cd "$(dirname -- "$0")/.."

say() { printf '==> %s\n' "$*"; }

packages=(
    cmake make g++ googletest libbenchmark-dev clang libclang-rt-14-dev python3
    g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix
    wine wine64 fonts-wine fonts-liberation
    xvfb xauth xdotool imagemagick
    g++-i686-linux-gnu qemu-user-static pkg-config libtomlplusplus-dev
    # The web (web/): clang's WebAssembly target, its C and C++ libraries, and the browser
    lld wasi-libc libc++-14-dev-wasm32 libc++abi-14-dev-wasm32 libclang-rt-14-dev-wasm32 chromium
)
# Node and npm from Debian only where none is installed: a Node from elsewhere brings its own npm.
command -v node >/dev/null || packages+=(nodejs)
command -v npm >/dev/null || packages+=(npm)

if [ "${1:-}" = --packaging ]; then
    packages+=(zip unzip lintian dpkg-dev file nsis llvm lld man-db)
fi

if [ "$(id -u)" != 0 ]; then
    SUDO=sudo
else
    SUDO=
fi

. scripts/lib/probe-32bit.sh
if [ "$NORVATHEL_RUN_WIN32" = 1 ]; then
    say "this machine runs 32-bit programs: installing 32-bit Wine too"
    packages+=(wine32:i386)
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
        say "adding the i386 architecture (for 32-bit Wine)"
        $SUDO dpkg --add-architecture i386
        need_update=1
    fi
else
    say "no 32-bit Wine: $NORVATHEL_NO_WIN32_REASON; the 32-bit program is built and checked, not run"
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
. scripts/lib/wine-env.sh
[ -f "$WINEPREFIX/.init-done" ] || { echo "error: could not create the Wine prefix $WINEPREFIX" >&2; exit 1; }
# The web's npm packages (TypeScript, playwright-core, the benchmark's peer), as pinned in
# web/package-lock.json; again only when the lockfile changed.
if [ ! -f web/node_modules/.package-lock.json ] || [ web/package-lock.json -nt web/node_modules/.package-lock.json ]; then
    say "installing web/'s npm packages (npm ci)"
    (cd web && npm ci --no-audit --no-fund --loglevel=error)
fi
say "dependencies ready"
