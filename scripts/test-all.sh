#!/bin/bash
# Builds everything and runs every test: natively (g++, then AddressSanitizer/UBSan), the
# portable parts built for 32-bit Linux under qemu-i386-static, a short libFuzzer run, and the
# Windows builds (i686 and x86_64) under Wine on a virtual display, and the web (WebAssembly,
# npm package, page in headless chromium). Where this machine cannot
# run 32-bit programs (scripts/lib/probe-32bit.sh; NORVATHEL_RUN_WIN32=0 forces it), the i686 program
# is built and its headers checked, and its other tests are counted as skipped, with the reason.
# Then builds the releases and checks each one (scripts/package.sh).
# First checks the set-up itself against a half-synced package mirror (tests/setup, stubs only).
# Installs what is missing first. Ends with one summary line: "N passed, N failed, N skipped",
# all three counts always.
set -uo pipefail
cd "$(dirname -- "$0")/.."
root=$PWD

say() { printf '\n==> %s\n' "$*"; }

bash scripts/install-deps.sh packaging || exit 1

passed=0 failed=0 skipped=0 broken=()
log=$root/build/test-logs
mkdir -p "$log"

# Adds one ctest run's counts to the totals; a run that reports nothing counts as broken.
count_ctest() {
    local name=$1 file=$2 line total bad skip
    line=$(grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$file" | tail -1)
    if [ -z "$line" ]; then
        broken+=("$name: no ctest summary"); return
    fi
    total=$(sed -E 's/.*out of ([0-9]+).*/\1/' <<<"$line")
    bad=$(sed -E 's/.*, ([0-9]+) tests? failed.*/\1/' <<<"$line")
    skip=$(grep -c '\*\*\*Skipped' "$file")
    passed=$((passed + total - bad - skip)); failed=$((failed + bad)); skipped=$((skipped + skip))
    [ "$total" -gt 0 ] || broken+=("$name: no tests ran")
}

build() {   # build PRESET
    say "configure and build: $1"
    cmake --preset "$1" -DNORVATHEL_WERROR=ON >"$log/$1-configure.log" 2>&1 &&
        cmake --build --preset "$1" -j2 >"$log/$1-build.log" 2>&1 || {
            tail -40 "$log/$1-configure.log" "$log/$1-build.log" 2>/dev/null
            broken+=("$1: build failed"); return 1; }
}

run_tests() {   # run_tests NAME [wrapper...] ctest ARGS...  (default: ctest --preset NAME)
    local name=$1; shift
    [ $# -gt 0 ] || set -- ctest --preset "$name"
    say "tests: $name"
    "$@" -j2 --timeout 300 2>&1 | tee "$log/$name-test.log" |
        grep -E '\*\*\*|tests passed|Errors while|^[0-9]+: (ok|FAIL): ' || true
    count_ctest "$name" "$log/$name-test.log"
}

# Counts a check script's summary line, "WHAT: N passed, N failed, N skipped"; a script that
# stopped before it counts as broken.
count_checks() {   # count_checks NAME LOG
    local line p f s
    grep -E '^(FAIL|skipped):' "$2"
    line=$(grep -E "^$1: [0-9]+ passed, [0-9]+ failed, [0-9]+ skipped$" "$2" | tail -1)
    if [ -z "$line" ]; then
        tail -30 "$2"; broken+=("$1: stopped before its summary ($2)"); return
    fi
    echo "    $line"
    read -r p f s < <(sed -E 's/^[a-z]+: ([0-9]+) passed, ([0-9]+) failed, ([0-9]+) skipped$/\1 \2 \3/' <<<"$line")
    passed=$((passed + p)); failed=$((failed + f)); skipped=$((skipped + s))
}

# The set-up itself, against a package mirror caught mid-sync (stubs; nothing is installed).
say "setup: install-deps.sh against a half-synced mirror"
bash tests/setup/check_setup.sh >"$log/setup.log" 2>&1
count_checks setup "$log/setup.log"

for preset in native asan i386; do
    build "$preset" && run_tests "$preset"
done

# The fuzz targets, each for a short bounded run; a crash fails the run.
if [ -f fuzz/CMakeLists.txt ] && build fuzz; then
    say "fuzz: 30 s per target"
    for target in build/fuzz/fuzz/*_fuzz; do
        [ -x "$target" ] || continue
        name=$(basename "$target" _fuzz)
        # New finds go to a scratch corpus; the committed one is where each run starts.
        corpus=$log/corpus-$name; mkdir -p "$corpus"
        if "$target" -max_total_time=30 -rss_limit_mb=1024 -artifact_prefix="$log/" \
                "$corpus" "fuzz/corpus/$name" \
                >"$log/$(basename "$target").log" 2>&1; then
            passed=$((passed + 1)); echo "    $(basename "$target"): $(grep -E '^#[0-9]+.*DONE' "$log/$(basename "$target").log" | tail -1)"
        else
            failed=$((failed + 1)); echo "    $(basename "$target"): FAILED"; tail -30 "$log/$(basename "$target").log"
        fi
    done
fi

# The web: the composer as WebAssembly, the npm package and the page, tested in Node and in
# headless chromium against the native build's tool. Node's runner counts its own tests.
if build wasm; then
    say "tests: web (Node and chromium)"
    if node web/tools/build.mjs >"$log/web-assemble.log" 2>&1; then
        NORVATHEL_NAMES=$root/build/native/cli/norvathel-names \
            node --test --test-reporter=tap web/test/*.test.mjs >"$log/web-test.log" 2>&1
        grep -E '^not ok|^# (pass|fail|skipped|cancelled) ' "$log/web-test.log" | sed 's/^/    /'
        web_count() { sed -n "s/^# $1 //p" "$log/web-test.log" | tail -1; }
        web_pass=$(web_count pass) web_fail=$(web_count fail) web_skip=$(web_count skipped) web_cancel=$(web_count cancelled)
        if [ -z "$web_pass" ]; then
            broken+=("web: no test summary"); tail -30 "$log/web-test.log"
        else
            passed=$((passed + web_pass)); failed=$((failed + web_fail + ${web_cancel:-0}))
            skipped=$((skipped + ${web_skip:-0}))
            [ "$web_fail" -eq 0 ] || grep -B2 -A20 '^not ok' "$log/web-test.log" | head -60
        fi
    else
        broken+=("web: assembling the package and page failed"); tail -20 "$log/web-assemble.log"
    fi
fi

# All Windows tests of a run share one virtual display: a Wine session keeps the display of
# the process that started it.
. scripts/lib/wine-env.sh
win32_not_run=
for preset in win32 win64; do
    build "$preset" || continue
    if [ "$preset" = win32 ] && [ "$NORVATHEL_RUN_WIN32" != 1 ]; then
        # Only the header checks, from their own folder: ctest over the whole build would list
        # the 32-bit test programs' tests by running them.
        run_tests win32-headers ctest --test-dir build/win32/tests/pe --verbose
        win32_not_run=1
        continue
    fi
    wineserver -w
    # A test program that Wine drops before it runs a line (no output, "wine client error:0:
    # recvmsg: Connection reset by peer", seen once in a few runs) is run once more; a test
    # that fails on its own fails twice.
    run_tests "$preset" xvfb-run -a -s "-screen 0 1024x768x24" ctest --preset "$preset" --repeat until-pass:2
done
if [ -n "$win32_not_run" ]; then
    # The i686 build holds the same tests as the x86_64 one, whose run has just listed them.
    not_run=$(ctest --preset win64 -N -LE pe 2>/dev/null | sed -n 's/^Total Tests: //p')
    if [ -n "$not_run" ]; then
        echo "    win32: $not_run tests skipped, not run: $NORVATHEL_NO_WIN32_REASON"
        skipped=$((skipped + not_run))
    else
        broken+=("win32: could not count the tests not run")
    fi
fi

# The releases, each checked as its users get it: scripts/package.sh builds them from clean
# build folders and runs tests/package/check_packages.sh, one line per check and a summary.
say "packages: the .debs, zips and installers in build/dist/"
bash scripts/package.sh >"$log/package.log" 2>&1
count_checks packages "$log/package.log"

say "summary"
for b in "${broken[@]+"${broken[@]}"}"; do echo "    broken: $b"; done
[ ${#broken[@]} -eq 0 ] || failed=$((failed + ${#broken[@]}))
echo "$passed passed, $failed failed, $skipped skipped"
[ "$failed" -eq 0 ]
