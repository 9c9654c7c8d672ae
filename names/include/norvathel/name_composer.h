// The name composer: ten names of one gender at a time, built from the fragment tables with
// draws from an AdditiveRandom, each beginning with an optional prefix.
#pragma once
#include <norvathel/additive_random.h>

namespace norvathel {

enum Gender { Male = 0, Female = 1 };

const int NamesPerBoard = 10;
const int PrefixCapacity = 32;  // the prefix area: at most 31 bytes and the NUL
const int MaxNameLength = 45;   // a 31-byte prefix and at most 14 drawn bytes
const int NameSlotSize = 48;    // room for the longest name and its NUL

// The ten names of a board in fixed slots, for callers that want no allocation per name.
struct Board {
    char names[NamesPerBoard][NameSlotSize];
    int lengths[NamesPerBoard];
};

// The ten current names of a board, each owned; null before the first composition.
class NameList {
public:
    NameList() = default;
    ~NameList() { Release(); }
    NameList(const NameList&) = delete;
    NameList& operator=(const NameList&) = delete;

    const char* operator[](int index) const { return entries[index]; }
    // Frees the ten names; every entry is null afterwards.
    void Release();
    // Takes ownership of a name allocated with malloc, replacing (and freeing) entry index.
    void Store(int index, char* name);

private:
    char* entries[NamesPerBoard] = {};
};

// The gender of a board drawn as the program draws its first one: Range(1, 2), 1 being male
// and 2 female. One draw.
Gender DrawStartGender(AdditiveRandom& random);

// Composes ten names of the gender into the board's slots, finished (first letter upper-case).
// Only the first 31 bytes of the prefix count; null and "" mean no prefix.
void ComposeBoard(AdditiveRandom& random, Gender gender, const char* prefix, Board& board);

// Releases the ten names of the list and stores ten new ones, each a fresh finished copy.
void Compose(AdditiveRandom& random, Gender gender, const char* prefix, NameList& list);

}  // namespace norvathel
