"""The pytest plugin: each test's names come from its node id alone, --norvathel-seed
changes them all, and the header says which seed is in use."""

import pytest

pytest_plugins = ["pytester"]

# Each inner test writes down the names it was given.
INNER = """
def record(test, names):
    with open("given.txt", "a", encoding="utf-8") as given:
        given.write(test + " " + " ".join(names) + "\\n")

def test_one(norvathel_names):
    record("one", norvathel_names.take(3))

def test_two(norvathel_names):
    record("two", [next(norvathel_names), str(norvathel_names.seed)])
"""


def run(pytester, *args):
    """The run's result, and each inner test's line of names."""
    result = pytester.runpytest_subprocess("-p", "norvathel.pytest_plugin", "-p", "no:cacheprovider", *args)
    result.assert_outcomes(passed=len([a for a in args if "::" in a]) or 2)
    record = pytester.path / "given.txt"
    given = record.read_text(encoding="utf-8").splitlines()
    record.unlink()
    return result, {line.split(" ", 1)[0]: line for line in given}


def test_each_test_gets_its_own_names_whatever_else_runs(pytester):
    pytester.makepyfile(test_inner=INNER)
    both = run(pytester)[1]
    assert run(pytester, "test_inner.py::test_two")[1] == {"two": both["two"]}
    assert run(pytester, "test_inner.py::test_two", "test_inner.py::test_one")[1] == both
    assert both["one"] != both["two"].replace("two", "one")


def test_the_seed_option_changes_every_test_and_is_in_the_header(pytester):
    pytester.makepyfile(test_inner=INNER)
    plain, a = run(pytester)
    plain.stdout.fnmatch_lines(["norvathel_names: seeded from each test's node id*"])
    seeded, b = run(pytester, "--norvathel-seed=dragonkeep")
    seeded.stdout.fnmatch_lines(["norvathel_names: --norvathel-seed=dragonkeep (seed *)"])
    assert a["one"] != b["one"] and a["two"] != b["two"]
    assert run(pytester, "--norvathel-seed=dragonkeep")[1] == b


def test_a_bad_seed_stops_the_run_with_the_reason(pytester):
    pytester.makepyfile(test_inner=INNER)
    result = pytester.runpytest_subprocess("-p", "norvathel.pytest_plugin", "--norvathel-seed=99999999999999999999")
    assert result.ret != 0
    assert "out of range" in result.stderr.str()
