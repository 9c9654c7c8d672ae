#include <norvathel/name_stream.h>

#include <gtest/gtest.h>

#include <cctype>
#include <random>
#include <set>
#include <string>
#include <vector>

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
    random.Seed(seed);
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
        if (!norvathel::ImpossibleConstraints(c, prefix).empty())
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

TEST(NameStream, RefusesConstraintsThatNoNameCanMeet)
{
    auto problem = [](const char* prefix, auto change) {
        NameConstraints c;
        change(c);
        return norvathel::ImpossibleConstraints(c, prefix);
    };
    EXPECT_EQ(problem("", [](NameConstraints&) {}), "");
    EXPECT_EQ(problem("Ka", [](NameConstraints& c) { c.minLength = 45; c.maxLength = 45; c.exclude = {"x"}; }), "");
    EXPECT_NE(problem("", [](NameConstraints& c) { c.minLength = 46; }), "");
    EXPECT_NE(problem("", [](NameConstraints& c) { c.maxLength = -1; }), "");
    EXPECT_NE(problem("", [](NameConstraints& c) { c.minLength = 7; c.maxLength = 6; }), "");
    EXPECT_NE(problem("Dragon", [](NameConstraints& c) { c.maxLength = 5; }), "");
    EXPECT_NE(problem("", [](NameConstraints& c) { c.maxLength = 2; c.endsWith = "ias"; }), "");
    EXPECT_NE(problem("", [](NameConstraints& c) { c.exclude = {"a", ""}; }), "");
    EXPECT_NE(problem("KaTH", [](NameConstraints& c) { c.exclude = {"th"}; }), "");
}

TEST(NameStream, WordSeedsAreTheFnv1aHashOfTheirBytes)
{
    EXPECT_EQ(norvathel::SeedFromWord(""), 14695981039346656037u);
    EXPECT_EQ(norvathel::SeedFromWord("dragonkeep"), 939693646917506563u);
    EXPECT_LT(norvathel::EntropySeed(), std::uint64_t(1) << 30);
}

}  // namespace
