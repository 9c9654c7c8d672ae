"""Names per second from Python: norvathel.names(100_000), a loop over norvathel.stream(),
name_for over 100,000 keys, beside Faker's first_name() and the cost of making as many
Python strings from the same bytes (bytes.decode().split(): the least a list of strings
costs). Run with the package the interpreter finds, best an optimised one, the wheel:

    bash scripts/python.sh --no-check
    /usr/bin/python3 -m venv --system-site-packages /tmp/nv
    /tmp/nv/bin/pip install --no-index build/dist/norvathel-*.whl
    /tmp/nv/bin/python bench/python_names.py

Each figure is the best of five runs. The goals: names() at least 20 times Faker's rate, and
within twice the cost of the strings alone.
"""

import sys
import time

import norvathel

COUNT = 100_000
ROUNDS = 5


def rate(work, count=COUNT):
    """Names per second, the best of ROUNDS runs of work()."""
    best = float("inf")
    for _ in range(ROUNDS):
        start = time.perf_counter()
        work()
        best = min(best, time.perf_counter() - start)
    return count / best


def main():
    names = norvathel.names(COUNT, seed="bench")
    blob = "\n".join(names).encode("utf-8")
    keys = [f"npc-{index}" for index in range(COUNT)]

    def stream_loop():
        stream = norvathel.stream(seed="bench")
        for _ in range(COUNT):
            next(stream)

    def name_for_loop():
        name_for = norvathel.name_for
        for key in keys:
            name_for(key)

    figures = [
        ("norvathel.names(100_000)", rate(lambda: norvathel.names(COUNT, seed="bench"))),
        ("next() over norvathel.stream()", rate(stream_loop)),
        ("norvathel.names_for(100,000 keys)", rate(lambda: norvathel.names_for(keys))),
        ("norvathel.name_for(key) x 100,000", rate(name_for_loop)),
        ("str from bytes: blob.decode().split()", rate(lambda: blob.decode("utf-8").split("\n"))),
        ("str from bytes: [b.decode() for b in ...]", None),
    ]
    pieces = [name.encode("utf-8") for name in names]
    figures[-1] = (figures[-1][0], rate(lambda: [piece.decode("utf-8") for piece in pieces]))
    try:
        import faker
        fake = faker.Faker()
        fake.seed_instance(1)
        faker_count = 20_000
        faker_rate = rate(lambda: [fake.first_name() for _ in range(faker_count)], faker_count)
        faker_version = getattr(faker, "VERSION", "?")
        figures.append((f"Faker {faker_version} first_name()", faker_rate))
    except ImportError:
        faker_rate = None
        faker_version = None

    print(f"norvathel {norvathel.__version__} ({norvathel._native.__file__})")
    print(f"Python {sys.version.split()[0]}; Faker {faker_version or 'not installed'}")
    for label, value in figures:
        print(f"  {label:44} {value / 1e6:8.2f} M names/s")
    names_rate, strings_rate = figures[0][1], figures[4][1]
    if faker_rate:
        print(f"names() / Faker first_name():          {names_rate / faker_rate:8.1f} x (goal >= 20)")
    print(f"names() cost / decode().split() cost:  {strings_rate / names_rate:8.2f} x (goal <= 2)")
    print(f"names() cost / [b.decode() ...] cost:  {figures[5][1] / names_rate:8.2f} x")


if __name__ == "__main__":
    main()
