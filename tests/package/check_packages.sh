#!/bin/bash
# Checks the releases in DIST as their users get them (scripts/package.sh runs it):
#   the .debs   lintian --pedantic; unpacked into a scratch root and used there: the tool, its
#               manual pages at 80 columns, the README and example style beside them, the
#               library's exports and symbols file, a consumer through find_package and
#               through pkg-config, and README.md's own examples
#   the zips    unpacked; the programs stripped; the tool given non-ASCII prefixes, the window
#               driven by the end-to-end harness, the import library linked by an MSVC-style
#               linker, all from the unpacked folder
#   installers  each run silently in a fresh Wine prefix whose PATH is over 1,024 characters,
#               the installed program started, the Start-menu entries (the program, a console),
#               the Apps and Features entry and the program folder on PATH checked, then
#               uninstalled, leaving nothing behind and PATH as it was
# 32-bit Windows packages are run only where 32-bit programs run; elsewhere their headers are
# checked and their other checks counted as skipped. One line per check ("ok:", "FAIL:",
# "skipped:"), then "packages: N passed, N failed, N skipped"; exit 1 on any failure.
#   check_packages.sh DIST WORK      WORK holds the staging folders and gui_harness-ARCH.exe
set -uo pipefail
dist=$(realpath "$1") work=$(realpath "$2")
here=$(cd "$(dirname -- "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
lib=$root/scripts/lib   # the shell helpers
version=$(sed -n 's/^project(norvathel VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
major=${version%%.*}
scratch=$work/check
rm -rf "$scratch" && mkdir -p "$scratch"

passed=0 failed=0 skipped=0
ok() { echo "ok: $*"; passed=$((passed + 1)); }
fail() { echo "FAIL: $*"; failed=$((failed + 1)); }
skip() { echo "skipped: $*"; skipped=$((skipped + 1)); }
check() {   # check WHAT COMMAND...: the command's output is shown only when it fails
    local what=$1 out
    shift
    if out=$("$@" 2>&1); then ok "$what"; else fail "$what"; printf '%s\n' "$out" | tail -20 | sed 's/^/    /'; fi
}
expect() {   # expect TEXT PATTERN: TEXT matches the extended regular expression PATTERN
    grep -Eq -- "$2" <<<"$1" || { echo "expected /$2/, got:"; printf '%s\n' "$1" | head -20; return 1; }
}

# --- the Debian packages ------------------------------------------------------------------
debs=("$dist/libnorvathel${major}_${version}_amd64.deb" "$dist/libnorvathel-dev_${version}_amd64.deb"
      "$dist/norvathel-names_${version}_amd64.deb" "$dist/python3-norvathel_${version}_amd64.deb")
sysroot=$scratch/root
multiarch=$(dpkg-architecture -qDEB_HOST_MULTIARCH)
libdir=$sysroot/usr/lib/$multiarch

lintian_clean() {
    local out
    out=$(lintian --pedantic -I "${debs[@]}" 2>&1 | grep -v 'running with root privileges')
    [ -z "$out" ] || { printf '%s\n' "$out"; return 1; }
}
unpack_debs() {
    local deb
    for deb in "${debs[@]}"; do dpkg -x "$deb" "$sysroot" || return 1; done
}
control_fields() {
    expect "$(dpkg-deb -f "${debs[1]}" Depends)" "^libnorvathel$major \(= $version\)$" &&
    expect "$(dpkg-deb -f "${debs[2]}" Suggests)" 'bash-completion' &&
    expect "$(dpkg-deb -f "${debs[0]}" Depends)" '^libc6' &&
    expect "$(dpkg-deb -f "${debs[3]}" Depends)" '^python3 \(>= 3\.[0-9]+~\), python3 \(<< 3\.[0-9]+\), libc6'
}
# The Python package as Debian's python3 finds it once installed: the same names as the tool,
# and the README's Python examples as written, the pytest fixture loaded by its entry point.
python_package() {
    local packages=$sysroot/usr/lib/python3/dist-packages names
    names=$(LD_LIBRARY_PATH=$libdir "$sysroot/usr/bin/norvathel-names" --seed 1 --female --count 3 | paste -sd,)
    expect "$(PYTHONPATH=$packages /usr/bin/python3 -c 'import norvathel; print(",".join(norvathel.names(3, seed=1, gender="female")))')" \
        "^$names$" &&
    (cd "$scratch" && PYTHONPATH=$packages PYTHONDONTWRITEBYTECODE=1 /usr/bin/python3 "$root/tests/readme_python_examples.py" "$root/README.md")
}
tool_runs() {
    local tool=$sysroot/usr/bin/norvathel-names
    expect "$("$tool" --version)" "^norvathel-names $version$" &&
    expect "$("$tool" --clock 1000000000 --boards start | head -1)" '^Glicia$'
}
manual_renders() {   # both pages, as lintian's manpage check renders them
    local page out
    for page in man1/norvathel-names.1.gz man5/norvathel-style.5.gz; do
        out=$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z \
              "$sysroot/usr/share/man/$page" 2>&1 >/dev/null) || { echo "$page: man failed"; return 1; }
        [ -z "$out" ] || { echo "$page:"; printf '%s\n' "$out"; return 1; }
    done
}
# What the tool's pages point to: the README and classic.toml, the same as in the sources, and
# norvathel-names(1) naming both with norvathel-style(5).
tool_documents() {
    local doc=$sysroot/usr/share/doc/norvathel-names page
    zcmp "$doc/README.md.gz" "$root/README.md" &&
    cmp "$doc/examples/classic.toml" "$root/styles/classic.toml" &&
    expect "$("$sysroot/usr/bin/norvathel-names" --style "$doc/examples/classic.toml" --clock 1000000000 --boards start | head -1)" '^Glicia$' || return 1
    page=$(zcat "$sysroot/usr/share/man/man1/norvathel-names.1.gz")
    expect "$page" '^\.BR (\\%)?norvathel-style \(5\)' && expect "$page" 'README\.md\.gz' &&
    expect "$page" 'examples/classic\.toml' &&
    expect "$(zcat "$sysroot/usr/share/man/man5/norvathel-style.5.gz")" '^\.TH NORVATHEL-STYLE 5 .*Norvathel '"$version"
}
# Only the C functions, each under the version node of its SONAME; and the symbols file says
# the same (dpkg-gensymbols fails on any difference, naming it).
exports_versioned() {
    local library=$libdir/libnorvathel.so.$major out bad
    out=$(nm -D --defined-only "$library") || return 1
    bad=$(grep -Ev " A NORVATHEL_$major\$| T norvathel_[a-z0-9_]+@@NORVATHEL_$major\$" <<<"$out")
    [ -z "$bad" ] || { echo "unexpected exports:"; printf '%s\n' "$bad"; return 1; }
    expect "$out" ' T norvathel_stream_create@@'
}
symbols_match() {
    local gen=$scratch/gensymbols
    mkdir -p "$gen/debian" "$gen/DEBIAN" && : >"$gen/debian/control"
    dpkg-deb -e "${debs[0]}" "$gen/DEBIAN" &&
    (cd "$gen" && dpkg-gensymbols -c4 "-plibnorvathel$major" "-v$version" "-P$sysroot" \
        "-e$libdir/libnorvathel.so.$major" "-I$gen/DEBIAN/symbols" "-O$gen/symbols")
}
consumer_cmake() {
    local build=$scratch/consumer
    cmake -S "$root/tests/package/consumer" -B "$build" -DCMAKE_PREFIX_PATH="$sysroot/usr" \
          -DCMAKE_BUILD_TYPE=Release >/dev/null && cmake --build "$build" >/dev/null &&
    expect "$("$build/game")" '^Glicia Sojazheta Sheowandra$' &&
    expect "$("$build/ctool")" '^El[a-z]*ia$'
}
# pkg-config as a user of the installed package sees it (plain paths), then through a sysroot.
consumer_pkg_config() {
    local pc=$libdir/pkgconfig
    expect "$(PKG_CONFIG_PATH=$pc pkg-config --variable=includedir norvathel)" '^/usr/include$' &&
    ! PKG_CONFIG_PATH=$pc pkg-config --cflags norvathel | grep -q pkgconfig &&
    PKG_CONFIG_PATH=$pc PKG_CONFIG_SYSROOT_DIR=$sysroot cc -std=c99 "$root/tests/package/consumer/ctool.c" \
        $(PKG_CONFIG_PATH=$pc PKG_CONFIG_SYSROOT_DIR=$sysroot pkg-config --cflags --libs norvathel) \
        -o "$scratch/ctool-pc" &&
    expect "$(LD_LIBRARY_PATH=$libdir "$scratch/ctool-pc")" '^El[a-z]*ia$'
}

echo "--- Debian packages"
check "lintian --pedantic: nothing that is not overridden with a reason" lintian_clean
if check "the four packages unpack into a scratch root" unpack_debs; then
    check "control fields: the -dev package needs its library, the tool suggests bash-completion, the Python package its python3" control_fields
    check "python3-norvathel: Debian's python3 imports it and gets the tool's names; the README's Python examples run against it" python_package
    check "norvathel-names runs from the unpacked package" tool_runs
    check "the manual pages norvathel-names(1) and norvathel-style(5) render at 80 columns without warnings" manual_renders
    check "the README and examples/classic.toml in /usr/share/doc/norvathel-names, named by the manual" tool_documents
    check "libnorvathel.so.$major exports only norvathel_* functions, each versioned NORVATHEL_$major" exports_versioned
    check "the symbols file matches the library (dpkg-gensymbols -c4)" symbols_match
    check "a consumer builds through find_package(Norvathel) and runs" consumer_cmake
    check "a consumer builds through pkg-config and runs" consumer_pkg_config
    . "$here/check_readme.sh"
    check_readme_examples
fi

# --- Windows ------------------------------------------------------------------------------
# No desktop entries in $HOME for what the installers install, whatever the caller's setting.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
. "$lib/wine-env.sh" || { fail "the Wine prefix"; exit 1; }
. "$lib/private-display.sh"
start_private_display || { fail "a virtual display"; exit 1; }
trap 'wineserver -k 2>/dev/null; stop_private_display' EXIT

runs_here() { [ "$1" = x64 ] || [ "$NORVATHEL_RUN_WIN32" = 1 ]; }
run_check() {   # run_check ARCH WHAT COMMAND...: a check that runs a program of ARCH, or skipped
    if runs_here "$1"; then check "${@:2}"; else skip "$2 (not run: $NORVATHEL_NO_WIN32_REASON)"; fi
}
winpath() { wine_tool winepath -w "$1" 2>/dev/null; }

zip_contents() {
    local folder=$1 file
    for file in norvathel.exe norvathel-names.exe norvathel.dll norvathel.def norvathel.lib \
                include/norvathel_c.h Misc/dragon_bg.bmp README.txt LICENSE.txt; do
        [ -f "$folder/$file" ] || { echo "missing: $file"; return 1; }
    done
}
stripped() {
    local objdump=$1 file
    for file in "${@:2}"; do
        ! "$objdump" -h "$file" | grep -Eq ' \.debug_| \.stab' || { echo "not stripped: $file"; return 1; }
    done
}
pe_headers() {   # pe_headers OBJDUMP FOLDER ARCH
    local machine=$([ "$3" = x86 ] && echo i386 || echo x86-64)
    bash "$root/tests/pe/check_pe.sh" "$1" "$2/norvathel.exe" "$machine" gui 14:116 &&
    bash "$root/tests/pe/check_pe.sh" "$1" "$2/norvathel-names.exe" "$machine" console &&
    bash "$root/tests/pe/check_pe.sh" "$1" "$2/norvathel.dll" "$machine" dll
}
# Each prefix written to a file and read back: what a console-less user's redirect gets.
unicode_prefix() {   # unicode_prefix FOLDER PREFIX
    local out=$scratch/prefix.txt
    (cd "$1" && LC_ALL=C.UTF-8 wine_run ./norvathel-names.exe --seed 7 --count 5 --prefix "$2" >"$out") &&
    [ "$(tr -d '\r' <"$out" | grep -c "^$2[a-z]")" = 5 ] || { od -c "$out" | head; return 1; }
}
# A file given by a name no single-byte code page holds: opened by its wide name.
unicode_file_name() {   # unicode_file_name FOLDER
    local out=$scratch/keys.txt
    printf 'Aldric\nBrann\nCeinwen\n' >"$1/Ключи.txt"
    (cd "$1" && LC_ALL=C.UTF-8 wine_run ./norvathel-names.exe --keys Ключи.txt >"$out"); local code=$?
    rm -f "$1/Ключи.txt"
    [ "$code" = 0 ] && [ "$(tr -d '\r' <"$out" | grep -c '^[A-Z][a-z]*$')" = 3 ] ||
        { echo "exit code $code:"; cat "$out"; return 1; }
}
# A style file named in Cyrillic composes as the same file under a plain name.
unicode_style_file() {   # unicode_style_file FOLDER
    local style=$root/fuzz/corpus/style_file/murmur.toml plain cyrillic
    cp "$style" "$1/plain.toml" && cp "$style" "$1/Стиль.toml" || return 1
    plain=$(cd "$1" && wine_run ./norvathel-names.exe --style plain.toml --seed 3 --count 5)
    cyrillic=$(cd "$1" && LC_ALL=C.UTF-8 wine_run ./norvathel-names.exe --style Стиль.toml --seed 3 --count 5)
    local code=$?
    rm -f "$1/plain.toml" "$1/Стиль.toml"
    [ "$code" = 0 ] && [ "$(tr -d '\r' <<<"$plain" | grep -c '^[A-Z][a-z]*$')" = 5 ] && [ "$plain" = "$cyrillic" ] ||
        { echo "exit code $code; plain name: $plain; Cyrillic name: $cyrillic"; return 1; }
}
drive_window() {   # drive_window FOLDER HARNESS: the end-to-end harness, the program in FOLDER
    wineserver -w
    wine_run "$2" "$(winpath "$1/norvathel.exe")" "$(winpath "$1")" escape >"$scratch/harness.log" 2>&1 ||
        { tr -d '\r' <"$scratch/harness.log" | grep -v '^ok'; return 1; }
}
# norvathel.lib as Visual C++ uses it: a program linked by lld-link (Microsoft's linker's
# command line and library format) against it alone, calling the DLL from the unpacked folder.
msvc_import_library() {   # msvc_import_library FOLDER ARCH
    local folder=$1 target entry expected
    if [ "$2" = x86 ]; then target=i686-pc-windows-msvc; else target=x86_64-pc-windows-msvc; fi
    cat >"$scratch/msvc.c" <<'EOF'
#include "norvathel_c.h"
/* No C runtime: the entry point returns the low bits of a word's seed as the exit code. */
int start(void) { return (int)(norvathel_seed_from_word("a") & 0x7f); }
EOF
    clang --target=$target -ffreestanding -O1 -c "$scratch/msvc.c" -I"$folder/include" \
          -o "$scratch/msvc.obj" &&
    lld-link /nologo /nodefaultlib /entry:start /subsystem:console "$scratch/msvc.obj" \
          "$folder/norvathel.lib" /out:"$folder/msvc-linked.exe" || return 1
    # FNV-1a of "a" is 0xaf63dc4c8601ec8c: its low seven bits are 12.
    (cd "$folder" && wine_run ./msvc-linked.exe); expected=$?
    rm -f "$folder/msvc-linked.exe"
    [ "$expected" = 12 ] || { echo "exit code $expected, expected 12"; return 1; }
}

# What the zip's README says for MinGW: a program links norvathel.dll itself.
mingw_links_dll() {   # mingw_links_dll FOLDER ARCH
    local cc=$([ "$2" = x86 ] && echo i686 || echo x86_64)-w64-mingw32-gcc
    local entry=$([ "$2" = x86 ] && echo _start || echo start)   # i386 C names begin with _
    "$cc" -std=c99 -DNORVATHEL_C_USING_DLL -I"$1/include" "$scratch/msvc.c" -nostartfiles -e "$entry" \
        "$1/norvathel.dll" -o "$1/mingw-linked.exe" || return 1
    (cd "$1" && wine_run ./mingw-linked.exe); local code=$?
    rm -f "$1/mingw-linked.exe"
    [ "$code" = 12 ] || { echo "exit code $code, expected 12"; return 1; }
}

check_zip() {   # check_zip ARCH
    local arch=$1 name=norvathel-$version-windows-$1 folder objdump
    folder=$scratch/unzipped-$arch/$name
    mkdir -p "$scratch/unzipped-$arch" && (cd "$scratch/unzipped-$arch" && unzip -q "$dist/$name.zip")
    objdump=$([ "$arch" = x86 ] && echo i686 || echo x86_64)-w64-mingw32-objdump
    check "$name.zip: holds the programs, the DLL with .def and .lib, header, picture, texts" zip_contents "$folder"
    check "$name.zip: programs and DLL stripped" stripped "$objdump" "$folder"/*.exe "$folder"/*.dll
    check "$name.zip: PE headers (machine, subsystem, system DLLs only, resources)" pe_headers "$objdump" "$folder" "$arch"
    run_check "$arch" "$name.zip: norvathel-names.exe --prefix Ål writes it intact as UTF-8" unicode_prefix "$folder" Ål
    run_check "$arch" "$name.zip: norvathel-names.exe with a Cyrillic prefix writes it intact as UTF-8" unicode_prefix "$folder" Жуй
    run_check "$arch" "$name.zip: norvathel-names.exe --keys opens a file named in Cyrillic" unicode_file_name "$folder"
    run_check "$arch" "$name.zip: norvathel-names.exe --style opens a style file named in Cyrillic" unicode_style_file "$folder"
    run_check "$arch" "$name.zip: the window, driven by the end-to-end harness in the unpacked folder" \
        drive_window "$folder" "$work/gui_harness-$arch.exe"
    run_check "$arch" "$name.zip: norvathel.lib links with lld-link and the program calls the DLL" msvc_import_library "$folder" "$arch"
    run_check "$arch" "$name.zip: a MinGW program links norvathel.dll itself and calls it" mingw_links_dll "$folder" "$arch"
}

# --- the installers -----------------------------------------------------------------------
installer_headers() {   # installer_headers SETUP ARCH
    local format=$([ "$2" = x86 ] && echo pei-i386 || echo pei-x86-64)
    x86_64-w64-mingw32-objdump -f "$1" | grep -q "file format $format" || { echo "not $format"; return 1; }
    # The version information (VIAddVersionKey) is there, in UTF-16 as resources keep it.
    strings -el "$1" | grep -qx "$version" && strings -el "$1" | grep -qx ProductVersion ||
        { echo "no version information"; return 1; }
    # The installer's icon is the program's: the image of app.ico (after its 22 bytes of
    # header and directory) is among the installer's resources.
    python3 -c 'import sys; ico = open(sys.argv[1], "rb").read(); sys.exit(ico[22:] not in open(sys.argv[2], "rb").read())' \
        "$root/resources/app.ico" "$1" || { echo "the installer does not carry the program's icon"; return 1; }
}
files_in_prefix() { (cd "$WINEPREFIX/drive_c" && find . -printf '%P\n' | grep -Eiv '(^|/)temp(/|$)' | sort); }
program_files() { [ "$1" = x86 ] && echo "Program Files (x86)" || echo "Program Files"; }
start_menu_entry() { echo "$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Norvathel${1:+ $1}.lnk"; }
# The machine's PATH as "TYPE VALUE", from the registry.
environment_key='HKLM\SYSTEM\CurrentControlSet\Control\Session Manager\Environment'
machine_path() {
    wine_tool reg query "$environment_key" /v Path 2>/dev/null | tr -d '\r' |
        sed -n 's/^ *Path  *\(REG_[A-Z_]*\)  *\(.*\)$/\1 \2/p'
}
# A PATH longer than NSIS's 1,024-character strings before the install: Wine's own entries,
# then unexpanded ones, an empty one and a trailing separator, as real machines have them.
long_machine_path() {
    local value i
    value=$(machine_path) && [ "${value%% *}" = REG_EXPAND_SZ ] || { echo "no PATH in the registry: $value"; return 1; }
    value=${value#* }
    for i in $(seq 1 40); do value+=";%ProgramFiles%\\Long Tool $i\\bin"; done
    value+=';;C:\Tools;'
    wine_tool reg add "$environment_key" /v Path /t REG_EXPAND_SZ /d "$value" /f >/dev/null &&
    [ "$(machine_path)" = "REG_EXPAND_SZ $value" ] && [ ${#value} -gt 1100 ] ||
        { echo "the long PATH was not set (${#value} characters): $(machine_path)"; return 1; }
    machine_path >"$1"
}
uninstall_key() {
    wine_tool reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Norvathel' \
        "/reg:$([ "$1" = x86 ] && echo 32 || echo 64)" 2>/dev/null | tr -d '\r'
}
installed() {   # installed ARCH: the files, the Start-menu entry and the Apps and Features entry
    local dir=$WINEPREFIX/drive_c/$(program_files "$1")/Norvathel key
    zip_contents "$dir" && [ -f "$dir/uninstall.exe" ] || return 1
    # The entry starts the program in its own folder (the working folder, kept in UTF-16).
    [ -f "$(start_menu_entry)" ] || { echo "no Start-menu entry"; return 1; }
    # (A string is kept after its length, which can read as a character: cut before "C:".)
    strings -el "$(start_menu_entry)" | sed 's/^.*C:/C:/' | grep -Fqix "C:\\$(program_files "$1")\\Norvathel" ||
        { echo "the entry's working folder is not the install folder:"; strings -el "$(start_menu_entry)"; return 1; }
    # The console entry: cmd.exe, kept open, in the install folder.
    [ -f "$(start_menu_entry "command line")" ] || { echo "no Start-menu entry for the command line"; return 1; }
    strings -el "$(start_menu_entry "command line")" | sed 's/^.*C:/C:/' | grep -Fqix "C:\\$(program_files "$1")\\Norvathel" &&
    strings -el "$(start_menu_entry "command line")" | grep -qix 'cmd\.exe' &&
    strings -el "$(start_menu_entry "command line")" | grep -Fq '/k norvathel-names --version' ||
        { echo "the command-line entry is not cmd.exe /k in the install folder:"; strings -el "$(start_menu_entry "command line")"; return 1; }
    key=$(uninstall_key "$1")
    expect "$key" "DisplayVersion +REG_SZ +$version" && expect "$key" 'UninstallString +REG_SZ +"C:.*uninstall.exe"' &&
    expect "$key" 'DisplayIcon +REG_SZ +C:.*norvathel.exe,0'
}
installed_program_runs() {   # installed_program_runs ARCH HARNESS
    local dir=$WINEPREFIX/drive_c/$(program_files "$1")/Norvathel
    expect "$(cd "$dir" && wine_run ./norvathel-names.exe --version | tr -d '\r')" "^norvathel-names $version$" &&
    expect "$(cd "$dir" && wine_run ./norvathel-names.exe --help | tr -d '\r' | tail -1)" '^More in README\.txt, beside norvathel-names\.exe\.$' &&
    [ -f "$dir/README.txt" ] && drive_window "$dir" "$2"
}
# The PATH as before with the install folder added at its end (before the trailing separator
# that the long PATH keeps), its type kept; a console elsewhere finds the tool by its bare name
# on that PATH. (Wine gives a process only about 1,000 characters of the registry's PATH, and
# its cmd stops at an empty entry: the console is given the value itself, empty entries out.)
on_machine_path() {   # on_machine_path ARCH BEFORE
    local expected path
    expected="$(cat "$2")C:\\$(program_files "$1")\\Norvathel;"
    [ "$(machine_path)" = "$expected" ] ||
        { echo "PATH after the install:"; machine_path; echo "expected:"; echo "$expected"; return 1; }
    path=${expected#* } && path=${path//;;/;}
    expect "$(cd "$WINEPREFIX/drive_c" && wine_tool cmd /c "set PATH=$path&& cd /d C:\\&& norvathel-names --version" | tr -d '\r')" \
        "^norvathel-names $version$"
}
uninstalled() {   # uninstalled ARCH BEFORE PATH: the files and PATH as before, no registry trace
    local dir=$WINEPREFIX/drive_c/$(program_files "$1")/Norvathel
    wine_run "$dir/uninstall.exe" /S || return 1
    wineserver -w   # the uninstaller runs again from a copy of itself, and returns at once
    diff <(cat "$2") <(files_in_prefix) || return 1
    diff <(cat "$3") <(machine_path) || { echo "PATH not as before the install"; return 1; }
    ! grep -il norvathel "$WINEPREFIX"/*.reg || { echo "registry entries left"; return 1; }
}
check_installer() {   # check_installer ARCH
    local arch=$1 setup=norvathel-$version-setup-$1.exe
    check "$setup: a $([ "$arch" = x86 ] && echo 32 || echo 64)-bit installer with the program's icon and version information" \
        installer_headers "$dist/$setup" "$arch"
    if ! runs_here "$arch"; then
        for what in "a PATH of over 1,024 characters set" "/S installs silently" \
                    "files, Start-menu entries, Apps and Features entry" "the installed programs start" \
                    "PATH: the install folder added, every other entry kept" \
                    "the uninstaller (/S) removes everything it installed, PATH as before"; do
            skip "$setup: $what (not run: $NORVATHEL_NO_WIN32_REASON)"
        done
        return
    fi
    # A fresh prefix, as on a machine that never had Norvathel.
    wineserver -w
    export WINEPREFIX=$scratch/prefix-$arch
    . "$lib/wine-env.sh"
    check "$setup: a PATH of over 1,024 characters set before the install" \
        long_machine_path "$scratch/path-$arch.txt"
    files_in_prefix >"$scratch/before-$arch.txt"
    if check "$setup /S installs silently" wine_run "$dist/$setup" /S; then
        wineserver -w
        check "$setup: files, Start-menu entries for the program and a console (working folder: the install folder), Apps and Features entry" installed "$arch"
        check "$setup: the installed programs start; --help names the README.txt beside them" \
            installed_program_runs "$arch" "$work/gui_harness-$arch.exe"
        check "$setup: PATH: the install folder added, every other entry kept; a console finds norvathel-names" \
            on_machine_path "$arch" "$scratch/path-$arch.txt"
        check "$setup: the uninstaller (/S) removes everything it installed, PATH as before" \
            uninstalled "$arch" "$scratch/before-$arch.txt" "$scratch/path-$arch.txt"
    fi
    wineserver -w
    export WINEPREFIX=$root/build/wineprefix
}

echo "--- Windows zips and installers"
for arch in x64 x86; do
    check_zip "$arch"
    check_installer "$arch"
done

echo "packages: $passed passed, $failed failed, $skipped skipped"
[ "$failed" -eq 0 ]
