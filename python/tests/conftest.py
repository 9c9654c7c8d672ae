"""What the tests share: the native tool the package must equal, and a way to run it."""

import os
import subprocess

import pytest

TOOL = os.environ.get("NORVATHEL_NAMES", "")


def run_tool(args, stdin=None):
    """The tool's exit status, stdout bytes and one-line reason (stderr without its head)."""
    if not TOOL or not os.path.exists(TOOL):
        pytest.skip("no native norvathel-names: set NORVATHEL_NAMES (ctest does)")
    run = subprocess.run([TOOL, *args], input=stdin, capture_output=True)
    reason = run.stderr.decode("utf-8", "surrogateescape").strip()
    return run.returncode, run.stdout, reason.removeprefix("norvathel-names: ")


def as_lines(names):
    """Names as the tool prints them: one a line, UTF-8 (bytes kept as they came)."""
    return "".join(name + "\n" for name in names).encode("utf-8", "surrogateescape")
