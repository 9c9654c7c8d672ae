// SplitMix64 (declared in additive_random.h) and the 55 words SeedFull starts the generator
// from: word k is the top 30 bits of SplitMix64's (k+1)-th output from the seed, that is of
// the state seed + (k+1) times the increment, mixed. No word waits for another, so they are
// worked out side by side, as wide as the machine allows; every way gives the same words.
#pragma once
#include <cstdint>

namespace norvathel {

constexpr int SeedWordCount = 55;
constexpr int SeedWordRoom = 56;  // the words and a spare: the ways work in even counts

// Writes the words into words[0..SeedWordCount) (words[SeedWordCount] may be overwritten) and
// returns them ORed together, for their low bit.
using SeedWordsFill = std::int32_t (*)(std::uint64_t seed, std::int32_t* words);

// One way of working them out, and whether this processor can run it.
struct SeedWordsWay {
    const char* name;
    bool (*usable)();
    SeedWordsFill fill;
};

// Every way this build holds, the portable one first (plain code, or SSE2 where the build has
// it); the processor may lack the later ones.
const SeedWordsWay* SeedWordsWays(int& count);

// The widest way this processor runs, chosen once.
SeedWordsFill ChosenSeedWords();

}  // namespace norvathel
