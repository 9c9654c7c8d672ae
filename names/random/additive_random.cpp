#include <norvathel/additive_random.h>

#include <cstring>
#include <ctime>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace norvathel {

namespace {

constexpr std::uint64_t SplitMixIncrement = 0x9E3779B97F4A7C15u;

// SplitMix64's output for a state already advanced: its mixing half.
inline std::uint64_t Mixed(std::uint64_t z)
{
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9u;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBu;
    return z ^ (z >> 31);
}

}  // namespace

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

std::uint64_t SplitMix64(std::uint64_t& state)
{
    state += SplitMixIncrement;
    return Mixed(state);
}

namespace {

constexpr std::uint64_t MixFirst = 0xBF58476D1CE4E5B9u, MixSecond = 0x94D049BB133111EBu;

// The top 30 bits of SplitMix64's output for a state already advanced. Its last step
// (z ^ z >> 31) leaves bits 33 and up as they are, so it is not made.
inline std::int32_t MixedTop30(std::uint64_t z)
{
    z = (z ^ (z >> 30)) * MixFirst;
    z = (z ^ (z >> 27)) * MixSecond;
    return static_cast<std::int32_t>(z >> 34);
}

#if defined(__SSE2__)
// The low 64 bits of each lane times a constant, from 32-bit products (SSE2 has no wider):
// lo*lo + (hi*lo + lo*hi) << 32.
inline __m128i TimesConstant(__m128i a, __m128i low, __m128i high)
{
    const __m128i cross = _mm_add_epi64(_mm_mul_epu32(_mm_srli_epi64(a, 32), low), _mm_mul_epu32(a, high));
    return _mm_add_epi64(_mm_mul_epu32(a, low), _mm_slli_epi64(cross, 32));
}

// Both lanes' states mixed, as MixedTop30 does one.
inline __m128i MixedTop30(__m128i z)
{
    const __m128i firstLow = _mm_set_epi32(0, static_cast<int>(MixFirst & 0xFFFFFFFFu), 0,
                                           static_cast<int>(MixFirst & 0xFFFFFFFFu));
    const __m128i firstHigh = _mm_set_epi32(0, static_cast<int>(MixFirst >> 32), 0, static_cast<int>(MixFirst >> 32));
    const __m128i secondLow = _mm_set_epi32(0, static_cast<int>(MixSecond & 0xFFFFFFFFu), 0,
                                            static_cast<int>(MixSecond & 0xFFFFFFFFu));
    const __m128i secondHigh =
        _mm_set_epi32(0, static_cast<int>(MixSecond >> 32), 0, static_cast<int>(MixSecond >> 32));
    z = TimesConstant(_mm_xor_si128(z, _mm_srli_epi64(z, 30)), firstLow, firstHigh);
    z = TimesConstant(_mm_xor_si128(z, _mm_srli_epi64(z, 27)), secondLow, secondHigh);
    return _mm_srli_epi64(z, 34);
}
#endif

}  // namespace

void AdditiveRandom::SeedFull(std::uint64_t seed)
{
    // Word k is the top 30 bits of SplitMix64's (k+1)-th output from the seed: the state
    // seed + (k+1) times the increment, mixed. None waits for another, so they are worked out
    // side by side, the states by additions, straight into the buffer's first 55 words (and
    // one spare: the halves below make an even count).
    static_assert(Capacity > Lag, "room for the spare word");
    std::int32_t* table = sequence;
    std::int32_t odd = 0;  // the words' low bits, together
#if defined(__SSE2__)
    // The first half two at a time in vector lanes, the second half in plain registers, in
    // one loop: the vector and the scalar multipliers work at once.
    constexpr int Half = (Lag + 1) / 2;
    static_assert(Half % 2 == 0, "the vector half is whole pairs");
    const std::uint64_t first = seed + SplitMixIncrement, second = first + SplitMixIncrement;
    __m128i lanes = _mm_set_epi32(static_cast<int>(second >> 32), static_cast<int>(second & 0xFFFFFFFFu),
                                  static_cast<int>(first >> 32), static_cast<int>(first & 0xFFFFFFFFu));
    const std::uint64_t twice = 2 * SplitMixIncrement;
    const __m128i step = _mm_set_epi32(static_cast<int>(twice >> 32), static_cast<int>(twice & 0xFFFFFFFFu),
                                       static_cast<int>(twice >> 32), static_cast<int>(twice & 0xFFFFFFFFu));
    __m128i oddLanes = _mm_setzero_si128();
    std::uint64_t state = seed + static_cast<std::uint64_t>(Half) * SplitMixIncrement;
    for (int k = 0; k < Half; k += 2) {
        const __m128i mixed = MixedTop30(lanes);
        oddLanes = _mm_or_si128(oddLanes, mixed);
        table[k] = _mm_cvtsi128_si32(mixed);
        table[k + 1] = _mm_cvtsi128_si32(_mm_srli_si128(mixed, 8));
        lanes = _mm_add_epi64(lanes, step);
        state += SplitMixIncrement;
        table[Half + k] = MixedTop30(state);
        state += SplitMixIncrement;
        table[Half + k + 1] = MixedTop30(state);
        if (Half + k + 1 < Lag)  // the spare word stays out of the count
            odd |= table[Half + k + 1];
        odd |= table[Half + k];
    }
    odd |= _mm_cvtsi128_si32(oddLanes) | _mm_cvtsi128_si32(_mm_srli_si128(oddLanes, 8));
#else
    std::uint64_t state = seed;
    for (int k = 0; k < Lag; ++k) {
        state += SplitMixIncrement;
        table[k] = MixedTop30(state);
        odd |= table[k];
    }
#endif
    // The sums reach their full period only when some word is odd; all 55 even is a chance of
    // 2^-55, but then the sequence would never leave the even numbers.
    table[0] |= (odd & 1) ^ 1;
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
