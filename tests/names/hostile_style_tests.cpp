// Style files and descriptions made to break the reader, the composer or the up-front check:
// each is refused with its place and the true reason, or answers, on every build and stack.
#include <norvathel/name_stream.h>
#include <norvathel/style.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#if defined(__unix__)
#include <pthread.h>
#endif

#include "rules/composer_rules.h"
#include "rules/name_reach.h"

using namespace norvathel;

namespace {

std::string Murmur()
{
    std::ifstream readme(NORVATHEL_SOURCE_DIR "/README.md");
    std::stringstream text;
    text << readme.rdbuf();
    const std::string all = text.str();
    const std::size_t begin = all.find("```toml\n", all.find("A small complete style:")) + 8;
    return all.substr(begin, all.find("```", begin) - begin);
}

// The text with each find replaced; "" when one is not there.
std::string Edited(std::string text, const std::vector<std::pair<std::string, std::string>>& edits)
{
    for (const auto& edit : edits) {
        const std::size_t at = text.find(edit.first);
        if (at == std::string::npos)
            return "";
        text.replace(at, edit.first.size(), edit.second);
    }
    return text;
}

struct Place {
    int line, column;
};

Place PlaceOf(const std::string& text, const std::string& piece, std::size_t within = 0)
{
    const std::size_t at = text.find(piece) + within;
    const std::size_t lineStart = text.rfind('\n', at);
    return {1 + static_cast<int>(std::count(text.begin(), text.begin() + static_cast<long>(at), '\n')),
            static_cast<int>(at - (lineStart == std::string::npos ? 0 : lineStart + 1)) + 1};
}

// The exact files that once read past a table (a segfault in the release tool): surname heads
// and unused clusters drawn beyond their tables, and a negative count.
TEST(HostileStyles, EveryTableIsCheckedAgainstItsCountWhetherOrNotItIsDrawnFrom)
{
    const std::string base = Murmur();
    const std::string stems = "form = \"stem+tail\"";
    struct Case {
        std::string text;
        std::string at;  // the value at fault
        std::string says;
    };
    const std::vector<Case> cases = {
        {Edited(base, {{"form = \"head+tail\"", stems}, {"heads = [\"mor\", \"lun\", \"hom\", \"num\"]", "heads = [\"a\"]\nheads_drawn = 2"}}),
         "heads_drawn = 2", "surname.heads_drawn: must be from 0 to the table's 1 fragments"},
        {Edited(base, {{"form = \"head+tail\"", stems}, {"heads = [\"mor\", \"lun\", \"hom\", \"num\"]", "heads = []\nheads_drawn = 1"}}),
         "heads_drawn = 1", "surname.heads_drawn: must be from 0 to the table's 0 fragments"},
        {Edited(base, {{"form = \"head+tail\"", stems}, {"heads = [\"mor\", \"lun\", \"hom\", \"num\"]", "heads = [\"a\"]\nheads_drawn = -5"}}),
         "heads_drawn = -5", "surname.heads_drawn: must be from 0 to the table's 1 fragments"},
        {Edited(base, {{"cluster = [1, 5]", "cluster = [0, 5]"}, {"clusters = [\"mb\", \"nd\", \"lm\"]", "clusters = [\"mb\"]\nclusters_drawn = 1000000"}}),
         "clusters_drawn = 1000000", "tables.clusters_drawn: must be from 0 to the table's 1 fragments"},
        {Edited(base, {{"female_closing = \"ending\"", "female_closing = \"consonant\""}, {"[tables]\n", "[tables]\nfemale_endings_drawn = 9\n"}}),
         "female_endings_drawn = 9", "tables.female_endings_drawn: must be from 0"},
    };
    for (const Case& bad : cases) {
        ASSERT_FALSE(bad.text.empty()) << bad.says;
        Style style;
        StyleError error;
        ASSERT_FALSE(Style::FromText(bad.text, "bad.toml", style, error)) << bad.says;
        const Place place = PlaceOf(bad.text, bad.at, bad.at.find('=') + 2);
        EXPECT_EQ(error.Text(), "bad.toml:" + std::to_string(place.line) + ":" + std::to_string(place.column) + ": " +
                                    error.message);
        EXPECT_EQ(error.message.rfind(bad.says, 0), 0u) << error.Text();
    }
    // The same as descriptions, through FromData.
    StyleData data;
    Style style;
    StyleError error;
    ASSERT_TRUE(ReadStyle(base, "murmur.toml", data, error)) << error.Text();
    data.surname.form = SurnameForm::StemAndTail;
    for (int drawn : {-5, 5, 1000000}) {
        data.surname.heads.drawn = drawn;
        EXPECT_FALSE(Style::FromData(data, style, error)) << drawn;
        EXPECT_NE(error.message.find("surname.heads_drawn"), std::string::npos) << error.message;
    }
    data.surname.heads.drawn = 0;  // nothing drawn from a table the rules never draw from
    EXPECT_TRUE(Style::FromData(data, style, error)) << error.message;
}

// The longest names are worked out from every choice the rules leave: where clusters may not
// open a name, its first consonant is a single one even when the cluster draw always hits.
TEST(HostileStyles, NoNameIsLongerThanTheStylesLongest)
{
    const std::string text = Edited(Murmur(), {{"cluster = [1, 5]", "cluster = [1, 1]"}, {"male_opening = [1, 2]", "male_opening = [1, 1]"},
                                                {"female_opening = [0, 0]", "female_opening = [1, 1]"}});
    Style style;
    StyleError error;
    ASSERT_TRUE(Style::FromText(text, "clusters.toml", style, error)) << error.Text();
    AdditiveRandom random;
    random.SeedFull(23);
    Board board;
    int longestBare = 0, longestPrefixed = 0;
    for (int b = 0; b < 4000; ++b) {
        const char* prefix = b % 2 ? "" : "abcdefghijklmnopqrstuvwxyzabcde";
        style.ComposeBoard(random, b % 4 < 2 ? Male : Female, prefix, board);
        for (int k = 0; k < NamesPerBoard; ++k)
            (*prefix ? longestPrefixed : longestBare) = std::max(*prefix ? longestPrefixed : longestBare, board.lengths[k]);
    }
    EXPECT_EQ(longestBare, style.LongestWithoutPrefix());
    EXPECT_LE(longestPrefixed, style.LongestWithPrefix());
}

// Runs work on a thread with a 1 MiB stack, the smallest any program gives the reader.
void OnSmallStack(const std::function<void()>& work)
{
#if defined(__unix__)
    pthread_attr_t attributes;
    ASSERT_EQ(pthread_attr_init(&attributes), 0);
    ASSERT_EQ(pthread_attr_setstacksize(&attributes, 1u << 20), 0);
    pthread_t thread;
    auto run = [](void* argument) -> void* {
        (*static_cast<const std::function<void()>*>(argument))();
        return nullptr;
    };
    ASSERT_EQ(pthread_create(&thread, &attributes, run, const_cast<std::function<void()>*>(&work)), 0);
    pthread_join(thread, nullptr);
    pthread_attr_destroy(&attributes);
#else
    std::thread(work).join();
#endif
}

TEST(HostileStyles, DeepNestingIsRefusedBeforeTheParserSeesIt)
{
    // 100,000 levels, or as many as the file's limit holds.
    const int levels = 100000;
    std::string dotted = "a", header = "[a", list = "x = ", table = "x = ", quoted = "\"a\"";
    for (int k = 1; k < levels; ++k) {
        dotted += ".a";
        header += ".a";
        list += "[";
        if (k < 80000)
            table += "{a=";
        if (k < 60000)
            quoted += ".\"a\"";
    }
    struct Case {
        std::string text;
        Place place;
        const char* says;
    };
    const std::vector<Case> cases = {
        {dotted + " = 1\n", {1, 32}, "a key of more than 16 dotted parts"},
        {"format = 1\n" + header + "]\n", {2, 33}, "a key of more than 16 dotted parts"},
        {quoted + " = 1\n", {1, 64}, "a key of more than 16 dotted parts"},
        {list + "\n", {1, 21}, "lists and tables nested more than 16 deep"},
        {table + "\n", {1, 53}, "lists and tables nested more than 16 deep"},
    };
    OnSmallStack([&cases, &dotted] {
        for (const Case& deep : cases) {
            Style style;
            StyleError error;
            EXPECT_FALSE(Style::FromText(deep.text, "deep.toml", style, error));
            EXPECT_EQ(error.message, deep.says);
            EXPECT_EQ(error.line, deep.place.line) << error.Text();
            EXPECT_EQ(error.column, deep.place.column) << error.Text();
        }
        // 16 levels still reach the parser, which reads them.
        Style style;
        StyleError error;
        EXPECT_FALSE(Style::FromText(dotted.substr(0, 31) + " = 1\n", "dotted.toml", style, error));
        EXPECT_EQ(error.message, "unknown key 'a'");
        EXPECT_FALSE(Style::FromText("x = [[[[[[[[[[[[[[[[1]]]]]]]]]]]]]]]]\n", "lists.toml", style, error));
        EXPECT_EQ(error.message, "unknown key 'x'");
    });
}

// What a file holds is shown, never obeyed: control bytes escaped, the whole message kept, the
// true reason, and a byte-order mark skipped.
TEST(HostileStyles, MessagesShowTheFileAsItIsAndTellTheTrueReason)
{
    Style style;
    StyleError error;
    EXPECT_FALSE(Style::FromText("\"\\u001b[31mred\" = 1\n", "a\x1b]0;x\x07.toml", style, error));
    EXPECT_EQ(error.Text(), "a\\x1B]0;x\\x07.toml:1:19: unknown key '\\x1B[31mred'");
    EXPECT_FALSE(Style::FromText("\"a\\u0000b\" = 1\n", "nul.toml", style, error));
    EXPECT_EQ(error.Text(), "nul.toml:1:14: unknown key 'a\\x00b'");
    EXPECT_FALSE(Style::FromText("\"\\u009b2J\" = 1\n", "c1.toml", style, error));
    EXPECT_EQ(error.Text(), "c1.toml:1:14: unknown key '\\xC2\\x9B2J'");
    EXPECT_FALSE(Style::FromText("[given]\n\"max_vowel_run\" = 1\n\"max_vowel_run\" = 2\n", "twice.toml", style, error));
    EXPECT_NE(error.message.find("cannot redefine existing integer 'max_vowel_run'"), std::string::npos)
        << error.Text();

    const std::string base = Murmur();
    ASSERT_TRUE(Style::FromText("\xEF\xBB\xBF" + base, "bom.toml", style, error)) << error.Text();
    EXPECT_EQ(style.Name(), "murmur");
    const std::string capital = Edited(base, {{"\"ul\", \"omo\"]", "\"ul\", \"\xC3\x85mo\"]"}});
    EXPECT_FALSE(Style::FromText(capital, "capital.toml", style, error));
    EXPECT_EQ(error.message, "tables.male_endings[3]: \"\xC3\x85mo\" holds a capital letter (fragments are lower-case letters)");
    EXPECT_EQ(error.line, PlaceOf(capital, "\xC3\x85mo").line);
    EXPECT_FALSE(Style::FromText(Edited(base, {{"\"ul\", \"omo\"]", "\"ul\", \"Omo\"]"}}), "capital.toml", style, error));
    EXPECT_NE(error.message.find("holds a capital letter"), std::string::npos) << error.Text();
    EXPECT_FALSE(Style::FromText(std::string(MaxStyleBytes + 1, '#'), "big.toml", style, error));
    EXPECT_EQ(error.Text(), "big.toml: the file is too large: over the limit of " + std::to_string(MaxStyleBytes) + " bytes");
}

// A valid style made to ask the up-front check for many states: positions [1, 16], runs of 16
// vowels, 4,086 five-letter vowels. The answer is the same on 32-bit builds as on 64-bit ones.
StyleData LongVowels()
{
    StyleData data;
    StyleError error;
    EXPECT_TRUE(ReadStyle(Murmur(), "murmur.toml", data, error)) << error.Text();
    data.minPositions = 1;
    data.maxPositions = 16;
    data.maxVowelRun = 16;
    data.endingFrom = 16;
    data.consonant = {1, 1};
    data.vowels.fragments.clear();
    for (int k = 0; k < 4086; ++k) {
        std::string vowel(5, 'a');
        for (int place = 4, rest = k; place >= 0; --place, rest /= 26)
            vowel[static_cast<std::size_t>(place)] = static_cast<char>('a' + rest % 26);
        data.vowels.fragments.push_back(vowel);
    }
    data.vowels.drawn = 4086;
    return data;
}

// 4,096 vowels of one to three letters, positions [1, 5], runs of 4, endings from position 0.
StyleData ManyVowels()
{
    StyleData data;
    StyleError error;
    EXPECT_TRUE(ReadStyle(Murmur(), "murmur.toml", data, error)) << error.Text();
    data.minPositions = 1;
    data.maxPositions = 5;
    data.maxVowelRun = 4;
    data.endingFrom = 0;
    data.vowels.fragments.clear();
    for (int size = 1; size <= 3 && data.vowels.fragments.size() < 4096; ++size) {
        std::string vowel(static_cast<std::size_t>(size), 'a');
        for (;;) {
            if (data.vowels.fragments.size() < 4096)
                data.vowels.fragments.push_back(vowel);
            int place = size - 1;
            while (place >= 0 && vowel[static_cast<std::size_t>(place)] == 'z')
                vowel[static_cast<std::size_t>(place--)] = 'a';
            if (place < 0)
                break;
            ++vowel[static_cast<std::size_t>(place)];
        }
    }
    data.vowels.drawn = 4096;
    return data;
}

TEST(HostileStyles, TheUpFrontCheckAnswersLargeStylesAlikeOnEveryBuild)
{
    Style longVowels, manyVowels;
    StyleError error;
    ASSERT_TRUE(Style::FromData(LongVowels(), longVowels, error)) << error.Text();
    ASSERT_TRUE(Style::FromData(ManyVowels(), manyVowels, error)) << error.Text();
    const char* prefix = "abcdefghijklmno";
    NameConstraints constraints;
    constraints.maxLength = 40;
    EXPECT_FALSE(ImpossibleConstraints(constraints, prefix, GenderChoice::Male, longVowels));
    constraints = NameConstraints();
    constraints.minLength = 20;
    const ConstraintProblem problem = ImpossibleConstraints(constraints, prefix, GenderChoice::Male, longVowels);
    EXPECT_EQ(problem.fault, ConstraintFault::LengthsUnreachable);
    EXPECT_EQ(problem.length, 15);
    EXPECT_EQ(problem.limit, 18);

    constraints = NameConstraints();
    constraints.maxLength = 5;
    EXPECT_FALSE(ImpossibleConstraints(constraints, "", GenderChoice::Female, manyVowels));
    constraints.minLength = 40;
    constraints.maxLength = 0;
    EXPECT_EQ(ImpossibleConstraints(constraints, "", GenderChoice::Female, manyVowels).fault,
              ConstraintFault::LengthsUnreachable);
    constraints = NameConstraints();
    constraints.endsWith = "a";
    EXPECT_FALSE(ImpossibleConstraints(constraints, "", GenderChoice::Female, manyVowels));
    constraints.endsWith = "zzzzzzzzzzzzzzzzzzzz";
    EXPECT_EQ(ImpossibleConstraints(constraints, "", GenderChoice::Female, manyVowels).fault,
              ConstraintFault::EndingUnreachable);
}

// Past its work limit the walk stops and says so; it never answers from half a walk.
TEST(HostileStyles, TheReachWalkStopsAtItsWorkLimitAndSaysSo)
{
    const ComposerRules rules = RulesOf(ManyVowels());
    const NameReach full(rules, Female, "");
    EXPECT_FALSE(full.Stopped());
    EXPECT_FALSE(full.Lengths().Empty());
    EXPECT_FALSE(full.LengthsEndingWith("ab").Empty());
    EXPECT_FALSE(full.Stopped());
    const NameReach cut(rules, Female, "", 1000);
    EXPECT_TRUE(cut.Stopped());
    EXPECT_TRUE(cut.LengthsEndingWith("ab").Empty());
    // A limit that the lengths fit and some endings do not: the questions share it.
    std::uint64_t limit = 1000;
    while (NameReach(rules, Female, "", limit).Stopped())
        limit *= 2;
    const NameReach some(rules, Female, "", limit);
    EXPECT_FALSE(some.Stopped());
    for (int asked = 0; asked < 100 && !some.Stopped(); ++asked) {
        const bool none = some.LengthsEndingWith("a").Empty();
        EXPECT_TRUE(some.Stopped() || !none);  // answered, or stopped on this question
    }
    EXPECT_TRUE(some.Stopped());
    EXPECT_TRUE(some.LengthsEndingWith("a").Empty());
}

}  // namespace
