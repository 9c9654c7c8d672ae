#!/bin/bash
# Builds the releases from a clean build folder and writes them into build/dist/:
#   norvathel-<version>-windows-x86.zip, norvathel-<version>-windows-x64.zip
#       norvathel.exe, norvathel-names.exe, norvathel.dll and its header, Misc/dragon_bg.bmp,
#       README.txt and LICENSE.txt (CR LF)
#   norvathel_<version>_amd64.deb
#       the tool, its manual and completion, the C++ and C libraries with their headers, the
#       CMake package, norvathel.pc and the copyright file
# Then checks them: lintian on the .deb; each zip unpacked and its programs run from the
# unpacked folder under Wine (the 32-bit one where this machine runs 32-bit programs).
set -euo pipefail
cd "$(dirname -- "$0")/.."
root=$PWD

bash scripts/install-deps.sh --packaging
. scripts/lib/probe-32bit.sh

version=$(sed -n 's/^project(norvathel VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
[ -n "$version" ] || { echo "error: no version in CMakeLists.txt" >&2; exit 1; }
work=$root/build/package dist=$root/build/dist
rm -rf "$work" "$dist"
mkdir -p "$work" "$dist"
log=$work/log

say() { printf '==> %s\n' "$*"; }
quietly() {   # quietly LOGNAME COMMAND...: the command's output goes to a log, shown on failure
    "${@:2}" >"$log-$1.txt" 2>&1 || { tail -40 "$log-$1.txt"; echo "error: $1 failed" >&2; exit 1; }
}

# --- the Debian package -------------------------------------------------------------------
say "building the Debian package"
# A dynamically linked tool, as Debian wants its programs.
quietly deb-configure cmake -S . -B "$work/linux" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX=/usr -DNORVATHEL_TESTS=OFF -DNORVATHEL_STATIC_TOOL=OFF
quietly deb-build cmake --build "$work/linux" -j2
(cd "$work/linux" && quietly deb-cpack cpack -G DEB)
cp "$work/linux/norvathel_${version}_amd64.deb" "$dist/"
say "lintian"
lintian --fail-on error "$dist/norvathel_${version}_amd64.deb" 2>&1 | grep -v 'root privileges' |
    tee "$log-lintian.txt"; [ "${PIPESTATUS[0]}" = 0 ] || {
    echo "error: lintian reports errors" >&2; exit 1; }

# --- the Windows zips ---------------------------------------------------------------------
crlf() { sed 's/\r*$/\r/' "$1" >"$2"; }

package_windows() {   # package_windows PRESET ARCH-NAME
    local preset=$1 arch=$2 build=$work/$1
    local name=norvathel-$version-windows-$arch
    local stage=$work/$name
    say "building $name.zip"
    quietly "$preset-configure" cmake --preset "$preset" -B "$build" -DNORVATHEL_TESTS=OFF
    quietly "$preset-build" cmake --build "$build" -j2 --target norvathel norvathel-names norvathel_c
    mkdir -p "$stage/Misc" "$stage/include"
    cp "$build/shell/norvathel.exe" "$build/cli/norvathel-names.exe" "$build/names/norvathel.dll" "$stage/"
    cp Misc/dragon_bg.bmp "$stage/Misc/"
    cp capi/include/norvathel/norvathel_c.h "$stage/include/"
    sed "s/@PROJECT_VERSION@/$version/" packaging/README.txt.in >"$work/README.txt"
    crlf "$work/README.txt" "$stage/README.txt"
    crlf LICENSE "$stage/LICENSE.txt"
    for exe in "$stage"/*.exe "$stage"/*.dll; do
        bash tests/pe/check_pe.sh "$(grep -m1 '^CMAKE_OBJDUMP:' "$build/CMakeCache.txt" | cut -d= -f2)" \
            "$exe" "$([ "$arch" = x86 ] && echo i386 || echo x86-64)" \
            "$(case ${exe##*/} in norvathel.exe) echo gui ;; *.dll) echo dll ;; *) echo console ;; esac)" \
            >"$log-$name-pe.txt" ||
            { cat "$log-$name-pe.txt"; exit 1; }
    done
    (cd "$work" && rm -f "$dist/$name.zip" && zip -qrX "$dist/$name.zip" "$name")
}
package_windows win32 x86
package_windows win64 x64

# --- run what was packed, from the unpacked zips ------------------------------------------
. scripts/lib/wine-env.sh
check_zip() {   # check_zip ARCH-NAME
    local name=norvathel-$version-windows-$1 unpacked=$work/unpacked-$1
    rm -rf "$unpacked" && mkdir -p "$unpacked" && (cd "$unpacked" && unzip -q "$dist/$name.zip")
    if [ "$1" = x86 ] && [ "$NORVATHEL_RUN_WIN32" != 1 ]; then
        say "$name.zip: not run here ($NORVATHEL_NO_WIN32_REASON); its headers were checked"
        return
    fi
    say "$name.zip: running its programs from the unpacked folder"
    (cd "$unpacked/$name" && wine_run ./norvathel-names.exe --version) | tr -d '\r' |
        grep -qx "norvathel-names $version" || { echo "error: $name: norvathel-names.exe" >&2; exit 1; }
    bash scripts/screenshot.sh "$unpacked/$name/norvathel.exe" "$work/$name.png" "$unpacked/$name" \
        >"$log-$name-run.txt" 2>&1 || { cat "$log-$name-run.txt"; exit 1; }
}
check_zip x64
check_zip x86

say "done: build/dist/"
(cd "$dist" && ls -l --block-size=K)
