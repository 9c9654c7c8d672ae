#!/bin/bash
# Builds Norvathel (32-bit Windows, MinGW-w64) and runs it under Wine. Installs what is missing.
# On a display ($DISPLAY set) the window stays until you close it. Without one, the program runs
# for a few seconds on a virtual display, a screenshot of it is saved, and it is closed.
set -euo pipefail
cd "$(dirname -- "$0")/.."

bash scripts/install-deps.sh
echo "==> building the program (preset win32)"
mkdir -p build
cmake --preset win32 >build/configure-win32.log 2>&1 || { cat build/configure-win32.log; exit 1; }
cmake --build --preset win32 -j2 --target norvathel norvathel-names >/dev/null
exe=build/win32/shell/norvathel.exe

. cmake/wine-env.sh
if [ -n "${DISPLAY:-}" ]; then
    echo "==> running $exe on $DISPLAY (close the window or press Escape to end it)"
    wine "$exe" && rc=0 || rc=$?
    echo "exit code: $rc"
else
    echo "==> no display: running $exe on a virtual one for a few seconds"
    bash scripts/screenshot.sh "$exe" build/norvathel-screenshot.png 3
fi
