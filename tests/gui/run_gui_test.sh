#!/bin/bash
# Runs the real program under Wine and drives it with the harness, in a fresh Wine session on
# a display: $DISPLAY when set (xvfb-run), else an Xvfb of its own.
#   run_gui_test.sh PROGRAM_EXE HARNESS_EXE escape|close [with-background|no-background]
set -u
program=$1 harness=$2 mode=$3 background=${4:-with-background}
here=$(dirname -- "$0")
. "$here/../../scripts/lib/wine-env.sh" || exit 1
. "$here/../../scripts/lib/private-display.sh"
wine_pick_loader "$program" && wine_pick_loader "$harness" || exit 1

out=$PWD/gui-$mode-$background
rm -rf "$out" && mkdir -p "$out/work"
if [ "$background" = with-background ]; then
    mkdir -p "$out/work/Misc"
    cp "$here/../../Misc/dragon_bg.bmp" "$out/work/Misc/"
fi

# A Wine session keeps the display of the process that started it: start a fresh one.
wineserver -w
if [ -z "${DISPLAY:-}" ]; then
    start_private_display || exit 1
    trap 'wineserver -w; stop_private_display' EXIT
fi

# Output through a file: Wine's helper processes would hold a pipe open after the test.
"$wine_loader" "$harness" "$(wine_tool winepath -w "$program")" "$(wine_tool winepath -w "$out/work")" \
    "$mode" >"$out/harness.log" 2>&1
rc=$?
tr -d '\r' <"$out/harness.log"
exit $rc
