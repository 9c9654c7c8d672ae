# Typical uses of the package, for mypy --strict: every line must check as written.
from typing import List, Tuple

import norvathel
from norvathel.faker import NorvathelProvider

given: List[str] = norvathel.names(10, seed="dragonkeep", gender="female", prefix="El", unique=True)
pairs: List[Tuple[str, str]] = norvathel.full_names(5, style=norvathel.Style.builtin("crisp"))
one: str = norvathel.name_for("npc-1", seed=2024, max_length=8)
many: List[str] = norvathel.names_for(["a", "b"], exclude=("th",), exclude_names=["Anna"])
seed: int = norvathel.seed_of("dragonkeep")
board: norvathel.Board = norvathel.session(1000000000).compose("male", "ka")
boards: List[norvathel.Board] = norvathel.replay("start,female", clock="dragonkeep")
styles: List[norvathel.Style] = norvathel.styles()
learned: norvathel.Learned = norvathel.learn(["anna", "bert"])
stream: norvathel.Stream = norvathel.stream(seed=1, min_length=5)
first = next(stream)
batch = stream.take(3)
provider = NorvathelProvider
try:
    norvathel.names(1, max_length=99)
except norvathel.RanDry as dry:
    made: List[str] = dry.names
except norvathel.StyleError as bad:
    where: Tuple[str, int, int] = (bad.source, bad.line, bad.column)
except norvathel.NorvathelError as error:
    reason: str = str(error)
