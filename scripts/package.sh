#!/bin/bash
# Builds the releases from clean build folders into build/dist/, then checks every one of them
# (tests/package/check_packages.sh):
#   libnorvathelN_<version>_amd64.deb       the C library libnorvathel.so.N
#   libnorvathel-dev_<version>_amd64.deb    headers, .so link, static C++ composer, CMake, .pc
#   norvathel-names_<version>_amd64.deb     the tool, its manual pages and bash completion
#   python3-norvathel_<version>_amd64.deb   the Python package for Debian's python3
#   norvathel-<version>-windows-x86.zip, -x64.zip
#       norvathel.exe, norvathel-names.exe, norvathel.dll with norvathel.def and norvathel.lib
#       (for Visual C++), include/norvathel_c.h, Misc/dragon_bg.bmp, README.txt, LICENSE.txt
#   norvathel-<version>-setup-x86.exe, -x64.exe    the same as installers (NSIS)
#   norvathel-<version>.tar.gz, norvathel-<version>-cp311-...whl   the Python package
# The .debs are built as Debian builds packages: dpkg-buildflags' hardening flags, stripped of
# debugging information and .comment sections. Windows programs are stripped too.
#   PACKAGE_NO_CHECK=1 package.sh    builds only
set -euo pipefail
cd "$(dirname -- "$0")/.."
root=$PWD

bash scripts/install-deps.sh packaging

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

# --- the Debian packages ------------------------------------------------------------------
say "building the Debian packages"
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
flags() { dpkg-buildflags --get "$1"; }
# CMake reads CFLAGS, CXXFLAGS and LDFLAGS, not CPPFLAGS (-D_FORTIFY_SOURCE=2): joined here.
CFLAGS="$(flags CFLAGS) $(flags CPPFLAGS)" CXXFLAGS="$(flags CXXFLAGS) $(flags CPPFLAGS)" \
LDFLAGS=$(flags LDFLAGS) quietly deb-configure \
    cmake -S . -B "$work/linux" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
        -DNORVATHEL_TESTS=OFF -DNORVATHEL_STATIC_TOOL=OFF -DNORVATHEL_PYTHON_PACKAGE=ON \
        -DCMAKE_STRIP="$root/packaging/debian-strip.sh"
quietly deb-build cmake --build "$work/linux" -j2
(cd "$work/linux" && quietly deb-cpack cpack -G DEB && cp ./*.deb "$dist/")

# --- the Windows zips ---------------------------------------------------------------------
crlf() { sed 's/\r*$/\r/' "$1" >"$2"; }
cache() { grep -m1 "^$2:" "$1/CMakeCache.txt" | cut -d= -f2-; }

package_windows() {   # package_windows PRESET ARCH-NAME
    local preset=$1 arch=$2 build=$work/$1
    local name=norvathel-$version-windows-$arch
    local stage=$work/$name strip objdump machine
    say "building $name.zip"
    # Tests on, for the end-to-end harness that drives the unpacked program.
    quietly "$preset-configure" cmake --preset "$preset" -B "$build" -DNORVATHEL_TESTS=ON
    quietly "$preset-build" cmake --build "$build" -j2 \
        --target norvathel norvathel-names norvathel_c gui_harness path_entry
    strip=$(cache "$build" CMAKE_STRIP) objdump=$(cache "$build" CMAKE_OBJDUMP)
    mkdir -p "$stage/Misc" "$stage/include"
    cp "$build/shell/norvathel.exe" "$build/cli/norvathel-names.exe" "$build/capi/norvathel.dll" \
       "$build/capi/norvathel.def" "$stage/"
    "$strip" --strip-all "$stage/norvathel.exe" "$stage/norvathel-names.exe" "$stage/norvathel.dll"
    # Named, so that "lib /def:norvathel.def" makes an import library for norvathel.dll whatever
    # the file is called.
    sed -i '1i LIBRARY norvathel.dll' "$stage/norvathel.def"
    # The import library for Visual C++, in the format Microsoft's linker writes.
    machine=$([ "$arch" = x86 ] && echo i386 || echo i386:x86-64)
    llvm-dlltool -m "$machine" -d "$stage/norvathel.def" -D norvathel.dll -l "$stage/norvathel.lib"
    cp Misc/dragon_bg.bmp "$stage/Misc/"
    cp capi/include/norvathel/norvathel_c.h "$stage/include/"
    sed "s/@PROJECT_VERSION@/$version/" packaging/README.txt.in >"$work/README.txt"
    crlf "$work/README.txt" "$stage/README.txt"
    crlf LICENSE "$stage/LICENSE.txt"
    for exe in "$stage"/*.exe "$stage"/*.dll; do
        bash tests/pe/check_pe.sh "$objdump" "$exe" "$([ "$arch" = x86 ] && echo i386 || echo x86-64)" \
            "$(case ${exe##*/} in norvathel.exe) echo gui ;; *.dll) echo dll ;; *) echo console ;; esac)" \
            >"$log-$name-pe.txt" || { cat "$log-$name-pe.txt"; exit 1; }
    done
    (cd "$work" && zip -qrX "$dist/$name.zip" "$name")
    cp "$build/tests/gui/gui_harness.exe" "$work/gui_harness-$arch.exe"
    # The installer's PATH helper: carried in the installer, not in the zip.
    "$strip" --strip-all -o "$work/path_entry-$arch.exe" "$build/packaging/path_entry.exe"
    bash tests/pe/check_pe.sh "$objdump" "$work/path_entry-$arch.exe" \
        "$([ "$arch" = x86 ] && echo i386 || echo x86-64)" gui >"$log-$name-pe.txt" ||
        { cat "$log-$name-pe.txt"; exit 1; }
}

# The installer's file lists from the staged folder: what it installs, what it removes.
nsis_file_lists() {   # nsis_file_lists STAGE > files.nsh
    local stage=$1 dir file
    echo "!define SIZE_KB $(du -sk "$stage" | cut -f1)"
    echo '!macro FilesInstall'
    while read -r dir; do
        echo "  SetOutPath \"\$INSTDIR${dir:+\\${dir//\//\\}}\""
        find "$stage/$dir" -maxdepth 1 -type f -printf '%f\n' | sort |
            while read -r file; do echo "  File \"$stage/${dir:+$dir/}$file\""; done
    done < <(cd "$stage" && find . -type d -printf '%P\n' | sort)
    echo '!macroend'
    echo '!macro FilesRemove'
    (cd "$stage" && find . -type f -printf '%P\n' | sort) |
        while read -r file; do echo "  Delete \"\$INSTDIR\\${file//\//\\}\""; done
    (cd "$stage" && find . -mindepth 1 -type d -printf '%P\n' | sort -r) |
        while read -r dir; do echo "  RMDir \"\$INSTDIR\\${dir//\//\\}\""; done
    echo '!macroend'
}

build_installer() {   # build_installer ARCH-NAME
    local arch=$1 stage=$work/norvathel-$version-windows-$1
    local setup=norvathel-$version-setup-$arch.exe
    say "building $setup"
    nsis_file_lists "$stage" >"$work/files-$arch.nsh"
    quietly "nsis-$arch" makensis -V2 -DVERSION="$version" -DARCH="$arch" -DSTAGE="$stage" \
        -DFILES="$work/files-$arch.nsh" -DICON="$root/resources/app.ico" \
        -DPATH_HELPER="$work/path_entry-$arch.exe" \
        -DOUTFILE="$dist/$setup" packaging/norvathel.nsi
}

for arch in x86 x64; do
    package_windows "$([ $arch = x86 ] && echo win32 || echo win64)" "$arch"
    build_installer "$arch"
done

# --- the Python package ---------------------------------------------------------------------
# The sdist and the wheel built from it, each installed into a fresh virtual environment and
# used there, with the README's Python examples (scripts/python.sh).
say "building the Python package (sdist and wheel)"
quietly python bash scripts/python.sh

say "built: build/dist/"
(cd "$dist" && ls -l --block-size=K)
[ "${PACKAGE_NO_CHECK:-}" = 1 ] || bash tests/package/check_packages.sh "$dist" "$work"
