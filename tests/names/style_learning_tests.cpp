#include <norvathel/style.h>
#include <norvathel/name_stream.h>
#include <norvathel/style_learning.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <vector>

using namespace norvathel;

namespace {

std::string ReadFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

const std::string ExamplesPath = NORVATHEL_SOURCE_DIR "/tests/names/data/qessari_names.txt";

// Names as small letters, read the way example lists are read.
std::vector<std::string> Small(const std::vector<std::string>& names)
{
    std::string text;
    for (const std::string& name : names)
        text += name + "\n";
    std::vector<ExampleName> read;
    StyleError error;
    EXPECT_TRUE(ReadExampleNames(text, "names", read, error)) << error.Text();
    std::vector<std::string> small;
    for (const ExampleName& name : read)
        small.push_back(name.letters);
    return small;
}

// The UTF-8 characters of a text.
std::vector<std::string> Characters(const std::string& text)
{
    std::vector<std::string> characters;
    for (std::size_t at = 0; at < text.size(); ++at) {
        if ((static_cast<unsigned char>(text[at]) & 0xC0) != 0x80)
            characters.emplace_back();
        characters.back() += text[at];
    }
    return characters;
}

// Letter-pair frequencies, with "^" before and "$" after each name.
std::map<std::string, double> Pairs(const std::vector<std::string>& names)
{
    std::map<std::string, double> pairs;
    double total = 0;
    for (const std::string& name : names) {
        std::vector<std::string> letters = Characters(name);
        letters.insert(letters.begin(), "^");
        letters.push_back("$");
        for (std::size_t k = 0; k + 1 < letters.size(); ++k, ++total)
            pairs[letters[k] + " " + letters[k + 1]] += 1;
    }
    for (auto& pair : pairs)
        pair.second /= total;
    return pairs;
}

// Jensen-Shannon divergence in bits: 0 for equal distributions, 1 for disjoint ones.
double JensenShannon(const std::map<std::string, double>& p, const std::map<std::string, double>& q)
{
    std::map<std::string, std::pair<double, double>> both;
    for (const auto& entry : p)
        both[entry.first].first = entry.second;
    for (const auto& entry : q)
        both[entry.first].second = entry.second;
    double divergence = 0;
    for (const auto& entry : both) {
        const double a = entry.second.first, b = entry.second.second, m = (a + b) / 2;
        if (a > 0)
            divergence += 0.5 * a * std::log2(a / m);
        if (b > 0)
            divergence += 0.5 * b * std::log2(b / m);
    }
    return divergence;
}

// Count names of the style, boards of male and female names in turn.
std::vector<std::string> Compose(const Style& style, int count)
{
    AdditiveRandom random;
    random.Seed(20261208);
    std::vector<std::string> names;
    Board board;
    for (int b = 0; static_cast<int>(names.size()) < count; ++b) {
        style.ComposeBoard(random, b % 2 == 0 ? Male : Female, "", board);
        names.insert(names.end(), board.names, board.names + NamesPerBoard);
    }
    names.resize(static_cast<std::size_t>(count));
    return names;
}

Style Learned(const std::string& text, std::string* styleText = nullptr)
{
    std::string learned;
    StyleError error;
    EXPECT_TRUE(LearnStyleFile(text, "examples", learned, error)) << error.Text();
    Style style;
    EXPECT_TRUE(Style::FromText(learned, "learned", style, error)) << error.Text();
    if (styleText)
        *styleText = learned;
    return style;
}

TEST(StyleLearning, LearnedNamesSoundLikeTheExamples)
{
    const std::string text = ReadFile(ExamplesPath);
    std::vector<ExampleName> examples;
    StyleError error;
    ASSERT_TRUE(ReadExampleNames(text, ExamplesPath, examples, error)) << error.Text();
    ASSERT_GE(examples.size(), 300u);
    std::vector<std::string> exampleNames;
    std::set<std::string> exampleSet, exampleLetters;
    for (const ExampleName& example : examples) {
        exampleNames.push_back(example.letters);
        exampleSet.insert(example.letters);
        for (const std::string& letter : Characters(example.letters))
            exampleLetters.insert(letter);
    }

    const Style style = Learned(text);
    const std::vector<std::string> composed = Compose(style, 10000);
    const std::vector<std::string> learned = Small(composed), classic = Small(Compose(Style::Classic(), 10000));
    const double learnedDivergence = JensenShannon(Pairs(exampleNames), Pairs(learned));
    const double classicDivergence = JensenShannon(Pairs(exampleNames), Pairs(classic));
    std::printf("letter pairs, Jensen-Shannon divergence from the examples: learned %.4f, classic %.4f\n",
                learnedDivergence, classicDivergence);
    EXPECT_LE(learnedDivergence, classicDivergence / 3);

    // Short names are often examples, but the guard holds each one: none comes out of a stream.
    int repeats = 0, unguarded = 0;
    for (std::size_t k = 0; k < learned.size(); ++k) {
        repeats += exampleSet.count(learned[k]) != 0;
        unguarded += exampleSet.count(learned[k]) != 0 && !style.Guards(composed[k].c_str(), static_cast<int>(composed[k].size()));
        for (const std::string& letter : Characters(learned[k]))
            EXPECT_TRUE(exampleLetters.count(letter)) << "'" << letter << "' in " << composed[k];
        // Some examples open with a capital outside ASCII: those names are capitalised too.
        EXPECT_NE(composed[k].substr(0, 2), learned[k].substr(0, 2)) << composed[k];
    }
    std::printf("names that repeat an example, before the guard: %d of %zu\n", repeats, learned.size());
    EXPECT_GT(repeats, 0);
    EXPECT_EQ(unguarded, 0);
}

TEST(StyleLearning, TheSameExamplesInAnyOrderGiveTheSameFile)
{
    const std::string text = ReadFile(ExamplesPath);
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    std::string first, shuffled, again;
    StyleError error;
    ASSERT_TRUE(LearnStyleFile(text, "a", first, error)) << error.Text();
    ASSERT_TRUE(LearnStyleFile(text, "b", again, error)) << error.Text();
    EXPECT_EQ(first, again);
    // Reversed, with CR LF line ends, a byte-order mark and blank lines: the same examples.
    std::string reordered = "\xEF\xBB\xBF";
    for (auto line = lines.rbegin(); line != lines.rend(); ++line)
        reordered += *line + "\r\n\r\n";
    ASSERT_TRUE(LearnStyleFile(reordered, "c", shuffled, error)) << error.Text();
    EXPECT_EQ(first, shuffled);

    // The file reads back as the style it describes.
    Style style;
    ASSERT_TRUE(Style::FromText(first, "learned", style, error)) << error.Text();
    EXPECT_NE(first.find(style.ToText()), std::string::npos);
}

bool EndsWith(const std::string& text, const std::string& end)
{
    return text.size() > end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

TEST(StyleLearning, GenderMarksDecideTheEndingsAndSurnamesEndWithALastSyllable)
{
    std::string text;
    for (const char* stem : {"kal", "mer", "tos", "dun", "ril", "sav", "nor", "lek"})
        text += std::string(stem) + "ina\tf\n" + stem + "ador\tm\n";
    const Style style = Learned(text);
    AdditiveRandom random;
    Board board;
    for (int b = 0; b < 200; ++b) {
        const Gender gender = b % 2 == 0 ? Male : Female;
        style.ComposeBoard(random, gender, "", board);
        for (const char* name : board.names)
            ASSERT_TRUE(EndsWith(name, gender == Male ? "or" : "a")) << name;
        style.ComposeSurnames(random, board);
        for (const char* name : board.names)
            ASSERT_TRUE(EndsWith(name, "na") || EndsWith(name, "dor")) << name;
    }
}

TEST(StyleLearning, YIsAConsonantBeforeAVowelAndAVowelElsewhere)
{
    std::vector<ExampleName> names;
    StyleError error;
    ASSERT_TRUE(ReadExampleNames("Yara\nMaya\nKyle\nTory\n", "y", names, error)) << error.Text();
    StyleData data;
    LearningSummary summary;
    ASSERT_TRUE(LearnStyle(names, data, summary, error)) << error.Text();
    auto has = [](const FragmentTable& table, const std::string& fragment) {
        return std::find(table.fragments.begin(), table.fragments.end(), fragment) != table.fragments.end();
    };
    EXPECT_TRUE(has(data.consonants, "y"));    // Yara opens with it
    EXPECT_FALSE(has(data.maleEndings, "aya"));  // Maya ends on "a", after the consonant y
    EXPECT_TRUE(has(data.maleEndings, "a"));
    EXPECT_TRUE(has(data.vowels, "y"));        // Kyle
    EXPECT_TRUE(has(data.maleEndings, "y"));   // Tory ends on it
}

// The rules of a style learned without contexts, unless told otherwise.
StyleData LearnedData(const std::string& text, int format = StyleFormatVersion)
{
    std::vector<ExampleName> names;
    StyleError error;
    EXPECT_TRUE(ReadExampleNames(text, "examples", names, error)) << error.Text();
    StyleData data;
    LearningSummary summary;
    EXPECT_TRUE(LearnStyle(names, data, summary, error, format)) << error.Text();
    return data;
}

std::vector<std::string> Distinct(std::vector<std::string> list)
{
    std::sort(list.begin(), list.end());
    list.erase(std::unique(list.begin(), list.end()), list.end());
    return list;
}

// How often a name opens with a consonant: the opening chance, or failing that the consonant
// chance.
double OpensWithConsonant(Chance opening, Chance consonant)
{
    const auto p = [](Chance chance) { return chance.of == 0 ? 0.0 : double(chance.in) / chance.of; };
    return p(opening) + (1 - p(opening)) * p(consonant);
}

TEST(StyleLearning, TheRulesFollowWhatTheExamplesShow)
{
    // Two syllables each; "o" opens a name, "nd" and "rr"
    // stand only inside names, "Brr" has no vowel, every male name opens with a consonant.
    const std::string twoSyllables = "Kalan\tm\nTarrek\tm\nMorrin\tm\nOsel\tf\nEndra\tf\nSinda\tf\nBrr\n";
    StyleData data = LearnedData(twoSyllables);
    EXPECT_EQ(Distinct(data.consonants.fragments), (std::vector<std::string>{"k", "m", "s", "t"}));
    EXPECT_EQ(Distinct(data.clusters.fragments), (std::vector<std::string>{"l", "nd", "ndr", "rr"}));
    EXPECT_FALSE(data.clusterOpens);
    EXPECT_EQ(data.noOpening, (std::vector<std::string>{"a", "i"}));
    EXPECT_EQ(data.repeatable, std::vector<std::string>{});
    EXPECT_EQ(LearnedData("Kalaran\nMorin\n").repeatable, std::vector<std::string>{"a"});  // not "o"
    // Every male name opens with a consonant, one female name in three.
    EXPECT_DOUBLE_EQ(OpensWithConsonant(data.maleOpening, data.consonant), 1.0);
    EXPECT_NEAR(OpensWithConsonant(data.femaleOpening, data.consonant), 1.0 / 3, 1.0 / 64);
    EXPECT_EQ(data.capitals, Capitals::Ascii);
    EXPECT_EQ(LearnedData("Ölva\nKara\n").capitals, Capitals::Latin);
    const StyleData female = LearnedData("Kalina\tf\nMoran\tf\n");  // no example serves male names
    EXPECT_EQ(female.maleEndings.fragments, female.femaleEndings.fragments);
    // With contexts or without, names of two syllables and none of the group without a vowel.
    for (const StyleData& learned : {data, LearnedData(twoSyllables, ContextStyleFormat)}) {
        AdditiveRandom random;
        Board board;
        Style style;
        StyleError error;
        ASSERT_TRUE(Style::FromData(learned, style, error)) << error.Text();
        for (int b = 0; b < 200; ++b) {
            style.ComposeBoard(random, b % 2 ? Male : Female, "", board);
            for (const char* name : board.names) {
                int syllables = 0;
                for (const char* c = name; *c; ++c)
                    syllables += std::strchr("aeiouAEIOU", *c) != nullptr && (c[1] == '\0' || !std::strchr("aeiou", c[1]));
                ASSERT_EQ(syllables, 2) << name << " format " << learned.format;
                ASSERT_EQ(std::strpbrk(name, "bB"), nullptr) << name;
            }
        }
    }

    // A group rarer than one in 400 of its table is left out, one in 400 is kept. (These names leave a cluster no
    // place, so every consonant group is a consonant.)
    std::string common;
    for (int k = 0; k < 300; ++k)
        common += "Talen\n";
    EXPECT_EQ(Distinct(LearnedData(common + "Qalen\n").consonants.fragments), (std::vector<std::string>{"l", "t"}));
    EXPECT_EQ(Distinct(LearnedData(common.substr(0, 6 * 199) + "Qalen\n").consonants.fragments),
              (std::vector<std::string>{"l", "q", "t"}));
}

TEST(StyleLearning, BadListsAreRefusedWithLineColumnAndReason)
{
    struct Case {
        std::string text;
        int line, column;
        const char* reason;
    };
    const Case cases[] = {
        {"", 1, 0, "no example names"},
        {"# only a comment\n\n  \n", 3, 0, "no example names"},
        {"Kala\nMo\xC3\n", 2, 3, "not valid UTF-8"},
        {"Kala\nMo\xC0\xAFra\n", 2, 3, "not valid UTF-8"},
        {"Ka\x01la\n", 1, 3, "control character (0x01)"},
        {"Kala\rMora\n", 1, 5, "control character (0x0D)"},
        {"Kala\nMo ra\n", 2, 3, "' ' is not a letter"},
        {"Kala\nMöra7\n", 2, 5, "'7' is not a letter"},
        {"Kala\tx\n", 1, 6, "must be m, f or n"},
        {"Kala\tm\tf\n", 1, 6, "must be m, f or n"},
        {"\tf\n", 1, 1, "a gender mark without a name"},
        {"Kala\n" + std::string(MaxExampleLineBytes + 1, 'a') + "\n", 2, MaxExampleLineBytes + 1,
         "line is over the limit"},
        {"Kala\n\xC3\xA5" + std::string(MaxExampleLineBytes, 'a') + "\n", 2, MaxExampleLineBytes, "line is over the limit"},
        {"aei\nou\n", 0, 0, "no example name has a consonant before a vowel"},
        {"krr\nst\n", 0, 0, "no example name has a consonant before a vowel"},
        {"Alarion\nEowyn\nIrian\n", 0, 0, "no example name opens with a consonant"},
    };
    for (const Case& bad : cases) {
        std::string style;
        StyleError error;
        EXPECT_FALSE(LearnStyleFile(bad.text, "list.txt", style, error)) << bad.text;
        EXPECT_EQ(error.line, bad.line) << bad.text << ": " << error.Text();
        EXPECT_EQ(error.column, bad.column) << bad.text << ": " << error.Text();
        EXPECT_NE(error.message.find(bad.reason), std::string::npos) << bad.text << ": " << error.Text();
        EXPECT_EQ(error.source, "list.txt");
    }
    std::vector<ExampleName> names;
    StyleError error;
    EXPECT_FALSE(ReadExampleNames(std::string(MaxExampleListBytes + 1, 'a'), "big", names, error));
    EXPECT_NE(error.message.find("over the limit"), std::string::npos) << error.Text();
    EXPECT_EQ(error.line, 1);
    EXPECT_EQ(error.column, static_cast<int>(MaxExampleListBytes) + 1);
    EXPECT_FALSE(ReadExampleNames("Kala\n" + std::string(MaxExampleListBytes, 'a'), "big", names, error));
    EXPECT_EQ(error.line, 2);
    EXPECT_EQ(error.column, static_cast<int>(MaxExampleListBytes) - 4);
    std::string many;
    for (int k = 0; k <= MaxExampleNames; ++k)
        many += "Kala\n";
    EXPECT_FALSE(ReadExampleNames(many, "many", names, error));
    EXPECT_EQ(error.line, MaxExampleNames + 1);
}

TEST(StyleLearning, LongGroupsAreGivenUpUntilEveryNameFits)
{
    // Groups so long that the composer's limit of 45 bytes forces the learner to drop some.
    std::string text;
    for (const char* name : {"strandaeiorkstrunthaeio", "kraeiouvorndaeithrask", "mala", "tesoren", "lunika",
                             "ravaeiosktrenthuirstra", "seleno", "doruma"})
        text += std::string(name) + "\n";
    const Style style = Learned(text);
    EXPECT_LE(style.LongestWithoutPrefix(), MaxNameLength);
    EXPECT_LE(style.LongestWithPrefix() - (PrefixCapacity - 1) + style.PrefixRoom(), MaxNameLength);
    for (const std::string& name : Compose(style, 1000))
        EXPECT_LE(name.size(), static_cast<std::size_t>(MaxNameLength));
    // A board given a longer prefix than the style has room for keeps to the slot all the same.
    AdditiveRandom random;
    Board board;
    style.ComposeBoard(random, Female, "Abcdefghijklmnopqrstuvwxyzabcde", board);
    for (int k = 0; k < NamesPerBoard; ++k)
        EXPECT_LE(board.lengths[k], MaxNameLength) << board.names[k];
}

}  // namespace

namespace {

// Any list the learner accepts gives a style that loads, with tables of about 200 entries
// however many different groups the list holds: random lists of every size and shape, and
// thousands of names that each open differently.
TEST(StyleLearning, EveryLearnedStyleLoadsAndKeepsItsTablesSmall)
{
    std::mt19937 random(2300);
    const std::vector<std::string> consonants = {"b", "k", "t", "r", "s", "n", "m", "l", "v", "th", "str", "\xC5\x82", "y"};
    const std::vector<std::string> vowels = {"a", "e", "i", "o", "u", "ae", "\xC3\xA5", "y", "eo", "uia"};
    auto pick = [&random](const std::vector<std::string>& from) {
        return from[std::uniform_int_distribution<std::size_t>(0, from.size() - 1)(random)];
    };
    std::vector<std::string> lists;
    for (int trial = 0; trial < 60; ++trial) {
        const int names = std::uniform_int_distribution<int>(1, trial % 10 == 0 ? 4000 : 300)(random);
        const int longest = std::uniform_int_distribution<int>(1, trial % 7 == 0 ? 14 : 6)(random);
        std::string list;
        for (int k = 0; k < names; ++k) {
            const int groups = std::uniform_int_distribution<int>(1, longest)(random);
            bool vowel = random() % 3 == 0;
            std::string name;
            for (int g = 0; g < groups; ++g, vowel = !vowel)
                name += pick(vowel ? vowels : consonants);
            list += name + (random() % 4 == 0 ? "\tf" : random() % 3 == 0 ? "\tm" : "") + "\n";
        }
        lists.push_back(list);
    }
    // 8,000 names with different openings (and as many different endings).
    std::string distinct;
    for (int k = 0; k < 8000; ++k) {
        std::string opening, ending;
        for (int rest = k, place = 0; place < 3; ++place, rest /= 20) {
            opening += "bcdfghjklmnpqrstvwxz"[rest % 20];
            ending += "bcdfghjklmnpqrstvwxz"[(rest + place) % 20];
        }
        distinct += opening + "a" + ending + "\n";
    }
    lists.push_back(distinct);
    int learned = 0;
    for (const std::string& list : lists) {
        std::string text;
        StyleError error;
        if (!LearnStyleFile(list, "list.txt", text, error)) {
            EXPECT_EQ(error.message.find("not valid"), std::string::npos) << error.Text();
            continue;
        }
        ++learned;
        Style style;
        ASSERT_TRUE(Style::FromText(text, "learned.toml", style, error)) << error.Text();
        const StyleData& data = style.Data();
        for (const FragmentTable* table : {&data.consonants, &data.clusters, &data.vowels, &data.femaleEndings,
                                           &data.maleEndings, &data.surname.tails})
            EXPECT_LE(table->fragments.size(), 400u) << text.substr(0, 200);
    }
    EXPECT_GT(learned, 40);
}

// A learned style carries its examples as hashes and a stream never gives one: the stream's
// names are exactly the unguarded style's with the examples taken out (a guard only removes
// names, so seeds keep their meaning), in every case of their capital; the guard survives the
// file, and a list in another order gives the same one.
TEST(StyleLearning, TheGuardKeepsEveryExampleOutAndOnlyThose)
{
    std::vector<ExampleName> examples;
    StyleError error;
    ASSERT_TRUE(ReadExampleNames("Ka\nKo\nKi\nTa\nTo\nKaka\nToka\n", "tiny", examples, error)) << error.Text();
    StyleData data;
    LearningSummary summary;
    ASSERT_TRUE(LearnStyle(examples, data, summary, error)) << error.Text();
    ASSERT_EQ(data.guard.size(), examples.size());
    Style guarded, open, reread;
    StyleData unguarded = data;
    unguarded.guard.clear();
    ASSERT_TRUE(Style::FromData(data, guarded, error)) << error.Text();
    ASSERT_TRUE(Style::FromData(unguarded, open, error)) << error.Text();
    ASSERT_TRUE(Style::FromText(guarded.ToText(), "again", reread, error)) << error.Text();
    EXPECT_EQ(reread.Data().guard, data.guard);

    std::set<std::string> small;
    for (const ExampleName& example : examples)
        small.insert(example.letters);
    const auto isExample = [&small](std::string name) {
        for (char& c : name)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return small.count(name) != 0;
    };
    for (std::uint64_t seed : {1ull, 77ull}) {
        NameStream all(open, seed, GenderChoice::Drawn, "", NameConstraints());
        NameStream kept(guarded, seed, GenderChoice::Drawn, "", NameConstraints());
        StreamName name;
        int examplesSeen = 0;
        for (int k = 0; k < 20000 && all.Next(name); ++k) {
            const std::string text(name.text, static_cast<std::size_t>(name.length));
            if (isExample(text)) {
                ++examplesSeen;
                continue;
            }
            ASSERT_TRUE(kept.Next(name));
            ASSERT_EQ(std::string(name.text, static_cast<std::size_t>(name.length)), text) << seed << " " << k;
        }
        EXPECT_GT(examplesSeen, 100);  // the tiny style composes its examples often
    }

    std::vector<ExampleName> reversed(examples.rbegin(), examples.rend());
    StyleData again;
    ASSERT_TRUE(LearnStyle(reversed, again, summary, error)) << error.Text();
    EXPECT_EQ(again.guard, data.guard);
}

TEST(StyleLearning, ABadGuardIsRefusedWithItsPlace)
{
    const std::string base = Style::Classic().ToText();
    Style style;
    StyleError error;
    EXPECT_FALSE(Style::FromText(base + "\n[guard]\nnames = [\"00112233445566778\"]\n", "g.toml", style, error));
    EXPECT_EQ(error.Text(), "g.toml:" + std::to_string(std::count(base.begin(), base.end(), '\n') + 3) +
                                ":10: 'guard.names' entries are 16 hex digits, a name's hash");
    EXPECT_FALSE(Style::FromText(base + "\n[guard]\nnames = [\"0011223344556677\"]\nother = 1\n", "g.toml", style, error));
    EXPECT_NE(error.message.find("unknown key 'guard.other'"), std::string::npos) << error.Text();
    EXPECT_TRUE(Style::FromText(base + "\n[guard]\nnames = [\"0011223344556677\"]\n", "g.toml", style, error))
        << error.Text();
    EXPECT_TRUE(style.HasGuard());
}

// Names marked n teach the neutral names, alone when there are any: their endings are the
// marked names' own, and a stream of neutral names ends in them; a list without marks teaches
// neutral names from every name.
TEST(StyleLearning, NeutralNamesAreLearnedFromTheirMarks)
{
    const std::string list = "Kalina\tf\nMerana\tf\nTorvak\tm\nBordun\tm\nAshel\tn\nRovel\tn\nIskel\tn\nMeskel\tn\n";
    std::vector<ExampleName> examples;
    StyleError error;
    ASSERT_TRUE(ReadExampleNames(list, "marks", examples, error)) << error.Text();
    StyleData data;
    LearningSummary summary;
    ASSERT_TRUE(LearnStyle(examples, data, summary, error)) << error.Text();
    EXPECT_EQ(summary.neutral, 4);
    ASSERT_TRUE(data.hasNeutral);
    for (const std::string& ending : data.neutralEndings.fragments)
        EXPECT_EQ(ending.substr(ending.size() - 2), "el") << ending;
    Style style;
    ASSERT_TRUE(Style::FromData(data, style, error)) << error.Text();
    NameStream stream(style, 5, GenderChoice::Neutral, "", NameConstraints());
    StreamName name;
    for (int k = 0; k < 2000 && stream.Next(name); ++k) {
        const std::string text(name.text, static_cast<std::size_t>(name.length));
        EXPECT_EQ(name.gender, Neutral);
        // A neutral name closes on its ending, or (too short for one) on a vowel group.
        EXPECT_TRUE(text.size() < 2 || text.compare(text.size() - 2, 2, "el") == 0 ||
                    std::string("aeiou").find(text.back()) != std::string::npos)
            << text;
    }
    ASSERT_TRUE(ReadExampleNames("Kalina\nTorvak\nAshel\n", "unmarked", examples, error)) << error.Text();
    ASSERT_TRUE(LearnStyle(examples, data, summary, error)) << error.Text();
    EXPECT_EQ(std::set<std::string>(data.neutralEndings.fragments.begin(), data.neutralEndings.fragments.end()),
              (std::set<std::string>{"a", "ak", "el"}));
}

}  // namespace
