// The one source of randomness: an additive lagged-Fibonacci generator over 30-bit words,
// x(n) = (x(n-55) + x(n-24)) mod 2^30, drawn exactly as a 55-word table with two indices
// would draw it. Two ways to seed it: from a wall-clock second as the
// program does (Seed), or from all 64 bits of a seed (SeedFull).
#pragma once
#include <cstdint>
#if defined(__SSE2__)
#include <emmintrin.h>
#elif defined(__wasm_simd128__)
#include <wasm_simd128.h>
#endif
#if defined(_MSC_VER) && !defined(__clang__)
#include <intrin.h>  // _BitScanForward
#endif

// For the few small functions of the composer's inner loop: inlined, the generator cursor
// (AdditiveRandom::Cursor) stays in registers; called, it goes through memory on every draw.
// NORVATHEL_FLATTEN inlines everything a function calls, for the same reason.
#if defined(__GNUC__) || defined(__clang__)
#define NORVATHEL_ALWAYS_INLINE inline __attribute__((always_inline))
#define NORVATHEL_FLATTEN __attribute__((flatten))
#elif defined(_MSC_VER)
#define NORVATHEL_ALWAYS_INLINE __forceinline
#define NORVATHEL_FLATTEN
#else
#define NORVATHEL_ALWAYS_INLINE inline
#define NORVATHEL_FLATTEN
#endif

namespace norvathel {

// One step of SplitMix64: adds 0x9E3779B97F4A7C15 to state and returns it mixed with the
// multipliers 0xBF58476D1CE4E5B9 and 0x94D049BB133111EB. Every bit of the state reaches every
// bit of the result.
std::uint64_t SplitMix64(std::uint64_t& state);

class AdditiveRandom {
public:
    // Starts as Seed(0) leaves it: an unseeded generator still draws a varied sequence.
    AdditiveRandom() { Seed(0); }

    // Refills the table from time() and resets both indices.
    void Seed();
    // The same from a given clock value; only its low 30 bits count.
    void Seed(std::uint64_t clockSeconds);
    // Fills all 55 words from a 64-bit seed through SplitMix64, so that every seed starts its
    // own sequence (Seed puts the clock into one word, and only its low 12 bits reach the
    // composer's draws). The draws that follow are made exactly as after Seed.
    void SeedFull(std::uint64_t seed);

    // One step of the generator: the upper 24 of the new 30-bit word. Inline, so that the
    // draws below pay no call per step. The words are made ahead in blocks (see Refill), and
    // handed out in the order the step-by-step recurrence gives them.
    int Next()
    {
        if (next == made)
            Refill();
        return Drawn(sequence[next++]);
    }

    // A uniform integer in [lo, hi]; lo itself, without a draw, when hi <= lo.
    int Range(int lo, int hi);

    // How many words have been drawn since the generator was seeded: where in its sequence it
    // stands. Two generators from the same seed that stand at the same place draw alike.
    std::int64_t WordsDrawn() const { return base + next; }
    // Moves on as count draws would, without handing the words out.
    void Skip(std::uint64_t count);

    // Range(Lo, Hi) for a span known at compile time, its mask worked out once: the same
    // draws, the same rejections.
    template <int Lo, int Hi>
    int Range()
    {
        static_assert(Lo < Hi && static_cast<long long>(Hi) - Lo < NarrowSpanLimit,
                      "a narrow span of at least two values");
        constexpr Span span = SpanOf(Lo, Hi);
        return Lo + Draw(span);
    }

    // Range<Lo, Hi>() once for each of out's values, in order. A span of a power of two values
    // takes one word a draw, so its draws come straight from that many words in a row.
    template <int Lo, int Hi, int Count>
    void RangeEach(int (&out)[Count])
    {
        constexpr Span span = SpanOf(Lo, Hi);
        if constexpr (span.last == span.mask) {
            static_assert(Count <= Made, "one refill makes every word the draws take");
            if (made - next < Count)
                Refill();
            for (int k = 0; k < Count; ++k)
                out[k] = Lo + (Drawn(sequence[next + k]) & static_cast<int>(span.mask));
            next += Count;
        } else {
            for (int& value : out)
                value = Range<Lo, Hi>();
        }
    }

    // A narrow span lo..hi (fewer than 2^24 values) as Range draws it: each try keeps the bits
    // of mask, the smallest 2^k - 1 covering last = hi - lo, and a try above last is drawn
    // again.
    struct Span {
        std::uint32_t last;
        std::uint32_t mask;
    };
    static constexpr Span SpanOf(int lo, int hi)
    {
        // hi - lo in unsigned arithmetic: it overflows int for the widest ranges. The mask is
        // the bits of last smeared downwards: the same as doubling a power of two from 2 until
        // it covers the span, without a data-dependent loop.
        const std::uint32_t last = static_cast<std::uint32_t>(hi) - static_cast<std::uint32_t>(lo);
        std::uint32_t mask = last;
        mask |= mask >> 1;
        mask |= mask >> 2;
        mask |= mask >> 4;
        mask |= mask >> 8;
        mask |= mask >> 16;
        return {last, mask};
    }
    // Range(0, span.last): for callers that choose at run time among a few fixed spans.
    int Draw(Span span)
    {
        std::uint32_t d;
        do
            d = static_cast<std::uint32_t>(Next()) & span.mask;
        while (d > span.last);
        return static_cast<int>(d);
    }

    // Word k of the 55-word table as the step-by-step generator keeps it: slot k holds the
    // last word drawn at a step n with n mod 55 == k (the seeded word k before any such step).
    std::int32_t Word(int k) const;

    class Cursor;

private:
    static constexpr std::int32_t WordMask = 0x3FFFFFFF;
    static constexpr std::uint32_t NarrowSpanLimit = 1u << 24;  // what one 24-bit draw covers
    static constexpr int Lag = 55;    // x(n) = x(n - Lag) + x(n - Short)
    static constexpr int Short = 24;  // also how many words one block makes at once
    static constexpr int Made = 2 * Short;  // words one Refill makes: two blocks
    static constexpr int Capacity = Lag + 4 * Made;

    // The draw a stored word gives: its upper 24 bits.
    static int Drawn(std::int32_t word) { return word >> 6; }

    // Called when every word made has been handed out, or (from a cursor looking ahead) when
    // a few are left: makes the next two blocks of Short words, each word the sum of the words
    // Lag and Short places back, none depending on another of its block, so that they are made
    // side by side. Once the buffer is full, the Lag words before the next draw (all the
    // recurrence and Word() read) and the few made ahead of it move to its front first.
    void Refill();
    // Starts the sequence from a seeded table of 55 words: table[k] is x(k - 55).
    void Start(const std::int32_t* table);
    // Skip for a long way: the words where it lands worked out from those it stands on.
    void Jump(std::uint64_t count);

    // x(base) .. x(base + made - 1) of the sequence, where the seeded words are x(-55) ..
    // x(-1): sequence[next] is the word the next draw hands out. Only made - next words (at
    // most two blocks) are ahead of what has been drawn.
    std::int32_t sequence[Capacity] = {};
    int next = Lag;
    int made = Lag;
    std::int64_t base = -Lag;  // the step number of sequence[0]
};

// The draws of a hot loop, with the read position in locals: stores through the char pointers
// a name is written with may alias any member of the generator, but not these, so they stay
// in registers. While a cursor is open only it draws from its generator; Close hands the
// position back. The draws are exactly the generator's own.
class AdditiveRandom::Cursor {
public:
    explicit Cursor(AdditiveRandom& random)
        : source(random), words(random.sequence), next(random.next), made(random.made)
    {
    }

    NORVATHEL_ALWAYS_INLINE int Next()
    {
        if (next == made)
            Refill();
        return Drawn(words[next++]);
    }

    // Draw(span) for a span whose first try nearly always passes (a consonant's refuses 4
    // draws of 64): that try is taken on a branch, which the processor predicts, so that the
    // draws after it need not wait for it. A refused first try is looked at again by Draw.
    NORVATHEL_ALWAYS_INLINE int DrawFirstLikely(Span span)
    {
        MakeAhead();
        const std::uint32_t first = static_cast<std::uint32_t>(Drawn(words[next])) & span.mask;
        if (first <= span.last) {
            ++next;
            return static_cast<int>(first);
        }
        return Draw(span);
    }

    // The same draws as the generator's Draw makes, the tries looked at Ahead at a time: the
    // first that passes is found by its bit, not by a branch on each try (whose outcome is as
    // random as the draws).
    NORVATHEL_ALWAYS_INLINE int Draw(Span span)
    {
        for (;;) {
            MakeAhead();
            const std::int32_t* w = words + next;
#if defined(__SSE2__)
            // Draws are below 2^24: a signed comparison serves.
            const __m128i drawn = _mm_and_si128(_mm_srai_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(w)), 6),
                                                _mm_set1_epi32(static_cast<int>(span.mask)));
            const __m128i over = _mm_cmpgt_epi32(drawn, _mm_set1_epi32(static_cast<int>(span.last)));
            const unsigned passes = ~static_cast<unsigned>(_mm_movemask_ps(_mm_castsi128_ps(over))) & 15u;
#elif defined(__wasm_simd128__)
            const v128_t drawn = wasm_v128_and(wasm_i32x4_shr(wasm_v128_load(w), 6), wasm_i32x4_splat(static_cast<int>(span.mask)));
            const v128_t over = wasm_i32x4_gt(drawn, wasm_i32x4_splat(static_cast<int>(span.last)));
            const unsigned passes = ~static_cast<unsigned>(wasm_i32x4_bitmask(over)) & 15u;
#else
            const auto pass = [&](int k) {
                return static_cast<unsigned>((static_cast<std::uint32_t>(Drawn(w[k])) & span.mask) <= span.last) << k;
            };
            const unsigned passes = pass(0) | pass(1) | pass(2) | pass(3);
#endif
            if (passes != 0)
                return static_cast<int>(static_cast<std::uint32_t>(Take(passes)) & span.mask);
            next += Ahead;
        }
    }

    // A draw masked by mask, drawn again while its bit in refused is set: the vowel rules'
    // sets of refused draws (mask below 32).
    NORVATHEL_ALWAYS_INLINE int DrawNotIn(std::uint32_t mask, std::uint32_t refused)
    {
        for (;;) {
            MakeAhead();
            const std::int32_t* w = words + next;
            const auto pass = [&](int k) {
                return (~refused >> (static_cast<std::uint32_t>(Drawn(w[k])) & mask) & 1u) << k;
            };
            const unsigned passes = pass(0) | pass(1) | pass(2) | pass(3);
            if (passes != 0)
                return static_cast<int>(static_cast<std::uint32_t>(Take(passes)) & mask);
            next += Ahead;
        }
    }

    template <int Lo, int Hi>
    NORVATHEL_ALWAYS_INLINE int Range()
    {
        static_assert(Lo < Hi && static_cast<long long>(Hi) - Lo < NarrowSpanLimit,
                      "a narrow span of at least two values");
        constexpr Span span = SpanOf(Lo, Hi);
        // A span of a power of two values takes its first try: no looking ahead.
        if constexpr (span.last == span.mask)
            return Lo + (Next() & static_cast<int>(span.mask));
        else
            return Lo + Draw(span);
    }

    void Close() { source.next = next; }

private:
    static constexpr int Ahead = 4;  // tries looked at together

    NORVATHEL_ALWAYS_INLINE void MakeAhead()
    {
        if (made - next < Ahead)
            Refill();
    }

    static int LowestSetBit(unsigned bits)  // bits != 0
    {
#if defined(_MSC_VER) && !defined(__clang__)
        unsigned long index;
        _BitScanForward(&index, bits);
        return static_cast<int>(index);
#else
        return __builtin_ctz(bits);
#endif
    }

    // The draw of the first try whose bit is set in passes (one of the Ahead ahead), all the
    // tries up to it consumed.
    NORVATHEL_ALWAYS_INLINE int Take(unsigned passes)
    {
        const int first = LowestSetBit(passes);
        const int drawn = Drawn(words[next + first]);
        next += first + 1;
        return drawn;
    }

    void Refill()
    {
        source.next = next;
        source.Refill();
        next = source.next;
        made = source.made;
    }

    AdditiveRandom& source;
    const std::int32_t* words;
    int next;
    int made;
};

}  // namespace norvathel
