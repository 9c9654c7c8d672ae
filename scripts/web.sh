#!/bin/bash
# The web page and the npm package: builds the composer as WebAssembly (preset wasm), the
# package folder and the page (build/web/), packs the tarball into build/dist, and serves the
# page on 127.0.0.1 for a person to try it.
#   bash scripts/web.sh [PORT]        build, then serve on PORT (default 8080) until Ctrl+C
#   bash scripts/web.sh --build       build and pack only
#   bash scripts/web.sh --screenshot  build, then photograph the page in headless chromium
#                                     into docs/web-page.png (the README's picture)
set -euo pipefail
cd "$(dirname -- "$0")/.."

bash scripts/install-deps.sh web >/dev/null
echo "==> building the composer as WebAssembly (preset wasm)"
cmake --preset wasm >build/web-configure.log 2>&1 || { cat build/web-configure.log; exit 1; }
cmake --build --preset wasm -j2 >build/web-build.log 2>&1 || { tail -40 build/web-build.log; exit 1; }
node web/tools/build.mjs
mkdir -p build/dist
tarball=$(npm pack --silent --pack-destination build/dist build/web/package)
kb() { awk -v bytes="$1" 'BEGIN { printf "%.1f KB", bytes / 1024 }'; }
module=build/wasm/web/norvathel.wasm
echo "==> module: $module ($(kb "$(stat -c %s "$module")"), $(kb "$(gzip -9c "$module" | wc -c)") compressed)"
echo "==> npm package: build/dist/$tarball ($(kb "$(stat -c %s "build/dist/$tarball")"))"
echo "==> page: build/web/page ($(kb "$(du -cb build/web/page/* | tail -1 | cut -f1)") in $(ls build/web/page | wc -l) files, $(kb "$(cat build/web/page/* | gzip -9c | wc -c)") compressed)"

case "${1:-}" in
--build) exit 0 ;;
--screenshot)
    # The first browser test composes the reference boards and photographs the page.
    [ -x build/release/cli/norvathel-names ] || [ -x build/native/cli/norvathel-names ] || {
        cmake --preset release >/dev/null && cmake --build --preset release -j2 --target norvathel-names >/dev/null; }
    NORVATHEL_WEB_SCREENSHOT=$PWD/docs/web-page.png node --test --test-name-pattern='buttons and the prefix box' web/test/page.test.mjs
    echo "==> docs/web-page.png"
    exit 0 ;;
esac
exec node web/tools/serve.mjs build/web/page "${1:-8080}"
