#!/bin/bash
# Builds the Python package norvathel into build/dist/: an sdist (norvathel-VERSION.tar.gz,
# the composer's sources inside) and from it a wheel for the Python that builds it
# (norvathel-VERSION-cp311-cp311-linux_x86_64.whl with Debian 12's python3), offline, with
# Debian's python3-build, python3-setuptools, python3-wheel and pybind11. Then checks the
# wheel: installed into fresh virtual environments it imports, composes, registers its pytest
# plugin, and the README's Python examples run as written (tests/readme_python_examples.py).
#   scripts/python.sh              build and check
#   scripts/python.sh --no-check   build only
#   NORVATHEL_PYTHON=/path/python3 the interpreter to build for (default /usr/bin/python3)
set -euo pipefail
cd "$(dirname -- "$0")/.."
root=$PWD
python=${NORVATHEL_PYTHON:-/usr/bin/python3}
check=1
[ "${1:-}" = --no-check ] && check=0

version=$(sed -n 's/^project(norvathel VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
[ -n "$version" ] || { echo "error: no version in CMakeLists.txt" >&2; exit 1; }
work=$root/build/python-package dist=$root/build/dist
stage=$work/norvathel-$version
rm -rf "$work"
mkdir -p "$stage/src/names" "$stage/src/cli" "$stage/src/toml" "$dist"
rm -f "$dist"/norvathel-*.whl "$dist"/norvathel-*.tar.gz

say() { printf '==> %s\n' "$*"; }

# --- the sdist's tree: the package, and every source the extension compiles --------------
say "staging the sdist"
cp python/pyproject.toml python/setup.py python/setup.cfg python/MANIFEST.in python/README.md "$stage/"
cp LICENSE "$stage/LICENSE"
echo "$version" >"$stage/VERSION"
mkdir -p "$stage/norvathel"
cp python/norvathel/*.py python/norvathel/*.pyi python/norvathel/py.typed "$stage/norvathel/"
cp python/src/norvathel_module.cpp "$stage/src/"
# The composer's rooms (random/, compose/, ...) and its public headers, as they stand in names/.
for room in names/*/; do cp -r "$room" "$stage/src/names/"; done
# Unicode's tables, made from Debian's unicode-data as the CMake build makes them.
unicode=${NORVATHEL_UNICODE_DATA:-/usr/share/unicode}
python3 names/text/unicode_tables.py "$unicode/UnicodeData.txt" "$unicode/CompositionExclusions.txt" \
    "$stage/src/names/text/unicode_letters.inc" "$stage/src/names/text/unicode_normal.inc" \
    "$stage/src/names/text/unicode_folding.inc"
cp cli/tool_options.cpp cli/argument_texts.cpp cli/fault_words.cpp cli/line_reader.cpp cli/*.h "$stage/src/cli/"
# toml++ as the build uses it: Debian's headers with the same mends (cmake/tomlplusplus_patch.cmake).
toml=${NORVATHEL_TOML_HEADERS:-/usr/include}
[ -f "$toml/toml++/toml.h" ] || { echo "error: toml++ headers not found (Debian: libtomlplusplus-dev)" >&2; exit 1; }
cmake -DTOML_SOURCE="$toml" -DTOML_DESTINATION="$stage/src/toml" -P cmake/tomlplusplus_patch.cmake
for copyright in /usr/share/doc/libtomlplusplus-dev/copyright; do
    [ -f "$copyright" ] && cp "$copyright" "$stage/src/toml/LICENSE.toml++"
done

# --- sdist, then the wheel built from the unpacked sdist (so the sdist is proven to build) --
say "building the sdist and the wheel with $python"
"$python" -m build --no-isolation --outdir "$dist" "$stage" >"$work/build.log" 2>&1 ||
    { tail -40 "$work/build.log"; echo "error: python -m build failed" >&2; exit 1; }
wheel=$(ls "$dist"/norvathel-"$version"-*.whl)
sdist=$dist/norvathel-$version.tar.gz
say "built $(basename "$sdist") and $(basename "$wheel")"
[ "$check" = 1 ] || exit 0

# --- the checks: fresh environments, offline ----------------------------------------------
say "checking the wheel in a fresh virtual environment"
"$python" -m venv "$work/venv"
"$work/venv/bin/pip" install --no-index --no-cache-dir --quiet "$wheel"
(cd "$work" && "$work/venv/bin/python" - <<'PY'
import importlib.metadata as metadata
import norvathel
names = norvathel.names(10, seed="dragonkeep", gender="female", prefix="El")
assert len(names) == 10 and all(name.startswith("El") for name in names), names
assert norvathel.__file__.startswith(__import__("sys").prefix), norvathel.__file__
plugins = [entry.value for entry in metadata.entry_points(group="pytest11")]
assert "norvathel.pytest_plugin" in plugins, plugins
print("    imported from", norvathel.__file__, "->", ", ".join(names[:3]))
PY
)
# The README's examples need Faker and pytest: Debian's, seen through the system site.
say "running the README's Python examples against the wheel"
"$python" -m venv --system-site-packages "$work/venv-examples"
"$work/venv-examples/bin/pip" install --no-index --no-cache-dir --quiet "$wheel"
(cd "$work" && "$work/venv-examples/bin/python" "$root/tests/readme_python_examples.py" "$root/README.md")
say "done: $dist"
