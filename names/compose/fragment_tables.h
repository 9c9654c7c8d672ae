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

}  // namespace norvathel
