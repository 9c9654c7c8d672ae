"""Norvathel names for Faker::

    from faker import Faker
    from norvathel.faker import NorvathelProvider

    fake = Faker()
    fake.add_provider(NorvathelProvider)
    fake.seed_instance(4321)          # the same names every run
    fake.norvathel_name()             # a name, either gender
    fake.norvathel_full_name(style="crisp")

Each call takes its seed from Faker's own random source (64 bits of
``self.generator.random``), so seeding Faker seeds these names too, and the names are
those ``norvathel.names(1, seed=...)`` gives for that seed. Only ``BaseProvider`` and
``self.generator.random`` are used: the provider interface every Faker version keeps.
"""

from __future__ import annotations

from faker.providers import BaseProvider  # type: ignore[import]

from . import StyleArg, names, full_names

__all__ = ["NorvathelProvider"]


class NorvathelProvider(BaseProvider):  # type: ignore[misc]
    """Faker provider: norvathel_name, norvathel_first_name_male, norvathel_first_name_female,
    norvathel_last_name and norvathel_full_name, each with ``style=`` (a Style, a built-in
    style's name or a style file's path)."""

    def _norvathel_seed(self) -> int:
        seed: int = self.generator.random.getrandbits(64)
        return seed

    def norvathel_name(self, style: StyleArg = None) -> str:
        """A given name, its gender drawn as the tool draws it."""
        return names(1, seed=self._norvathel_seed(), style=style)[0]

    def norvathel_first_name_male(self, style: StyleArg = None) -> str:
        """A male given name."""
        return names(1, seed=self._norvathel_seed(), gender="male", style=style)[0]

    def norvathel_first_name_female(self, style: StyleArg = None) -> str:
        """A female given name."""
        return names(1, seed=self._norvathel_seed(), gender="female", style=style)[0]

    def norvathel_last_name(self, style: StyleArg = None) -> str:
        """A surname in the style."""
        return full_names(1, seed=self._norvathel_seed(), style=style)[0][1]

    def norvathel_full_name(self, style: StyleArg = None) -> str:
        """A full name, "Given Surname"."""
        return names(1, seed=self._norvathel_seed(), style=style, full=True)[0]
