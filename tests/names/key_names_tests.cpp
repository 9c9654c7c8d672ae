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

TEST(KeyNames, AKeysNameIsTheFirstNameOfItsStream)
{
    NameConstraints none, endsInA, shortWithoutTh;
    endsInA.endsWith = "A";
    shortWithoutTh.maxLength = 6;
    shortWithoutTh.exclude = {"th", "K"};
    shortWithoutTh.excludeNames = {"LIA", "sala"};
    shortWithoutTh.unique = true;  // does not count for a key
    struct Setting {
        GenderChoice gender;
        const char* prefix;
        const NameConstraints& constraints;
    };
    for (const Setting& setting : {Setting{GenderChoice::Drawn, "", none}, Setting{GenderChoice::Female, "", endsInA},
                                   Setting{GenderChoice::Male, "El", shortWithoutTh},
                                   Setting{GenderChoice::Drawn, "", shortWithoutTh}}) {
        KeyNamer namer(setting.gender, setting.prefix, setting.constraints);
        std::uint64_t composed = 0;
        for (std::uint64_t seed = 0; seed < 300; ++seed) {
            StreamName byKey, first;
            ASSERT_TRUE(namer.Name(seed * 0x9E3779B97F4A7C15u, byKey));
            NameStream stream(seed * 0x9E3779B97F4A7C15u, setting.gender, setting.prefix, setting.constraints);
            ASSERT_TRUE(stream.Next(first));
            ASSERT_EQ(std::string(byKey.text), first.text) << seed;
            ASSERT_EQ(byKey.gender, first.gender);
            ASSERT_EQ(byKey.board, first.board);
            composed += stream.Composed();
        }
        EXPECT_EQ(namer.Composed(), composed) << "a key composes only as far as its name";
    }
}

// Pinned: a key's name must never change silently.
TEST(KeyNames, GoldenNames)
{
    struct Golden {
        const char* key;
        const char* female;
        const char* male;
        const char* drawnInProject2024;
    };
    const Golden golden[] = {
        {"npc-0", "Uinaura", "Vrutreh", "Sout"},
        {"npc-1", "Thihandra", "Thihah", "Tereiheth"},
        {"", "Azlayla", "Zlubas", "Fryik"},
        {"Ser Aldric", "Lia", "Les", "Sikeen"},
    };
    KeyNamer female(GenderChoice::Female, "", NameConstraints());
    KeyNamer male(GenderChoice::Male, "", NameConstraints());
    KeyNamer drawn(GenderChoice::Drawn, "", NameConstraints());
    for (const Golden& g : golden) {
        const std::size_t length = std::char_traits<char>::length(g.key);
        StreamName name;
        ASSERT_TRUE(female.Name(KeySeed(g.key, length), name));
        EXPECT_STREQ(name.text, g.female);
        ASSERT_TRUE(male.Name(KeySeed(g.key, length), name));
        EXPECT_STREQ(name.text, g.male);
        ASSERT_TRUE(drawn.Name(KeySeed(g.key, length, 2024), name));
        EXPECT_STREQ(name.text, g.drawnInProject2024);
    }
}

}  // namespace
