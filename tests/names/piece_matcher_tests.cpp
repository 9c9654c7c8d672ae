#include "stream/piece_matcher.h"

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
    // share suffixes; each set in both forms: the one table, and the trie with a table of
    // children for none, some or all of its first states.
    const std::string alphabet = "abAB\xE9\xC3-";
    const std::size_t layouts[][2] = {{PieceMatcher::DenseTableBytes, 0}, {0, 0}, {0, 64}, {0, 1u << 20}};
    std::mt19937 random(15);
    for (int round = 0; round < 400; ++round) {
        std::vector<std::string> pieces;
        const int count = std::uniform_int_distribution<int>(0, round < 300 ? 12 : 200)(random);
        for (int k = 0; k < count; ++k)
            pieces.push_back(RandomText(random, 5, alphabet));
        std::vector<std::string> texts;
        for (int k = 0; k < 50; ++k)
            texts.push_back(RandomText(random, 12, alphabet + "xY\x01"));
        for (const auto& layout : layouts) {
            const PieceMatcher matcher(pieces, layout[0], layout[1]);
            EXPECT_EQ(matcher.Empty(), std::all_of(pieces.begin(), pieces.end(),
                                                   [](const std::string& p) { return p.empty(); }));
            for (const std::string& text : texts)
                ASSERT_EQ(matcher.FoundIn(text.data(), text.size()), Contains(text, pieces))
                    << round << " " << layout[0] << "/" << layout[1] << " '" << text << "'";
        }
    }
}

// A large block list's eight-letter pieces take a few bytes each, not a table row of 27
// entries per state (which would be 150 MB here); and the matcher still finds what it should.
// (10^6 pieces, 11 MB: piece_matcher_bench.)
TEST(PieceMatcher, ManyPiecesInLittleMemory)
{
    std::mt19937 random(23);
    std::vector<std::string> pieces(300000, std::string(8, 'a'));
    for (std::string& piece : pieces)
        for (char& c : piece)
            c = static_cast<char>('a' + std::uniform_int_distribution<int>(0, 25)(random));
    const PieceMatcher matcher(pieces);
    EXPECT_LE(matcher.MemoryBytes(), std::size_t(10) << 20);
    std::sort(pieces.begin(), pieces.end());  // looked up by bisection
    for (int k = 0; k < 1000; ++k) {
        std::string text = RandomText(random, 20, "abcdefghijklmnopqrstuvwxyzQ");
        if (k % 2 == 0)
            text.insert(text.size() / 2, pieces[static_cast<std::size_t>(k) * 293]);
        bool found = false;
        for (std::size_t at = 0; at + 8 <= text.size() && !found; ++at)
            found = std::binary_search(pieces.begin(), pieces.end(), Lower(text.substr(at, 8)));
        ASSERT_EQ(matcher.FoundIn(text.data(), text.size()), found || k % 2 == 0) << text;
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
