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

namespace {
// One step, kept inline so that Range pays no call per draw. The indices go through locals:
// the table store could otherwise alias them and force reloads.
inline int Step(std::int32_t (&table)[55], int& i, int& j)
{
    int slot = i;
    int partner = j;
    // Two 30-bit words cannot overflow 32 bits when added.
    std::int32_t v = (table[slot] + table[partner]) & WordMask;
    table[slot] = v;
    i = slot == 54 ? 0 : slot + 1;
    j = partner == 54 ? 0 : partner + 1;
    return v >> 6;
}
}  // namespace

int AdditiveRandom::Next()
{
    return Step(table, i, j);
}

int AdditiveRandom::Range(int lo, int hi)
{
    if (hi <= lo)
        return lo;
    // n - 1 in unsigned arithmetic: hi - lo + 1 overflows int for the widest ranges.
    std::uint32_t last = static_cast<std::uint32_t>(hi) - static_cast<std::uint32_t>(lo);
    if (last < NarrowSpanLimit) {
        // m - 1 for the smallest power of two m >= n (n >= 2 here): the bits of n - 1 smeared
        // downwards. The same mask as doubling m from 2, without a data-dependent loop.
        std::uint32_t mask = last;
        mask |= mask >> 1;
        mask |= mask >> 2;
        mask |= mask >> 4;
        mask |= mask >> 8;
        mask |= mask >> 16;
        std::uint32_t d;
        do
            d = static_cast<std::uint32_t>(Step(table, i, j)) & mask;
        while (d > last);
        return static_cast<int>(static_cast<std::int64_t>(lo) + d);
    }
    std::uint64_t n = static_cast<std::uint64_t>(last) + 1;
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
