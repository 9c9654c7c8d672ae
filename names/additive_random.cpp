#include "additive_random.h"

#include <ctime>

AdditiveRandom SharedRandom;

namespace {
const std::int32_t WordMask = 0x3FFFFFFF;
const std::uint32_t NarrowSpanLimit = 1u << 24;  // what one 24-bit draw covers exactly
}

void AdditiveRandom::Seed()
{
    Seed(static_cast<std::uint64_t>(std::time(nullptr)));
}

void AdditiveRandom::Seed(std::uint64_t clockSeconds)
{
    i = 0;
    j = 31;
    table[0] = static_cast<std::int32_t>(clockSeconds & WordMask);
    table[1] = 1;
    for (int k = 2; k < 55; ++k)
        table[k] = (table[k - 1] + table[k - 2]) & WordMask;
}

int AdditiveRandom::Next()
{
    // Two 30-bit words cannot overflow 32 bits when added.
    std::int32_t v = (table[i] + table[j]) & WordMask;
    table[i] = v;
    if (++i == 55) i = 0;
    if (++j == 55) j = 0;
    return v >> 6;
}

int AdditiveRandom::Range(int lo, int hi)
{
    if (hi <= lo)
        return lo;
    // The span in unsigned arithmetic: hi - lo + 1 overflows int for the widest ranges.
    std::uint64_t n = static_cast<std::uint64_t>(static_cast<std::int64_t>(hi) - lo) + 1;
    if (n <= NarrowSpanLimit) {
        std::uint32_t m = 2;
        while (m < n)
            m <<= 1;
        std::uint32_t d;
        do
            d = static_cast<std::uint32_t>(Next()) & (m - 1);
        while (d >= n);
        return static_cast<int>(lo + static_cast<std::int64_t>(d));
    }
    // Wider spans: one 24-bit draw cannot reach every value, so join two into 48 bits and
    // reject as above; the mask stays below 2n, so fewer than two tries on average.
    std::uint64_t m = NarrowSpanLimit;
    while (m < n)
        m <<= 1;
    std::uint64_t d;
    do {
        std::uint64_t high = static_cast<std::uint32_t>(Next());
        std::uint64_t low = static_cast<std::uint32_t>(Next());
        d = ((high << 24) | low) & (m - 1);
    } while (d >= n);
    return static_cast<int>(static_cast<std::int64_t>(lo) + static_cast<std::int64_t>(d));
}
