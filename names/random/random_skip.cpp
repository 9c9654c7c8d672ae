// Skipping ahead: a few words by drawing them, a long way by working out where the skip lands.
// Its own file, so that programs that never skip do not carry it.
#include <norvathel/additive_random.h>

#include <array>
#include <cstring>

namespace norvathel {

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

}  // namespace norvathel
