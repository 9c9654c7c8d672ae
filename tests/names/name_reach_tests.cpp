#include "rules/name_reach.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

#include "compose/name_finishing.h"

using namespace norvathel;

namespace {

std::string Lower(std::string text)
{
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return text;
}

// What count names in a row from one generator end with: each ending of 1 to 3 bytes (lower
// case) with the lengths of the names that end so.
using Endings = std::unordered_map<std::string, std::set<int>>;

Endings Compose(std::uint64_t seed, Gender gender, const char* prefix, int count, std::set<int>& lengths)
{
    AdditiveRandom random;
    random.SeedFull(seed);
    Endings endings;
    Board board;
    for (int composed = 0; composed < count; composed += NamesPerBoard) {
        ComposeBoard(random, gender, prefix, board);
        for (int index = 0; index < NamesPerBoard; ++index) {
            const std::string name = Lower(board.names[index]);
            lengths.insert(board.lengths[index]);
            for (std::size_t size = 1; size <= 3 && size <= name.size(); ++size)
                endings[name.substr(name.size() - size)].insert(board.lengths[index]);
        }
    }
    return endings;
}

std::string RandomLetters(std::mt19937& random, int size)
{
    std::string text;
    for (int k = 0; k < size; ++k)
        text += static_cast<char>('a' + std::uniform_int_distribution<int>(0, 25)(random));
    return text;
}

// Without a prefix the decision is exact: an ending is refused exactly when not one of a
// million composed names ends so, and the lengths are exactly those composed.
TEST(NameReach, RefusesExactlyTheEndingsNoComposedNameHas)
{
    std::mt19937 random(1500);
    for (Gender gender : {Male, Female}) {
        std::set<int> lengthsSeen;
        const Endings seen = Compose(gender == Male ? 11 : 12, gender, "", 1000000, lengthsSeen);
        const NameReach reach(RulesOfClassic(), gender, "");
        for (int length = 0; length <= MaxNameLength + 5; ++length)
            EXPECT_EQ(reach.Lengths().Has(length), lengthsSeen.count(length) == 1) << gender << " " << length;

        std::vector<std::string> endings;
        for (char c = 'a'; c <= 'z'; ++c)
            endings.push_back(std::string(1, c));
        // Random letters are mostly refused; endings some name has are mostly not (a name may
        // have a rare one the analysis must still accept).
        std::vector<std::string> seenLonger;
        for (const auto& ending : seen)
            if (ending.first.size() > 1)
                seenLonger.push_back(ending.first);
        std::sort(seenLonger.begin(), seenLonger.end());
        for (int k = 0; k < 150; ++k) {
            endings.push_back(RandomLetters(random, 2 + k % 2));
            endings.push_back(seenLonger[std::uniform_int_distribution<std::size_t>(0, seenLonger.size() - 1)(random)]);
        }
        int refused = 0;
        for (const std::string& ending : endings) {
            const auto found = seen.find(ending);
            const LengthSet lengths = reach.LengthsEndingWith(ending);
            ASSERT_EQ(lengths.Empty(), found == seen.end()) << (gender == Male ? "male " : "female ") << ending;
            refused += lengths.Empty();
            if (found == seen.end())
                continue;
            for (int length : found->second)
                ASSERT_TRUE(lengths.Has(length)) << ending << " " << length;
        }
        // Both answers are exercised.
        EXPECT_GT(refused, 50);
        EXPECT_LT(refused, static_cast<int>(endings.size()) - 50);
        // Upper case asks the same.
        EXPECT_EQ(reach.LengthsEndingWith("IA").Empty(), reach.LengthsEndingWith("ia").Empty());
    }
}

TEST(NameReach, AcceptsEveryEndingAndLengthComposedWithAPrefix)
{
    for (const char* prefix : {"ka", "e", "a", "Tor", "y&r", "i\xE9", "abcdefghijklmnopqrstuvwxyz01234567"}) {
        for (Gender gender : {Male, Female}) {
            std::set<int> lengthsSeen;
            const Endings seen = Compose(7, gender, prefix, 100000, lengthsSeen);
            const NameReach reach(RulesOfClassic(), gender, prefix);
            for (int length : lengthsSeen)
                ASSERT_TRUE(reach.Lengths().Has(length)) << prefix << " " << length;
            // A sample of the endings seen: each walk of the analysis takes a while.
            int checked = 0;
            for (const auto& ending : seen) {
                if (checked++ % 23 != 0)
                    continue;
                const LengthSet lengths = reach.LengthsEndingWith(ending.first);
                for (int length : ending.second)
                    ASSERT_TRUE(lengths.Has(length)) << prefix << " " << ending.first << " " << length;
            }
        }
    }
}

TEST(NameReach, EndingAndLengthsAreDecidedTogether)
{
    const NameReach female(RulesOfClassic(), Female, "");
    // The longest ending needs a consonant before it.
    EXPECT_EQ(female.LengthsEndingWith("avaatha").Lowest(), 8);
    EXPECT_FALSE(female.LengthsEndingWith("avaatha").AnyWithin(1, 7));
    const NameReach male(RulesOfClassic(), Male, "");
    EXPECT_EQ(male.Lengths().Lowest(), 3);
    EXPECT_EQ(male.Lengths().Highest(), 11);
    EXPECT_TRUE(male.LengthsEndingWith("ia").Empty());
    // A prefix may supply what the fragments cannot: the ending can reach into it.
    const NameReach prefixed(RulesOfClassic(), Female, "Zo\xEB");
    EXPECT_EQ(prefixed.ForeignLetter("\xEB"), -1);
    EXPECT_EQ(female.ForeignLetter("1a"), 0);
    EXPECT_EQ(female.ForeignLetter("a\xC3\xA9"), 1);
    // Letters beyond ASCII are held in either case, and a length in letters counts one each.
    const NameReach cyrillic(RulesOfClassic(), Female, "\xD0\x96\xD0\xB0", NameReach::WorkLimit, LengthUnit::CodePoints);
    EXPECT_EQ(cyrillic.ForeignLetter("\xD0\xB6"), -1);      // "ж" from the prefix's "Ж"
    EXPECT_EQ(cyrillic.ForeignLetter("a\xD0\xB1"), 1);      // "б" nowhere
    const NameReach bytes(RulesOfClassic(), Female, "\xD0\x96\xD0\xB0");
    EXPECT_EQ(bytes.Lengths().Lowest(), cyrillic.Lengths().Lowest() + 2);
    EXPECT_EQ(cyrillic.LengthsEndingWith("\xD0\xB6\xD0\x90").Lowest(), -1);  // "жА": the prefix is not at the end
    EXPECT_FALSE(cyrillic.LengthsEndingWith("A").Empty());
}

TEST(ComposerRules, DescribeClassic)
{
    const ComposerRules& rules = RulesOfClassic();
    for (int byte = 1; byte < 256; ++byte) {
        const char text[2] = {static_cast<char>(byte), '\0'};
        const bool vowel = std::find(rules.vowelEnds.begin(), rules.vowelEnds.end(), std::string(text)) != rules.vowelEnds.end();
        EXPECT_EQ(EndsInConsonant(text), !vowel) << byte;
    }
    EXPECT_EQ(rules.consonants.size(), 21u);  // 18 letters and 3 digraphs, each once
    EXPECT_EQ(rules.clusters.size(), 24u);    // "rr" is never drawn
    EXPECT_EQ(rules.vowels.size(), 6u);
    EXPECT_EQ(rules.endings.size(), 46u);
}

}  // namespace
