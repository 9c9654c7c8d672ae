#include "random/seed_words.h"

#include <norvathel/additive_random.h>  // SplitMix64

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
// 64-bit x86 with GCC or clang: wider ways for processors that have them, chosen at run time.
// (Not on Windows, whose builds keep to what the build itself was made for.)
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__)) && !defined(_WIN32)
#define NORVATHEL_WIDE_SEEDING 1
// GCC 12 warns of an uninitialized value inside its own AVX-512 intrinsics (a known fault
// of its headers, which leave a pass-through operand undefined on purpose).
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wuninitialized"
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif
#include <immintrin.h>
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic pop
#endif
#endif

namespace norvathel {

namespace {

constexpr std::uint64_t Increment = 0x9E3779B97F4A7C15u;
constexpr std::uint64_t MixFirst = 0xBF58476D1CE4E5B9u, MixSecond = 0x94D049BB133111EBu;

// SplitMix64's first two mixing steps, for a state already advanced. Its last step
// (z ^ z >> 31) leaves bits 33 and up as they are.
inline std::uint64_t MixedTwice(std::uint64_t z)
{
    z = (z ^ (z >> 30)) * MixFirst;
    return (z ^ (z >> 27)) * MixSecond;
}

// The top 30 bits of SplitMix64's output: the last step need not be made for them.
inline std::int32_t MixedTop30(std::uint64_t z)
{
    return static_cast<std::int32_t>(MixedTwice(z) >> 34);
}

bool Always() { return true; }

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
    const __m128i firstLow = _mm_set1_epi64x(static_cast<long long>(MixFirst & 0xFFFFFFFFu));
    const __m128i firstHigh = _mm_set1_epi64x(static_cast<long long>(MixFirst >> 32));
    const __m128i secondLow = _mm_set1_epi64x(static_cast<long long>(MixSecond & 0xFFFFFFFFu));
    const __m128i secondHigh = _mm_set1_epi64x(static_cast<long long>(MixSecond >> 32));
    z = TimesConstant(_mm_xor_si128(z, _mm_srli_epi64(z, 30)), firstLow, firstHigh);
    z = TimesConstant(_mm_xor_si128(z, _mm_srli_epi64(z, 27)), secondLow, secondHigh);
    return _mm_srli_epi64(z, 34);
}

// The first half two at a time in vector lanes, the second half in plain registers, in one
// loop: the vector and the scalar multipliers work at once.
std::int32_t PortableWords(std::uint64_t seed, std::int32_t* table)
{
    constexpr int Half = SeedWordRoom / 2;
    static_assert(Half % 2 == 0, "the vector half is whole pairs");
    __m128i lanes = _mm_set_epi64x(static_cast<long long>(seed + 2 * Increment), static_cast<long long>(seed + Increment));
    const __m128i step = _mm_set1_epi64x(static_cast<long long>(2 * Increment));
    __m128i oddLanes = _mm_setzero_si128();
    std::int32_t odd = 0;
    std::uint64_t state = seed + static_cast<std::uint64_t>(Half) * Increment;
    for (int k = 0; k < Half; k += 2) {
        const __m128i mixed = MixedTop30(lanes);
        oddLanes = _mm_or_si128(oddLanes, mixed);
        table[k] = _mm_cvtsi128_si32(mixed);
        table[k + 1] = _mm_cvtsi128_si32(_mm_srli_si128(mixed, 8));
        lanes = _mm_add_epi64(lanes, step);
        state += Increment;
        table[Half + k] = MixedTop30(state);
        state += Increment;
        table[Half + k + 1] = MixedTop30(state);
        if (Half + k + 1 < SeedWordCount)  // the spare word stays out of the count
            odd |= table[Half + k + 1];
        odd |= table[Half + k];
    }
    return odd | _mm_cvtsi128_si32(oddLanes) | _mm_cvtsi128_si32(_mm_srli_si128(oddLanes, 8));
}
#else
std::int32_t PortableWords(std::uint64_t seed, std::int32_t* table)
{
    std::int32_t odd = 0;
    std::uint64_t state = seed;
    for (int k = 0; k < SeedWordCount; ++k) {
        state += Increment;
        table[k] = MixedTop30(state);
        odd |= table[k];
    }
    return odd;
}
#endif

#if defined(NORVATHEL_WIDE_SEEDING)
// Four lanes, the products made from 32-bit ones as in SSE2.
__attribute__((target("avx2"))) inline __m256i TimesConstant4(__m256i a, __m256i low, __m256i high)
{
    const __m256i cross = _mm256_add_epi64(_mm256_mul_epu32(_mm256_srli_epi64(a, 32), low), _mm256_mul_epu32(a, high));
    return _mm256_add_epi64(_mm256_mul_epu32(a, low), _mm256_slli_epi64(cross, 32));
}

__attribute__((target("avx2"))) std::int32_t Avx2Words(std::uint64_t seed, std::int32_t* table)
{
    const __m256i firstLow = _mm256_set1_epi64x(static_cast<long long>(MixFirst & 0xFFFFFFFFu));
    const __m256i firstHigh = _mm256_set1_epi64x(static_cast<long long>(MixFirst >> 32));
    const __m256i secondLow = _mm256_set1_epi64x(static_cast<long long>(MixSecond & 0xFFFFFFFFu));
    const __m256i secondHigh = _mm256_set1_epi64x(static_cast<long long>(MixSecond >> 32));
    const __m256i step = _mm256_set1_epi64x(static_cast<long long>(4 * Increment));
    // The low halves of the four lanes, in order, into the first four places.
    const __m256i lows = _mm256_setr_epi32(0, 2, 4, 6, 1, 3, 5, 7);
    __m256i lanes = _mm256_set_epi64x(static_cast<long long>(seed + 4 * Increment), static_cast<long long>(seed + 3 * Increment),
                                      static_cast<long long>(seed + 2 * Increment), static_cast<long long>(seed + Increment));
    __m256i odd = _mm256_setzero_si256();
    static_assert(SeedWordRoom % 4 == 0 && SeedWordRoom - SeedWordCount == 1, "whole vectors, the spare last");
    for (int k = 0; k < SeedWordRoom; k += 4) {
        __m256i z = TimesConstant4(_mm256_xor_si256(lanes, _mm256_srli_epi64(lanes, 30)), firstLow, firstHigh);
        z = TimesConstant4(_mm256_xor_si256(z, _mm256_srli_epi64(z, 27)), secondLow, secondHigh);
        z = _mm256_srli_epi64(z, 34);
        if (k + 4 > SeedWordCount)  // the spare word stays out of the count
            z = _mm256_blend_epi32(z, _mm256_setzero_si256(), 0xC0);
        odd = _mm256_or_si256(odd, z);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(table + k), _mm256_castsi256_si128(_mm256_permutevar8x32_epi32(z, lows)));
        lanes = _mm256_add_epi64(lanes, step);
    }
    const __m128i both = _mm_or_si128(_mm256_castsi256_si128(odd), _mm256_extracti128_si256(odd, 1));
    return _mm_cvtsi128_si32(_mm_or_si128(both, _mm_srli_si128(both, 8)));
}

// Eight lanes with a real 64-bit multiply.
__attribute__((target("avx512f,avx512dq"))) std::int32_t Avx512Words(std::uint64_t seed, std::int32_t* table)
{
    const __m512i first = _mm512_set1_epi64(static_cast<long long>(MixFirst));
    const __m512i second = _mm512_set1_epi64(static_cast<long long>(MixSecond));
    const __m512i step = _mm512_set1_epi64(static_cast<long long>(8 * Increment));
    __m512i lanes = _mm512_add_epi64(
        _mm512_set1_epi64(static_cast<long long>(seed)),
        _mm512_set_epi64(static_cast<long long>(8 * Increment), static_cast<long long>(7 * Increment),
                         static_cast<long long>(6 * Increment), static_cast<long long>(5 * Increment),
                         static_cast<long long>(4 * Increment), static_cast<long long>(3 * Increment),
                         static_cast<long long>(2 * Increment), static_cast<long long>(Increment)));
    __m512i odd = _mm512_setzero_si512();
    static_assert(SeedWordRoom % 8 == 0 && SeedWordRoom - SeedWordCount == 1, "whole vectors, the spare last");
    for (int k = 0; k < SeedWordRoom; k += 8) {
        __m512i z = _mm512_mullo_epi64(_mm512_xor_si512(lanes, _mm512_srli_epi64(lanes, 30)), first);
        z = _mm512_mullo_epi64(_mm512_xor_si512(z, _mm512_srli_epi64(z, 27)), second);
        z = _mm512_srli_epi64(z, 34);
        // the spare word stays out of the count
        odd = _mm512_mask_or_epi64(odd, k + 8 > SeedWordCount ? 0x7F : 0xFF, odd, z);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(table + k), _mm512_cvtepi64_epi32(z));
        lanes = _mm512_add_epi64(lanes, step);
    }
    return static_cast<std::int32_t>(_mm512_reduce_or_epi64(odd));
}

bool HasAvx2()
{
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2");
}

bool HasAvx512()
{
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512dq");
}
#endif

const SeedWordsWay Ways[] = {
#if defined(__SSE2__)
    {"sse2", Always, PortableWords},
#else
    {"plain", Always, PortableWords},
#endif
#if defined(NORVATHEL_WIDE_SEEDING)
    {"avx2", HasAvx2, Avx2Words},
    {"avx512", HasAvx512, Avx512Words},
#endif
};

}  // namespace

std::uint64_t SplitMix64(std::uint64_t& state)
{
    state += Increment;
    const std::uint64_t z = MixedTwice(state);
    return z ^ (z >> 31);
}

const SeedWordsWay* SeedWordsWays(int& count)
{
    count = static_cast<int>(sizeof Ways / sizeof Ways[0]);
    return Ways;
}

SeedWordsFill ChosenSeedWords()
{
    // The last usable way is the widest.
    static const SeedWordsFill chosen = [] {
        SeedWordsFill widest = Ways[0].fill;
        for (const SeedWordsWay& way : Ways) {
            if (way.usable())
                widest = way.fill;
        }
        return widest;
    }();
    return chosen;
}

}  // namespace norvathel
