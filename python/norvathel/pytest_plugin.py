"""The pytest plugin (entry point ``pytest11``: installing the package is enough).

The ``norvathel_names`` fixture is a :class:`norvathel.Stream` seeded from the test's own
node id (as ``norvathel-names --keys`` seeds a key), so a test gets the same names whatever
other tests run, and in whatever order. ``--norvathel-seed=SEED`` (an int or a word) gives
every test other names at once; the header of the run says which seed is in use.
"""

from __future__ import annotations

from typing import Any, Optional

import pytest

from . import Stream, _native, stream


def pytest_addoption(parser: Any) -> None:
    group = parser.getgroup("norvathel")
    group.addoption("--norvathel-seed", action="store", default=None, metavar="SEED",
                    help="seed for the norvathel_names fixture (an int or a word); each test's "
                         "names come from its node id and this seed")


def _project_seed(config: Any) -> Optional[str]:
    seed: Optional[str] = config.getoption("norvathel_seed")
    return seed


def pytest_configure(config: Any) -> None:
    seed = _project_seed(config)
    if seed is not None:
        _native.seed_of(seed)  # a bad seed stops the run here, with the reason


def pytest_report_header(config: Any) -> str:
    seed = _project_seed(config)
    if seed is None:
        return "norvathel_names: seeded from each test's node id (no --norvathel-seed)"
    return f"norvathel_names: --norvathel-seed={seed} (seed {_native.seed_of(seed)})"


@pytest.fixture
def norvathel_names(request: Any) -> Stream:
    """A stream of names for this test alone: ``next(norvathel_names)``,
    ``norvathel_names.take(5)``."""
    seed = _native.key_seed(request.node.nodeid, _project_seed(request.config))
    return stream(seed=seed)
