#include <norvathel/name_stream.h>
#include <norvathel/style.h>
#include <norvathel/style_learning.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "text/letters.h"
#include "text/case_folding.h"
#include "text/unicode_letters.h"
#include "text/unicode_normal.h"

using namespace norvathel;

namespace {

std::string Utf8Of(const std::string& hexCodes)
{
    std::istringstream in(hexCodes);
    std::string text, code;
    while (in >> code)
        text += EncodeLetter(static_cast<unsigned>(std::stoul(code, nullptr, 16)));
    return text;
}

// Unicode's own test: for every line, NFC of each of the first three columns is the second,
// and of the last two the fourth.
TEST(Unicode, NfcPassesUnicodesNormalizationTest)
{
    std::ifstream file(NORVATHEL_NORMALIZATION_TEST);
    ASSERT_TRUE(file.good());
    std::string line;
    int checked = 0;
    while (std::getline(file, line)) {
        if (line.empty() || line[0] == '#' || line[0] == '@')
            continue;
        std::vector<std::string> columns;
        std::istringstream fields(line);
        std::string field;
        while (std::getline(fields, field, ';') && columns.size() < 5)
            columns.push_back(Utf8Of(field));
        ASSERT_EQ(columns.size(), 5u) << line;
        for (int k : {0, 1, 2})
            ASSERT_EQ(Nfc(columns[static_cast<std::size_t>(k)]), columns[1]) << line;
        for (int k : {3, 4})
            ASSERT_EQ(Nfc(columns[static_cast<std::size_t>(k)]), columns[3]) << line;
        ++checked;
    }
    EXPECT_GT(checked, 10000);
}

// Names of every alphabet are learned (marks on their letters, a decomposed é read as é, each
// script's capitals), and compose names of the examples' own letters.
TEST(Unicode, ListsOfEveryScriptAreLearned)
{
    const std::vector<std::string> lists = {
        "Ștefan\nȘerban\nȚurcan\nȘtefania\nIoana\nMariana\n",
        "Αλέξανδρος\nΝικόλαος\nΕλένη\nΣοφία\nΜαρία\nΔημήτρης\n",
        "Анастасия\nМихаил\nЕкатерина\nДмитрий\nОльга\nСергей\n",
        "Ngũgĩ\nWanjirũ\nKĩmani\nNjerĩ\nMũthoni\nKamau\n",
        "יעקב\nמרים\nדוד\nשרה\nרבקה\nיוסף\n",
        "مريم\nعلي\nفاطمة\nحسن\nزينب\nيوسف\n",
        "민준\n서연\n지호\n하은\n도윤\n수아\n",
        "さくら\nはると\nゆい\nそうた\nひな\nりく\n",
    };
    for (const std::string& list : lists) {
        std::string styleText;
        StyleError error;
        ASSERT_TRUE(LearnStyleFile(list, "list", styleText, error)) << error.Text() << "\n" << list;
        Style style;
        ASSERT_TRUE(Style::FromText(styleText, "learned", style, error)) << error.Text();
        std::set<unsigned> letters;
        const std::string small = Nfc(SmallText(list));
        for (std::size_t at = 0; at < small.size();) {
            const Letter letter = DecodeLetter(small, at);
            letters.insert(letter.codePoint);
            at += static_cast<std::size_t>(letter.length);
        }
        AdditiveRandom random;
        Board board;
        for (int b = 0; b < 20; ++b) {
            style.ComposeBoard(random, b % 2 ? Male : Female, "", board);
            for (const char* name : board.names) {
                const std::string text = SmallText(name);
                ASSERT_FALSE(text.empty());
                for (std::size_t at = 0; at < text.size();) {
                    const Letter letter = DecodeLetter(text, at);
                    ASSERT_GT(letter.length, 0) << name;
                    ASSERT_TRUE(letters.count(letter.codePoint)) << name << " in\n" << list;
                    at += static_cast<std::size_t>(letter.length);
                }
                // A script with capitals writes the name's first letter as one.
                const Letter first = DecodeLetter(name, 0);
                if (CapitalLetter(first.codePoint) != 0)
                    ADD_FAILURE() << name << " opens on a small letter";
            }
        }
    }
    // A decomposed é is the é of a composed one.
    std::vector<ExampleName> names;
    StyleError error;
    ASSERT_TRUE(ReadExampleNames("Ame\xCC\x81lie\nAm\xC3\xA9lie\n", "nfd", names, error)) << error.Text();
    ASSERT_EQ(names.size(), 2u);
    EXPECT_EQ(names[0].letters, names[1].letters);
    EXPECT_EQ(names[0].letters, "am\xC3\xA9lie");
}

// A text's letters as Unicode compares them in either case, decoded one by one.
std::vector<unsigned> FoldedLetters(const std::string& text)
{
    std::vector<unsigned> letters;
    for (std::size_t at = 0; at < text.size();) {
        const Letter letter = DecodeLetter(text, at);
        letters.push_back(SimpleFold(letter.codePoint));
        at += static_cast<std::size_t>(letter.length);
    }
    return letters;
}

bool Holds(const std::vector<unsigned>& text, const std::vector<unsigned>& piece)
{
    return std::search(text.begin(), text.end(), piece.begin(), piece.end()) != text.end();
}

// A text with some of its letters made capital, some small.
std::string MixedCase(const std::string& text, std::mt19937& pick)
{
    std::string mixed;
    for (std::size_t at = 0; at < text.size();) {
        const Letter letter = DecodeLetter(text, at);
        const unsigned c = pick() % 2 ? SimpleUpper(letter.codePoint) : SimpleLower(letter.codePoint);
        mixed += EncodeLetter(c);
        at += static_cast<std::size_t>(letter.length);
    }
    return mixed;
}

// Beyond ASCII a stream keeps exactly the names whose letters, compared in either case by
// Unicode's simple folding (Σ, σ and ς alike), end with the ending and hold no excluded piece or
// name, and whose length in letters is within the bounds; what the up-front check accepts, some
// name has.
TEST(Unicode, ConstraintsCompareLettersInEitherCaseAndCountThem)
{
    const std::vector<std::string> lists = {
        "\xCE\x91\xCE\xBB\xCE\xAD\xCE\xBE\xCE\xB1\xCE\xBD\xCE\xB4\xCF\x81\xCE\xBF\xCF\x82\n"  // Αλέξανδρος
        "\xCE\x9D\xCE\xB9\xCE\xBA\xCF\x8C\xCE\xBB\xCE\xB1\xCE\xBF\xCF\x82\n"  // Νικόλαος
        "\xCE\x95\xCE\xBB\xCE\xAD\xCE\xBD\xCE\xB7\n\xCE\xA3\xCE\xBF\xCF\x86\xCE\xAF\xCE\xB1\n"  // Ελένη, Σοφία
        "\xCE\x9C\xCE\xB1\xCF\x81\xCE\xAF\xCE\xB1\n\xCE\x9A\xCF\x8E\xCF\x83\xCF\x84\xCE\xB1\xCF\x82\n",  // Μαρία, Κώστας
        "\xD0\x90\xD0\xBD\xD0\xB0\xD1\x81\xD1\x82\xD0\xB0\xD1\x81\xD0\xB8\xD1\x8F\n"  // Анастасия
        "\xD0\x9C\xD0\xB8\xD1\x85\xD0\xB0\xD0\xB8\xD0\xBB\n\xD0\x9E\xD0\xBB\xD1\x8C\xD0\xB3\xD0\xB0\n"  // Михаил, Ольга
        "\xD0\xA1\xD0\xB5\xD1\x80\xD0\xB3\xD0\xB5\xD0\xB9\n\xD0\x98\xD0\xB3\xD0\xBE\xD1\x80\xD1\x8C\n",  // Сергей, Игорь
    };
    std::mt19937 pick(2024);
    int kept = 0;
    for (const std::string& list : lists) {
        std::string styleText;
        StyleError error;
        ASSERT_TRUE(LearnStyleFile(list, "list", styleText, error)) << error.Text();
        Style style;
        ASSERT_TRUE(Style::FromText(styleText, "learned", style, error)) << error.Text();
        std::vector<std::string> composed;
        NameStream plain(style, 7, GenderChoice::Drawn, "", NameConstraints());
        StreamName name;
        for (int k = 0; k < 3000 && plain.Next(name); ++k)
            composed.emplace_back(name.text, static_cast<std::size_t>(name.length));
        for (int run = 0; run < 60; ++run) {
            const std::string& from = composed[pick() % composed.size()];
            const std::vector<unsigned> letters = FoldedLetters(from);
            NameConstraints c;
            c.lengthUnit = LengthUnit::CodePoints;
            // An ending of one to three of a composed name's letters, in either case.
            const std::size_t endingLetters = 1 + pick() % std::min<std::size_t>(3, letters.size());
            std::string ending;
            for (std::size_t k = letters.size() - endingLetters; k < letters.size(); ++k)
                ending += EncodeLetter(letters[k]);
            c.endsWith = MixedCase(ending, pick);
            if (pick() % 2) {
                const std::vector<unsigned> other = FoldedLetters(composed[pick() % composed.size()]);
                c.exclude.push_back(MixedCase(EncodeLetter(other[other.size() / 2]), pick));
            }
            if (pick() % 2)
                c.excludeNames.push_back(MixedCase(composed[pick() % composed.size()], pick));
            c.minLength = static_cast<int>(pick() % 3) * 3;
            c.maxLength = pick() % 2 ? 0 : c.minLength + 2 + static_cast<int>(pick() % 4);
            const bool refused = static_cast<bool>(ImpossibleConstraints(c, "", GenderChoice::Drawn, style));
            const bool fromFits = static_cast<int>(letters.size()) >= c.minLength &&
                                  (c.maxLength == 0 || static_cast<int>(letters.size()) <= c.maxLength);
            if (fromFits) {
                ASSERT_FALSE(refused) << from << " ends with " << c.endsWith;
            }
            if (refused)
                continue;
            std::vector<std::string> expected;
            for (const std::string& text : composed) {
                const std::vector<unsigned> folded = FoldedLetters(text);
                const std::vector<unsigned> end = FoldedLetters(c.endsWith);
                bool ok = folded.size() >= end.size() && std::equal(end.begin(), end.end(), folded.end() - end.size());
                ok = ok && static_cast<int>(folded.size()) >= c.minLength &&
                     (c.maxLength == 0 || static_cast<int>(folded.size()) <= c.maxLength);
                for (const std::string& piece : c.exclude)
                    ok = ok && !Holds(folded, FoldedLetters(piece));
                for (const std::string& whole : c.excludeNames)
                    ok = ok && folded != FoldedLetters(whole);
                if (ok)
                    expected.push_back(text);
            }
            NameStream stream(style, 7, GenderChoice::Drawn, "", c, false, 3000);
            std::vector<std::string> got;
            while (got.size() < expected.size() && stream.Next(name))
                got.emplace_back(name.text, static_cast<std::size_t>(name.length));
            ASSERT_EQ(got, expected) << "ending " << c.endsWith;
            kept += static_cast<int>(expected.size());
        }
    }
    EXPECT_GT(kept, 1000);
}

// A hyphen or apostrophe stands between two letters: lists and style files that put one at a
// name's start or end or two in a row are refused at the place; learned names keep the joins
// inside their groups, never at an end or twice, with a capital after each.
TEST(Unicode, JoinsStandBetweenLettersWithACapitalAfter)
{
    for (const char* bad : {"Ana\n-Luc\n", "Ana\nJean-\n", "Ana\nJean--Luc\n", "Ana\nJean-'Luc\n"}) {
        std::vector<ExampleName> names;
        StyleError error;
        EXPECT_FALSE(ReadExampleNames(bad, "list", names, error)) << bad;
        EXPECT_EQ(error.Text().rfind("list:2:", 0), 0u) << error.Text();
        EXPECT_NE(error.Text().find("stands only between two letters"), std::string::npos) << error.Text();
    }
    std::string styleText;
    StyleError error;
    const std::string list = "Jean-Luc\tm\nJean-Pierre\tm\nAnne-Marie\tf\nMarie-Anne\tf\nO'Neil\tm\n"
                             "Mary-Jane\tf\nPaul-Henri\tm\nN\xE2\x80\x99Golo\tm\nRose-Lynn\tf\nAnn-Britt\tf\n"
                             "Karl-Johan\tm\nEva-Lotta\tf\n";
    ASSERT_TRUE(LearnStyleFile(list, "list", styleText, error)) << error.Text();
    Style style;
    ASSERT_TRUE(Style::FromText(styleText, "learned", style, error)) << error.Text();
    int joined = 0;
    // What the up-front check accepts holds the names composed, their opening join left out:
    // at the start, and after a prefix that ends in one.
    for (const char* prefix : {"", "Jean-", "Ka"}) {
        std::set<int> lengths;
        std::set<std::string> endings;
        NameStream some(style, 11, GenderChoice::Female, prefix, NameConstraints());
        StreamName one;
        for (int k = 0; k < 20000 && some.Next(one); ++k) {
            const std::string text(one.text, static_cast<std::size_t>(one.length));
            ASSERT_EQ(text.find("--"), std::string::npos) << text;
            lengths.insert(CodePointCount(text.data(), text.size()));
            endings.insert(text.substr(text.size() - 2));
        }
        for (int length = 1; length <= 45; ++length) {
            NameConstraints c;
            c.lengthUnit = LengthUnit::CodePoints;
            c.minLength = c.maxLength = length;
            if (lengths.count(length)) {
                EXPECT_FALSE(ImpossibleConstraints(c, prefix, GenderChoice::Female, style)) << prefix << " " << length;
            }
        }
        for (const std::string& ending : endings) {
            NameConstraints c;
            c.endsWith = ending;
            EXPECT_FALSE(ImpossibleConstraints(c, prefix, GenderChoice::Female, style)) << prefix << " " << ending;
        }
    }
    NameStream stream(style, 3, GenderChoice::Drawn, "", NameConstraints());
    StreamName name;
    for (int k = 0; k < 5000 && stream.Next(name); ++k) {
        const std::string text(name.text, static_cast<std::size_t>(name.length));
        bool afterJoin = true;
        for (std::size_t at = 0; at < text.size();) {
            const Letter letter = DecodeLetter(text, at);
            ASSERT_GT(letter.length, 0) << text;
            const bool join = IsJoin(letter.codePoint);
            ASSERT_FALSE(join && (afterJoin || at + static_cast<std::size_t>(letter.length) == text.size())) << text;
            if (afterJoin && !join) {
                ASSERT_EQ(CapitalLetter(letter.codePoint), 0u) << text << ": a small letter after a join";
            }
            joined += join ? 1 : 0;
            afterJoin = join;
            at += static_cast<std::size_t>(letter.length);
        }
    }
    EXPECT_GT(joined, 100);
    // A fragment may hold one only between two of its letters.
    std::string edited = styleText;
    const std::size_t vowels = edited.find("vowels = [");
    ASSERT_NE(vowels, std::string::npos);
    edited.insert(vowels + 10, "\"a-\", ");
    EXPECT_FALSE(Style::FromText(edited, "edited", style, error));
    EXPECT_NE(error.Text().find("at its end or after another"), std::string::npos) << error.Text();
}

// A style's letters as a refusal lists them: its own, never "a to z" for a style without, and
// past forty a count of the rest (a script of syllables has hundreds).
TEST(Unicode, ARefusalListsTheStylesOwnLetters)
{
    std::string list;
    for (unsigned k = 0; k < 60; ++k)  // sixty Hangul syllables, two a name
        list += EncodeLetter(0xAC00 + 28 * k) + EncodeLetter(0xAC00 + 28 * ((k * 7 + 3) % 60)) + "\n";
    std::string styleText;
    StyleError error;
    ASSERT_TRUE(LearnStyleFile(list, "list", styleText, error)) << error.Text();
    Style style;
    ASSERT_TRUE(Style::FromText(styleText, "learned", style, error)) << error.Text();
    const std::string letters = LettersOf(style);
    EXPECT_EQ(letters.rfind("the letters \xEA\xB0\x80, ", 0), 0u) << letters;  // 가 first
    EXPECT_EQ(letters.find("a to z"), std::string::npos) << letters;
    EXPECT_NE(letters.find(" and 20 more"), std::string::npos) << letters;
    EXPECT_EQ(LettersOf(Style::Classic()), "the letters a to z");
}

}  // namespace
