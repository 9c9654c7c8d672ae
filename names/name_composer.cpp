#include "name_composer.h"

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

const int WorkSize = 100;  // far more than the longest name needs

// The name under construction: bytes appended at the end, always NUL-terminated.
struct WorkText {
    char* text;
    int length;

    void Append(const char* fragment)
    {
        while (*fragment != '\0')
            text[length++] = *fragment++;
        text[length] = '\0';
    }
};

bool SameText(const char* a, const char* b) { return std::strcmp(a, b) == 0; }

// A vowel fragment: never "y" to open a name, and never the previous vowel fragment again,
// except that "e" may follow "e" and "o" may follow "o".
const char* DrawVowel(AdditiveRandom& random, int position, const char* lastVowel)
{
    const char* vowel;
    if (position == 0) {
        do
            vowel = Vowels[random.Range(0, 8)];
        while (SameText(vowel, "y"));
        return vowel;
    }
    bool repeatAllowed = SameText(lastVowel, "e") || SameText(lastVowel, "o");
    do
        vowel = Vowels[random.Range(0, 8)];
    while (!repeatAllowed && SameText(vowel, lastVowel));
    return vowel;
}

// Composes one raw (unfinished) name of the given number of positions into out, carrying
// vowelRun from name to name; returns its length.
int ComposeName(AdditiveRandom& random, Gender gender, const char* prefix, int positions,
                int& vowelRun, char* out)
{
    WorkText work = {out, 0};
    out[0] = '\0';
    const char* lastVowel = "";
    bool afterConsonant = false;
    int position = 0;
    while (position < positions) {
        if (position == 0 && prefix[0] != '\0') {
            work.Append(prefix);
            lastVowel = prefix;
            afterConsonant = EndsInConsonant(prefix);
            position = 1;
        }
        if (gender == Female && vowelRun == 0 && position >= positions - 2) {
            work.Append(FemaleEndings[random.Range(0, 45)]);
            afterConsonant = false;
            return work.length;  // nothing follows an ending drawn in the loop
        }

        bool consonant;
        if (gender == Male && position == 0 && random.Range(1, 4) != 4)
            consonant = true;
        else if (afterConsonant)
            consonant = false;
        else
            consonant = random.Range(1, 2) == 1 || vowelRun == 2;

        if (consonant) {
            vowelRun = 0;
            afterConsonant = true;
            // Clusters never stand at the last position; the two draws stay in this order.
            if (random.Range(1, 4) == 1 && position < positions - 1)
                work.Append(Clusters[random.Range(0, 23)]);
            else
                work.Append(Consonants[random.Range(0, 59)]);
        } else {
            afterConsonant = false;
            ++vowelRun;
            lastVowel = DrawVowel(random, position, lastVowel);
            work.Append(lastVowel);
        }
        ++position;
    }

    if (gender == Female && afterConsonant)
        work.Append(FemaleEndings[random.Range(0, 45)]);
    if (gender == Male && vowelRun != 0)
        work.Append(Consonants[random.Range(0, 59)]);  // vowelRun carries on unchanged
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
    char prefix[PrefixCapacity];
    ReadPrefix(prefixText, prefix);
    int positions[NamesPerBoard];
    for (int& count : positions)
        count = random.Range(3, 6);
    int vowelRun = 0;
    char work[WorkSize];
    for (int index = 0; index < NamesPerBoard; ++index) {
        int length = ComposeName(random, gender, prefix, positions[index], vowelRun, work);
        store(index, work, length);
    }
}

}  // namespace

void ComposeBoard(AdditiveRandom& random, Gender gender, const char* prefix, Board& board)
{
    ComposeTen(random, gender, prefix, [&board](int index, char* work, int length) {
        UpperCaseFirstLetter(work);
        std::memcpy(board.names[index], work, static_cast<std::size_t>(length) + 1);
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
