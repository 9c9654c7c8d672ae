#!/bin/bash
# Builds everything and runs every test: natively (g++, then AddressSanitizer/UBSan), a short
# libFuzzer run, and the Windows builds (i686 and x86_64) under Wine on a virtual display.
# Installs what is missing first. Ends with one summary line: "N passed, N failed".
set -uo pipefail
cd "$(dirname -- "$0")/.."
root=$PWD

say() { printf '\n==> %s\n' "$*"; }

bash scripts/install-deps.sh || exit 1

passed=0 failed=0 skipped=0 broken=()
log=$root/build/test-logs
mkdir -p "$log"

# Adds one ctest run's counts to the totals; a run that reports nothing counts as broken.
count_ctest() {
    local name=$1 file=$2 line total bad
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

run_tests() {   # run_tests PRESET [wrapper...]
    local preset=$1; shift
    say "tests: $preset"
    "$@" ctest --preset "$preset" -j2 --timeout 300 2>&1 | tee "$log/$preset-test.log" |
        grep -E '\*\*\*|tests passed|Errors while' || true
    count_ctest "$preset" "$log/$preset-test.log"
}

for preset in native asan; do
    build "$preset" && run_tests "$preset"
done

# The fuzz targets, each for a short bounded run; a crash fails the run.
if [ -f fuzz/CMakeLists.txt ] && build fuzz; then
    say "fuzz: 30 s per target"
    for target in build/fuzz/fuzz/*_fuzz; do
        [ -x "$target" ] || continue
        corpus=$log/corpus-$(basename "$target"); mkdir -p "$corpus"
        if "$target" -max_total_time=30 -rss_limit_mb=1024 "$corpus" >"$log/$(basename "$target").log" 2>&1; then
            passed=$((passed + 1)); echo "    $(basename "$target"): $(grep -E '^#[0-9]+.*DONE' "$log/$(basename "$target").log" | tail -1)"
        else
            failed=$((failed + 1)); echo "    $(basename "$target"): FAILED"; tail -30 "$log/$(basename "$target").log"
        fi
    done
fi

# All Windows tests of a run share one virtual display: a Wine session keeps the display of
# the process that started it.
. cmake/wine-env.sh
for preset in win32 win64; do
    build "$preset" && {
        wineserver -w
        run_tests "$preset" xvfb-run -a -s "-screen 0 1024x768x24"
    }
done

say "summary"
for b in "${broken[@]+"${broken[@]}"}"; do echo "    broken: $b"; done
[ ${#broken[@]} -eq 0 ] || failed=$((failed + ${#broken[@]}))
if [ "$skipped" -gt 0 ]; then
    echo "$passed passed, $failed failed, $skipped skipped"
else
    echo "$passed passed, $failed failed"
fi
[ "$failed" -eq 0 ]
