#include <norvathel/additive_random.h>

#include <cstring>
#include <ctime>

#include "random/seed_words.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#elif defined(__wasm_simd128__)
#include <wasm_simd128.h>
#endif

namespace norvathel {

void AdditiveRandom::Seed()
{
    Seed(static_cast<std::uint64_t>(std::time(nullptr)));
}

void AdditiveRandom::Seed(std::uint64_t clockSeconds)
{
    std::int32_t table[Lag];
    table[0] = static_cast<std::int32_t>(clockSeconds & WordMask);
    table[1] = 1;
    for (int k = 2; k < Lag; ++k)
        table[k] = (table[k - 1] + table[k - 2]) & WordMask;
    Start(table);
}

void AdditiveRandom::Start(const std::int32_t* table)
{
    std::memcpy(sequence, table, Lag * sizeof table[0]);
    next = made = Lag;
    base = -Lag;
}

void AdditiveRandom::Refill()
{
    if (made + Made > Capacity) {
        // The Lag words before the next draw (what Word() reads) and those made ahead of it.
        const int ahead = made - next;
        std::memmove(sequence, sequence + next - Lag, static_cast<std::size_t>(Lag + ahead) * sizeof sequence[0]);
        base += next - Lag;
        next = Lag;
        made = Lag + ahead;
    }
    std::int32_t* out = sequence + made;
    // Two 30-bit words cannot overflow 32 bits when added. Words of the second block read the
    // first block's, made before them: the loop runs in order.
#if defined(__SSE2__)
    static_assert(Short % 4 == 0, "a block is whole vectors of four words");
    const __m128i mask = _mm_set1_epi32(WordMask);
    for (int t = 0; t < Made; t += 4) {
        const __m128i far = _mm_loadu_si128(reinterpret_cast<const __m128i*>(out + t - Lag));
        const __m128i near = _mm_loadu_si128(reinterpret_cast<const __m128i*>(out + t - Short));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + t), _mm_and_si128(_mm_add_epi32(far, near), mask));
    }
#elif defined(__wasm_simd128__)
    const v128_t mask = wasm_i32x4_splat(WordMask);
    for (int t = 0; t < Made; t += 4) {
        const v128_t far = wasm_v128_load(out + t - Lag), near = wasm_v128_load(out + t - Short);
        wasm_v128_store(out + t, wasm_v128_and(wasm_i32x4_add(far, near), mask));
    }
#else
    for (int t = 0; t < Made; ++t)
        out[t] = (out[t - Lag] + out[t - Short]) & WordMask;
#endif
    made += Made;
}

std::int32_t AdditiveRandom::Word(int k) const
{
    // Slot k was last written at the latest step m < drawn with m mod 55 == k; the seeded
    // word k counts as step k - 55.
    const std::int64_t drawn = base + next;
    std::int64_t back = (drawn - 1 - k) % Lag;
    if (back < 0)
        back += Lag;
    return sequence[drawn - 1 - back - base];
}

void AdditiveRandom::SeedFull(std::uint64_t seed)
{
    // Straight into the buffer's first 55 words, and one spare.
    static_assert(Capacity >= SeedWordRoom && Lag == SeedWordCount, "the seed's words start the buffer");
    const std::int32_t odd = ChosenSeedWords()(seed, sequence);
    // The sums reach their full period only when some word is odd; all 55 even is a chance of
    // 2^-55, but then the sequence would never leave the even numbers.
    sequence[0] |= (odd & 1) ^ 1;
    next = made = Lag;
    base = -Lag;
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
