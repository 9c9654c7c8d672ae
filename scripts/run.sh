#!/bin/bash
# Builds Norvathel with MinGW-w64 and runs it under Wine. Installs what is missing.
# The 32-bit program (the release target) where this machine runs 32-bit code, else the 64-bit
# one. On a display ($DISPLAY set) the window stays until you close it. Without one, the program
# runs on a private virtual display, a screenshot of it is saved, and it is closed.
set -euo pipefail
cd "$(dirname -- "$0")/.."

bash scripts/install-deps.sh run
. scripts/lib/probe-32bit.sh
if [ "$NORVATHEL_RUN_WIN32" = 1 ]; then
    preset=win32
else
    preset=win64
    echo "==> running the 64-bit program: $NORVATHEL_NO_WIN32_REASON"
fi

echo "==> building the program (preset $preset)"
mkdir -p build
log=build/build-$preset.log
{ cmake --preset $preset && cmake --build --preset $preset -j2 --target norvathel norvathel-names; } \
    >"$log" 2>&1 || { tail -60 "$log"; echo "error: the build failed (whole log: $log)" >&2; exit 1; }
exe=build/$preset/shell/norvathel.exe

. scripts/lib/wine-env.sh
if [ -n "${DISPLAY:-}" ]; then
    echo "==> running $exe on $DISPLAY (close the window or press Escape to end it)"
    wine_run "$exe" && rc=0 || rc=$?
    echo "exit code: $rc"
else
    echo "==> no display: running $exe on a virtual one"
    bash scripts/screenshot.sh "$exe" build/norvathel-screenshot.png
fi
