#include <norvathel/additive_random.h>

#include <ctime>

namespace norvathel {

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

std::uint64_t SplitMix64(std::uint64_t& state)
{
    state += 0x9E3779B97F4A7C15u;
    std::uint64_t z = state;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9u;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBu;
    return z ^ (z >> 31);
}

void AdditiveRandom::SeedFull(std::uint64_t seed)
{
    i = 0;
    j = 31;
    std::uint64_t state = seed;
    std::int32_t odd = 0;
    for (std::int32_t& word : table) {
        word = static_cast<std::int32_t>(SplitMix64(state) >> 34);  // the top 30 bits
        odd |= word & 1;
    }
    // The sums reach their full period only when some word is odd; all 55 even is a chance of
    // 2^-55, but then the sequence would never leave the even numbers.
    table[0] |= odd ^ 1;
}

int AdditiveRandom::Range(int lo, int hi)
{
    if (hi <= lo)
        return lo;
    const Span span = SpanOf(lo, hi);
    if (span.last < NarrowSpanLimit)
        return static_cast<int>(static_cast<std::int64_t>(lo) + Draw(span));
    std::uint64_t n = static_cast<std::uint64_t>(span.last) + 1;
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

}  // namespace norvathel
