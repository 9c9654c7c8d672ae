#include <norvathel/name_composer.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "compose/fragment_tables.h"

using namespace norvathel;

namespace {

using Names = std::vector<std::string>;

Names BoardOf(AdditiveRandom& random, Gender gender, const char* prefix)
{
    Board board;
    ComposeBoard(random, gender, prefix, board);
    Names names;
    for (int i = 0; i < NamesPerBoard; ++i) {
        EXPECT_EQ(board.lengths[i], static_cast<int>(std::strlen(board.names[i])));
        names.push_back(board.names[i]);
    }
    return names;
}

Names ListOf(AdditiveRandom& random, Gender gender, const char* prefix, NameList& list)
{
    Compose(random, gender, prefix, list);
    Names names;
    for (int i = 0; i < NamesPerBoard; ++i)
        names.push_back(list[i]);
    return names;
}

const Names FirstBoard = {"Glicia", "Sojazheta", "Sheowandra", "Ryutaila", "Ihycenne",
                          "Eoneah", "Sisa", "Idaketty", "Ciycrila", "Aporicia"};
const Names SecondBoard = {"Chigail", "Lliavlessa", "Sala", "Uykegaila", "Iateen",
                           "Iateicesha", "Kaowel", "Posae", "Thaysana", "Kuathayla"};
const Names ThirdBoard = {"Kadielit", "Kaalyim", "Kaleos", "Kakar", "Kashyb",
                          "Kafyt", "Kaifykof", "Kameiflan", "Kasuecyt", "Kaiteot"};

TEST(ComposeReference, ThreeBoardsFromClockOneBillion)
{
    AdditiveRandom random;
    random.Seed(1000000000);
    ASSERT_EQ(DrawStartGender(random), Female);
    NameList list;
    EXPECT_EQ(ListOf(random, Female, "", list), FirstBoard);
    EXPECT_EQ(ListOf(random, Female, "", list), SecondBoard);
    EXPECT_EQ(ListOf(random, Male, "ka", list), ThirdBoard);
}

TEST(ComposeReference, BoardAndListComposeTheSameNames)
{
    AdditiveRandom random;
    random.Seed(1000000000);
    DrawStartGender(random);
    EXPECT_EQ(BoardOf(random, Female, ""), FirstBoard);
    EXPECT_EQ(BoardOf(random, Female, nullptr), SecondBoard);
    EXPECT_EQ(BoardOf(random, Male, "ka"), ThirdBoard);

    for (std::uint64_t seed = 0; seed < 300; ++seed) {
        AdditiveRandom a, b;
        a.Seed(seed * 7919);
        b.Seed(seed * 7919);
        NameList list;
        for (Gender gender : {Male, Female, Female, Male})
            ASSERT_EQ(BoardOf(a, gender, seed % 3 ? "" : "Tor"), ListOf(b, gender, seed % 3 ? "" : "Tor", list));
    }
}

TEST(BoardCursor, NameByNameDrawsWhatAWholeBoardDraws)
{
    for (std::uint64_t seed = 0; seed < 400; ++seed) {
        AdditiveRandom whole, byName;
        whole.Seed(seed * 104729);
        byName.Seed(seed * 104729);
        const Gender gender = seed % 2 ? Male : Female;
        const char* prefix = seed % 5 == 0 ? "Tor" : seed % 5 == 1 ? "e" : "";
        Board board;
        ComposeBoard(whole, gender, prefix, board);
        BoardCursor cursor;
        EXPECT_TRUE(cursor.Done());
        cursor.Start(byName, gender, prefix);
        char name[NameSlotSize];
        for (int index = 0; index < NamesPerBoard; ++index) {
            ASSERT_FALSE(cursor.Done());
            ASSERT_EQ(cursor.Index(), index);
            const int length = cursor.Next(name);
            ASSERT_EQ(std::string(name), board.names[index]);
            ASSERT_EQ(length, board.lengths[index]);
        }
        EXPECT_TRUE(cursor.Done());
        // Both generators stand at the same place afterwards.
        for (int n = 0; n < 60; ++n)
            ASSERT_EQ(whole.Next(), byName.Next());
    }
}

TEST(ComposeReference, SameStateSameNames)
{
    AdditiveRandom a, b;
    a.Seed(31337);
    b.Seed(31337);
    EXPECT_EQ(BoardOf(a, Male, "be"), BoardOf(b, Male, "be"));
    EXPECT_EQ(BoardOf(a, Female, ""), BoardOf(b, Female, ""));
    EXPECT_NE(BoardOf(a, Female, ""), BoardOf(a, Female, ""));  // the state moves on
}

TEST(NameListOwnership, ReplacesAndReleasesItsNames)
{
    NameList list;
    for (int i = 0; i < NamesPerBoard; ++i)
        EXPECT_EQ(list[i], nullptr);
    AdditiveRandom random;
    random.Seed(5);
    Compose(random, Male, "", list);
    const char* first = list[0];
    ASSERT_NE(first, nullptr);
    Compose(random, Male, "", list);  // frees the previous ten (ASan would catch a leak or a double free)
    for (int i = 0; i < NamesPerBoard; ++i)
        ASSERT_NE(list[i], nullptr);
    list.Release();
    for (int i = 0; i < NamesPerBoard; ++i)
        EXPECT_EQ(list[i], nullptr);
}

// --- properties over many seeds -------------------------------------------------------------

bool IsVowelLetter(char c) { return std::strchr("aeiouy", c) != nullptr && c != '\0'; }

bool EndsWithFemaleEnding(const std::string& name)
{
    for (int k = 0; k < 46; ++k) {
        std::string ending = FemaleEndings[k];
        if (name.size() >= ending.size() && name.compare(name.size() - ending.size(), ending.size(), ending) == 0)
            return true;
    }
    return false;
}

template <typename Check>
void ForManyBoards(Gender gender, const char* prefix, Check check)
{
    for (std::uint64_t seed = 0; seed < 400; ++seed) {
        AdditiveRandom random;
        random.Seed(seed * 104729 + 17);
        for (int board = 0; board < 5; ++board)
            for (const std::string& name : BoardOf(random, gender, prefix))
                check(name);
    }
}

TEST(ComposeProperties, OpeningLetterWithoutPrefix)
{
    for (Gender gender : {Male, Female})
        ForManyBoards(gender, "", [](const std::string& name) {
            ASSERT_FALSE(name.empty());
            ASSERT_TRUE(name[0] >= 'A' && name[0] <= 'Z') << name;
            ASSERT_NE(name[0], 'Y') << name;
            for (size_t k = 1; k < name.size(); ++k)
                ASSERT_TRUE(name[k] >= 'a' && name[k] <= 'z') << name;
        });
}

TEST(ComposeProperties, LengthBounds)
{
    const char* longPrefix = "abcdefghijklmnopqrstuvwxyzabcde";  // 31 bytes, ends in a vowel
    const char* longConsonantPrefix = "bcdfghjklmnpqrstvwxzbcdfghjklmn";
    struct Case { Gender gender; const char* prefix; size_t most; };
    for (Case c : {Case{Male, "", 11}, Case{Female, "", 16}, Case{Male, longPrefix, 40},
                   Case{Female, longPrefix, 45}, Case{Male, longConsonantPrefix, 40},
                   Case{Female, longConsonantPrefix, 45}})
        ForManyBoards(c.gender, c.prefix, [&](const std::string& name) {
            ASSERT_LE(name.size(), c.most) << name;
            ASSERT_GE(name.size(), 2u) << name;
        });
}

TEST(ComposeProperties, MaleNamesEndInOneConsonant)
{
    ForManyBoards(Male, "", [](const std::string& name) {
        const size_t n = name.size();
        ASSERT_FALSE(IsVowelLetter(name[n - 1])) << name;
        // Two consonant letters at the end can only be one of the digraphs, never a cluster.
        if (!IsVowelLetter(name[n - 2])) {
            const std::string tail = name.substr(n - 2);
            ASSERT_TRUE(tail == "ch" || tail == "th" || tail == "sh") << name;
        }
    });
}

TEST(ComposeProperties, FemaleNamesEndInAnEndingOrAVowel)
{
    ForManyBoards(Female, "", [](const std::string& name) {
        ASSERT_TRUE(IsVowelLetter(name.back()) || EndsWithFemaleEnding(name)) << name;
    });
}

TEST(ComposeProperties, NoLineBreaksAndNoDoubledR)
{
    // "rr" could only come from the never-drawn 25th cluster: consonant fragments never touch.
    for (Gender gender : {Male, Female})
        ForManyBoards(gender, "", [](const std::string& name) {
            ASSERT_EQ(name.find('\n'), std::string::npos);
            ASSERT_EQ(name.find("rr"), std::string::npos) << name;
        });
}

TEST(ComposeProperties, PrefixStartsEveryName)
{
    ForManyBoards(Male, "ka", [](const std::string& name) { ASSERT_EQ(name.compare(0, 2, "Ka"), 0) << name; });
    ForManyBoards(Female, "&rdu", [](const std::string& name) { ASSERT_EQ(name.compare(0, 4, "&rDu"), 0) << name; });
    // A prefix ending in a consonant is followed by a vowel (or an ending, which opens with one).
    ForManyBoards(Female, "Bran", [](const std::string& name) {
        ASSERT_EQ(name.compare(0, 4, "Bran"), 0);
        ASSERT_TRUE(IsVowelLetter(name[4])) << name;
    });
}

TEST(ComposeProperties, OnlyTheFirst31BytesOfThePrefixCount)
{
    const std::string prefix = "abcdefghijklmnopqrstuvwxyzabcdefghij";
    const std::string kept = prefix.substr(0, 31);
    for (Gender gender : {Male, Female}) {
        AdditiveRandom a, b;
        a.Seed(77);
        b.Seed(77);
        Names longer = BoardOf(a, gender, prefix.c_str());
        EXPECT_EQ(longer, BoardOf(b, gender, kept.c_str()));
        for (const std::string& name : longer)
            EXPECT_EQ(name.compare(0, 31, "A" + kept.substr(1)), 0) << name;
    }
}

TEST(ComposeProperties, ArbitraryPrefixBytesStayInBounds)
{
    // Every byte value 1..255 in prefixes of every length up to beyond 31.
    AdditiveRandom bytes;
    bytes.Seed(4711);
    for (int round = 0; round < 3000; ++round) {
        char prefix[40] = {};
        int length = bytes.Range(0, 39);
        for (int k = 0; k < length; ++k)
            prefix[k] = static_cast<char>(bytes.Range(1, 255));
        AdditiveRandom random;
        random.Seed(static_cast<std::uint64_t>(round));
        Gender gender = round % 2 ? Male : Female;
        for (const std::string& name : BoardOf(random, gender, prefix)) {
            ASSERT_LE(name.size(), static_cast<size_t>(gender == Male ? 40 : 45));
            ASSERT_GE(name.size(), std::min<size_t>(std::strlen(prefix), 31));
        }
    }
}

}  // namespace
