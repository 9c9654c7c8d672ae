#include <norvathel/name_stream.h>

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

using namespace norvathel;

namespace {

std::string Key(int number)
{
    return "npc-" + std::to_string(number);
}

TEST(KeyNames, AsManyDifferentNamesAsOneStreamGives)
{
    for (GenderChoice gender : {GenderChoice::Female, GenderChoice::Male}) {
        KeyNamer namer(gender, "", NameConstraints());
        std::set<std::string> byKey;
        for (int number = 0; number < 5000; ++number) {
            const std::string key = Key(number);
            StreamName name;
            ASSERT_TRUE(namer.Name(KeySeed(key.data(), key.size()), name));
            byKey.insert(name.text);
        }
        NameStream stream(2024, gender, "", NameConstraints());
        std::set<std::string> inARow;
        for (int number = 0; number < 5000; ++number) {
            StreamName name;
            ASSERT_TRUE(stream.Next(name));
            inARow.insert(name.text);
        }
        EXPECT_GE(byKey.size() * 100, inARow.size() * 99) << byKey.size() << " of " << inARow.size();
    }
}

TEST(KeyNames, AProjectSeedMovesEveryKey)
{
    const std::string key = "npc-1";
    const std::uint64_t bare = KeySeed(key.data(), key.size());
    std::set<std::uint64_t> seeds = {bare};
    for (std::uint64_t project : {0u, 1u, 2u, 3u, 1000u})
        seeds.insert(KeySeed(key.data(), key.size(), project));
    EXPECT_EQ(seeds.size(), 6u);
    // Within one project, the mix is the same for every key: different hashes stay different.
    const std::string other = "npc-2";
    EXPECT_EQ(KeySeed(key.data(), key.size(), 9) ^ KeySeed(other.data(), other.size(), 9),
              bare ^ KeySeed(other.data(), other.size()));
}

}  // namespace
