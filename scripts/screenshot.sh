#!/bin/bash
# Runs the program under Wine on a virtual display of its own, saves a screenshot of its window
# and closes it with Escape.   screenshot.sh PROGRAM_EXE OUT.png [SECONDS]
set -uo pipefail
exe=$(realpath "$1") png=$(realpath -m "$2") seconds=${3:-3}
cd "$(dirname -- "$0")/.."   # the program finds Misc/dragon_bg.bmp from here
. cmake/wine-env.sh
wine_check_exe "$exe" || exit 1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

wineserver -w   # a fresh Wine session, so that it takes this display
Xvfb -displayfd 3 -screen 0 640x480x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.05; done
export DISPLAY=:$(cat "$work/display")

wine "$exe" >"$work/program.log" 2>&1 &
program=$!
win=
for _ in $(seq 100); do
    win=$(xdotool search --name '^Norvathel$' 2>/dev/null | head -1) && [ -n "$win" ] && break
    sleep 0.1
done
status=1
if [ -n "$win" ]; then
    sleep "$seconds"
    eval "$(xdotool getwindowgeometry --shell "$win")"
    mkdir -p "$(dirname -- "$png")"
    import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$png" && status=0
    echo "screenshot of the window: $png"
    # Escape goes to the window under the pointer: click the board (not a control), then press it.
    xdotool mousemove --window "$win" 150 120 click 1 key Escape
else
    echo "error: the window did not appear" >&2
fi
for _ in $(seq 50); do kill -0 $program 2>/dev/null || break; sleep 0.1; done
if kill -0 $program 2>/dev/null; then
    echo "the program did not close; stopping it" >&2
    wineserver -k; status=1
fi
wait $program; echo "program exit code: $?"
wineserver -w
kill $xvfb 2>/dev/null
exit $status
