#!/usr/bin/env python3
"""How true learned styles are to real names, beside a list's floor and a letter chain.

For each example list (the lists `norvathel-names learn` reads: a name a line, a tab and m or
f optional): four times, with fixed seeds, the names are split 3:1; a style is learned from
three quarters and 10,000 names per gender composed in it; an order-2 letter Markov chain with
back-off (the method of the common public learners) is trained on the same three quarters and
makes as many. Each is compared with the held-out quarter of its gender by the Jensen-Shannon
divergence (bits) of their letter-trigram distributions, with start and end marks. The floor
is the three quarters themselves against the held-out quarter: what real names of the same
people score at this sample size. Also: the share of made names that are training names, and
the mean length (letters) against the examples'.

    python3 bench/learn_fidelity.py [--tool build/release/cli/norvathel-names] [LIST...]

Without lists: the made-up peoples of bench/lists/. A list `learn` refuses is reported with
the tool's reason.
"""
import argparse
import collections
import glob
import math
import os
import random
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
SPLITS = 4
PER_GENDER = 10_000


def read_list(path):
    names = []
    with open(path, encoding="utf-8-sig") as f:
        for line in f:
            line = line.rstrip("\r\n")
            if not line or line.startswith("#"):
                continue
            name, _, mark = line.partition("\t")
            names.append((name, mark.strip().lower()))
    return names


def for_gender(names, gender):
    """The names that serve a gender: marked with it, or unmarked."""
    return [n for n, mark in names if mark in (gender[0], "")]


def trigrams(names):
    counts = collections.Counter()
    for name in names:
        text = "^" + name.lower() + "$"
        for k in range(len(text) - 2):
            counts[text[k:k + 3]] += 1
    return counts


def js_divergence(p_counts, q_counts):
    p_total, q_total = sum(p_counts.values()), sum(q_counts.values())
    if not p_total or not q_total:
        return float("nan")
    total = 0.0
    for key in set(p_counts) | set(q_counts):
        p = p_counts.get(key, 0) / p_total
        q = q_counts.get(key, 0) / q_total
        m = (p + q) / 2
        if p:
            total += p / 2 * math.log2(p / m)
        if q:
            total += q / 2 * math.log2(q / m)
    return total


class LetterChain:
    """Order-2 letter Markov chain with back-off to order 1 and 0."""

    def __init__(self, names):
        self.tables = [collections.defaultdict(collections.Counter) for _ in range(3)]
        for name in names:
            text = "^^" + name.lower() + "$"
            for k in range(2, len(text)):
                for order in range(3):
                    self.tables[order][text[k - order:k]][text[k]] += 1

    def make(self, rng, longest=30):
        text = "^^"
        while len(text) < longest + 2:
            for order in (2, 1, 0):
                counts = self.tables[order].get(text[len(text) - order:] if order else "")
                if counts:
                    break
            letters, weights = zip(*counts.items())
            letter = rng.choices(letters, weights)[0]
            if letter == "$":
                break
            text += letter
        name = text[2:]
        return name[:1].upper() + name[1:]


FORMAT = ["2"]  # set from the command line


def learn_and_compose(tool, training, seed):
    with tempfile.TemporaryDirectory() as scratch:
        examples = os.path.join(scratch, "examples.txt")
        style = os.path.join(scratch, "learned.toml")
        with open(examples, "w", encoding="utf-8") as f:
            f.writelines(f"{n}\t{m}\n" if m else f"{n}\n" for n, m in training)
        learned = subprocess.run([tool, "learn", "--quiet", "--format", FORMAT[0], examples],
                                 capture_output=True, text=True)
        if learned.returncode != 0:
            return None, learned.stderr.strip().splitlines()[0]
        with open(style, "w", encoding="utf-8") as f:
            f.write(learned.stdout)
        made = {}
        for gender in ("male", "female"):
            run = subprocess.run([tool, "--style", style, f"--{gender}", "--seed", str(seed),
                                  "--count", str(PER_GENDER)], capture_output=True, text=True,
                                 check=True)
            made[gender] = run.stdout.split()
        return made, None


def mean_length(names):
    return sum(len(n) for n in names) / len(names) if names else float("nan")


def measure(tool, path):
    names = read_list(path)
    rows = collections.defaultdict(lambda: collections.defaultdict(list))
    for split in range(SPLITS):
        rng = random.Random(1000 + split)
        shuffled = names[:]
        rng.shuffle(shuffled)
        cut = len(shuffled) * 3 // 4
        training, held = shuffled[:cut], shuffled[cut:]
        made, refusal = learn_and_compose(tool, training, 1000 + split)
        if refusal:
            return None, refusal
        for gender in ("male", "female"):
            train_g, held_g = for_gender(training, gender), for_gender(held, gender)
            if not train_g or not held_g:
                continue  # a list of one gender: the other is not measured
            known = {n.lower() for n in train_g}
            chain = LetterChain(train_g)
            chained = [chain.make(rng) for _ in range(PER_GENDER)]
            held_counts = trigrams(held_g)
            row = rows[gender]
            row["floor"].append(js_divergence(trigrams(train_g), held_counts))
            row["learned"].append(js_divergence(trigrams(made[gender]), held_counts))
            row["chain"].append(js_divergence(trigrams(chained), held_counts))
            row["copies"].append(sum(n.lower() in known for n in made[gender]) / PER_GENDER)
            row["chain copies"].append(sum(n.lower() in known for n in chained) / PER_GENDER)
            row["length"].append(mean_length(made[gender]))
            row["chain length"].append(mean_length(chained))
            row["examples"].append(mean_length(train_g))
            row["count"].append(len(train_g) + len(held_g))
    return {g: {k: sum(v) / len(v) for k, v in row.items()} for g, row in rows.items()}, None


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--tool", default=os.path.join(HERE, "..", "build", "release", "cli",
                                                       "norvathel-names"))
    parser.add_argument("--format", default="2", choices=["1", "2"],
                        help="the style format learn writes (default 2)")
    parser.add_argument("lists", nargs="*")
    args = parser.parse_args()
    FORMAT[0] = args.format
    lists = args.lists or sorted(glob.glob(os.path.join(HERE, "lists", "*.txt")))
    if not os.access(args.tool, os.X_OK):
        sys.exit(f"{args.tool}: no tool (build it: cmake --preset release && "
                 "cmake --build --preset release -j2 --target norvathel-names)")
    print(f"{SPLITS} splits 3:1, {PER_GENDER} names per gender; divergence in bits "
          "(letter trigrams, start and end marked)")
    print(f"{'list':<14}{'gender':<8}{'names':>6}{'floor':>8}{'learned':>9}{'x floor':>8}"
          f"{'chain':>8}{'x floor':>8}{'copies':>8}{'chain':>7}{'length':>8}{'chain':>7}{'real':>6}")
    ratios = []
    for path in lists:
        label = os.path.splitext(os.path.basename(path))[0]
        result, refusal = measure(args.tool, path)
        if refusal:
            print(f"{label:<14}refused: {refusal}")
            continue
        for gender, r in result.items():
            ratio = r["learned"] / r["floor"]
            ratios.append(ratio)
            print(f"{label:<14}{gender:<8}{r['count']:>6.0f}{r['floor']:>8.3f}{r['learned']:>9.3f}"
                  f"{ratio:>8.2f}{r['chain']:>8.3f}{r['chain'] / r['floor']:>8.2f}"
                  f"{r['copies']:>8.1%}{r['chain copies']:>7.1%}{r['length']:>8.2f}"
                  f"{r['chain length']:>7.2f}{r['examples']:>6.2f}")
    if ratios:
        print(f"mean learned / floor over {len(ratios)} lists and genders: "
              f"{sum(ratios) / len(ratios):.2f}")


if __name__ == "__main__":
    main()
