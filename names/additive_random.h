// The one source of randomness: an additive lagged-Fibonacci generator over 30-bit words,
// x(n) = (x(n-55) + x(n-24)) mod 2^30, seeded from a wall-clock second.
#pragma once
#include <cstdint>

class AdditiveRandom {
public:
    // Refills the table from time() and resets both indices.
    void Seed();
    // The same from a given clock value; only its low 30 bits count.
    void Seed(std::uint64_t clockSeconds);
    // One step of the generator: the upper 24 of the new 30-bit word.
    int Next();
    // A uniform integer in [lo, hi]; lo itself, without a draw, when hi <= lo.
    int Range(int lo, int hi);
    // Word k of the table, for inspection.
    std::int32_t Word(int k) const { return table[k]; }

private:
    std::int32_t table[55] = {};
    int i = 0;  // the slot the next draw overwrites
    int j = 0;  // its partner, always (i + 31) mod 55 after seeding
};

// The program's one generator, seeded once at start-up.
extern AdditiveRandom SharedRandom;
