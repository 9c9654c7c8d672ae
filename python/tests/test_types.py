"""The type stubs: the package checks with mypy --strict, typical uses check, mistakes are
caught, and the extension's stub matches the extension (stubtest)."""

import os
import subprocess
import sys
from pathlib import Path

import pytest

import norvathel

HERE = Path(__file__).parent
PACKAGE = Path(norvathel.__file__).parent


def mypy(*args):
    run = subprocess.run([sys.executable, "-m", "mypy", "--strict", "--no-incremental", "--cache-dir", os.devnull,
                          "--no-error-summary", *args], capture_output=True, text=True,
                         cwd=PACKAGE.parent)
    return run.returncode, run.stdout + run.stderr


@pytest.fixture(scope="module", autouse=True)
def has_mypy():
    pytest.importorskip("mypy")


def test_the_package_and_its_uses_check_strictly():
    assert (PACKAGE / "py.typed").exists() and (PACKAGE / "_native.pyi").exists()
    for target in (["-p", "norvathel"], [str(HERE / "typing_usage.py")]):
        status, output = mypy(*target)
        assert status == 0, output


def test_mistakes_are_caught():
    status, output = mypy(str(HERE / "typing_misuse.py"))
    lines = [line for line in output.splitlines() if ": error:" in line]
    assert status == 1 and len({line.split(":")[1] for line in lines}) == 6, output


def test_the_stub_matches_the_extension():
    run = subprocess.run([sys.executable, "-m", "mypy.stubtest", "norvathel._native", "--ignore-missing-stub",
                          "--allowlist", str(HERE / "stubtest_allowlist.txt")],
                         capture_output=True, text=True, cwd=PACKAGE.parent)
    assert run.returncode == 0, run.stdout + run.stderr
