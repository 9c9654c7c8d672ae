"""The package and the native tool give byte-identical names, or the same refusal, for the
same arguments: a few hundred vectors of seeds, words, genders, prefixes, styles, full names
and constraints; keys; window boards; learned styles."""

import random

import pytest

import norvathel
from conftest import as_lines, run_tool

SEEDS = [0, 1, 7, 4095, 4096, 1000000000, 2**30, 2**32 + 5, 2**53 + 1, 2**63, 2**64 - 1,
         "18446744073709551615", "0042", "dragonkeep", "npc", "Éowyn", "a b", "x", "-1", "12x",
         "2024-05-session", " 7"]
PREFIXES = [None, "", "ka", "El", "br", "y", "a", "e", "Mor", "z7", "&rk", "Ål", "xa" * 15]
STYLES = [None, "classic", "liquid", "guttural", "sibilant", "crisp", "staccato"]
ENDINGS = {"female": ["a", "ia", "elle"], "male": ["n", "th", "R"], "neutral": ["el", "n", "is"]}
PIECES = ["th", "a", "sh", "ee", "k", "%", "x,y"]


def vector(pick):
    """One vector: the package's keywords and the tool's arguments for them."""
    options, args = {}, []
    seed = pick.choice(SEEDS)
    # One vector in eight seeds as the window does, from a clock value.
    option = "clock" if pick.random() < 0.125 else "seed"
    options[option] = seed
    args += ["--" + option, str(seed)]
    gender = pick.choice([None, "male", "female", "neutral"])
    if gender:
        options["gender"] = gender
        args.append("--" + gender)
    prefix = pick.choice(PREFIXES)
    if prefix is not None:
        options["prefix"] = prefix
        args += ["--prefix", prefix]
    style = pick.choice(STYLES)
    if style:
        options["style"] = style if pick.random() < 0.5 else norvathel.Style.builtin(style)
        args += ["--style", style]
    if pick.random() < 0.3:
        options["full"] = True
        args.append("--full")
    if pick.random() < 0.25:
        options["unique"] = True
        args.append("--unique")
    if pick.random() < 0.2:
        options["min_length"] = pick.randint(4, 8)
        args += ["--min-length", str(options["min_length"])]
    if pick.random() < 0.2:
        options["max_length"] = pick.randint(9, 14) + len((prefix or "").encode())
        args += ["--max-length", str(options["max_length"])]
    if gender and pick.random() < 0.2:
        options["ends_with"] = pick.choice(ENDINGS[gender])
        args += ["--ends-with", options["ends_with"]]
    if pick.random() < 0.2:
        options["exclude"] = [pick.choice(PIECES), pick.choice(PIECES)]
        args += ["--exclude", ",".join(norvathel._native.escaped(piece) for piece in options["exclude"])]
    count = pick.randint(0, 60)
    return options, args + ["--count", str(count)], count


def test_names_equal_the_tools_over_300_vectors():
    pick = random.Random(20260518)
    outcomes = {"names": 0, "refused": 0, "dry": 0}
    for _ in range(300):
        options, args, count = vector(pick)
        status, out, reason = run_tool(args)
        where = "norvathel-names " + " ".join(args)
        if status == 2:
            with pytest.raises(norvathel.NorvathelError) as refused:
                norvathel.names(count, **options)
            assert str(refused.value) == norvathel._native.python_wording(reason), where
            outcomes["refused"] += 1
            continue
        assert status in (0, 3), where
        if status == 3:
            with pytest.raises(norvathel.RanDry) as dry:
                norvathel.names(count, **options)
            got = dry.value.names
            outcomes["dry"] += 1
        else:
            got = norvathel.names(count, **options)
            outcomes["names"] += 1
        assert as_lines(got) == out, where
        # The stream gives the same names, one at a time and in batches.
        stream = norvathel.stream(**options)
        if count and status == 0:
            assert as_lines([next(stream)] + stream.take(count - 1)) == out, where
    assert outcomes["names"] > 250, outcomes


def test_full_names_are_the_tools_given_names_and_surnames():
    for style in STYLES:
        args = ["--seed", "pairs", "--full", "--count", "40"] + (["--style", style] if style else [])
        pairs = norvathel.full_names(40, seed="pairs", style=style)
        assert as_lines(f"{given} {surname}" for given, surname in pairs) == run_tool(args)[1]
        assert [given for given, _ in pairs] == norvathel.names(40, seed="pairs", style=style)


def test_refusals_carry_the_tools_reasons():
    cases = [
        ({"prefix": "abc", "max_length": 2}, ["--prefix", "abc", "--max-length", "2"]),
        ({"prefix": "Thorvald", "max_length": 4}, ["--prefix", "Thorvald", "--max-length", "4"]),
        ({"prefix": "Жан", "max_length": 4}, ["--prefix", "Жан", "--max-length", "4"]),  # letters, not bytes
        ({"min_length": 50}, ["--min-length", "50"]),
        ({"min_length": 0}, ["--min-length", "0"]),
        ({"min_length": 9, "max_length": 5}, ["--min-length", "9", "--max-length", "5"]),
        ({"ends_with": ""}, ["--ends-with", ""]),
        ({"exclude": ["a", ""]}, ["--exclude", "a,"]),
        ({"prefix": "Kath", "exclude": ["at"]}, ["--prefix", "Kath", "--exclude", "at"]),
        ({"seed": "99999999999999999999"}, ["--seed", "99999999999999999999"]),
        ({"seed": 2**64}, ["--seed", str(2**64)]),
        ({"seed": ""}, ["--seed", ""]),
        ({"prefix": "a" * 32}, ["--prefix", "a" * 32]),
        ({"prefix": "a\tb"}, ["--prefix", "a\tb"]),
        ({"ends_with": "x\n"}, ["--ends-with", "x\n"]),
        ({"gender": "male", "ends_with": "ia"}, ["--male", "--ends-with", "ia"]),
        ({"max_length": 1}, ["--max-length", "1"]),
        ({"min_length": 17}, ["--min-length", "17"]),
        ({"ends_with": "1a"}, ["--ends-with", "1a"]),
        ({"ends_with": "1a", "style": "crisp"}, ["--ends-with", "1a", "--style", "crisp"]),
        ({"gender": "female", "ends_with": "avaatha", "max_length": 7},
         ["--female", "--ends-with", "avaatha", "--max-length", "7"]),
        ({"prefix": "ka", "min_length": 40}, ["--prefix", "ka", "--min-length", "40"]),
        ({"gender": "female", "ends_with": "q"}, ["--female", "--ends-with", "q"]),
        ({"gender": "female", "ends_with": "ruk"}, ["--female", "--ends-with", "ruk"]),
        ({"gender": "male", "prefix": "Dor", "ends_with": "bbn"}, ["--male", "--prefix", "Dor", "--ends-with", "bbn"]),
        ({"ends_with": "thth"}, ["--ends-with", "thth"]),
        ({"style": "no-such-style"}, ["--style", "no-such-style"]),
        ({"seed": 1, "clock": 2}, ["--seed", "1", "--clock", "2"]),
        ({"clock": ""}, ["--clock", ""]),
    ]
    for options, args in cases:
        status, _, reason = run_tool(args + ["--count", "1"])
        assert status == 2, args
        with pytest.raises(norvathel.NorvathelError) as refused:
            norvathel.names(1, **options)
        assert str(refused.value) == norvathel._native.python_wording(reason), args
        # What the tool refuses once every option is read is an ImpossibleConstraints.
        impossible = norvathel.ImpossibleConstraints if "leave" in reason or ": no " in reason else None
        if impossible:
            assert isinstance(refused.value, impossible), args


def test_dry_runs_keep_the_names_made_and_the_tools_reason():
    # Dry within the first batch, and after several (24,838 names).
    for seed, longest in ((3, 3), (1, 4)):
        args = ["--seed", str(seed), "--unique", "--male", "--max-length", str(longest), "--count", "30000"]
        status, out, reason = run_tool(args)
        assert status == 3
        with pytest.raises(norvathel.RanDry) as dry:
            norvathel.names(30000, seed=seed, unique=True, gender="male", max_length=longest)
        assert str(dry.value) == reason
        assert as_lines(dry.value.names) == out and dry.value.names


def test_keys_give_the_tools_names(tmp_path):
    pick = random.Random(99)
    keys = ["npc-0", "npc-1", "", "Ærin", "a b", "0", "-", "x" * 200] + [f"row-{i * 7919}" for i in range(300)]
    path = tmp_path / "keys.txt"
    path.write_text("".join(key + "\n" for key in keys), encoding="utf-8")
    for index in range(16):
        options, args = {}, ["--keys", str(path)]
        if index % 2:
            options["seed"] = pick.choice(SEEDS)
            args += ["--seed", str(options["seed"])]
        gender = pick.choice([None, "male", "female", "neutral"])
        if gender:
            options["gender"] = gender
            args.append("--" + gender)
        if index % 3 == 0:
            options["prefix"] = pick.choice(["ka", "El", "Mor"])
            args += ["--prefix", options["prefix"]]
        if index % 4 == 1:
            options["max_length"] = 9
            args += ["--max-length", "9"]
        if index % 5 == 2:
            options["full"], options["style"] = True, pick.choice(STYLES[1:])
            args += ["--full", "--style", options["style"]]
        expected = run_tool(args)[1]
        assert as_lines(norvathel.names_for(keys, **options)) == expected, args
        assert as_lines(norvathel.name_for(key, **options) for key in keys) == expected, args
    status, _, reason = run_tool(["--keys", str(path), "--unique"])
    with pytest.raises(norvathel.NorvathelError) as refused:
        norvathel.name_for("npc-1", unique=True)
    assert str(refused.value) == norvathel._native.python_wording(reason)


def test_window_boards_equal_the_tools_replays():
    pick = random.Random(7)
    items = ["start", "male", "female", "male:ka", "female:El", "female:%2Cx", "male:%C3%85s", "female:&rk",
             "male:" + "x" * 40]
    for _ in range(60):
        clock = pick.choice([0, 1, 1000000000, 2**30 + 3, "99999", "dragonkeep"])
        style = pick.choice([None, None, "crisp"])
        full = pick.random() < 0.2
        boards = ",".join(pick.choice(items) for _ in range(pick.randint(1, 4)))
        args = ["--clock", str(clock), "--boards", boards] + (["--style", style] if style else []) + (["--full"] if full else [])
        got = [name for board in norvathel.replay(boards, clock=clock, style=style, full=full) for name in board.names]
        assert as_lines(got) == run_tool(args)[1], args
    session = norvathel.session(1000000000)
    shown = [session.compose("start"), session.compose("female"), session.compose("male", "ka"),
             session.compose("female", "a,b%")]
    assert session.boards == "start,female,male:ka,female:a%2Cb%25"
    assert as_lines(n for board in shown for n in board.names) == run_tool(["--clock", "1000000000", "--boards", session.boards])[1]
    assert shown[0].names[0] == "Glicia" and shown[2] == ("male", "ka", shown[2].names)
    for boards in ["start,bogus", "", "male:%zz", "female:%00", "start:x", ",male"]:
        reason = run_tool(["--boards", boards])[2]
        with pytest.raises(norvathel.NorvathelError) as refused:
            norvathel.replay(boards, clock=1)
        assert str(refused.value) == norvathel._native.python_wording(reason)


def test_learned_styles_are_the_tools(tmp_path):
    examples = ["Aragorn\tm", "Arwen\tf", "Boromir\tm", "Éowyn\tf", "Faramir", "Galadriel\tf", "Legolas\tm",
                "Gimli", "Théoden\tm", "Celeborn"]
    path = tmp_path / "examples.txt"
    path.write_text("".join(line + "\n" for line in examples), encoding="utf-8")
    status, out, _ = run_tool(["learn", str(path)])
    assert status == 0
    learned = norvathel.learn(examples)
    assert learned.text.encode() == out
    assert (learned.names, learned.male, learned.female, learned.either) == (10, 4, 3, 3)
    style_file = tmp_path / "learned.toml"
    style_file.write_bytes(out)
    expected = run_tool(["--style", str(style_file), "--seed", "5", "--count", "30"])[1]
    assert as_lines(norvathel.names(30, seed=5, style=learned.style)) == expected
    assert norvathel.Style.from_file(style_file) == learned.style
    bad = tmp_path / "bad.txt"
    bad.write_text("Anna\nB0b\n", encoding="utf-8")
    reason = run_tool(["learn", str(bad)])[2]
    with pytest.raises(norvathel.StyleError) as refused:
        norvathel.learn("Anna\nB0b\n", source=str(bad))
    assert str(refused.value) == reason
    assert (refused.value.source, refused.value.line, refused.value.column) == (str(bad), 2, 2)
