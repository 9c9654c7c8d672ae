#!/bin/bash
# Checks that scripts/install-deps.sh rides through a package mirror caught mid-sync, as one
# was seen: `apt-get update` failing (exit 100) for the i386 security index, and wine32:i386
# uninstallable because its i386 libraries lag their amd64 twins. apt-get, dpkg and dpkg-query
# are stubs put first on PATH, and the scripts run from a copy of scripts/ in a scratch folder,
# so nothing on this machine or in this checkout changes.
# One line per check ("ok:" or "FAIL:"), then "setup: N passed, N failed, N skipped".
set -uo pipefail
root=$(cd "$(dirname -- "$0")/../.." && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

passed=0 failed=0
check() {   # check WHAT COMMAND...: the command's output is shown only when it fails
    local what=$1 out
    shift
    if out=$("$@" 2>&1); then
        echo "ok: $what"; passed=$((passed + 1))
    else
        echo "FAIL: $what"; printf '%s\n' "$out" | tail -20 | sed 's/^/    /'; failed=$((failed + 1))
    fi
}
has() { grep -qF -- "$2" <<<"$1" || { echo "expected '$2' in:"; printf '%s\n' "$1" | head -30; return 1; }; }
lacks() { ! grep -qE -- "$2" <<<"$1" || { echo "did not expect /$2/ in:"; printf '%s\n' "$1"; return 1; }; }

# The stubs. $STUB/installed lists what dpkg-query reports as installed beyond "everything
# except $STUB_MISSING"; apt-get appends what it installs to it and logs every call.
stub=$scratch/stub
mkdir -p "$stub/bin"
cat >"$stub/bin/apt-get" <<'SH'
#!/bin/bash
echo "apt-get $*" >>"$STUB/calls"
case " $* " in
*" update "*)
    echo "E: Failed to fetch http://deb.debian.org/debian-security/dists/bookworm-security/main/binary-i386/Packages.xz  File has unexpected size (374820 != 376004). Mirror sync in progress? [IP: 203.0.113.80 80]" >&2
    echo "E: Some index files failed to download. They have been ignored, or old ones used instead." >&2
    exit 100 ;;
esac
packages=()
for a in "$@"; do [[ $a == -* || $a == install ]] || packages+=("$a"); done
for p in "${packages[@]}"; do
    if [[ " $STUB_BROKEN " == *" $p "* ]]; then
        case " $* " in *" -qq "*) ;; *)
            echo "The following packages have unmet dependencies:"
            echo " $p : Depends: libwine:i386 (= 8.0~repack-4) but it is not going to be installed"
            echo " libgnutls30:i386 : Depends: libp11-kit0:i386 (>= 0.23.18.1) but it is not going to be installed" ;;
        esac
        echo "E: Unable to correct problems, you have held broken packages."
        exit 100
    elif [[ " $STUB_UNKNOWN " == *" $p "* ]]; then
        echo "E: Unable to locate package $p"
        exit 100
    fi
done
printf '%s\n' "${packages[@]}" >>"$STUB/installed"
SH
cat >"$stub/bin/dpkg-query" <<'SH'
#!/bin/bash
p=${!#}
if [[ " $STUB_MISSING " == *" $p "* ]] && ! grep -qxF -- "$p" "$STUB/installed" 2>/dev/null; then
    echo "dpkg-query: no packages found matching $p" >&2; exit 1
fi
printf 'install ok installed'
SH
cat >"$stub/bin/dpkg" <<'SH'
#!/bin/bash
echo "dpkg $*" >>"$STUB/calls"
case $1 in --print-foreign-architectures) echo i386 ;; esac
SH
printf '#!/bin/sh\nexit 0\n' >"$stub/bin/sleep"
printf '#!/bin/sh\necho "wine-8.0"\n' >"$stub/bin/wine32-loader"
chmod +x "$stub/bin"/*

# A copy of the scripts, in a tree of their own, with a Wine prefix already made and the web's
# npm packages already installed.
tree=$scratch/tree
mkdir -p "$tree/scripts" "$tree/web/node_modules" "$tree/build/wineprefix/drive_c/windows/Fonts"
cp -r "$root/scripts/install-deps.sh" "$root/scripts/lib" "$tree/scripts/"
touch "$tree/build/wineprefix/.init-done" "$tree/web/package-lock.json"
touch -d '+1 minute' "$tree/web/node_modules/.package-lock.json"

in_stubbed() {   # in_stubbed MISSING BROKEN UNKNOWN COMMAND...: a clean environment, stubs first
    : >"$stub/calls"; : >"$stub/installed"
    env -i PATH="$stub/bin:$PATH" HOME="$scratch" STUB="$stub" WINEPREFIX="$tree/build/wineprefix" \
        STUB_MISSING="$1" STUB_BROKEN="$2" STUB_UNKNOWN="$3" NORVATHEL_KERNEL_RUNS_I386=1 \
        "${@:4}"
}
# What a script that sources the probe concludes: "RUN_WIN32 REASON".
probe=(bash -c '. "$1/scripts/lib/probe-32bit.sh" && echo "$NORVATHEL_RUN_WIN32 $NORVATHEL_NO_WIN32_REASON"' _ "$tree")

mirror_mid_sync() {
    local out calls
    rm -f "$tree/build/wine32-unavailable.txt"
    out=$(in_stubbed "xauth wine32:i386" "wine32:i386" "" bash "$tree/scripts/install-deps.sh" run 2>&1) ||
        { echo "install-deps.sh failed:"; printf '%s\n' "$out"; return 1; }
    calls=$(cat "$stub/calls")
    has "$out" "apt-get update failed 3 times" && has "$out" "binary-i386/Packages.xz  File has unexpected size" &&
    # Everything else first and apart; then 32-bit Wine alone, so it holds nothing back.
    has "$(grep ' install ' <<<"$calls" | head -1)" "xauth" && lacks "$(grep ' install ' <<<"$calls" | head -1)" "wine32" &&
    has "$(grep ' install ' <<<"$calls" | tail -1)" "--no-install-recommends wine32:i386" &&
    has "$out" "no 32-bit Wine: 32-bit Wine could not be installed: wine32:i386 : Depends: libwine:i386 (= 8.0~repack-4) but it is not going to be installed (and 1 more unmet dependencies)" &&
    has "$out" "dependencies ready"
}

every_script_learns_it() {
    local seen
    # As every script sees it after that run: the reason install-deps.sh kept.
    seen=$(in_stubbed "wine32:i386" "" "" "${probe[@]}")
    has "$seen" "0 32-bit Wine could not be installed: wine32:i386 : Depends: libwine:i386" || return 1
    # Not installed and no reason kept.
    rm -f "$tree/build/wine32-unavailable.txt"
    has "$(in_stubbed "wine32:i386" "" "" "${probe[@]}")" "0 32-bit Wine (wine32:i386) is not installed" || return 1
    # Healed: installed, and its loader starts; the 32-bit tests come back.
    echo "an old reason" >"$tree/build/wine32-unavailable.txt"
    seen=$(in_stubbed "" "" "" env WINE32_LOADER="$stub/bin/wine32-loader" "${probe[@]}")
    [ "$seen" = "1 " ] || { echo "a healed machine: expected '1 ', got '$seen'"; return 1; }
    # A kernel without 32-bit support says so, whatever Wine has.
    has "$(in_stubbed "" "" "" env NORVATHEL_KERNEL_RUNS_I386=0 "${probe[@]}")" \
        "0 this kernel cannot run 32-bit programs"
}

needed_package_fails() {
    local out rc=0
    out=$(in_stubbed "xauth xvfb" "" "xauth" bash "$tree/scripts/install-deps.sh" run 2>&1) || rc=$?
    [ "$rc" = 1 ] || { echo "exit $rc, not 1:"; printf '%s\n' "$out"; return 1; }
    has "$out" "error: the package xauth cannot be installed: E: Unable to locate package xauth" &&
    has "$(cat "$stub/installed")" "xvfb"   # what could be installed was
}

each_job_its_own() {
    local all="g++-mingw-w64-i686-posix wine wine64 xvfb chromium lld wasi-libc nsis lintian wine32:i386"
    in_stubbed "$all" "" "" bash "$tree/scripts/install-deps.sh" web >/dev/null 2>&1 || return 1
    has "$(cat "$stub/installed")" "chromium" && lacks "$(cat "$stub/installed")" "wine|mingw|xvfb|nsis" || return 1
    in_stubbed "$all" "" "" bash "$tree/scripts/install-deps.sh" run >/dev/null 2>&1 || return 1
    has "$(cat "$stub/installed")" "wine64" && lacks "$(cat "$stub/installed")" "chromium|wasi|nsis|lintian"
}

check "install-deps.sh rides through a failing apt-get update and an uninstallable wine32:i386" mirror_mid_sync
check "every script learns from the probe why 32-bit Wine is missing, and when it is back" every_script_learns_it
check "install-deps.sh fails, naming the package and apt's reason, when a needed package cannot be had" needed_package_fails
check "install-deps.sh web installs no Wine, install-deps.sh run no Chromium" each_job_its_own

echo "setup: $passed passed, $failed failed, 0 skipped"
[ "$failed" = 0 ]
