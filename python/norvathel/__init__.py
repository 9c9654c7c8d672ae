"""Norvathel: invented personal names, the same as the norvathel-names tool gives.

    >>> import norvathel
    >>> norvathel.names(3, seed="dragonkeep", gender="female", prefix="El")
    ['Elandrys', ...]

Every function takes the tool's options as keywords (``seed``, ``gender``, ``prefix``,
``style``, ``full``, ``unique``, ``min_length``, ``max_length``, ``ends_with``, ``exclude``,
``exclude_names``) and gives exactly the names ``norvathel-names`` prints for them. Bad
arguments raise :class:`NorvathelError` (a ``ValueError``) with the tool's reason, its
options spelled as here (the mapping is ``norvathel.OPTION_SPELLINGS``).

Seeds are ints from 0 to 2**64 - 1 or str words (digits only are a number, any other text
its 64-bit FNV-1a hash, as ``--seed`` reads them); without one, each call draws a new seed.
``gender`` is ``"male"``, ``"female"``, ``"neutral"`` (names of no gender, by the style's own
rules) or ``None`` (each board of ten names draws male or female, as the tool draws it).

Batches compose with the GIL released. A stream is for one thread at a time (another
thread that calls it during a batch gets a ``RuntimeError``); every other object may be
shared.
"""

from __future__ import annotations

from typing import Any, Dict, Iterable, List, NamedTuple, Optional, Sequence, Tuple, Union

from ._errors import ImpossibleConstraints, NorvathelError, RanDry, StyleError
from . import _native
from ._native import Stream, Style

__version__: str = _native.__version__

__all__ = [
    "names", "stream", "full_names", "name_for", "names_for", "seed_of", "session", "replay",
    "Session", "Board", "Stream", "Style", "styles", "learn", "Learned", "NorvathelError",
    "ImpossibleConstraints", "RanDry", "StyleError", "OPTION_SPELLINGS", "MAX_NAME_LENGTH",
]

Seed = Union[int, str]
StyleArg = Union[Style, str, None]

#: The tool's options and how the messages spell them here ("--max-length": "max_length").
OPTION_SPELLINGS = dict(_native.OPTION_SPELLINGS)
#: The longest name in bytes, a 31-byte prefix included.
MAX_NAME_LENGTH: int = _native.MAX_NAME_LENGTH


def _request(seed: Optional[Seed], gender: Optional[str], prefix: str, style: StyleArg, full: bool,
             unique: bool, min_length: Optional[int], max_length: Optional[int],
             ends_with: Optional[str], exclude: Iterable[str], exclude_names: Iterable[str],
             keys: bool = False, clock: Optional[Seed] = None) -> _native.Request:
    return _native.request(seed, gender, prefix, style, full, unique, min_length, max_length, ends_with,
                           exclude, exclude_names, keys, clock)


def names(count: int, *, seed: Optional[Seed] = None, gender: Optional[str] = None, prefix: str = "",
          style: StyleArg = None, full: bool = False, unique: bool = False,
          min_length: Optional[int] = None, max_length: Optional[int] = None,
          ends_with: Optional[str] = None, exclude: Iterable[str] = (),
          exclude_names: Iterable[str] = (), clock: Optional[Seed] = None) -> List[str]:
    """``count`` names, as ``norvathel-names --count COUNT`` prints them.

    ``full=True`` gives "Given Surname" strings. ``style`` is a :class:`Style`, a built-in
    style's name or a style file's path (as ``--style`` takes them). ``min_length`` and
    ``max_length`` count letters (code points), the prefix included; ``ends_with``,
    ``exclude`` (pieces no name contains) and ``exclude_names`` (names never given) compare
    letters in either case (beyond ASCII by Unicode's simple case folding). Raises :class:`ImpossibleConstraints` when no name can meet the constraints, and
    :class:`RanDry` (with the names made) when they run out before ``count``. ``clock`` in
    place of ``seed`` seeds as the window does from that second (``--clock``).
    """
    return _request(seed, gender, prefix, style, full, unique, min_length, max_length, ends_with, exclude,
                    exclude_names, clock=clock).names(count)


def full_names(count: int, *, seed: Optional[Seed] = None, gender: Optional[str] = None, prefix: str = "",
               style: StyleArg = None, unique: bool = False, min_length: Optional[int] = None,
               max_length: Optional[int] = None, ends_with: Optional[str] = None,
               exclude: Iterable[str] = (), exclude_names: Iterable[str] = (),
               clock: Optional[Seed] = None) -> List[Tuple[str, str]]:
    """``count`` full names as ``(given, surname)`` pairs: the given names :func:`names` gives,
    each with the surname ``norvathel-names --full`` gives it."""
    return _request(seed, gender, prefix, style, True, unique, min_length, max_length, ends_with, exclude,
                    exclude_names, clock=clock).pairs(count)


def stream(*, seed: Optional[Seed] = None, gender: Optional[str] = None, prefix: str = "",
           style: StyleArg = None, full: bool = False, unique: bool = False,
           min_length: Optional[int] = None, max_length: Optional[int] = None,
           ends_with: Optional[str] = None, exclude: Iterable[str] = (),
           exclude_names: Iterable[str] = (), pairs: bool = False, clock: Optional[Seed] = None) -> Stream:
    """An endless iterator of the names :func:`names` gives (``pairs=True``: ``(given,
    surname)`` pairs). ``.take(n)`` gives the next n at once, ``.seed`` the seed in use.
    Raises :class:`RanDry` when the constraints leave no new name. One thread at a time."""
    return _request(seed, gender, prefix, style, full or pairs, unique, min_length, max_length, ends_with,
                    exclude, exclude_names, clock=clock).stream(pairs)


def _hashable(values: Iterable[str]) -> Iterable[str]:
    return tuple(values) if isinstance(values, list) else values


# name_for is called once per key, often in a loop: its checked options are kept for reuse.
_key_requests: Dict[Tuple[Any, ...], _native.Request] = {}


def name_for(key: str, *, seed: Optional[Seed] = None, gender: Optional[str] = None, prefix: str = "",
             style: StyleArg = None, full: bool = False, unique: bool = False,
             min_length: Optional[int] = None, max_length: Optional[int] = None,
             ends_with: Optional[str] = None, exclude: Iterable[str] = (),
             exclude_names: Iterable[str] = ()) -> str:
    """The name for a key (a character's id, a row): the same name for the same key every
    time, as ``norvathel-names --keys`` gives it; ``seed`` gives the keys other names."""
    arguments = (seed, gender, prefix, style, full, unique, min_length, max_length, ends_with,
                 _hashable(exclude), _hashable(exclude_names))
    try:
        request = _key_requests.get(arguments)
    except TypeError:  # an unhashable argument: checked afresh
        return _request(*arguments, keys=True).name_for(key, False)
    if request is None:
        request = _request(*arguments, keys=True)
        if len(_key_requests) >= 64:
            _key_requests.clear()
        _key_requests[arguments] = request
    return request.name_for(key, False)


def names_for(keys: Iterable[str], *, seed: Optional[Seed] = None, gender: Optional[str] = None,
              prefix: str = "", style: StyleArg = None, full: bool = False, unique: bool = False,
              min_length: Optional[int] = None, max_length: Optional[int] = None,
              ends_with: Optional[str] = None, exclude: Iterable[str] = (),
              exclude_names: Iterable[str] = ()) -> List[str]:
    """A name per key, in order: ``names_for(["npc-1", "npc-2"], seed="my-game")``."""
    return _request(seed, gender, prefix, style, full, unique, min_length, max_length, ends_with, exclude,
                    exclude_names, keys=True).names_for(keys, False)


def seed_of(seed: Seed) -> int:
    """The 64-bit seed an int or a word stands for, as ``--seed`` reads it."""
    return _native.seed_of(seed)


class Board(NamedTuple):
    """One board of the window: its gender ("male" or "female"), the prefix as the window
    used it (its first 31 bytes) and its ten names."""

    gender: str
    prefix: str
    names: List[str]


class Session:
    """The window's boards, seeded as the window seeds itself at second ``clock`` (an int or
    a word, as ``--clock`` reads it). ``boards`` is the ``--boards`` list that replays it."""

    def __init__(self, clock: Seed, *, style: StyleArg = None, full: bool = False) -> None:
        self._native = _native.Session(clock, style, full)
        self._items: List[str] = []

    def compose(self, gender: str = "start", prefix: str = "") -> Board:
        """The next board: "start" (the gender drawn as at start-up), or "male" or "female"
        with an optional prefix (its first 31 bytes count, as in the window's box)."""
        if not isinstance(gender, str) or not isinstance(prefix, str):
            raise TypeError("gender and prefix must be str")
        item = _native.escaped(gender) + (":" + _native.escaped(prefix) if prefix else "")
        board = Board(*self._native.compose(item)[0])
        self._items.append(item)
        return board

    @property
    def boards(self) -> str:
        return ",".join(self._items)


def session(clock: Seed, *, style: StyleArg = None, full: bool = False) -> Session:
    """A window session: ``session(1000000000).compose("female", "El")``."""
    return Session(clock, style=style, full=full)


def replay(boards: str, *, clock: Seed, style: StyleArg = None, full: bool = False) -> List[Board]:
    """The boards of a ``--boards`` list: ``replay("start,female,male:ka", clock=1000000000)``."""
    if not isinstance(boards, str):
        raise TypeError("boards must be a str")
    return [Board(*board) for board in _native.Session(clock, style, full).compose(boards)]


def styles() -> List[Style]:
    """The built-in styles, classic first."""
    return [Style.builtin(name) for name in _native.builtin_style_names()]


class Learned(NamedTuple):
    """A style learned from example names: the style, the style file ``norvathel-names
    learn`` writes for it (``text``) and what it was learned from."""

    style: Style
    text: str
    names: int
    male: int
    female: int
    either: int
    without_vowel: int
    neutral: int = 0
    #: What ``learn`` says of the style (names, held-out divergence, copies, distinct names);
    #: empty when asked not to measure.
    report: str = ""


def learn(examples: Union[str, Sequence[str]], *, source: str = "examples", name: Optional[str] = None,
          description: Optional[str] = None, allow_copies: bool = False, report: bool = True) -> Learned:
    """Learns a style from example names, as ``norvathel-names learn`` does: a text of one
    name a line, or a sequence of lines; each name may end in a tab and "m", "f" or "n" (no
    gender). ``name`` and ``description`` are the style's own; the style never gives an
    example unless ``allow_copies``; ``report`` measures it as the tool's report does. Raises
    :class:`StyleError` (``source``, ``line``, ``column``) on a bad list, at its first fault."""
    text = examples if isinstance(examples, str) else "".join(line + "\n" for line in examples)
    style, written, counts, said = _native.learn(text, source, name or "", description or "", allow_copies, report)
    return Learned(style, written, report=said, **counts)
