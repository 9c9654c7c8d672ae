#!/bin/bash
# Installs what one job of Norvathel's needs on Debian 12, as root. Safe to run again: it
# installs only what is missing.
#   install-deps.sh run           the Windows program under Wine (scripts/run.sh)
#   install-deps.sh web           the composer as WebAssembly, the package and the page
#   install-deps.sh test          everything the tests need (all of the above, the native,
#                                 sanitizer, i386 and fuzz builds, Python)
#   install-deps.sh packaging     also what scripts/package.sh needs (zip, lintian, dpkg-dev,
#                                 nsis for the installers, llvm and lld for the Visual C++
#                                 import library and its check, man-db for the manual check)
# No job given: test. Several may be given.
#
# Package mirrors are sometimes caught mid-sync: an index of the wrong size, one source
# unreachable. So `apt-get update` may fail in part (it is retried, then what failed is named
# and the lists already here are used), and 32-bit Wine (wine32:i386, which needs its i386
# libraries at exactly the versions of their amd64 twins) is installed alone and last, so
# that it cannot hold the rest back. Where it cannot be installed the reason is kept in
# build/wine32-unavailable.txt, where scripts/lib/probe-32bit.sh finds it: the 64-bit program
# runs and the 32-bit one is built and checked, not run. The script fails only when a package
# its job needs cannot be installed, and says which and why.
set -euo pipefail
cd "$(dirname -- "$0")/.."

say() { printf '==> %s\n' "$*"; }

declare -A job_packages=(
    [base]="cmake make g++ pkg-config python3 libtomlplusplus-dev unicode-data"
    [windows]="g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix wine wine64 fonts-wine
               fonts-liberation xvfb xauth xdotool imagemagick"
    # clang's WebAssembly target, its C and C++ libraries, and the browser for the page's tests
    [web]="clang lld wasi-libc libc++-14-dev-wasm32 libc++abi-14-dev-wasm32
           libclang-rt-14-dev-wasm32 chromium"
    [native]="googletest libbenchmark-dev clang libclang-rt-14-dev g++-i686-linux-gnu
              qemu-user-static"
    [python]="python3-dev pybind11-dev python3-pybind11 python3-venv python3-pytest
              python3-fake-factory mypy python3-build python3-setuptools python3-wheel"
    [packaging]="zip unzip lintian dpkg-dev file nsis llvm lld man-db"
)
declare -A job_parts=(
    [run]="base windows"
    [web]="base web"
    [test]="base windows web native python"
    [packaging]="base windows web native python packaging"
)

jobs=("$@")
[ ${#jobs[@]} -gt 0 ] || jobs=(test)
parts=()
for job in "${jobs[@]}"; do
    job=${job#--}
    [ -n "${job_parts[$job]:-}" ] || { echo "error: unknown job '$job' (run, web, test, packaging)" >&2; exit 2; }
    parts+=(${job_parts[$job]})
done
has_part() { [[ " ${parts[*]} " == *" $1 "* ]]; }

packages=()
for part in "${parts[@]}"; do packages+=(${job_packages[$part]}); done
if has_part web; then
    # Node and npm from Debian only where none is installed: a Node from elsewhere brings its npm.
    command -v node >/dev/null || packages+=(nodejs)
    command -v npm >/dev/null || packages+=(npm)
fi

SUDO=
[ "$(id -u)" = 0 ] || SUDO=sudo

log=$(mktemp -d)
trap 'rm -rf "$log"' EXIT

is_installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }

# apt-get update, retried; if it still fails, the indexes that failed are named and the lists
# this machine has are used: a package that cannot be had from them fails its install below,
# by name.
updated=
apt_update() {
    [ -z "$updated" ] || return 0
    updated=1
    local try
    for try in 1 2 3; do
        if $SUDO apt-get update -qq >"$log/update" 2>&1; then return 0; fi
        [ "$try" = 3 ] || sleep $((try * 5))
    done
    say "apt-get update failed 3 times; going on with the package lists this machine has:"
    grep -E '^(E|W): ' "$log/update" | grep -v 'Some index files failed' | sed 's/^/    /' || true
}

# apt's own reason why a package cannot be installed: the first unmet dependency it names (the
# package's own if it names one; and how many more), else its error.
apt_reason() {   # apt_reason LOGFILE PACKAGE
    local first more
    first=$( { grep -m1 -F " $2 : " "$1"; grep -m1 -E '^ .*(Depends|Conflicts|Breaks): ' "$1"; } |
             head -1 | sed 's/^ *//')
    if [ -n "$first" ]; then
        more=$(( $(grep -cE '(Depends|Conflicts|Breaks): ' "$1") - 1 ))
        [ "$more" -gt 0 ] && first="$first (and $more more unmet dependencies)"
        echo "$first"
    else
        grep -m1 -E '^E: ' "$1" || tail -1 "$1"
    fi
}

# Installs the packages; if apt refuses them together, one at a time, so that each that cannot
# be installed is named with apt's reason. Returns the number that failed.
install_packages() {   # install_packages PACKAGE...
    local p bad=0
    [ $# -gt 0 ] || return 0
    say "installing: $*"
    if DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "$@" \
            >"$log/install" 2>&1; then
        return 0
    fi
    for p in "$@"; do
        is_installed "$p" && continue
        # -q, not -qq: with -qq apt keeps its reasons to itself.
        if ! DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends "$p" \
                >"$log/install-one" 2>&1; then
            echo "error: the package $p cannot be installed: $(apt_reason "$log/install-one" "$p")" >&2
            bad=$((bad + 1))
        fi
    done
    return "$bad"
}

missing=()
for p in "${packages[@]}"; do is_installed "$p" || missing+=("$p"); done
if [ ${#missing[@]} -gt 0 ]; then
    apt_update
    install_packages "${missing[@]}" || { echo "error: $? needed package(s) could not be installed" >&2; exit 1; }
fi

# 32-bit Wine, alone and last: only where the kernel runs 32-bit programs (elsewhere its
# packages cannot even be configured), and only what a failure to get it cannot stop.
. scripts/lib/probe-32bit.sh
wine32_note=build/wine32-unavailable.txt
forced_off() { [ -n "$NORVATHEL_WIN32_GIVEN" ] && [ "$NORVATHEL_RUN_WIN32" = 0 ]; }
if has_part windows && [ "$NORVATHEL_KERNEL_RUNS_I386" = 1 ] && ! forced_off && ! is_installed wine32:i386; then
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
        say "adding the i386 architecture (for 32-bit Wine)"
        $SUDO dpkg --add-architecture i386
        updated=
    fi
    apt_update
    mkdir -p build
    if install_packages wine32:i386 2>"$log/wine32"; then
        rm -f "$wine32_note"
    else
        # apt's reason, for every script that takes the 64-bit path.
        sed -n 's/^error: the package wine32:i386 cannot be installed: //p' "$log/wine32" >"$wine32_note"
        [ -s "$wine32_note" ] || echo "apt-get install wine32:i386 failed" >"$wine32_note"
    fi
fi
[ -n "$NORVATHEL_WIN32_GIVEN" ] || probe_wine32
if has_part windows && [ "$NORVATHEL_RUN_WIN32" != 1 ]; then
    say "no 32-bit Wine: $NORVATHEL_NO_WIN32_REASON; the 32-bit program is built and checked, not run"
fi

if has_part windows; then
    # The project-local Wine prefix (build/wineprefix), made once: ~25 s the first time.
    prefix=${WINEPREFIX:-$PWD/build/wineprefix}
    [ -f "$prefix/.init-done" ] || say "creating the Wine prefix $prefix (about 25 s)"
    . scripts/lib/wine-env.sh
    [ -f "$WINEPREFIX/.init-done" ] || { echo "error: could not create the Wine prefix $WINEPREFIX" >&2; exit 1; }
fi
if has_part web; then
    # The web's npm packages (TypeScript, playwright-core, the benchmark's peer), as pinned in
    # web/package-lock.json; again only when the lockfile changed.
    if [ ! -f web/node_modules/.package-lock.json ] || [ web/package-lock.json -nt web/node_modules/.package-lock.json ]; then
        say "installing web/'s npm packages (npm ci)"
        (cd web && npm ci --no-audit --no-fund --loglevel=error)
    fi
fi
say "dependencies ready (${jobs[*]})"
