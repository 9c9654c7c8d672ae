#!/bin/bash
# Runs the real program under Wine and drives it with the harness, in a fresh Wine session on
# a display: $DISPLAY when set (xvfb-run), else an Xvfb of its own.
#   run_gui_test.sh PROGRAM_EXE HARNESS_EXE escape|close [with-background|no-background]
set -u
program=$1 harness=$2 mode=$3 background=${4:-with-background}
. "$(dirname -- "$0")/../../cmake/wine-env.sh" || exit 1
wine_check_exe "$program" && wine_check_exe "$harness" || exit 1

out=$PWD/gui-$mode-$background
rm -rf "$out" && mkdir -p "$out/work"
if [ "$background" = with-background ]; then
    mkdir -p "$out/work/Misc"
    cp "$(dirname -- "$0")/../../Misc/dragon_bg.bmp" "$out/work/Misc/"
fi

# A Wine session keeps the display of the process that started it: start a fresh one.
wineserver -w
own_xvfb=
if [ -z "${DISPLAY:-}" ]; then
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$out/display" 2>"$out/xvfb.log" &
    own_xvfb=$!
    for _ in $(seq 100); do [ -s "$out/display" ] && break; sleep 0.05; done
    export DISPLAY=:$(cat "$out/display")
fi
trap '[ -n "$own_xvfb" ] && { wineserver -w; kill $own_xvfb; }' EXIT

# Output through a file: Wine's helper processes would hold a pipe open after the test.
wine "$harness" "$(winepath -w "$program")" "$(winepath -w "$out/work")" "$mode" >"$out/harness.log" 2>&1
rc=$?
tr -d '\r' <"$out/harness.log"
exit $rc
