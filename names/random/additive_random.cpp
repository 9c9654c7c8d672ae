#include <norvathel/additive_random.h>

#include <array>
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

namespace {

// Polynomials in t modulo the recurrence's own, t^55 - t^31 - 1 (x(n + 55) = x(n + 31) + x(n)),
// with coefficients mod 2^32, which the words' 2^30 divides. Where t^J leaves c, x(m + J) is
// the sum of c[i] x(m + i) for every m.
constexpr int Degree = 55;
using Polynomial = std::array<std::uint32_t, Degree>;

// Folds the terms from top down to t^55 into the lower ones: t^d = t^(d - 24) + t^(d - 55).
void Reduce(std::uint32_t* terms, int top)
{
    for (int d = top; d >= Degree; --d) {
        terms[d - 24] += terms[d];
        terms[d - Degree] += terms[d];
    }
}

Polynomial Squared(const Polynomial& a)
{
    std::uint32_t terms[2 * Degree - 1] = {};
    for (int i = 0; i < Degree; ++i)
        for (int j = 0; j < Degree; ++j)
            terms[i + j] += a[static_cast<std::size_t>(i)] * a[static_cast<std::size_t>(j)];
    Reduce(terms, 2 * Degree - 2);
    Polynomial out;
    std::memcpy(out.data(), terms, sizeof out);
    return out;
}

Polynomial TimesT(const Polynomial& a)
{
    std::uint32_t terms[Degree + 1];
    terms[0] = 0;
    std::memcpy(terms + 1, a.data(), sizeof a);
    Reduce(terms, Degree);
    Polynomial out;
    std::memcpy(out.data(), terms, sizeof out);
    return out;
}

// t^n, by squaring from n's top bit down.
Polynomial PowerOfT(std::uint64_t n)
{
    Polynomial power = {1};
    for (int bit = 63; bit >= 0; --bit) {
        power = Squared(power);
        if ((n >> bit) & 1)
            power = TimesT(power);
    }
    return power;
}

// From this many words on, a skip works out where it lands (a few tens of microseconds)
// rather than making every word on the way.
constexpr std::uint64_t LongSkip = std::uint64_t{1} << 16;

}  // namespace

void AdditiveRandom::Skip(std::uint64_t count)
{
    if (count >= LongSkip) {
        Jump(count);
        return;
    }
    while (count > 0) {
        if (next == made)
            Refill();
        const int ahead = made - next;
        const int step = count < static_cast<std::uint64_t>(ahead) ? static_cast<int>(count) : ahead;
        next += step;
        count -= static_cast<std::uint64_t>(step);
    }
}

void AdditiveRandom::Jump(std::uint64_t count)
{
    // The 55 words before the next draw after the skip, each the sum of t^count's coefficients
    // times 55 words in a row from the 55 before the next draw now: those and the 54 after it.
    while (made - next < Lag - 1)
        Refill();
    static_assert(Lag == Degree, "the polynomial is the recurrence's");
    const Polynomial c = PowerOfT(count);
    const std::int32_t* from = sequence + next - Lag;
    std::int32_t words[Lag];
    for (int k = 0; k < Lag; ++k) {
        std::uint32_t sum = 0;
        for (int i = 0; i < Lag; ++i)
            sum += c[static_cast<std::size_t>(i)] * static_cast<std::uint32_t>(from[k + i]);
        words[k] = static_cast<std::int32_t>(sum & WordMask);
    }
    const std::int64_t drawn = WordsDrawn() + static_cast<std::int64_t>(count);
    std::memcpy(sequence, words, sizeof words);
    next = made = Lag;
    base = drawn - Lag;
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
