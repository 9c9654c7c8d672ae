#include "compose/fragment_tables.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

using namespace norvathel;

namespace {

struct Table {
    const char* name;
    std::vector<const char*> entries;  // the end marker included
    int fragments;
    int longest;
};

template <std::size_t Count, std::size_t Width>
std::vector<const char*> EntriesOf(const char (&table)[Count][Width])
{
    return std::vector<const char*>(std::begin(table), std::end(table));
}

const Table Tables[] = {
    {"Consonants", EntriesOf(Consonants), 60, 2},
    {"Clusters", EntriesOf(Clusters), 25, 2},
    {"Vowels", EntriesOf(Vowels), 9, 1},
    {"FemaleEndings", EntriesOf(FemaleEndings), 46, 7},
};

int Occurrences(const Table& table, const char* fragment)
{
    int count = 0;
    for (int k = 0; k < table.fragments; ++k)
        count += std::strcmp(table.entries[k], fragment) == 0;
    return count;
}

TEST(FragmentTables, EachEndsWithALineFeedMarkerAfterItsFragments)
{
    for (const Table& table : Tables) {
        EXPECT_STREQ(table.entries[table.fragments], "\n") << table.name;
        for (int k = 0; k < table.fragments; ++k) {
            const std::string fragment = table.entries[k];
            EXPECT_GE(fragment.size(), 1u) << table.name << k;
            EXPECT_LE(fragment.size(), static_cast<size_t>(table.longest)) << table.name << k;
            for (char c : fragment)
                EXPECT_TRUE(c >= 'a' && c <= 'z') << table.name << k << " " << fragment;
        }
    }
}

TEST(FragmentTables, WeightsAreRepetitions)
{
    const Table& consonants = Tables[0];
    struct Weight { const char* fragment; int times; };
    for (Weight w : {Weight{"b", 3}, Weight{"d", 4}, Weight{"n", 4}, Weight{"r", 6}, Weight{"s", 8},
                     Weight{"t", 6}, Weight{"ch", 2}, Weight{"th", 2}, Weight{"sh", 2}, Weight{"j", 1}})
        EXPECT_EQ(Occurrences(consonants, w.fragment), w.times) << w.fragment;
    for (const char* absent : {"q", "x", "y"})
        EXPECT_EQ(Occurrences(consonants, absent), 0) << absent;

    EXPECT_EQ(Occurrences(Tables[2], "a"), 2);
    EXPECT_EQ(Occurrences(Tables[2], "o"), 1);
}

TEST(FragmentTables, PositionsTheComposerReliesOn)
{
    // Drawn indices select by position: a reordered table composes other names.
    EXPECT_STREQ(Consonants[31], "r");
    EXPECT_STREQ(Consonants[52], "z");
    EXPECT_STREQ(Consonants[53], "w");
    EXPECT_STREQ(Consonants[55], "th");
    EXPECT_STREQ(Consonants[59], "sh");
    EXPECT_STREQ(Clusters[0], "rh");
    EXPECT_STREQ(Clusters[23], "ll");
    EXPECT_STREQ(Clusters[24], "rr");  // kept, never drawn
    EXPECT_STREQ(Vowels[4], "i");
    EXPECT_STREQ(Vowels[8], "y");
    EXPECT_STREQ(FemaleEndings[4], "elle");
    EXPECT_STREQ(FemaleEndings[41], "avaatha");
    EXPECT_STREQ(FemaleEndings[45], "essa");
}

TEST(FragmentTables, EveryFemaleEndingBeginsWithAVowel)
{
    for (int k = 0; k < 46; ++k)
        EXPECT_NE(std::strchr("aeiou", FemaleEndings[k][0]), nullptr) << FemaleEndings[k];
}

}  // namespace
