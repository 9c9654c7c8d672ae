#include "name_composer.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "fragment_tables.h"
#include "name_finishing.h"

NameList BoardNames;

void NameList::Release()
{
    for (char*& entry : entries) {
        std::free(entry);
        entry = nullptr;
    }
}

void NameList::Store(int index, char* name)
{
    std::free(entries[index]);
    entries[index] = name;
}

namespace {

const int WorkSize = 100;      // far more than the longest name needs
const int FragmentSize = 8;    // the longest fragment (7 bytes) and its NUL
const int VowelDrawMask = 15;  // Range(0, 8) draws 4 bits and redraws 9..15
const std::uint32_t UndrawableVowels = 0xFE00u;  // the 4-bit draws 9..15
const int ClusterBase = 60;    // where the clusters start among the cached consonant fragments

bool SameText(const char* a, const char* b)
{
    while (*a == *b) {
        if (*a == '\0')
            return true;
        ++a;
        ++b;
    }
    return false;
}

// The mask Range(lo, hi) draws with, from last = hi - lo: the smallest 2^k - 1 covering it.
constexpr std::uint32_t MaskFor(std::uint32_t last)
{
    return last | last >> 1 | last >> 2 | last >> 4 | last >> 8 | last >> 16;
}

// Draws exactly as Range(0, last) does, given its mask: the same steps, the same rejections.
// The composer's spans are fixed, so it works out the masks once instead of on every draw.
inline int DrawMasked(AdditiveRandom& random, std::uint32_t last, std::uint32_t mask)
{
    std::uint32_t d;
    do
        d = static_cast<std::uint32_t>(random.Next()) & mask;
    while (d > last);
    return static_cast<int>(d);
}

// Range(Lo, Hi), its mask worked out at compile time.
template <int Lo, int Hi>
inline int Draw(AdditiveRandom& random)
{
    static_assert(Lo < Hi && Hi - Lo < (1 << 24), "a narrow span of at least two values");
    constexpr std::uint32_t last = static_cast<std::uint32_t>(Hi - Lo);
    return Lo + DrawMasked(random, last, MaskFor(last));
}

// A fragment ready to append: zero-padded to a fixed size, so that appending is one fixed-size
// copy and an add, not a byte loop whose length changes at random from fragment to fragment.
struct Fragment {
    char text[FragmentSize];
    int length;
};

void MakeFragment(const char* text, Fragment& fragment)
{
    std::memset(fragment.text, 0, sizeof fragment.text);
    std::size_t length = std::strlen(text);
    if (length > FragmentSize - 1)
        length = FragmentSize - 1;  // no fragment is that long; never write past the slot
    std::memcpy(fragment.text, text, length);
    fragment.length = static_cast<int>(length);
}

// The set of 4-bit vowel draws to draw again while lastVowel is the given text: the undrawable
// 9..15 and every entry equal to it, unless it is "e" or "o", which may repeat.
std::uint32_t VowelRedrawsAfter(const char* lastVowel)
{
    std::uint32_t redraws = UndrawableVowels;
    if (SameText(lastVowel, "e") || SameText(lastVowel, "o"))
        return redraws;
    for (int k = 0; k <= 8; ++k)
        if (SameText(Vowels[k], lastVowel))
            redraws |= 1u << k;
    return redraws;
}

// The drawable part of the fragment tables in appendable form, with the vowel rules as sets.
struct FragmentCache {
    // The 60 consonants, then the 24 drawable clusters from 60 on: one index picks either.
    Fragment consonants[60 + 24];
    Fragment vowels[9];
    Fragment endings[46];
    std::uint32_t redrawsAfterVowel[9];
    std::uint32_t redrawsAfterNothing;  // lastVowel empty
    std::uint32_t redrawsOpening;       // position 0: never "y"

    FragmentCache()
    {
        for (int k = 0; k < 60; ++k)
            MakeFragment(Consonants[k], consonants[k]);
        for (int k = 0; k < 24; ++k)
            MakeFragment(Clusters[k], consonants[ClusterBase + k]);
        for (int k = 0; k < 46; ++k)
            MakeFragment(FemaleEndings[k], endings[k]);
        redrawsOpening = UndrawableVowels;
        for (int k = 0; k < 9; ++k) {
            MakeFragment(Vowels[k], vowels[k]);
            redrawsAfterVowel[k] = VowelRedrawsAfter(Vowels[k]);
            if (SameText(Vowels[k], "y"))
                redrawsOpening |= 1u << k;
        }
        redrawsAfterNothing = VowelRedrawsAfter("");
    }
};

const FragmentCache& Fragments()
{
    static const FragmentCache cache;
    return cache;
}

// What a composition needs to know about its prefix, worked out once for the ten names.
struct PrefixFacts {
    const char* text;
    int length;
    bool endsInConsonant;
    std::uint32_t vowelRedraws;  // while lastVowel is the prefix
};

// The name under construction; whole fixed-size fragments are copied in, the padding's zeros
// keep it terminated.
struct WorkText {
    char* text;
    int length;

    void Append(const Fragment& fragment)
    {
        std::memcpy(text + length, fragment.text, FragmentSize);
        length += fragment.length;
    }
};

// Composes one raw (unfinished) name of the given number of positions into out, carrying
// vowelRun from name to name; returns its length. lastVowel is kept as the set of vowel draws
// it refuses.
int ComposeName(AdditiveRandom& random, const FragmentCache& fragments, Gender gender,
                const PrefixFacts& prefix, int positions, int& carriedVowelRun, char* out)
{
    int vowelRun = carriedVowelRun;  // a local, so that it stays in a register
    WorkText work = {out, 0};
    std::uint32_t vowelRedraws = fragments.redrawsAfterNothing;
    bool afterConsonant = false;
    int position = 0;
    // Positions run from 3 up, so the first pass always reaches the prefix step.
    if (prefix.length > 0) {
        std::memcpy(out, prefix.text, static_cast<std::size_t>(prefix.length));
        work.length = prefix.length;
        vowelRedraws = prefix.vowelRedraws;
        afterConsonant = prefix.endsInConsonant;
        position = 1;
    }
    while (position < positions) {
        if (gender == Female && vowelRun == 0 && position >= positions - 2) {
            work.Append(fragments.endings[Draw<0, 45>(random)]);
            out[work.length] = '\0';
            carriedVowelRun = vowelRun;
            return work.length;  // nothing follows an ending drawn in the loop
        }

        bool consonant;
        if (gender == Male && position == 0 && Draw<1, 4>(random) != 4)
            consonant = true;
        else if (afterConsonant)
            consonant = false;
        else
            consonant = Draw<1, 2>(random) == 1 || vowelRun == 2;

        if (consonant) {
            vowelRun = 0;
            afterConsonant = true;
            // Clusters never stand at the last position; the two draws stay in this order.
            // Span and table are picked by arithmetic, not a branch: the choice is random.
            int cluster = (Draw<1, 4>(random) == 1) & (position < positions - 1);
            int index = DrawMasked(random, cluster ? 23u : 59u, cluster ? MaskFor(23) : MaskFor(59));
            work.Append(fragments.consonants[cluster * ClusterBase + index]);
        } else {
            afterConsonant = false;
            ++vowelRun;
            // One loop for Range(0, 8)'s own redraws and the vowel rules' redraws: both
            // simply draw again, so the sequence of draws is the same.
            std::uint32_t redraws = position == 0 ? fragments.redrawsOpening : vowelRedraws;
            int vowel;
            do
                vowel = random.Next() & VowelDrawMask;
            while (redraws >> vowel & 1u);
            vowelRedraws = fragments.redrawsAfterVowel[vowel];
            work.Append(fragments.vowels[vowel]);
        }
        ++position;
    }

    if (gender == Female && afterConsonant)
        work.Append(fragments.endings[Draw<0, 45>(random)]);
    if (gender == Male && vowelRun != 0)
        work.Append(fragments.consonants[Draw<0, 59>(random)]);  // vowelRun carries on unchanged
    out[work.length] = '\0';
    carriedVowelRun = vowelRun;
    return work.length;
}

// The prefix area: the first 31 bytes of the given text, zero-filled behind them.
void ReadPrefix(const char* text, char (&area)[PrefixCapacity])
{
    std::memset(area, 0, sizeof area);
    if (text != nullptr)
        std::strncpy(area, text, PrefixCapacity - 1);
}

// Every composition draws the ten lengths first, then composes names 0 to 9 in order.
template <typename StoreName>
void ComposeTen(AdditiveRandom& random, Gender gender, const char* prefixText, StoreName store)
{
    const FragmentCache& fragments = Fragments();
    char prefix[PrefixCapacity];
    ReadPrefix(prefixText, prefix);
    PrefixFacts facts = {prefix, static_cast<int>(std::strlen(prefix)), EndsInConsonant(prefix),
                         VowelRedrawsAfter(prefix)};
    int positions[NamesPerBoard];
    for (int& count : positions)
        count = Draw<3, 6>(random);
    int vowelRun = 0;
    char work[WorkSize] = {};
    for (int index = 0; index < NamesPerBoard; ++index) {
        int length = ComposeName(random, fragments, gender, facts, positions[index], vowelRun, work);
        store(index, work, length);
    }
}

}  // namespace

void ComposeBoard(AdditiveRandom& random, Gender gender, const char* prefix, Board& board)
{
    ComposeTen(random, gender, prefix, [&board](int index, char* work, int length) {
        UpperCaseFirstLetter(work);
        // A whole slot at once: a fixed-size copy; the bytes behind the NUL do not matter.
        std::memcpy(board.names[index], work, NameSlotSize);
        board.lengths[index] = length;
    });
}

void Compose(AdditiveRandom& random, Gender gender, const char* prefix, NameList& list)
{
    list.Release();
    ComposeTen(random, gender, prefix, [&list](int index, char* work, int) {
        list.Store(index, FinishName(work));
    });
}
