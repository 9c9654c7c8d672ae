// --style, --full, --bom and --list-styles.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <random>
#include <set>
#include <string>
#include <vector>
#ifdef _WIN32
#include <process.h>
#define getpid _getpid
#else
#include <unistd.h>
#endif

#include <norvathel/style.h>
#include "json_reader.h"
#include "tool_runner.h"

namespace {

using Args = std::vector<std::string>;

// A scratch style file in the working folder, removed when done.
class StyleFile {
public:
    explicit StyleFile(const std::string& text)
        : name("style-" + std::to_string(getpid()) + "-" + std::to_string(++made) + ".toml")
    {
        std::ofstream(name, std::ios::binary) << text;
    }
    ~StyleFile() { std::remove(name.c_str()); }
    StyleFile(const StyleFile&) = delete;
    StyleFile& operator=(const StyleFile&) = delete;

    const std::string name;

private:
    static int made;
};
int StyleFile::made = 0;

// Random argument vectors over the options a style meets: seeds, genders, prefixes, counts,
// constraints, the three forms and board replays.
Args RandomArgs(std::mt19937& pick)
{
    auto one = [&pick](const Args& choices) { return choices[pick() % choices.size()]; };
    Args args = {"--seed", std::to_string(pick() % 100000)};
    if (pick() % 4 == 0)
        return Joined(args, {"--boards", one({"start", "start,female,male:ka", "male:Tor,female:e"}), "--format",
                           one({"text", "json", "csv"})});
    const std::string gender = one({"", "--male", "--female"});
    if (!gender.empty())
        args.push_back(gender);
    if (pick() % 3 == 0)
        args = Joined(args, {"--prefix", one({"ka", "El", "y", "&rA", "e"})});
    args = Joined(args, {"--count", std::to_string(pick() % 40)});
    if (pick() % 3 == 0)
        args.push_back("--unique");
    if (pick() % 4 == 0)
        args = Joined(args, {"--max-length", std::to_string(5 + pick() % 6)});
    // Only what some names meet: a run that goes dry composes a million names.
    if (pick() % 5 == 0)
        args = Joined(args, {"--ends-with", gender == "--male" ? one({"n", "s"}) : one({"a", "n"})});
    if (pick() % 5 == 0)
        args = Joined(args, {"--exclude", one({"th", "kr,gl", "sh"})});
    if (pick() % 2 == 0)
        args = Joined(args, {"--format", one({"text", "json", "csv"})});
    return args;
}

TEST(ToolStyle, ClassicIsTheDefaultByteForByte)
{
    StyleFile classic(norvathel::Style::Classic().ToText());
    std::mt19937 pick(16);
    for (int vector = 0; vector < 300; ++vector) {
        const Args args = RandomArgs(pick);
        const ToolRun plain = RunToolWith(args);
        const ToolRun named = RunToolWith(Joined(args, {"--style", "classic"}));
        ASSERT_EQ(named.exitCode, plain.exitCode) << vector;
        ASSERT_EQ(named.out, plain.out) << vector;
        ASSERT_EQ(named.err, plain.err) << vector;
        if (vector % 10 == 0) {
            // The same names from a file of classic's own text; but a file is never the
            // built-in, so a JSON document names its style.
            const ToolRun file = RunToolWith(Joined(args, {"--style", classic.name}));
            std::string out = file.out;
            const std::string styleKey = ",\"style\":\"classic\"";
            const bool json = std::find(args.begin(), args.end(), "json") != args.end();
            if (json && plain.out.find(styleKey) == std::string::npos) {
                ASSERT_NE(out.find(styleKey), std::string::npos) << vector;
                out.erase(out.find(styleKey), styleKey.size());
            }
            ASSERT_EQ(out, plain.out) << vector;
        }
    }
}

TEST(ToolStyle, EveryBuiltInStyleWorksWithTheOptions)
{
    for (const std::string& style : norvathel::Style::BuiltInNames()) {
        const ToolRun run = RunToolWith({"--seed", "3", "--style", style, "--female", "--prefix", "Ka", "--unique",
                                         "--ends-with", "a", "--max-length", "12", "--count", "50"});
        ASSERT_EQ(run.exitCode, 0) << style << ": " << run.err;
        const std::vector<std::string> names = SplitLines(run.out);
        ASSERT_EQ(names.size(), 50u) << style;
        for (const std::string& name : names) {
            EXPECT_EQ(name.compare(0, 2, "Ka"), 0) << style << ": " << name;
            EXPECT_EQ(name.back(), 'a') << style << ": " << name;
            EXPECT_LE(name.size(), 12u) << style << ": " << name;
        }
    }
    // Styles differ: the same seed gives other names in another style.
    EXPECT_NE(RunToolWith({"--seed", "3", "--style", "liquid"}).out, RunToolWith({"--seed", "3"}).out);
}

// Neutral names: every built-in style makes them, with the options, in every form (JSON and
// CSV say "neutral"), and --boards replays them; a style file without them is refused with
// the reason, and --neutral takes no other gender beside it.
TEST(ToolStyle, NeutralNamesByEveryStylesOwnRules)
{
    for (const std::string& style : norvathel::Style::BuiltInNames()) {
        const ToolRun run = RunToolWith({"--seed", "3", "--style", style, "--neutral", "--prefix", "Ka", "--unique",
                                         "--max-length", "12", "--count", "50", "--format", "csv"});
        ASSERT_EQ(run.exitCode, 0) << style << ": " << run.err;
        const std::vector<std::string> rows = SplitLines(run.out);
        ASSERT_EQ(rows.size(), 51u) << style;
        for (std::size_t k = 1; k < rows.size(); ++k)
            EXPECT_TRUE(rows[k].compare(0, 2, "Ka") == 0 && rows[k].find(",neutral") != std::string::npos)
                << style << ": " << rows[k];
        EXPECT_NE(RunToolWith({"--seed", "3", "--style", style, "--neutral"}).out,
                  RunToolWith({"--seed", "3", "--style", style, "--male"}).out);
    }
    const ToolRun boards = RunToolWith({"--clock", "1", "--boards", "neutral:ka,start", "--format", "json"});
    EXPECT_EQ(boards.exitCode, 0) << boards.err;
    EXPECT_NE(boards.out.find("{\"gender\":\"neutral\",\"prefix\":\"ka\",\"names\":[\"Ka"), std::string::npos) << boards.out;

    std::string plain = norvathel::Style::Classic().ToText();
    for (const char* key : {"neutral_opening", "neutral_closing"})
        plain.erase(plain.find(key), plain.find('\n', plain.find(key)) - plain.find(key) + 1);
    plain.erase(plain.find("neutral_endings"), plain.find("]\n", plain.find("neutral_endings")) + 2 - plain.find("neutral_endings"));
    plain.replace(plain.find("name = \"classic\""), 16, "name = \"plain\"");
    StyleFile none(plain);
    ToolRun run = RunToolWith({"--style", none.name});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    run = RunToolWith({"--style", none.name, "--neutral"});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.err, "norvathel-names: the style 'plain' makes no neutral names (its file sets no "
                       "given.neutral_closing)\n");
    run = RunToolWith({"--neutral", "--female"});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.err, "norvathel-names: --neutral and --female exclude each other\n");
}

// A style with letters beyond ASCII: a name it composed, capital and all, is an ending it can
// make; a byte it cannot make is refused in the style's own letters.
TEST(ToolStyle, EndingsBeyondAsciiAreDecidedInTheStylesLetters)
{
    const std::vector<std::string> names = SplitLines(RunToolWith({"--seed", "3", "--style", "crisp", "--count", "400"}).out);
    const auto capital = std::find_if(names.begin(), names.end(),
                                      [](const std::string& name) { return name[0] & 0x80; });
    ASSERT_NE(capital, names.end());
    ToolRun run = RunToolWith({"--seed", "3", "--style", "crisp", "--count", "20", "--ends-with", *capital});
    ASSERT_EQ(run.exitCode, 0) << *capital << ": " << run.err;
    // Either case of the capital (crisp's are Latin-1: the small letter is 0x20 further on).
    std::string small = *capital;
    small[1] = static_cast<char>(small[1] + 0x20);
    std::set<std::string> seen;
    for (const std::string& name : SplitLines(run.out)) {
        const bool ends = name.size() >= small.size() &&
                          (name.compare(name.size() - small.size(), small.size(), small) == 0 || name == *capital);
        EXPECT_TRUE(ends) << name << " does not end with " << *capital;
        seen.insert(name == *capital ? "capital" : "small");
    }
    EXPECT_EQ(seen.size(), 2u) << run.out;
    run = RunToolWith({"--style", "crisp", "--ends-with", "1a"});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.err, "norvathel-names: --ends-with '1a': no name contains '1' (names are made of the letters a "
                       "to z, \xC3\xA5, \xC3\xA6, \xC3\xAD and \xC3\xB8, and the prefix)\n");
    // Classic's words stay as they were.
    EXPECT_EQ(RunToolWith({"--ends-with", "1a"}).err,
              "norvathel-names: --ends-with '1a': no name contains '1' (names are made of the letters a to z, and "
              "the prefix)\n");
}

TEST(ToolStyle, BadStylesExit2WithTheirPlace)
{
    StyleFile bad("format = 1\nname = \"bad\"\n[tables]\nconsonants = [\"t\", \"k9\"]\n");
    ToolRun run = RunToolWith({"--style", bad.name, "--count", "3"});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(run.out.empty());
    EXPECT_TRUE(IsOneLine(run.err)) << run.err;
    EXPECT_EQ(run.err.rfind("norvathel-names: " + bad.name + ":4:20: tables.consonants[1]: ", 0), 0u) << run.err;
    run = RunToolWith({"--style", "no-such-style"});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_NE(run.err.find("no built-in style"), std::string::npos) << run.err;
    EXPECT_TRUE(IsOneLine(run.err)) << run.err;
}

// What a style file holds is shown escaped, never sent to the terminal; a file too large is
// named as such; a byte-order mark opens a file as it opens a list.
TEST(ToolStyle, HostileFilesGetTheirPlaceAndTheTrueReasonEscaped)
{
    StyleFile escape("format = 1\n\"\\u001b]0;owned\\u0007\" = 1\n");
    ToolRun run = RunToolWith({"--style", escape.name});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.err, "norvathel-names: " + escape.name + ":2:26: unknown key '\\x1B]0;owned\\x07'\n");
    StyleFile big(std::string(norvathel::MaxStyleBytes + 1, '#'));
    run = RunToolWith({"--style", big.name});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.err, "norvathel-names: " + big.name + ": the file is too large: over the limit of " + std::to_string(norvathel::MaxStyleBytes) + " bytes\n");
    StyleFile bom("\xEF\xBB\xBF" + norvathel::Style::Classic().ToText());
    run = RunToolWith({"--style", bom.name, "--seed", "5", "--count", "20"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, RunToolWith({"--seed", "5", "--count", "20"}).out);
}

TEST(ToolFullNames, TheGivenNamesOfTheSameSeedWithSurnames)
{
    for (const char* style : {"classic", "crisp"}) {
        const Args args = {"--seed", "77", "--style", style, "--count", "300", "--exclude", "th"};
        const std::vector<std::string> given = SplitLines(RunToolWith(args).out);
        const std::vector<std::string> full = SplitLines(RunToolWith(Joined(args, {"--full"})).out);
        ASSERT_EQ(full.size(), given.size());
        for (std::size_t k = 0; k < full.size(); ++k) {
            ASSERT_EQ(full[k].compare(0, given[k].size() + 1, given[k] + " "), 0) << full[k];
            EXPECT_GT(full[k].size(), given[k].size() + 1);
        }
    }
}

TEST(ToolFullNames, JsonGivesBothPartsAndTheStyle)
{
    const ToolRun text = RunToolWith({"--seed", "9", "--style", "sibilant", "--full", "--count", "12"});
    const ToolRun json =
        RunToolWith({"--seed", "9", "--style", "sibilant", "--full", "--count", "12", "--format", "json"});
    ASSERT_EQ(json.exitCode, 0);
    JsonValue document;
    std::string problem;
    ASSERT_TRUE(ReadJson(json.out, document, problem)) << problem;
    ASSERT_NE(document.Find("style"), nullptr);
    EXPECT_EQ(document.Find("style")->text, "sibilant");
    std::vector<std::string> names;
    for (const JsonValue& board : document.Find("boards")->items)
        for (const JsonValue& name : board.Find("names")->items)
            names.push_back(name.Find("given")->text + " " + name.Find("surname")->text);
    EXPECT_EQ(names, SplitLines(text.out));
    // Only classic, without --full, leaves the style out: the default output is as it was.
    ASSERT_TRUE(ReadJson(RunToolWith({"--seed", "9", "--format", "json"}).out, document, problem));
    EXPECT_EQ(document.Find("style"), nullptr);
}

TEST(ToolFullNames, CsvColumnsAndTheByteOrderMark)
{
    const ToolRun csv =
        RunToolWith({"--seed", "9", "--style", "crisp", "--full", "--count", "5", "--format", "csv", "--bom"});
    ASSERT_EQ(csv.exitCode, 0);
    ASSERT_EQ(csv.out.rfind("\xEF\xBB\xBFgiven,surname,gender\r\n", 0), 0u) << csv.out;
    const std::vector<std::string> text = SplitLines(RunToolWith({"--seed", "9", "--style", "crisp", "--full",
                                                                  "--count", "5", "--male"}).out);
    const ToolRun male = RunToolWith(
        {"--seed", "9", "--style", "crisp", "--full", "--count", "5", "--format", "csv", "--male"});
    std::string expected = "given,surname,gender\r\n";
    for (const std::string& name : text)
        expected += name.substr(0, name.find(' ')) + "," + name.substr(name.find(' ') + 1) + ",male\r\n";
    EXPECT_EQ(male.out, expected);
    const ToolRun refused = RunToolWith({"--bom", "--count", "3"});
    EXPECT_EQ(refused.exitCode, 2);
    EXPECT_EQ(refused.err, "norvathel-names: --bom is for --format csv\n");
}

TEST(ToolStyle, ListStylesShowsEachWithDescriptionAndSamples)
{
    const ToolRun run = RunToolWith({"--list-styles"});
    ASSERT_EQ(run.exitCode, 0);
    const std::vector<std::string> lines = SplitLines(run.out);
    const std::vector<std::string> styles = norvathel::Style::BuiltInNames();
    ASSERT_EQ(lines.size(), 2 * styles.size());
    for (std::size_t k = 0; k < styles.size(); ++k) {
        norvathel::Style style;
        ASSERT_TRUE(norvathel::Style::BuiltIn(styles[k], style));
        EXPECT_EQ(lines[2 * k].rfind(styles[k] + " ", 0), 0u);
        EXPECT_NE(lines[2 * k].find(style.Data().description), std::string::npos);
        EXPECT_EQ(std::count(lines[2 * k + 1].begin(), lines[2 * k + 1].end(), ','), 5) << lines[2 * k + 1];
    }
}

}  // namespace

namespace {

// Full seeds pin every built-in style's names too: these never change.
TEST(ToolStyle, GoldenFullNamesOfEveryStyle)
{
    const std::vector<std::pair<std::string, std::string>> goldens = {
        {"classic", "Srenub Chirell|Gleikhyf Irith|Icef Favard|Kaub Rykorn|"},
        {"liquid", "Vinor Faewen|Lathor Tallas|Lor Elmar|Thiel Talrond|"},
        {"guttural", "Agnugargh Komoggrum|Zaraz Dagdush|Bogor Ghukgash|Kaz Dugrok|"},
        {"sibilant", "Nuhesh Zazassar|Samir Jazoumi|Shesh Shazassar|Muz Zeshizar|"},
        {"crisp", "Vavald Gardmark|Kylulf Ævarfjell|Nolf Beirhø|Leir Ølardfjell|"},
        {"staccato", "Kutto Mitoppa|Tikkito Sitomma|Sito Momma|No Kiokku|"},
    };
    ASSERT_EQ(goldens.size(), norvathel::Style::BuiltInNames().size());
    for (const auto& golden : goldens) {
        std::string joined;
        for (const std::string& line : SplitLines(RunToolWith({"--seed", "2024", "--style", golden.first, "--full",
                                                               "--count", "4"}).out))
            joined += line + "|";
        EXPECT_EQ(joined, golden.second) << golden.first;
    }
}

// A key's name in a style: stable, the given name that of the same key without --full, and the
// CSV and JSON forms carry both parts.
TEST(ToolStyle, KeysInAStyleWithFullNames)
{
    StyleFile keys("npc-1\nnpc-2\n\nnpc-1\n");  // any text file will do for keys
    const Args args = {"--keys", keys.name, "--style", "crisp", "--seed", "5"};
    const std::vector<std::string> given = SplitLines(RunToolWith(args).out);
    const std::vector<std::string> full = SplitLines(RunToolWith(Joined(args, {"--full"})).out);
    ASSERT_EQ(given.size(), 4u);
    ASSERT_EQ(full.size(), 4u);
    EXPECT_EQ(full[0], full[3]);
    for (std::size_t k = 0; k < full.size(); ++k)
        EXPECT_EQ(full[k].rfind(given[k] + " ", 0), 0u) << full[k];
    const std::string csvText = RunToolWith(Joined(args, {"--full", "--format", "csv", "--bom"})).out;
    EXPECT_EQ(csvText.rfind("\xEF\xBB\xBFkey,given,surname,gender\r\n", 0), 0u);
    const std::vector<std::string> csv = SplitLines(csvText);
    ASSERT_EQ(csv.size(), 5u);
    EXPECT_EQ(csv[1].rfind("npc-1," + full[0].substr(0, full[0].find(' ')) + "," + full[0].substr(full[0].find(' ') + 1) + ",", 0), 0u) << csv[1];
    JsonValue document;
    std::string problem;
    ASSERT_TRUE(ReadJson(RunToolWith(Joined(args, {"--full", "--format", "json"})).out, document, problem)) << problem;
    ASSERT_EQ(document.items.size(), 4u);
    EXPECT_EQ(document.items[0].Find("style")->text, "crisp");
    // (Our JSON reader gives Latin-1 bytes: the surname's letters beyond ASCII differ from the text form's.)
    EXPECT_EQ(document.items[0].Find("given")->text, given[0]);
    EXPECT_FALSE(document.items[0].Find("surname")->text.empty());
}

}  // namespace
