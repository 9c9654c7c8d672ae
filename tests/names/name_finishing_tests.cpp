#include "compose/name_finishing.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

using namespace norvathel;

namespace {

std::string Finished(const char* text)
{
    char* name = FinishName(text);
    std::string result = name;
    std::free(name);
    return result;
}

TEST(EndsInConsonant, DecidedByTheLastByte)
{
    for (const char* text : {"", "Ka", "KA", "a", "kE", "aei", "xo", "U"})
        EXPECT_FALSE(EndsInConsonant(text)) << '"' << text << '"';
    for (const char* text : {"Kal", "Ky", "K7", "K ", "&", "ka\xE9", "y", "b"})
        EXPECT_TRUE(EndsInConsonant(text)) << '"' << text << '"';
}

TEST(FinishName, UpperCasesTheFirstLetterAfterLeadingCodes)
{
    EXPECT_EQ(Finished("raith"), "Raith");
    EXPECT_EQ(Finished("&rkal"), "&rKal");
    EXPECT_EQ(Finished("&&k"), "&&K");
    EXPECT_EQ(Finished("&r&sx"), "&r&sX");
    EXPECT_EQ(Finished("a&b"), "A&b");   // only leading codes are skipped
    EXPECT_EQ(Finished("ka&rl"), "Ka&rl");
}

TEST(FinishName, LeavesEverythingElseAlone)
{
    for (const char* text : {"Kal", "7ka", "", " ka", "\xE9la", "&", "&r", "&&", "&r&", "Zz"})
        EXPECT_EQ(Finished(text), text) << '"' << text << '"';
}

TEST(FinishName, ReturnsASeparateCopyOfAnyLength)
{
    std::string input(5000, 'q');
    char* name = FinishName(input.c_str());
    ASSERT_NE(name, input.c_str());
    EXPECT_EQ(name[0], 'Q');
    EXPECT_EQ(std::string(name + 1), input.substr(1));
    name[1] = '!';
    EXPECT_EQ(input[1], 'q');
    std::free(name);
}

TEST(DuplicateString, CopiesWithTheTerminator)
{
    char* copy = DuplicateString("Glicia");
    EXPECT_STREQ(copy, "Glicia");
    std::free(copy);
}

}  // namespace
