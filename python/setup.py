"""Builds norvathel._native from the sources scripts/python.sh stages beside this file:
src/names (the composer), src/cli (the tool's option code), src/toml (toml++ headers)."""

import os
from pathlib import Path

from pybind11.setup_helpers import Pybind11Extension, build_ext
from setuptools import setup

here = Path(__file__).parent
version = (here / "VERSION").read_text(encoding="ascii").strip()
src = Path("src")

sources = [str(src / "norvathel_module.cpp")]
sources += sorted(str(path) for path in (src / "names").glob("*/*.cpp"))
sources += [str(src / "cli" / name) for name in ("argument_texts.cpp", "fault_words.cpp", "line_reader.cpp")]

extension = Pybind11Extension(
    "norvathel._native",
    sources,
    include_dirs=[str(src / "names" / "include"), str(src / "names"), str(src / "cli"), str(src / "toml")],
    define_macros=[("TOML_HEADER_ONLY", "1"), ("TOML_EXCEPTIONS", "0"), ("TOML_ENABLE_FORMATTERS", "0"),
                   ("NORVATHEL_PYTHON_VERSION", f'"{version}"')],
    cxx_std=17,
    # Optimised as the release build is, without the interpreter's -g: the module is shipped stripped.
    extra_compile_args=["-O3", "-g0", "-DNDEBUG", "-pthread"],
    extra_link_args=[] if os.name == "nt" else ["-s", "-pthread"],
)

setup(version=version, ext_modules=[extension], cmdclass={"build_ext": build_ext})
