#include <norvathel/additive_random.h>

#include "random/seed_words.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <vector>

using namespace norvathel;

namespace {

AdditiveRandom SeededAt(std::uint64_t clock)
{
    AdditiveRandom random;
    random.Seed(clock);
    return random;
}

TEST(AdditiveRandomSeed, FillsTheTableFromTheClock)
{
    AdditiveRandom random = SeededAt(1000000000);
    EXPECT_EQ(random.Word(0), 1000000000);
    EXPECT_EQ(random.Word(1), 1);
    EXPECT_EQ(random.Word(31), 683154141);
    EXPECT_EQ(random.Word(54), 568876616);
    for (int k = 2; k < 55; ++k)
        EXPECT_EQ(random.Word(k), (random.Word(k - 1) + random.Word(k - 2)) & 0x3FFFFFFF) << k;
}

TEST(AdditiveRandomSeed, KeepsOnlyTheLow30BitsOfTheClock)
{
    AdditiveRandom low = SeededAt(12345);
    AdditiveRandom high = SeededAt(12345 + (std::uint64_t{7} << 30) + (std::uint64_t{1} << 63));
    for (int n = 0; n < 200; ++n)
        ASSERT_EQ(low.Next(), high.Next()) << n;
}

TEST(AdditiveRandomSeed, SameSecondGivesTheSameSequence)
{
    AdditiveRandom a = SeededAt(1733616000), b = SeededAt(1733616000);
    for (int n = 0; n < 1000; ++n)
        ASSERT_EQ(a.Range(0, 59), b.Range(0, 59));
}

TEST(AdditiveRandomNext, KnownSequences)
{
    AdditiveRandom billion = SeededAt(1000000000);
    for (int expected : {9522067, 11966076, 4710927, 16677003, 4610715, 4510502})
        EXPECT_EQ(billion.Next(), expected);
    AdditiveRandom zero = SeededAt(0);
    AdditiveRandom unseeded;  // starts as Seed(0) leaves it
    for (int expected : {21035, 34036, 55071}) {
        EXPECT_EQ(zero.Next(), expected);
        EXPECT_EQ(unseeded.Next(), expected);
    }
}

TEST(AdditiveRandomNext, FollowsTheLaggedFibonacciRecurrence)
{
    // x(n) = (x(n-55) + x(n-24)) mod 2^30, each result being x(n) >> 6.
    AdditiveRandom random = SeededAt(987654321);
    std::int32_t x[55 + 300];
    for (int k = 0; k < 55; ++k)
        x[k] = random.Word(k);
    for (int n = 55; n < 55 + 300; ++n) {
        x[n] = (x[n - 55] + x[n - 24]) & 0x3FFFFFFF;
        ASSERT_EQ(random.Next(), x[n] >> 6) << n;
        ASSERT_LE(x[n] >> 6, 16777215);
    }
}

TEST(AdditiveRandomSkip, MovesOnAsTheDrawsWouldAndCountsThem)
{
    // Skips across the seams of the blocks the words are made in, from both kinds of seed,
    // after draws and after none.
    for (int seeded = 0; seeded < 2; ++seeded) {
        AdditiveRandom start;
        if (seeded)
            start.SeedFull(42);
        else
            start.Seed(1733616000);
        for (std::uint64_t skip : {0, 1, 47, 48, 49, 200, 65535, 65536, 1000003}) {
            AdditiveRandom drawn = start, skipped = start;
            for (int k = 0; k < 5; ++k)
                drawn.Next(), skipped.Next();
            for (std::uint64_t k = 0; k < skip; ++k)
                drawn.Next();
            skipped.Skip(skip);
            EXPECT_EQ(skipped.WordsDrawn(), static_cast<std::int64_t>(5 + skip));
            EXPECT_EQ(drawn.WordsDrawn(), skipped.WordsDrawn());
            for (int k = 0; k < 300; ++k)
                ASSERT_EQ(drawn.Next(), skipped.Next()) << skip << " skipped, draw " << k;
        }
        // Far beyond what drawing could check: two long skips land where their sum does.
        AdditiveRandom once = start, twice = start;
        once.Skip((std::uint64_t{1} << 40) + 12345);
        twice.Skip(std::uint64_t{1} << 40);
        twice.Skip(12345);
        EXPECT_EQ(once.WordsDrawn(), twice.WordsDrawn());
        for (int k = 0; k < 300; ++k)
            ASSERT_EQ(once.Next(), twice.Next()) << k;
    }
}

// The generator as a 55-word table with two indices, one step per draw.
struct StepByStep {
    std::int32_t table[55];
    int i = 0, j = 31;
    explicit StepByStep(const AdditiveRandom& seeded)
    {
        for (int k = 0; k < 55; ++k)
            table[k] = seeded.Word(k);
    }
    int Next()
    {
        const std::int32_t v = (table[i] + table[j]) & 0x3FFFFFFF;
        table[i] = v;
        i = i == 54 ? 0 : i + 1;
        j = j == 54 ? 0 : j + 1;
        return v >> 6;
    }
};

TEST(AdditiveRandomNext, BlocksGiveTheStepByStepSequenceAndTable)
{
    // Ten million draws a seed, through many blocks and many moves of the buffer; the whole
    // table compared after every draw of the first thousand (every seam of a block and of a
    // move) and at every 9,973rd draw after that.
    for (std::uint64_t seed : {std::uint64_t{0}, std::uint64_t{1000000000}, std::uint64_t{77}, ~std::uint64_t{0}}) {
        AdditiveRandom blocks;
        if (seed == 77)
            blocks.SeedFull(seed);
        else
            blocks.Seed(seed);
        StepByStep reference(blocks);
        for (int n = 0; n < 10000000; ++n) {
            ASSERT_EQ(blocks.Next(), reference.Next()) << seed << " draw " << n;
            if (n < 1000 || n % 9973 == 0) {
                for (int k = 0; k < 55; ++k)
                    ASSERT_EQ(blocks.Word(k), reference.table[k]) << seed << " draw " << n << " word " << k;
            }
        }
        AdditiveRandom copy = blocks;  // a copy goes on from where it was
        for (int n = 0; n < 100; ++n)
            ASSERT_EQ(copy.Next(), reference.Next()) << seed << " copy, draw " << n;
    }
}

TEST(AdditiveRandomCursor, DrawsTheGeneratorsOwnSequenceAcrossOpensAndCloses)
{
    // Ten million draws a seed, taken in turns through cursors held open for 1 to 150 draws
    // (across every seam of a block and of a buffer move) and straight from the generator:
    // the sequence is the step-by-step one, and a closed cursor leaves the table as it was.
    for (std::uint64_t seed : {std::uint64_t{3}, std::uint64_t{1700000000}, ~std::uint64_t{0} >> 1}) {
        AdditiveRandom random;
        random.SeedFull(seed);
        StepByStep reference(random);
        std::uint32_t turns = static_cast<std::uint32_t>(seed) | 1u;
        for (int n = 0; n < 10000000;) {
            turns = turns * 1103515245u + 12345u;
            const int run = 1 + static_cast<int>(turns >> 16) % 150;
            if (turns & 0x100u) {
                // A cursor's draws look a few words ahead to find the first try that passes:
                // the tries it takes are the step-by-step loop's, refused sets and spans of
                // every shape, across the seams of blocks and moves.
                AdditiveRandom::Cursor cursor(random);
                for (int k = 0; k < run; ++k, ++n) {
                    const std::uint32_t shape = turns >> (k % 24);
                    if (k % 3 == 0) {
                        ASSERT_EQ(cursor.Next(), reference.Next()) << seed << " cursor draw " << n;
                    } else if (k % 3 == 1) {
                        const AdditiveRandom::Span span = AdditiveRandom::SpanOf(0, 1 + static_cast<int>(shape % 200));
                        int expected;
                        do
                            expected = reference.Next() & static_cast<int>(span.mask);
                        while (static_cast<std::uint32_t>(expected) > span.last);
                        // Both ways of drawing a span: the first try on a branch, or by bits.
                        const int drawn = shape & 0x40u ? cursor.DrawFirstLikely(span) : cursor.Draw(span);
                        ASSERT_EQ(drawn, expected) << seed << " cursor span draw " << n;
                    } else {
                        const std::uint32_t refused = (shape * 2654435761u) & 0xFFFEu;  // never every draw
                        int expected;
                        do
                            expected = reference.Next() & 15;
                        while (refused >> expected & 1u);
                        ASSERT_EQ(cursor.DrawNotIn(15, refused), expected) << seed << " cursor set draw " << n;
                    }
                }
                cursor.Close();
            } else {
                // The generator's own span draws look ahead the same way.
                for (int k = 0; k < run; ++k, ++n) {
                    if (k % 2 == 0) {
                        ASSERT_EQ(random.Next(), reference.Next()) << seed << " draw " << n;
                        continue;
                    }
                    const AdditiveRandom::Span span = AdditiveRandom::SpanOf(0, 1 + static_cast<int>((turns >> (k % 20)) % 300));
                    int expected;
                    do
                        expected = reference.Next() & static_cast<int>(span.mask);
                    while (static_cast<std::uint32_t>(expected) > span.last);
                    ASSERT_EQ(random.Draw(span), expected) << seed << " span draw " << n;
                }
            }
            if (n < 5000 || (turns & 0xF000u) == 0) {
                for (int k = 0; k < 55; ++k)
                    ASSERT_EQ(random.Word(k), reference.table[k]) << seed << " draw " << n << " word " << k;
            }
        }
    }
}

TEST(AdditiveRandomRange, KnownValues)
{
    AdditiveRandom random = SeededAt(1000000000);
    for (int expected : {19, 15, 11, 27, 38, 2})
        EXPECT_EQ(random.Range(0, 59), expected);
}

TEST(AdditiveRandomRange, EmptyOrSingleSpanDrawsNothing)
{
    AdditiveRandom random = SeededAt(1000000000);
    EXPECT_EQ(random.Range(5, 5), 5);
    EXPECT_EQ(random.Range(7, 3), 7);
    EXPECT_EQ(random.Range(INT_MAX, INT_MIN), INT_MAX);
    EXPECT_EQ(random.Next(), 9522067);  // the generator did not move
}

TEST(AdditiveRandomRange, MasksAndRejectsExactlyLikeRawDraws)
{
    // Range(lo, hi) masks each 24-bit draw to the smallest power of two >= the span (at least
    // 2) and redraws values past the span, one generator step per try.
    struct Case { int lo, hi, mask; };
    for (Case c : {Case{0, 8, 15}, Case{0, 59, 63}, Case{1, 2, 1}, Case{3, 6, 3}, Case{0, 45, 63},
                   Case{-1000, 1000, 2047}, Case{0, (1 << 24) - 1, (1 << 24) - 1}}) {
        AdditiveRandom random = SeededAt(424242), raw = SeededAt(424242);
        const int span = c.hi - c.lo + 1;
        for (int n = 0; n < 500; ++n) {
            int d;
            do
                d = raw.Next() & c.mask;
            while (d >= span);
            ASSERT_EQ(random.Range(c.lo, c.hi), c.lo + d) << c.lo << ".." << c.hi << " #" << n;
        }
    }
}

template <int Lo, int Hi>
void ExpectFixedSpanDrawsAsRange()
{
    AdditiveRandom fixed = SeededAt(8675309), general = SeededAt(8675309);
    for (int n = 0; n < 2000; ++n)
        ASSERT_EQ((fixed.Range<Lo, Hi>()), general.Range(Lo, Hi)) << Lo << ".." << Hi << " #" << n;
}

TEST(AdditiveRandomRange, FixedSpansDrawExactlyAsRange)
{
    // The composer's spans, drawn through the compile-time Range, and a few others.
    ExpectFixedSpanDrawsAsRange<1, 2>();
    ExpectFixedSpanDrawsAsRange<1, 4>();
    ExpectFixedSpanDrawsAsRange<3, 6>();
    ExpectFixedSpanDrawsAsRange<0, 8>();
    ExpectFixedSpanDrawsAsRange<0, 23>();
    ExpectFixedSpanDrawsAsRange<0, 45>();
    ExpectFixedSpanDrawsAsRange<0, 59>();
    ExpectFixedSpanDrawsAsRange<-1000, 1000>();
    ExpectFixedSpanDrawsAsRange<0, (1 << 24) - 1>();
    // A span chosen at run time among fixed ones, as the composer picks cluster or consonant.
    AdditiveRandom picked = SeededAt(8675309), general = SeededAt(8675309);
    const AdditiveRandom::Span spans[] = {AdditiveRandom::SpanOf(0, 23), AdditiveRandom::SpanOf(0, 59)};
    for (int n = 0; n < 2000; ++n)
        ASSERT_EQ(picked.Draw(spans[n % 3 == 0]), general.Range(0, n % 3 == 0 ? 59 : 23)) << n;
}

TEST(AdditiveRandomRange, WideSpansTerminateAndStayInBounds)
{
    AdditiveRandom random = SeededAt(99);
    struct Case { int lo, hi; };
    for (Case c : {Case{INT_MIN, INT_MAX}, Case{0, INT_MAX}, Case{INT_MIN, 0}, Case{0, 1 << 30},
                   Case{-5, INT_MAX}, Case{0, 1 << 24}, Case{INT_MAX - 1, INT_MAX}}) {
        for (int n = 0; n < 2000; ++n) {
            int v = random.Range(c.lo, c.hi);
            ASSERT_GE(v, c.lo);
            ASSERT_LE(v, c.hi);
        }
    }
}

TEST(AdditiveRandomRange, WideSpansAreUniform)
{
    // A span of 3 * 2^29 values: each third must get about a third of the draws. One 24-bit
    // draw could reach only every 64th value; a bad mask would favour the low part.
    AdditiveRandom random = SeededAt(2024);
    const int third = 1 << 29;
    int counts[3] = {};
    const int draws = 30000;
    for (int n = 0; n < draws; ++n)
        ++counts[random.Range(0, 3 * third - 1) / third];
    for (int count : counts)
        EXPECT_NEAR(count, draws / 3, 600);

    // Every residue of a wide span is reachable, not only multiples of 2^6.
    int oddSeen = 0;
    for (int n = 0; n < 1000; ++n)
        oddSeen += random.Range(INT_MIN, INT_MAX) & 1;
    EXPECT_NEAR(oddSeen, 500, 100);
}

}  // namespace

namespace {

TEST(SplitMix64, GivesTheReferenceOutputs)
{
    std::uint64_t state = 1234567;
    for (std::uint64_t expected : {6457827717110365317u, 3203168211198807973u, 9817491932198370423u,
                                   4593380528125082431u, 16408922859458223821u})
        EXPECT_EQ(norvathel::SplitMix64(state), expected);
}

TEST(AdditiveRandomSeedFull, FillsEveryWordWithTheTop30BitsOfSplitMix64)
{
    // The edge seeds and ten thousand spread over all 64 bits: the words are worked out in
    // lanes of two, four or eight and in registers beside them, so every word is compared, by
    // SeedFull and by every way of working them out this processor runs.
    std::vector<std::uint64_t> seeds = {0, 1, ~std::uint64_t{0}, std::uint64_t{1} << 63};
    std::uint64_t spread = 12345;
    for (int n = 0; n < 10000; ++n)
        seeds.push_back(norvathel::SplitMix64(spread) * 0x2545F4914F6CDD1Du);
    int ways = 0;
    const norvathel::SeedWordsWay* way = norvathel::SeedWordsWays(ways);
    for (std::uint64_t seed : seeds) {
        AdditiveRandom random;
        random.SeedFull(seed);
        std::uint64_t state = seed;
        std::vector<std::int32_t> expected;
        bool odd = false;
        for (int k = 0; k < 55; ++k) {
            expected.push_back(static_cast<std::int32_t>(norvathel::SplitMix64(state) >> 34));
            ASSERT_EQ(random.Word(k), expected.back()) << seed << " word " << k;
            odd = odd || (random.Word(k) & 1);
        }
        EXPECT_TRUE(odd);
        for (int w = 0; w < ways; ++w) {
            if (!way[w].usable())
                continue;
            std::int32_t words[norvathel::SeedWordRoom];
            const std::int32_t together = way[w].fill(seed, words);
            for (int k = 0; k < 55; ++k)
                ASSERT_EQ(words[k], expected[static_cast<std::size_t>(k)]) << way[w].name << " " << seed << " word " << k;
            bool anyOdd = false;
            for (std::int32_t word : expected)
                anyOdd = anyOdd || (word & 1);
            ASSERT_EQ((together & 1) != 0, anyOdd) << way[w].name << " " << seed;
        }
    }
    // The reference value of SplitMix64's first output for state 0, 0xE220A8397B1DCDAF.
    AdditiveRandom zero;
    zero.SeedFull(0);
    EXPECT_EQ(zero.Word(0), static_cast<std::int32_t>(0xE220A8397B1DCDAFu >> 34));
}

TEST(AdditiveRandomSeedFull, DrawsAsTheSameGeneratorDoes)
{
    // x(n) = (x(n-55) + x(n-24)) mod 2^30 from the filled words, as after Seed.
    AdditiveRandom random;
    random.SeedFull(20240501);
    std::vector<std::int32_t> x;
    for (int k = 0; k < 55; ++k)
        x.push_back(random.Word(k));
    for (int n = 0; n < 500; ++n) {
        const std::size_t at = x.size();
        x.push_back((x[at - 55] + x[at - 24]) & 0x3FFFFFFF);
        ASSERT_EQ(random.Next(), x.back() >> 6) << n;
    }
}

}  // namespace
