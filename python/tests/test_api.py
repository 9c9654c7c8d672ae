"""The package's own behaviour: arguments, exceptions, streams and threads, styles."""

import pickle
import pydoc
import threading

import pytest

import norvathel


def test_seeds_ints_and_words_follow_the_tools_rule():
    assert norvathel.seed_of(2**64 - 1) == 2**64 - 1
    assert norvathel.seed_of("0042") == 42
    assert norvathel.seed_of("-1") == norvathel.seed_of("-1") != 2**64 - 1  # a word
    assert norvathel.names(20, seed=2**53 + 1) == norvathel.names(20, seed=str(2**53 + 1))
    assert norvathel.names(5, seed="a\0b") != norvathel.names(5, seed="a")  # every byte counts
    for bad in (-1, 2**64, ""):
        with pytest.raises(norvathel.NorvathelError):
            norvathel.names(1, seed=bad)
    for wrong in (1.5, True, b"x", [1]):
        with pytest.raises(TypeError):
            norvathel.names(1, seed=wrong)
    drawn = norvathel.stream()
    assert drawn.take(20) == norvathel.names(20, seed=drawn.seed)
    assert norvathel.stream().seed != drawn.seed


def test_bad_arguments_are_clear_exceptions_never_crashes():
    type_errors = [dict(gender=1), dict(prefix=None), dict(style=3), dict(min_length="4"), dict(max_length=4.0),
                   dict(ends_with=1), dict(exclude="th"), dict(exclude=[1]), dict(exclude_names="Anna")]
    for options in type_errors:
        with pytest.raises(TypeError):
            norvathel.names(1, **options)
    for options in [dict(gender="neuter"), dict(prefix="a\0b"), dict(ends_with="a\0"), dict(exclude=["\0"]),
                    dict(min_length=-1), dict(max_length=2**70), dict(style="no\0style")]:
        with pytest.raises(norvathel.NorvathelError):
            norvathel.names(1, **options)
    with pytest.raises(norvathel.NorvathelError, match="count must not be negative"):
        norvathel.names(-1)
    with pytest.raises(MemoryError):
        norvathel.names(2**64 - 1)
    with pytest.raises(MemoryError):
        norvathel.stream().take(10**15)
    with pytest.raises(norvathel.ImpossibleConstraints):
        norvathel.names_for(["a"], max_length=1)
    assert norvathel.names(0) == [] and norvathel.names_for([]) == []


def test_exceptions_are_value_errors_that_keep_what_they_carry():
    with pytest.raises(ValueError):
        norvathel.names(1, max_length=99)
    with pytest.raises(norvathel.RanDry) as dry:
        norvathel.names(5000, seed=1, unique=True, gender="male", max_length=3)
    assert len(dry.value.names) == len(set(dry.value.names)) > 0
    assert all(len(name) <= 3 for name in dry.value.names)
    copy = pickle.loads(pickle.dumps(dry.value))
    assert str(copy) == str(dry.value) and copy.names == dry.value.names
    stream = norvathel.stream(seed=1, unique=True, gender="male", max_length=3)
    given = stream.take(len(dry.value.names) - 1)
    with pytest.raises(norvathel.RanDry, match=r"^only 1 of 5 names meet the constraints") as last:
        stream.take(5)
    given += last.value.names
    with pytest.raises(norvathel.RanDry, match=f"^only {len(given)} names meet the constraints"):
        next(stream)
    assert stream.dry and given == dry.value.names and stream.made == len(given)


def test_constraints_hold_and_only_remove_names():
    plain = norvathel.names(3000, seed="filter")
    kept = norvathel.names(200, seed="filter", min_length=6, max_length=8, exclude=["th", "A"],
                           exclude_names=[plain[0].upper()])
    assert kept == [n for n in plain if 6 <= len(n) <= 8 and "th" not in n.lower() and "a" not in n.lower()
                    and n != plain[0]][:200]
    assert len(set(norvathel.names(500, seed=2, unique=True))) == 500
    assert all(name.endswith("ia") for name in norvathel.names(50, gender="female", ends_with="IA"))


def test_full_names_pairs_and_streams_agree():
    joined = norvathel.names(30, seed=9, full=True, style="liquid")
    pairs = norvathel.full_names(30, seed=9, style="liquid")
    assert joined == [f"{g} {s}" for g, s in pairs]
    assert norvathel.stream(seed=9, style="liquid", pairs=True).take(30) == pairs
    assert [next(norvathel.stream(seed=9, full=True, style="liquid"))] == joined[:1]


def test_keys_names_stand_alone():
    assert norvathel.name_for("npc-1", seed=5) == norvathel.names_for(["x", "npc-1"], seed=5)[1]
    assert norvathel.name_for("npc-1") != norvathel.name_for("npc-1", seed=5)
    assert norvathel.name_for("npc-1", exclude=["zz"]) == norvathel.name_for("npc-1", exclude=("zz",))


def test_batches_release_the_gil_and_a_stream_is_for_one_thread():
    results = {}

    def compose(index):
        results[index] = norvathel.names(200_000, seed=index)

    threads = [threading.Thread(target=compose, args=(index,)) for index in range(3)]
    for thread in threads:
        thread.start()
    for thread in threads:
        thread.join()
    assert all(results[index][:50] == norvathel.names(50, seed=index) for index in range(3))

    shared = norvathel.stream(seed=1)
    errors, taken = [], []

    def take():
        try:
            for _ in range(20):
                taken.extend(shared.take(50_000))
        except RuntimeError as error:
            errors.append(error)

    workers = [threading.Thread(target=take) for _ in range(2)]
    for worker in workers:
        worker.start()
    for worker in workers:
        worker.join()
    # Either thread may finish first; whatever they made, no name was torn or given twice.
    assert shared.made == len(taken) and sorted(taken) == sorted(norvathel.names(len(taken), seed=1))


def test_styles_builtin_toml_and_files(tmp_path):
    assert [style.name for style in norvathel.styles()][0] == "classic"
    crisp = norvathel.Style.builtin("crisp")
    assert norvathel.Style.from_toml(crisp.toml) == crisp and crisp.description
    assert norvathel.names(20, seed=1, style=crisp) == norvathel.names(20, seed=1, style="crisp")
    with pytest.raises(norvathel.NorvathelError, match="no built-in style"):
        norvathel.Style.builtin("nope")
    broken = crisp.toml.replace("format = 1", "format = 99", 1)
    with pytest.raises(norvathel.StyleError) as refused:
        norvathel.Style.from_toml(broken, source="mine.toml")
    error = refused.value
    assert error.source == "mine.toml" and error.line >= 1 and str(error).startswith(f"mine.toml:{error.line}:")
    path = tmp_path / "mine.toml"
    path.write_text(broken, encoding="utf-8")
    with pytest.raises(norvathel.StyleError) as from_file:
        norvathel.Style.from_file(path)
    assert from_file.value.source == str(path) and from_file.value.line == error.line
    with pytest.raises(norvathel.StyleError, match="cannot open the file"):
        norvathel.Style.from_file(tmp_path / "missing.toml")
    path.write_text(crisp.toml, encoding="utf-8")
    assert norvathel.names(5, seed=1, style=str(path)) == norvathel.names(5, seed=1, style=crisp)


def test_learning_reports_what_it_learned_from():
    learned = norvathel.learn("anna\tf\nbert\tm\n# a comment\n\ncarla\n")
    assert (learned.names, learned.female, learned.male, learned.either) == (3, 1, 1, 1)
    assert learned.text.startswith("#") and norvathel.Style.from_toml(learned.text) == learned.style
    with pytest.raises(norvathel.StyleError) as refused:
        norvathel.learn(["anna", "b3rt"])
    assert (refused.value.line, refused.value.column) == (2, 2)
    # Its own name, no copies of the examples unless allowed, the tool's report, neutral names.
    mine = norvathel.learn("anna\tf\nbert\tm\ncarla\nedel\tn\n", name="mine", description="Mine")
    assert (mine.style.name, mine.neutral) == ("mine", 1)
    assert "[guard]" in mine.text and "[guard]" not in norvathel.learn("anna\nbert\n", allow_copies=True).text
    assert mine.report.startswith("learned: 4 names (1 male, 1 female, 1 neutral, 1 either)\n")
    assert norvathel.learn("anna\nbert\n", report=False).report == ""
    neutral = norvathel.names(20, seed=3, style=mine.style, gender="neutral")
    assert len(neutral) == 20 and not {name.lower() for name in neutral} & {"anna", "bert", "carla", "edel"}


def test_help_shows_the_docstrings():
    text = pydoc.render_doc(norvathel, renderer=pydoc.plaintext)
    for word in ("names(count", "full_names", "name_for", "GIL", "Style", "from_toml", "RanDry"):
        assert word in text, word
