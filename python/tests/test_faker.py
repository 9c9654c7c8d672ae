"""The Faker provider, with Debian's Faker (0.9.3): seeding Faker seeds the names."""

import random

import pytest

faker = pytest.importorskip("faker")

import norvathel  # noqa: E402
from norvathel.faker import NorvathelProvider  # noqa: E402

METHODS = ["norvathel_name", "norvathel_first_name_male", "norvathel_first_name_female",
           "norvathel_last_name", "norvathel_full_name"]


def make(seed):
    fake = faker.Faker()
    fake.add_provider(NorvathelProvider)
    fake.seed_instance(seed)
    return fake


def draw(fake, style=None):
    return [getattr(fake, method)(style=style) for method in METHODS for _ in range(5)]


def test_seeding_faker_gives_the_same_names_every_time():
    for style in (None, "crisp", norvathel.Style.builtin("liquid")):
        assert draw(make(4321), style) == draw(make(4321), style)
        assert draw(make(4321), style) != draw(make(4322), style)
    fake = faker.Faker()
    fake.add_provider(NorvathelProvider)
    fake.seed(77)  # Faker's shared generator, as the faker fixture seeds it
    first = draw(fake)
    fake.seed(77)
    assert draw(fake) == first


def test_the_names_are_norvathels_for_seeds_from_fakers_random():
    fake = make(11)
    shadow = random.Random()
    shadow.seed(11)  # what seed_instance(11) gives Faker's own random source
    for method in METHODS:
        seed = shadow.getrandbits(64)
        expected = {
            "norvathel_name": lambda: norvathel.names(1, seed=seed)[0],
            "norvathel_first_name_male": lambda: norvathel.names(1, seed=seed, gender="male")[0],
            "norvathel_first_name_female": lambda: norvathel.names(1, seed=seed, gender="female")[0],
            "norvathel_last_name": lambda: norvathel.full_names(1, seed=seed)[0][1],
            "norvathel_full_name": lambda: norvathel.names(1, seed=seed, full=True)[0],
        }[method]()
        assert getattr(fake, method)() == expected, method


def test_genders_styles_and_errors():
    fake = make(5)
    males = {fake.norvathel_first_name_male() for _ in range(200)}
    females = {fake.norvathel_first_name_female() for _ in range(200)}
    assert len(males) > 150 and len(females) > 150
    assert all(len(name.split(" ")) == 2 for name in (fake.norvathel_full_name(style="staccato") for _ in range(20)))
    with pytest.raises(norvathel.NorvathelError):
        fake.norvathel_name(style="no-such-style")
