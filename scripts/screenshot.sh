#!/bin/bash
# Runs the program under Wine on a private virtual display, saves a screenshot of its window
# once the window has drawn its board, and closes it with Escape.
#   screenshot.sh PROGRAM_EXE OUT.png [FOLDER]
# The program runs in FOLDER (default: the repository), where it looks for Misc/dragon_bg.bmp.
set -uo pipefail
exe=$(realpath "$1") png=$(realpath -m "$2")
here=$(cd "$(dirname -- "$0")/.." && pwd)
cd "${3:-$here}" || exit 1
. "$here/scripts/lib/wine-env.sh"
. "$here/scripts/lib/private-display.sh"
wine_pick_loader "$exe" || exit 1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

wineserver -w   # a fresh Wine session, so that it takes this display
start_private_display 640x480x24 || exit 1

"$wine_loader" "$exe" >"$work/program.log" 2>&1 &
program=$!
win=
for _ in $(seq 100); do
    win=$(xdotool search --name '^Norvathel$' 2>/dev/null | head -1) && [ -n "$win" ] && break
    sleep 0.1
done

# Drawn: the heading's green (0, 150, 50), found nowhere but in a painted frame, is there, and
# two captures in a row agree, so the controls have painted themselves too.
heading_pixels() { convert "$1" txt:- 2>/dev/null | grep -ci '#009632'; }
drawn() {
    [ "$(heading_pixels "$work/shot.png")" -gt 20 ] && [ -f "$work/previous.png" ] &&
        [ "$(compare -metric AE "$work/shot.png" "$work/previous.png" null: 2>&1)" = 0 ]
}

status=1
if [ -n "$win" ]; then
    geometry=$(xdotool getwindowgeometry --shell "$win")
    value() { sed -n "s/^$1=\([0-9]*\)$/\1/p" <<<"$geometry"; }
    crop="$(value WIDTH)x$(value HEIGHT)+$(value X)+$(value Y)"
    mkdir -p "$(dirname -- "$png")"
    for _ in $(seq 100); do
        import -window root -crop "$crop" +repage "$work/shot.png" 2>/dev/null &&
            drawn && { status=0; break; }
        [ -f "$work/shot.png" ] && mv "$work/shot.png" "$work/previous.png"
        sleep 0.2
    done
    if [ $status = 0 ]; then
        cp "$work/shot.png" "$png"
        echo "screenshot of the window: $png"
    else
        echo "error: the window did not draw its board within 20 s" >&2
    fi
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
stop_private_display
exit $status
