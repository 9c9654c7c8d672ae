"""The exceptions of norvathel; the composer raises them with the tool's own reasons."""

from typing import Any, List, Tuple


class NorvathelError(ValueError):
    """Bad arguments: the reason is the one norvathel-names gives, its options spelled as
    the Python keywords are (max_length, not --max-length)."""


class ImpossibleConstraints(NorvathelError):
    """No name can meet the constraints: seen before anything is composed."""


class RanDry(NorvathelError):
    """The constraints left no new name for a million names in a row. ``names`` holds the
    names made before (as the tool writes them before it exits with status 3)."""

    def __init__(self, message: str, names: List[Any]) -> None:
        super().__init__(message)
        self.names = names

    def __reduce__(self) -> Tuple[Any, ...]:
        return (type(self), (str(self), self.names))


class StyleError(NorvathelError):
    """A style (or an example list) that cannot be read, and where: ``source``, ``line`` and
    ``column`` (from 1; 0 when not known) and the bare ``reason``."""

    def __init__(self, message: str, source: str, line: int, column: int, reason: str) -> None:
        super().__init__(message)
        self.source = source
        self.line = line
        self.column = column
        self.reason = reason

    def __reduce__(self) -> Tuple[Any, ...]:
        return (type(self), (str(self), self.source, self.line, self.column, self.reason))


# Shown, and pickled, as the package's own names.
for _error in (NorvathelError, ImpossibleConstraints, RanDry, StyleError):
    _error.__module__ = "norvathel"
