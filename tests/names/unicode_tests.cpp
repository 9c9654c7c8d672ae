#include <norvathel/style.h>
#include <norvathel/style_learning.h>

#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "text/letters.h"
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

}  // namespace
