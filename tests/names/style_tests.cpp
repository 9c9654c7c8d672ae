#include <norvathel/name_composer.h>
#include <norvathel/style.h>

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

using namespace norvathel;

namespace {

std::vector<std::string> Names(const Style& style, std::uint64_t seed, int boards, bool surnames = false)
{
    AdditiveRandom random;
    random.Seed(seed);
    AdditiveRandom second = SurnameRandomFor(random);
    std::vector<std::string> names;
    Board board;
    for (int b = 0; b < boards; ++b) {
        const Gender gender = b % 3 == 0 ? Male : Female;
        const char* prefix = b % 4 == 1 ? "ka" : b % 4 == 2 ? "e" : b % 7 == 3 ? "Tor&x" : "";
        style.ComposeBoard(random, gender, prefix, board);
        for (int k = 0; k < NamesPerBoard; ++k) {
            EXPECT_EQ(board.lengths[k], static_cast<int>(std::strlen(board.names[k])));
            names.push_back(board.names[k]);
        }
        if (surnames) {
            style.ComposeSurnames(second, board);
            for (int k = 0; k < NamesPerBoard; ++k)
                names.push_back(board.names[k]);
        }
    }
    return names;
}

bool SameData(const StyleData& a, const StyleData& b)
{
    return WriteStyle(a) == WriteStyle(b) && a.consonants.fragments == b.consonants.fragments &&
           a.vowels.drawn == b.vowels.drawn && a.clusters.drawn == b.clusters.drawn;
}

TEST(StyleFile, EveryBuiltInStyleRoundTripsThroughItsTextAndComposesTheSame)
{
    for (const std::string& name : Style::BuiltInNames()) {
        Style style;
        ASSERT_TRUE(Style::BuiltIn(name, style)) << name;
        Style reread;
        StyleError error;
        ASSERT_TRUE(Style::FromText(style.ToText(), name + ".toml", reread, error)) << error.Text();
        EXPECT_TRUE(SameData(style.Data(), reread.Data())) << name;
        EXPECT_EQ(reread.ToText(), style.ToText());
        EXPECT_EQ(Names(reread, 77, 300, true), Names(style, 77, 300, true)) << name;
    }
}

TEST(StyleFile, ClassicWrittenAsAFileComposesExactlyAsTheCompiledOne)
{
    Style fromFile;
    StyleError error;
    ASSERT_TRUE(Style::FromFile(NORVATHEL_SOURCE_DIR "/styles/classic.toml", fromFile, error)) << error.Text();
    EXPECT_EQ(fromFile.ToText(), Style::Classic().ToText());
    for (std::uint64_t seed : {0ull, 1000000000ull, 123456789ull})
        EXPECT_EQ(Names(fromFile, seed, 2000, true), Names(Style::Classic(), seed, 2000, true));
    // The compiled style is the program's composer itself.
    AdditiveRandom a, b;
    a.Seed(1000000000);
    b.Seed(1000000000);
    DrawStartGender(a);
    DrawStartGender(b);
    Board mine, classic;
    fromFile.ComposeBoard(a, Female, "", mine);
    ComposeBoard(b, Female, "", classic);
    EXPECT_STREQ(mine.names[0], "Glicia");
    for (int k = 0; k < NamesPerBoard; ++k)
        EXPECT_STREQ(mine.names[k], classic.names[k]);
}

}  // namespace

namespace {

// The README's example style, cut from the README itself.
std::string ReadmeExample()
{
    std::ifstream readme(NORVATHEL_SOURCE_DIR "/README.md");
    std::stringstream text;
    text << readme.rdbuf();
    const std::string all = text.str();
    const std::size_t section = all.find("A small complete style:");
    const std::size_t begin = all.find("```toml\n", section);
    const std::size_t end = all.find("```", begin + 8);
    if (section == std::string::npos || begin == std::string::npos || end == std::string::npos)
        return "";
    return all.substr(begin + 8, end - begin - 8);
}

TEST(StyleFile, TheReadmeExampleIsACompleteStyle)
{
    Style style;
    StyleError error;
    ASSERT_TRUE(Style::FromText(ReadmeExample(), "README.md", style, error)) << error.Text();
    EXPECT_EQ(style.Name(), "murmur");
    std::set<std::string> names;
    for (const std::string& name : Names(style, 5, 100, true))
        names.insert(name);
    EXPECT_GT(names.size(), 100u);
}

}  // namespace

namespace {

// 100,000 given names of the style, boards of each gender in turn, no prefix.
std::set<std::string> DistinctNames(const Style& style)
{
    AdditiveRandom random;
    random.SeedFully(2024);
    std::set<std::string> names;
    Board board;
    for (int b = 0; b < 10000; ++b) {
        style.ComposeBoard(random, b % 2 ? Female : Male, "", board);
        for (const auto& name : board.names)
            names.insert(name);
    }
    return names;
}

TEST(BuiltInStyles, EachSoundsItsOwn)
{
    std::vector<std::pair<std::string, std::set<std::string>>> styles;
    for (const std::string& name : Style::BuiltInNames()) {
        Style style;
        ASSERT_TRUE(Style::BuiltIn(name, style));
        EXPECT_FALSE(style.Data().description.empty());
        styles.emplace_back(name, DistinctNames(style));
    }
    ASSERT_GE(styles.size(), 6u);
    for (const auto& mine : styles) {
        std::size_t shared = 0;
        for (const std::string& name : mine.second) {
            for (const auto& other : styles)
                if (&other != &mine && other.second.count(name)) {
                    ++shared;
                    break;
                }
        }
        const double share = static_cast<double>(shared) / static_cast<double>(mine.second.size());
        RecordProperty(mine.first, std::to_string(share));
        EXPECT_LE(share, 0.03) << mine.first << ": " << shared << " of " << mine.second.size()
                               << " distinct names also come from another style";
    }
}

}  // namespace
