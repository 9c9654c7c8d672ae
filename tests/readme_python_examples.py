"""Runs the Python examples of the README's "From Python" section as written, with the
norvathel package the interpreter finds (the wheel in a virtual environment, or the build
tree's through PYTHONPATH): each example a program of its own, one that defines a test run by
pytest; each twice, the programs printing the same both times (their names are seeded).

    python3 tests/readme_python_examples.py README.md
"""

import re
import subprocess
import sys
import tempfile
from pathlib import Path


def examples(readme):
    text = Path(readme).read_text(encoding="utf-8")
    section = text.split("\n### From Python\n", 1)[1].split("\n### ", 1)[0]
    return re.findall(r"```python\n(.*?)```", section, re.S)


def installed_plugin():
    from importlib.metadata import entry_points
    return any(entry.value == "norvathel.pytest_plugin" for entry in entry_points(group="pytest11"))


def main():
    found = examples(sys.argv[1])
    if len(found) != 5:
        sys.exit(f"expected five Python examples in the README's From Python section, found {len(found)}")
    with tempfile.TemporaryDirectory() as folder:
        for number, code in enumerate(found, 1):
            if "def test_" in code:
                path = Path(folder) / f"test_example_{number}.py"
                path.write_text(code, encoding="utf-8")
                command = [sys.executable, "-m", "pytest", "-q", "-p", "no:cacheprovider", str(path)]
                if not installed_plugin():  # the build tree's package: no entry points
                    command[3:3] = ["-p", "norvathel.pytest_plugin"]
            else:
                path = Path(folder) / f"example_{number}.py"
                path.write_text(code, encoding="utf-8")
                command = [sys.executable, str(path)]
            runs = [subprocess.run(command, cwd=folder, capture_output=True, text=True) for _ in range(2)]
            for run in runs:
                if run.returncode != 0:
                    sys.exit(f"example {number} failed:\n{code}\n{run.stdout}{run.stderr}")
            if "def test_" not in code and runs[0].stdout != runs[1].stdout:
                sys.exit(f"example {number} printed other names the second time:\n{code}")
            print(f"    example {number}: ok, " + runs[0].stdout.strip().splitlines()[-1])


if __name__ == "__main__":
    main()
