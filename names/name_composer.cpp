#include <norvathel/name_composer.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "fragment_tables.h"
#include "name_finishing.h"

namespace norvathel {

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

Gender DrawStartGender(AdditiveRandom& random)
{
    return random.Range(1, 2) == 1 ? Male : Female;
}

namespace {

// The spans of the table draws, from the tables' sizes.
constexpr AdditiveRandom::Span ConsonantSpan = AdditiveRandom::SpanOf(0, ConsonantDraws - 1);
constexpr AdditiveRandom::Span ClusterSpan = AdditiveRandom::SpanOf(0, ClusterDraws - 1);
constexpr AdditiveRandom::Span VowelSpan = AdditiveRandom::SpanOf(0, VowelDraws - 1);
const int ClusterBase = ConsonantDraws;  // where the clusters start among the cached consonants

// The vowel rules are kept as sets of refused draws, one bit per masked draw.
static_assert(VowelSpan.mask < 32, "every masked vowel draw has a bit in a 32-bit set");
// The masked draws past the table, which Range(0, VowelDraws - 1) draws again.
constexpr std::uint32_t UndrawableVowels =
    static_cast<std::uint32_t>((std::uint64_t{2} << VowelSpan.mask) - (std::uint64_t{1} << VowelDraws));

// The widest entry of any table, its NUL included; every fragment is copied at this size.
constexpr int FragmentSize = sizeof FemaleEndings[0];
static_assert(sizeof Consonants[0] <= FragmentSize && sizeof Clusters[0] <= FragmentSize &&
                  sizeof Vowels[0] <= FragmentSize,
              "every fragment fits a fragment slot");

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

// The set of masked vowel draws to draw again while lastVowel is the given text: those past
// the table and every entry equal to it, unless it is "e" or "o", which may repeat.
std::uint32_t VowelRedrawsAfter(const char* lastVowel)
{
    std::uint32_t redraws = UndrawableVowels;
    if (SameText(lastVowel, "e") || SameText(lastVowel, "o"))
        return redraws;
    for (int k = 0; k < VowelDraws; ++k)
        if (SameText(Vowels[k], lastVowel))
            redraws |= 1u << k;
    return redraws;
}

// The drawable part of the fragment tables in appendable form, with the vowel rules as sets.
struct FragmentCache {
    // The drawable consonants, then the drawable clusters from ClusterBase on: one index
    // picks either.
    Fragment consonants[ConsonantDraws + ClusterDraws];
    Fragment vowels[VowelDraws];
    Fragment endings[EndingDraws];
    std::uint32_t redrawsAfterVowel[VowelDraws];
    std::uint32_t redrawsAfterNothing;  // lastVowel empty
    std::uint32_t redrawsOpening;       // position 0: never "y"

    FragmentCache()
    {
        for (int k = 0; k < ConsonantDraws; ++k)
            MakeFragment(Consonants[k], consonants[k]);
        for (int k = 0; k < ClusterDraws; ++k)
            MakeFragment(Clusters[k], consonants[ClusterBase + k]);
        for (int k = 0; k < EndingDraws; ++k)
            MakeFragment(FemaleEndings[k], endings[k]);
        redrawsOpening = UndrawableVowels;
        for (int k = 0; k < VowelDraws; ++k) {
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
            work.Append(fragments.endings[random.Range<0, EndingDraws - 1>()]);
            out[work.length] = '\0';
            carriedVowelRun = vowelRun;
            return work.length;  // nothing follows an ending drawn in the loop
        }

        bool consonant;
        if (gender == Male && position == 0 && random.Range<1, 4>() != 4)
            consonant = true;
        else if (afterConsonant)
            consonant = false;
        else
            consonant = random.Range<1, 2>() == 1 || vowelRun == 2;

        if (consonant) {
            vowelRun = 0;
            afterConsonant = true;
            // Clusters never stand at the last position; the two draws stay in this order.
            // Span and table are picked by arithmetic, not a branch: the choice is random.
            int cluster = (random.Range<1, 4>() == 1) & (position < positions - 1);
            int index = random.Draw(cluster ? ClusterSpan : ConsonantSpan);
            work.Append(fragments.consonants[cluster * ClusterBase + index]);
        } else {
            afterConsonant = false;
            ++vowelRun;
            // One loop for the span's own redraws and the vowel rules' redraws: both simply
            // draw again, so the sequence of draws is that of Range(0, VowelDraws - 1).
            std::uint32_t redraws = position == 0 ? fragments.redrawsOpening : vowelRedraws;
            int vowel;
            do
                vowel = random.Next() & static_cast<int>(VowelSpan.mask);
            while (redraws >> vowel & 1u);
            vowelRedraws = fragments.redrawsAfterVowel[vowel];
            work.Append(fragments.vowels[vowel]);
        }
        ++position;
    }

    if (gender == Female && afterConsonant)
        work.Append(fragments.endings[random.Range<0, EndingDraws - 1>()]);
    if (gender == Male && vowelRun != 0)
        work.Append(fragments.consonants[random.Range<0, ConsonantDraws - 1>()]);  // vowelRun carries on
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

}  // namespace

void BoardCursor::Start(AdditiveRandom& source, Gender boardGender, const char* prefixText)
{
    random = &source;
    gender = boardGender;
    ReadPrefix(prefixText, prefix);
    prefixLength = static_cast<int>(std::strlen(prefix));
    prefixEndsInConsonant = EndsInConsonant(prefix);
    prefixVowelRedraws = VowelRedrawsAfter(prefix);
    // Every composition draws the ten lengths first, then composes names 0 to 9 in order.
    for (int& count : positions)
        count = source.Range<3, 6>();
    vowelRun = 0;
    index = 0;
}

int BoardCursor::Next(char (&name)[NameSlotSize])
{
    const PrefixFacts facts = {prefix, prefixLength, prefixEndsInConsonant, prefixVowelRedraws};
    const int length = ComposeName(*random, Fragments(), gender, facts, positions[index], vowelRun, work);
    ++index;
    UpperCaseFirstLetter(work);
    // A whole slot at once: a fixed-size copy; the bytes behind the NUL do not matter.
    std::memcpy(name, work, NameSlotSize);
    return length;
}

void ComposeBoard(AdditiveRandom& random, Gender gender, const char* prefix, Board& board)
{
    BoardCursor cursor;
    cursor.Start(random, gender, prefix);
    for (int index = 0; index < NamesPerBoard; ++index)
        board.lengths[index] = cursor.Next(board.names[index]);
}

void Compose(AdditiveRandom& random, Gender gender, const char* prefix, NameList& list)
{
    list.Release();
    BoardCursor cursor;
    cursor.Start(random, gender, prefix);
    char name[NameSlotSize];
    for (int index = 0; index < NamesPerBoard; ++index) {
        cursor.Next(name);
        list.Store(index, FinishName(name));  // already finished: FinishName only copies it
    }
}

}  // namespace norvathel
