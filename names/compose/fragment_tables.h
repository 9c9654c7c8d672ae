// The four fragment tables names are built from. Repetitions are weights and the order is
// part of the data: a drawn index selects by position. Each table ends with a "\n" entry
// that marks its end; no draw reaches it.
#pragma once
#include <type_traits>

namespace norvathel {

// Each entry is a text of fixed width, its longest fragment and the NUL: character arrays,
// unlike arrays of pointers, need no relocation and stay read-only in a shared library.
extern const char Consonants[61][3];
extern const char Clusters[26][3];
extern const char Vowels[10][2];
extern const char FemaleEndings[47][8];

// How many leading entries of each table the composer draws from: every fragment, without
// the end marker; of the clusters not the last one either ("rr" is kept, never drawn).
constexpr int ConsonantDraws = static_cast<int>(std::extent<decltype(Consonants)>::value) - 1;
constexpr int ClusterDraws = static_cast<int>(std::extent<decltype(Clusters)>::value) - 2;
constexpr int VowelDraws = static_cast<int>(std::extent<decltype(Vowels)>::value) - 1;
constexpr int EndingDraws = static_cast<int>(std::extent<decltype(FemaleEndings)>::value) - 1;

// Classic's rules as numbers. Classic's style is made with them; the composer's path with them
// compiled in serves every style whose tables and rules draw with them. Chances are "in of":
// Range(1, of) <= in. Male names close on a consonant, female names on an ending.
struct ClassicNumbers {
    static constexpr int minPositions = 3, maxPositions = 6;
    static constexpr int maleOpeningIn = 3, maleOpeningOf = 4;  // a male name opens on a consonant
    static constexpr int femaleOpeningIn = 0, femaleOpeningOf = 0;
    static constexpr int consonantIn = 1, consonantOf = 2;  // a consonant where either may stand
    static constexpr int clusterIn = 1, clusterOf = 4;      // a consonant fragment is a cluster
    static constexpr bool clusterOpens = true;
    static constexpr int maxVowelRun = 2, endingFrom = 2;
};

}  // namespace norvathel
