#include <norvathel/name_stream.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cctype>
#include <cstdlib>
#include <new>
#include <random>
#include <set>
#include <string>
#include <vector>

// The replacements below pair malloc with free; GCC, seeing operator new inlined next to free,
// takes them for a mismatch.
#if defined(__GNUC__) && !defined(__clang__) && __GNUC__ >= 11
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif

// While FailFrom is set, the first allocation of at least that many bytes fails (and clears
// it): memory running out at a chosen moment. Replaces the global allocation functions of
// this test program.
static std::atomic<std::size_t> FailFrom{0};

void* operator new(std::size_t size)
{
    std::size_t limit = FailFrom.load();
    if (limit != 0 && size >= limit && FailFrom.compare_exchange_strong(limit, 0))
        throw std::bad_alloc();
    if (void* block = std::malloc(size != 0 ? size : 1))
        return block;
    throw std::bad_alloc();
}

void operator delete(void* block) noexcept
{
    std::free(block);
}

void operator delete(void* block, std::size_t) noexcept
{
    std::free(block);
}

namespace {

using norvathel::AdditiveRandom;
using norvathel::Board;
using norvathel::Female;
using norvathel::Gender;
using norvathel::GenderChoice;
using norvathel::Male;
using norvathel::NamesPerBoard;
using norvathel::NameConstraints;
using norvathel::NameStream;
using norvathel::StreamName;

struct Composed {
    std::string name;
    Gender gender;
    std::uint64_t board;
};

// The unconstrained sequence, board by board, straight from the composer.
std::vector<Composed> Unconstrained(std::uint64_t seed, GenderChoice choice, const char* prefix,
                                    int count)
{
    AdditiveRandom random;
    random.SeedFull(seed);
    std::vector<Composed> names;
    Board board;
    for (std::uint64_t index = 0; static_cast<int>(names.size()) < count; ++index) {
        Gender gender = choice == GenderChoice::Male     ? Male
                        : choice == GenderChoice::Female ? Female
                                                         : norvathel::DrawStartGender(random);
        norvathel::ComposeBoard(random, gender, prefix, board);
        for (int i = 0; i < NamesPerBoard; ++i)
            names.push_back({board.names[i], gender, index});
    }
    names.resize(count);
    return names;
}

std::string Lower(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// The rule, written plainly: which of the unconstrained names are kept.
std::vector<Composed> Filtered(const std::vector<Composed>& all, const NameConstraints& c)
{
    std::vector<Composed> kept;
    std::set<std::string> seen;
    for (const Composed& entry : all) {
        const std::string lower = Lower(entry.name);
        const int length = static_cast<int>(entry.name.size());
        bool ok = length >= c.minLength && (c.maxLength == 0 || length <= c.maxLength);
        ok = ok && lower.size() >= c.endsWith.size() &&
             lower.compare(lower.size() - c.endsWith.size(), std::string::npos,
                           Lower(c.endsWith)) == 0;
        for (const std::string& piece : c.exclude)
            ok = ok && lower.find(Lower(piece)) == std::string::npos;
        if (ok && c.unique)
            ok = seen.insert(entry.name).second;
        if (ok)
            kept.push_back(entry);
    }
    return kept;
}

TEST(NameStream, KeepsExactlyTheUnconstrainedNamesThatMeetTheConstraints)
{
    const char* const prefixes[] = {"", "ka", "El", "\xC3\x89l"};
    const char* const endings[] = {"", "a", "IA", "n", "or"};
    const char* const pieces[] = {"th", "A", "sh", "ee", "Ka"};
    std::mt19937 pick(2026);
    for (int run = 0; run < 300; ++run) {
        const std::uint64_t seed = pick();
        const GenderChoice choice = static_cast<GenderChoice>(run % 3);
        const char* prefix = prefixes[pick() % 4];
        NameConstraints c;
        c.unique = pick() % 2 == 0;
        c.minLength = static_cast<int>(pick() % 3) * 3;     // 0, 3, 6
        c.maxLength = static_cast<int>(pick() % 3) * 5;     // none, 5, 10
        c.endsWith = endings[pick() % 5];
        if (pick() % 2 == 0)
            c.exclude.push_back(pieces[pick() % 5]);
        if (norvathel::ImpossibleConstraints(c, prefix))
            continue;

        const std::vector<Composed> expected = Filtered(Unconstrained(seed, choice, prefix, 2000), c);
        NameStream stream(seed, choice, prefix, c);
        StreamName name;
        for (const Composed& entry : expected) {
            ASSERT_TRUE(stream.Next(name)) << "run " << run;
            ASSERT_EQ(std::string(name.text, name.length), entry.name) << "run " << run;
            ASSERT_EQ(name.gender, entry.gender);
            ASSERT_EQ(name.board, entry.board);
        }
        EXPECT_EQ(stream.Kept(), expected.size());
    }
}

TEST(NameStream, RunsDryAfterTheLimitOfNamesInARowWithoutOneKept)
{
    NameConstraints digitEnding;
    digitEnding.endsWith = "7";  // no fragment holds a digit
    NameStream never(1, GenderChoice::Drawn, "", digitEnding, 5000);
    StreamName name;
    EXPECT_FALSE(never.Next(name));
    EXPECT_TRUE(never.RanDry());
    EXPECT_EQ(never.Composed(), 5000u);
    EXPECT_EQ(never.Kept(), 0u);

    // Few distinct short names: some are kept, then the stream stays dry.
    NameConstraints fewNames;
    fewNames.unique = true;
    fewNames.maxLength = 4;
    NameStream few(1, GenderChoice::Male, "Ka", fewNames, 20000);
    std::set<std::string> kept;
    while (few.Next(name))
        EXPECT_TRUE(kept.insert(std::string(name.text, name.length)).second);
    EXPECT_GT(kept.size(), 0u);
    EXPECT_EQ(few.Kept(), kept.size());
    EXPECT_EQ(few.ComposedSinceKept(), 20000u);
    const std::uint64_t composed = few.Composed();
    EXPECT_FALSE(few.Next(name));  // stays dry, composing nothing more
    EXPECT_EQ(few.Composed(), composed);
}

TEST(NameStream, RefusesConstraintsThatNoNameCanMeetSayingWhyInNumbers)
{
    using Fault = norvathel::ConstraintFault;
    struct Case {
        const char* prefix;
        NameConstraints constraints;
        Fault fault;
        std::int64_t length, limit;
        std::size_t piece;
    };
    auto with = [](auto change) {
        NameConstraints c;
        change(c);
        return c;
    };
    const std::string longest(45, 'a');
    const Case cases[] = {
        {"", {}, Fault::None, 0, 0, 0},
        {"Ka", with([](NameConstraints& c) { c.minLength = 10; c.maxLength = 12; c.exclude = {"x"}; }),
         Fault::None, 0, 0, 0},
        // What the composer can make: lengths 3 to 16 without a prefix, 4 to 16 after "Ka".
        {"Ka", with([](NameConstraints& c) { c.minLength = 45; c.maxLength = 45; }),
         Fault::LengthsUnreachable, 4, 16, 0},
        {"", with([](NameConstraints& c) { c.maxLength = 2; }), Fault::LengthsUnreachable, 3, 16, 0},
        {"", with([](NameConstraints& c) { c.minLength = 17; }), Fault::LengthsUnreachable, 3, 16, 0},
        {"", with([&](NameConstraints& c) { c.endsWith = longest; }), Fault::EndingUnreachable, 0, 0, 0},
        {"", with([](NameConstraints& c) { c.endsWith = "a1a"; }), Fault::EndingForeignByte, 0, 0, 1},
        {"", with([](NameConstraints& c) { c.endsWith = "\xC3\xA9"; }), Fault::EndingForeignByte, 0, 0, 0},
        {"Zo\xEB", with([](NameConstraints& c) { c.endsWith = "\xEB"; }), Fault::EndingLastByte, 0, 0, 0},
        {"Tor", with([](NameConstraints& c) { c.endsWith = "TORella"; c.maxLength = 7; }), Fault::None, 0, 0, 0},
        {"", with([](NameConstraints& c) { c.endsWith = "avaatha"; c.maxLength = 7; }),
         Fault::EndingOutsideLengths, 8, 16, 0},
        {"", with([](NameConstraints& c) { c.minLength = 46; }), Fault::MinLengthOutOfRange, 46, 45, 0},
        {"", with([](NameConstraints& c) { c.maxLength = -1; }), Fault::MaxLengthOutOfRange, -1, 45, 0},
        {"", with([](NameConstraints& c) { c.minLength = 7; c.maxLength = 6; }), Fault::MinAboveMax, 7, 6, 0},
        {"Dragon", with([](NameConstraints& c) { c.maxLength = 5; }), Fault::MaxBelowPrefix, 5, 6, 0},
        {"", with([](NameConstraints& c) { c.maxLength = 2; c.endsWith = "ias"; }), Fault::MaxBelowEnding, 2, 3, 0},
        {"", with([&](NameConstraints& c) { c.endsWith = longest + "a"; }), Fault::EndingTooLong, 46, 45, 0},
        {"", with([](NameConstraints& c) { c.endsWith.assign(1 << 20, 'a'); }), Fault::EndingTooLong, 1 << 20, 45, 0},
        {"", with([](NameConstraints& c) { c.exclude = {"a", ""}; }), Fault::EmptyPiece, 0, 0, 1},
        {"KaTH", with([](NameConstraints& c) { c.exclude = {"x", "th"}; }), Fault::PieceInPrefix, 0, 0, 1},
    };
    for (const Case& expected : cases) {
        const norvathel::ConstraintProblem problem =
            norvathel::ImpossibleConstraints(expected.constraints, expected.prefix);
        EXPECT_EQ(problem.fault, expected.fault) << static_cast<int>(expected.fault);
        EXPECT_EQ(static_cast<bool>(problem), expected.fault != Fault::None);
        EXPECT_EQ(problem.length, expected.length) << static_cast<int>(expected.fault);
        EXPECT_EQ(problem.limit, expected.limit) << static_cast<int>(expected.fault);
        EXPECT_EQ(problem.piece, expected.piece) << static_cast<int>(expected.fault);
    }
}

TEST(NameStream, RefusesEndingsNoNameOfTheGenderHas)
{
    using Fault = norvathel::ConstraintFault;
    auto fault = [](GenderChoice gender, const char* ending) {
        NameConstraints c;
        c.endsWith = ending;
        return norvathel::ImpossibleConstraints(c, "", gender).fault;
    };
    EXPECT_EQ(fault(GenderChoice::Male, "ia"), Fault::EndingInVowel);
    EXPECT_EQ(fault(GenderChoice::Female, "ia"), Fault::None);
    EXPECT_EQ(fault(GenderChoice::Drawn, "ia"), Fault::None);
    EXPECT_EQ(fault(GenderChoice::Female, "b"), Fault::EndingLastByte);
    EXPECT_EQ(fault(GenderChoice::Drawn, "b"), Fault::None);
    EXPECT_EQ(fault(GenderChoice::Male, "zz"), Fault::EndingUnreachable);
    // A stream refuses for its own gender only: female names end in "ia", male ones cannot.
    NameConstraints ia;
    ia.endsWith = "ia";
    ia.maxLength = 4;
    EXPECT_EQ(norvathel::ImpossibleConstraints(ia, "", GenderChoice::Female).fault, Fault::None);
    EXPECT_EQ(norvathel::ImpossibleConstraints(ia, "Ka", GenderChoice::Female).fault, Fault::None);
    NameConstraints longest;
    longest.endsWith = "avaatha";
    longest.maxLength = 8;  // "Ka" and the ending are 9 bytes
    const norvathel::ConstraintProblem problem = norvathel::ImpossibleConstraints(longest, "Ka", GenderChoice::Female);
    EXPECT_EQ(problem.fault, Fault::EndingOutsideLengths);
    EXPECT_EQ(problem.length, 9);
}

TEST(NameStream, AUniqueStreamThatRunsOutOfMemoryForgetsNothing)
{
    NameConstraints unique;
    unique.unique = true;
    const std::size_t Names = 250000;
    std::vector<std::string> expected;
    expected.reserve(Names);
    NameStream ample(77, GenderChoice::Drawn, "", unique);
    StreamName name;
    while (expected.size() < Names && ample.Next(name))
        expected.emplace_back(name.text, name.length);
    ASSERT_EQ(expected.size(), Names);
    // Past several blocks of names and table growths, still exactly the rule's names.
    const std::vector<Composed> rule = Filtered(Unconstrained(77, GenderChoice::Drawn, "", static_cast<int>(ample.Composed())), unique);
    ASSERT_EQ(rule.size(), Names);
    for (std::size_t k = 0; k < Names; ++k)
        ASSERT_EQ(expected[k], rule[k].name) << k;

    // From 100,000 names on, the set's next 1 MiB block of names fails, or (2 MiB) the growth
    // of its table past 2^18 slots. The failed call throws; the stream goes on as if it had not.
    for (std::size_t failFrom : {std::size_t(1) << 20, std::size_t(2) << 20}) {
        NameStream stream(77, GenderChoice::Drawn, "", unique);
        std::vector<std::string> names;
        names.reserve(Names);  // no large allocation of the test's own while armed
        int failures = 0;
        bool armed = false;
        while (names.size() < Names) {
            if (!armed && names.size() == 100000)
                FailFrom = failFrom, armed = true;
            try {
                if (!stream.Next(name))
                    break;
                names.emplace_back(name.text, name.length);
            } catch (const std::bad_alloc&) {
                ++failures;
            }
        }
        FailFrom = 0;
        EXPECT_EQ(failures, 1) << failFrom;
        EXPECT_TRUE(names == expected) << failFrom << ": other names, or repeats";
        EXPECT_EQ(stream.Kept(), Names);
    }
}

TEST(NameStream, AStreamHandedItsBoardsHandsOutTheNamesItWouldHaveComposed)
{
    // Unique full names with a constraint: the set is asked of whole names, the constraint of
    // given ones. The source fails once; the stream then asks for the same board again.
    NameConstraints constraints;
    constraints.unique = true;
    constraints.maxLength = 7;
    const norvathel::Style& style = norvathel::Style::Classic();
    AdditiveRandom start;
    start.SeedFull(5);
    NameStream own(style, start, GenderChoice::Drawn, "Ka", constraints, true);
    NameStream handed(style, start, GenderChoice::Drawn, "Ka", constraints, true);
    AdditiveRandom random = start, surnameRandom = norvathel::SurnameRandomFor(start);
    int boards = 0, fourthAsked = 0;
    handed.TakeBoardsFrom([&](Board& names, Board& surnames) {
        if (boards == 3 && ++fourthAsked == 1)
            throw std::bad_alloc();
        ++boards;
        const Gender gender = norvathel::ComposeStreamBoard(style, GenderChoice::Drawn, random, "Ka", names);
        style.ComposeSurnames(surnameRandom, surnames);
        return gender;
    });
    StreamName want, got;
    for (int k = 0; k < 20000; ++k) {
        ASSERT_TRUE(own.Next(want));
        try {
            ASSERT_TRUE(handed.Next(got));
        } catch (const std::bad_alloc&) {
            ASSERT_TRUE(handed.Next(got));
        }
        ASSERT_EQ(std::string(got.text) + " " + got.surname, std::string(want.text) + " " + want.surname) << k;
        ASSERT_EQ(got.gender, want.gender);
        ASSERT_EQ(got.board, want.board);
    }
    EXPECT_EQ(fourthAsked, 2);  // it threw, and was asked for again
    EXPECT_EQ(handed.Composed(), own.Composed());
}

// The first board of a stream whose gender is drawn, as text: ten names and the gender.
std::string FirstBoard(std::uint64_t seed)
{
    NameStream stream(seed, GenderChoice::Drawn, "", NameConstraints());
    StreamName name;
    std::string board;
    for (int index = 0; index < NamesPerBoard; ++index) {
        stream.Next(name);
        board += std::string(name.text) + " ";
    }
    return board + (name.gender == Male ? "male" : "female");
}

TEST(NameStreamSeeds, EveryBitOfASeedCounts)
{
    for (std::uint64_t seed : {std::uint64_t{0}, std::uint64_t{1000}, std::uint64_t{0x5DEECE66Du} << 20}) {
        const std::string board = FirstBoard(seed);
        for (int bit = 0; bit < 64; ++bit)
            EXPECT_NE(FirstBoard(seed + (std::uint64_t{1} << bit)), board) << seed << " + 2^" << bit;
    }
}

TEST(NameStreamSeeds, AHundredThousandSeedsAHundredThousandBoards)
{
    std::mt19937_64 seeds(20240501);
    std::set<std::string> boards;
    for (int k = 0; k < 100000; ++k)
        boards.insert(FirstBoard(seeds()));
    EXPECT_EQ(boards.size(), 100000u);
}

// Pinned: what a full seed prints must never change silently.
TEST(NameStreamSeeds, GoldenFirstBoards)
{
    EXPECT_EQ(FirstBoard(0), "Shisor Goathis Anec Koith Grum Fah Thaifyib Getrifret Athos Soic male");
    EXPECT_EQ(FirstBoard(2024), "Srenub Gleikhyf Icef Kaub Syuk Shuares Daseag Syseg Bedlyfec Owaeg male");
    EXPECT_EQ(FirstBoard(~std::uint64_t{0}),
              "Theasigail Emegaila Uichandra Ibuisetty Thoeresha Eprissa Audrette Kreivresse Driusila "
              "Eruenessa female");
}

TEST(NameStream, WordSeedsAreTheFnv1aHashOfTheirBytes)
{
    EXPECT_EQ(norvathel::SeedFromWord(""), 14695981039346656037u);
    EXPECT_EQ(norvathel::SeedFromWord("dragonkeep"), 939693646917506563u);
    // Entropy gives full 64-bit seeds: of a few, some reach above 30 and above 32 bits.
    std::uint64_t high = 0;
    for (int k = 0; k < 8; ++k)
        high |= norvathel::EntropySeed();
    EXPECT_GE(high, std::uint64_t(1) << 32);
}

}  // namespace
