#!/usr/bin/env python3
"""Writes the made-up peoples' name lists beside this file, for the learning benchmark.

Each people has a sound of its own and, unlike a bag of independent groups, ties between its
parts: vowel harmony, onsets that suit some vowels, endings that follow the last syllable's
vowel, so that a learner that draws every group on its own falls short of a list's floor.
Seeded, so the lists are the same on every run:  python3 bench/lists/make_peoples.py
"""
import os
import random

HERE = os.path.dirname(os.path.abspath(__file__))


def weighted(rng, table):
    """table: "a:5 b:2 c" (weight 1 when none is given)."""
    items = []
    for entry in table.split():
        text, _, weight = entry.partition(":")
        items.append((text, int(weight or 1)))
    total = sum(w for _, w in items)
    pick = rng.randrange(total)
    for text, weight in items:
        if pick < weight:
            return text
        pick -= weight
    raise AssertionError


class People:
    def __init__(self, name, size, syllables, onsets, vowels, endings, initial=None, medial=None,
                 harmony=None, after=None):
        self.name, self.size, self.syllables = name, size, syllables
        self.onsets, self.vowels, self.endings = onsets, vowels, endings
        self.initial, self.medial = initial or onsets, medial or onsets
        self.harmony = harmony    # {set name: vowel table}: one set for the whole name
        self.after = after or {}  # vowel -> onset table that follows it

    def compose(self, rng, gender):
        vowels = self.vowels
        if self.harmony:
            vowels = self.harmony[weighted(rng, " ".join(self.harmony))]
        count = int(weighted(rng, self.syllables))
        text, vowel = "", None
        for position in range(count):
            if position == 0:
                onset = weighted(rng, self.initial)
            elif vowel in self.after:
                onset = weighted(rng, self.after[vowel])
            else:
                onset = weighted(rng, self.medial)
            vowel = weighted(rng, vowels)
            text += ("" if onset == "-" else onset) + ("" if vowel == "-" else vowel)
        ending = self.endings[gender]
        if isinstance(ending, dict):  # keyed by the last vowel's first letter
            ending = ending.get(vowel[0], ending["*"])
        text += "" if (e := weighted(rng, ending)) == "-" else e
        return text[0].upper() + text[1:]


PEOPLES = [
    People("vesk", 2400, "1:2 2:5 3:2",
           onsets="b br d dr g k kr l m n p r s st sv t v z zd",
           initial="br:3 dr:2 g k:2 kr:2 l m:2 n p r s:2 st:2 sv:2 t v:3 z:2 zd",
           medial="b d:2 k l:3 m n:2 r:4 s v:2 z",
           vowels="a:4 e:3 i:2 o:4 u",
           endings={"m": "n:3 k:2 sk:2 r:2 mir:1 slav:1", "f": "a:5 ka:2 na:3 ra:2 ava:1 ena:1"}),
    People("lauri", 900, "2:4 3:4 4:1",
           onsets="l:4 n:3 th:2 r:3 m:2 s:2 f v h",
           vowels="a e i o u",
           harmony={"bright": "e:3 i:3 ie ae", "deep": "a:3 o:3 u:2 au"},
           endings={"m": {"e": "l:3 th n", "i": "l n:2 s", "*": "r:2 n:2 dor"},
                    "f": {"e": "-:2 lle wen", "i": "-:2 el ra", "*": "-:2 wen la"}}),
    People("kaimana", 3000, "2:2 3:5 4:3",
           onsets="k:3 h:3 m:2 n:2 p:2 l:3 w:2 -:2",
           initial="k:3 h:3 m:2 n:2 p:2 l:2 w:2 -:1",
           vowels="a:5 e:2 i:3 o:3 u:3 ai:1 au:1",
           after={"i": "k:2 n:2 l:3 h", "u": "m:2 l:2 k:2 -"},
           endings={"m": "-:3 o:1 ua:1", "f": "-:3 ani:1 ele:1"}),
    People("simkar", 1300, "1:2 2:6 3:2",
           onsets="b ç d g ğ k m n r s ş t y z",
           initial="b:2 ç d:2 g k:3 m:2 n s:2 ş:2 t:3 y z",
           medial="d:2 g ğ:2 k l:2 m:2 n:2 r:4 s ş:2 t y:2 z",
           vowels="a e ı i o ö u ü",
           harmony={"back": "a:4 ı:2 o:2 u:2", "front": "e:4 i:3 ö ü:2"},
           endings={"m": {"a": "n:2 r:2 k:2 y", "ı": "n r k", "o": "n r", "u": "n r k",
                          "*": "n:2 r:2 k m"},
                    "f": {"a": "-:2 y:1 n", "e": "-:2 l n:2", "*": "-:3 l"}}),
    People("drozha", 220, "1:2 2:4 3:1",
           onsets="д др з к кр л м н п р с ст т в ж",
           vowels="а:4 е:2 и:2 о:4 у ы",
           endings={"m": "н:2 к:2 р с", "f": "а:4 на:2 ка:1 я:2"}),
    People("thalassa", 500, "2:4 3:3",
           onsets="θ:2 λ:3 μ:2 ν:2 π:2 ρ:3 σ:2 τ:2 κ:2",
           vowels="α:4 ε:3 ι:2 ο:3 υ",
           endings={"m": "ος:4 ης:2 ων:2", "f": "α:4 η:3 ω:1"}),
    # A script that writes few vowels (an abjad) and one that writes syllables: learned letter
    # by letter and syllable by syllable.
    People("yaren", 600, "2:3 3:4 4:1",
           onsets="מ:3 ד:2 ר:3 ש:2 ל:3 נ:2 ב:2 ת:2 י:2 א:2 ע ח כ",
           vowels="-:5 ו:2 י:2",
           after={"ו": "ד:2 ל:2 ן", "י": "ר:2 ת:2 ה"},
           endings={"m": "ל:2 ן:2 ם:2 ר", "f": "ה:5 ית:2 ת:1"}),
    People("haneul", 700, "1:3 2:5",
           onsets="민:3 준:2 서:3 지:3 현:2 수:2 영:2 하:2 윤:2 도:2 은:2 채 예",
           vowels="-",
           endings={"m": "준:3 호:2 훈:2 우", "f": "아:3 은:2 희:2 린"}),
    # Arabic letters, long vowels written and short ones not; kana, a syllable a letter.
    People("qamar", 800, "1:2 2:5 3:2",
           onsets="م:3 ح:2 س:2 ع:2 ل:3 ف:2 ن:2 ر:3 ك:2 ي:2 ب:2 ز د ش",
           vowels="-:4 ا:3 ي:2 و:1",
           after={"ا": "ل:2 م:2 ن:2 ر", "و": "د:2 ر:2 ف"},
           endings={"m": "د:2 ن:2 ر:2 م ل", "f": "ة:4 ى:2 اء:1 ية:1"}),
    People("sakura", 900, "1:2 2:5 3:2",
           onsets="さ:2 く:2 ら:2 は:2 る:2 ゆ:2 い:2 そ:2 う:2 た:2 ひ:2 な:3 り:2 み:2 あ:2 ま:2 か:2 ゆ",
           vowels="-",
           endings={"m": "と:3 た:2 き:2 や:1 すけ:1", "f": "こ:4 な:2 み:2 か:1 え:1"}),
    # Names joined by a hyphen or an apostrophe: Jean-Luc and O'Neil, made up.
    People("marrec", 1000, "2:5 3:3",
           onsets="b br d g j k l m n p r s t v",
           initial="b:2 br d:2 g j:2 k l:2 m:3 n p r s:2 t:2 v",
           medial="d:2 l:3 m n:3 r:4 s t v -l:2 -m:2 -j:1 -p:1",
           vowels="a:4 e:3 i:2 o:3 ou:1 an:1",
           after={"o": "'n:2 r:2 l", "a": "n:2 r:2 -m:1 l"},
           endings={"m": "n:3 k:2 l:2 ic:1", "f": "e:4 a:2 elle:1 ine:1"}),
]


def joined(name):
    """The letter after a hyphen or apostrophe written as a capital, as such names are."""
    out = list(name)
    for k in range(1, len(out) - 1):
        if out[k] in "-'":
            out[k + 1] = out[k + 1].upper()
    return "".join(out)


def main():
    for people in PEOPLES:
        rng = random.Random(people.name)
        seen, lines = set(), []
        while len(lines) < people.size:
            gender = "m" if rng.random() < 0.5 else "f"
            name = joined(people.compose(rng, gender))
            if name.lower() not in seen:
                seen.add(name.lower())
                lines.append(f"{name}\t{gender}")
        path = os.path.join(HERE, f"{people.name}.txt")
        with open(path, "w", encoding="utf-8") as out:
            out.write(f"# {people.name}: {people.size} made-up names (bench/lists/make_peoples.py)\n")
            out.write("\n".join(lines) + "\n")
        print(path)


if __name__ == "__main__":
    main()
