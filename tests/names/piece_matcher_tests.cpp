#include "piece_matcher.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

using norvathel::PieceMatcher;

namespace {

std::string Lower(std::string text)
{
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return text;
}

// The rule, written plainly.
bool Contains(const std::string& text, const std::vector<std::string>& pieces)
{
    for (const std::string& piece : pieces)
        if (!piece.empty() && Lower(text).find(Lower(piece)) != std::string::npos)
            return true;
    return false;
}

std::string RandomText(std::mt19937& random, int longest, const std::string& alphabet)
{
    std::string text(std::uniform_int_distribution<int>(0, longest)(random), ' ');
    for (char& c : text)
        c = alphabet[std::uniform_int_distribution<std::size_t>(0, alphabet.size() - 1)(random)];
    return text;
}

TEST(PieceMatcher, FindsWhatAPlainSearchFinds)
{
    // A small alphabet with both cases and bytes above 127, so that pieces overlap, nest and
    // share suffixes.
    const std::string alphabet = "abAB\xE9\xC3-";
    std::mt19937 random(15);
    for (int round = 0; round < 400; ++round) {
        std::vector<std::string> pieces;
        const int count = std::uniform_int_distribution<int>(0, 12)(random);
        for (int k = 0; k < count; ++k)
            pieces.push_back(RandomText(random, 5, alphabet));
        const PieceMatcher matcher(pieces);
        EXPECT_EQ(matcher.Empty(), std::all_of(pieces.begin(), pieces.end(),
                                               [](const std::string& p) { return p.empty(); }));
        for (int k = 0; k < 50; ++k) {
            const std::string text = RandomText(random, 12, alphabet + "xY\x01");
            ASSERT_EQ(matcher.FoundIn(text.data(), text.size()), Contains(text, pieces))
                << round << " '" << text << "'";
        }
    }
}

TEST(PieceMatcher, ClassicOverlapsAndNoPieces)
{
    const PieceMatcher matcher({"he", "SHE", "his", "hers"});
    for (const char* text : {"ushers", "aHIS", "sHe", "xxhersx"})
        EXPECT_TRUE(matcher.FoundIn(text, std::char_traits<char>::length(text))) << text;
    for (const char* text : {"", "h", "hi", "sh", "hs", "rsi"})
        EXPECT_FALSE(matcher.FoundIn(text, std::char_traits<char>::length(text))) << text;
    const PieceMatcher none;
    EXPECT_TRUE(none.Empty());
    EXPECT_FALSE(none.FoundIn("anything", 8));
}

}  // namespace
