# Sourced by check_packages.sh, after the .debs are unpacked into $sysroot: README.md's own
# examples, taken from README.md as they stand, built and run against the unpacked packages,
# so that the README cannot drift from what ships.

# readme_block LANG HEADING: the first ```LANG block after the first heading that starts with
# HEADING.
readme_block() {
    awk -v lang="$1" -v heading="$2" '
        /^#+ / { if (index(substr($0, index($0, " ") + 1), heading) == 1) seen = 1 }
        { line = $0; sub(/^ +/, "", line) }   # a block inside a list item is indented
        seen && !inside && line == "```" lang { inside = 1; indent = length($0) - length(line); next }
        inside && line ~ /^```/ { exit }
        inside { print substr($0, indent + 1) }' "$root/README.md"
}

lines_match() {   # lines_match TEXT PATTERN COUNT: COUNT lines, each matching PATTERN
    local lines bad
    lines=$(grep -c '' <<<"$1") bad=$(grep -Evc -- "$2" <<<"$1")
    [ "$lines" = "$3" ] && [ "$bad" = 0 ] || { echo "expected $3 lines like /$2/, got:"; printf '%s\n' "$1" | head; return 1; }
}

readme_env() {   # the unpacked packages, as an installed system would offer them
    env PATH="$sysroot/usr/bin:$PATH" LD_LIBRARY_PATH="$libdir" PKG_CONFIG_PATH="$libdir/pkgconfig" \
        PKG_CONFIG_SYSROOT_DIR="$sysroot" "$@"
}

readme_install_names() {   # the package files the install command names are the ones built
    local block file count=0
    block=$(readme_block sh "Install") || return 1
    for file in $(grep -o '\./[^ ]*\.deb' <<<"$block"); do
        [ -f "$dist/${file#./}" ] || { echo "README installs $file, which package.sh does not make"; return 1; }
        count=$((count + 1))
    done
    [ "$count" = 4 ] || { echo "README's install command names $count packages, not 4"; return 1; }
    # And the Windows files the section names.
    for file in $(sed -n '/^## Install/,/^## [^I]/p' "$root/README.md" |
                  grep -oE 'norvathel-[0-9][0-9.]*-(setup|windows)-x(86|64)\.(exe|zip)'); do
        [ -f "$dist/$file" ] || { echo "README names $file, which package.sh does not make"; return 1; }
        count=$((count + 1))
    done
    [ "$count" -ge 5 ] || { echo "README's install section names no installer or zip"; return 1; }
}

readme_examples_build() {   # the CMake, C and C++ examples, built with the CMake example
    local dir=$scratch/readme
    mkdir -p "$dir"
    readme_block c "From C" >"$dir/tool.c" && readme_block cpp "The composer as a library" >"$dir/game.cpp" &&
    { printf 'cmake_minimum_required(VERSION 3.16)\nproject(readme C CXX)\n'; readme_block cmake "Using the library"; } \
        >"$dir/CMakeLists.txt" &&
    cmake -S "$dir" -B "$dir/build" -DCMAKE_PREFIX_PATH="$sysroot/usr" >/dev/null &&
    cmake --build "$dir/build" >/dev/null &&
    lines_match "$(readme_env "$dir/build/tool")" '^El[a-z]*ia$' 10 &&
    lines_match "$("$dir/build/game")" '^El[a-z]*ia$' 40 &&
    expect "$(readme_env "$dir/build/tool" | sort -u | wc -l)" '^10$'
}

readme_pkg_config() {   # the command line without CMake
    local dir=$scratch/readme-pc command
    mkdir -p "$dir" && readme_block c "From C" >"$dir/tool.c" || return 1
    command=$(readme_block sh "Using the library" | grep -m1 'pkg-config') || { echo "no pkg-config line"; return 1; }
    (cd "$dir" && readme_env bash -ec "$command") && expect "$(readme_env "$dir/tool" | head -1)" '^El[a-z]*ia$'
}

# Runs a Python script with ctypes.util.find_library answering PATH for "norvathel" (nothing
# when PATH is empty), so that what the example does with and without the library does not
# depend on whether this machine has our packages installed.
python_finding() {   # python_finding PATH SCRIPT
    python3 - "$1" "$2" <<'PYTHON'
import ctypes.util, runpy, sys
found = sys.argv[1] or None
ctypes.util.find_library = lambda name: found if name == "norvathel" else None
runpy.run_path(sys.argv[2], run_name="__main__")
PYTHON
}

readme_python() {   # the Python example; and, without the library, its message instead of a trace
    local script=$scratch/readme.py out
    readme_block python "From C" >"$script" || return 1
    lines_match "$(python_finding "$libdir/libnorvathel.so.2" "$script")" '^El[a-z]*$' 10 || return 1
    out=$(python_finding "" "$script" 2>&1) && { echo "ran without the library"; return 1; }
    expect "$out" 'libnorvathel' && ! grep -q Traceback <<<"$out"
}

readme_recipes() {   # every norvathel-names line of the tool's sections, run as written
    local dir=$scratch/readme-recipes line count=0 out
    mkdir -p "$dir"
    # The files the recipes read (ids, pieces, used names): a few lines each.
    for file in $( { readme_block sh "Command-line tool"; readme_block sh "Recipes"; } |
                   grep -oE -- '--(keys|exclude-file|exclude-names) [^ ]+' | cut -d' ' -f2 | sort -u); do
        printf 'npc-7\nth\nSala\n' >"$dir/$file"
    done
    # The style files they name: a style of the fuzz corpus.
    for file in $( { readme_block sh "Command-line tool"; readme_block sh "Recipes"; } |
                   grep -oE -- '--style [^ ]+\.toml' | cut -d' ' -f2 | sort -u); do
        cp "$root/fuzz/corpus/style_file/murmur.toml" "$dir/$file"
    done
    while IFS= read -r line; do
        [[ $line == norvathel-names* ]] || continue
        out=$(cd "$dir" && readme_env bash -ec "${line%%  #*}" 2>&1) || { echo "failed: $line"; echo "$out"; return 1; }
        count=$((count + 1))
    done < <(readme_block sh "Command-line tool"; readme_block sh "Recipes")
    [ "$count" -ge 8 ] || { echo "only $count recipes found"; return 1; }
    [ -s "$dir/names.csv" ] && [ -s "$dir/names.json" ]
}

check_readme_examples() {
    check "README: the packages, installer and zip it names are the ones built" readme_install_names
    check "README: the CMake, C and C++ examples build against the packages and run" readme_examples_build
    check "README: the pkg-config command line builds the C example" readme_pkg_config
    check "README: the Python example runs, and says what to do without the library" readme_python
    check "README: the tool's examples and recipes run with the packaged tool" readme_recipes
}
