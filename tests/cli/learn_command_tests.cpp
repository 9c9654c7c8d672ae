// norvathel-names learn: the style file of an example list on the output, or exit 2 with the
// place and reason of the fault.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>
#ifdef _WIN32
#include <process.h>
#define getpid _getpid
#else
#include <unistd.h>
#endif

#include <norvathel/style.h>
#include <norvathel/style_learning.h>

#include "learn_command.h"
#include "name_writers.h"
#include "tool_runner.h"

namespace {

const std::string ExamplesPath = NORVATHEL_SOURCE_DIR "/tests/names/data/qessari_names.txt";

std::string ReadFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

// A file of the given bytes in the working folder, named after the process, removed when done.
struct ScratchList {
    explicit ScratchList(const std::string& bytes, const char* kind = "list")
        : name(std::string("learn-") + kind + "-" + std::to_string(getpid()) + ".tmp")
    {
        std::ofstream(name, std::ios::binary) << bytes;
    }
    ~ScratchList() { std::remove(name.c_str()); }
    std::string name;
};

TEST(LearnCommand, WritesTheLearnedStyleFileWithTheToolsLineEnds)
{
    std::string expected;
    norvathel::StyleError error;
    ASSERT_TRUE(norvathel::LearnStyleFile(ReadFile(ExamplesPath), ExamplesPath, expected, error)) << error.Text();
    const ToolRun run = RunToolWith({"learn", "--quiet", ExamplesPath});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.err, "");
    std::string withLineEnds;
    for (char c : expected)
        withLineEnds += c == '\n' ? std::string(ToolLineEnd()) : std::string(1, c);
    EXPECT_EQ(run.out, withLineEnds);
    norvathel::Style style;
    EXPECT_TRUE(norvathel::Style::FromText(run.out, "learned", style, error)) << error.Text();
}

TEST(LearnCommand, TheLearnedFileServesAsAStyleWithTheOtherOptions)
{
    ScratchList style(RunToolWith({"learn", ExamplesPath}).out, "style");
    ToolRun run = RunToolWith({"--style", style.name, "--seed", "5", "--count", "100", "--full", "--unique"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(SplitLines(run.out).size(), 100u);
    run = RunToolWith({"--style", style.name, "--female", "--prefix", "Ka", "--max-length", "9", "--format", "json"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.out.find("\"style\":\"learned\""), std::string::npos) << run.out;
}

TEST(LearnCommand, ReadsStandardInputForADash)
{
    ScratchList input("Kalina\tf\nTorvan\tm\nMeskel\n", "in");
    ScratchList output("", "out"), messages("", "err");
    std::FILE* in = std::fopen(input.name.c_str(), "rb");
    std::FILE* out = std::fopen(output.name.c_str(), "wb");
    std::FILE* err = std::fopen(messages.name.c_str(), "wb");
    ASSERT_TRUE(in && out && err);
    char* argv[] = {const_cast<char*>("norvathel-names"), const_cast<char*>("learn"), const_cast<char*>("--quiet"),
                    const_cast<char*>("-"), nullptr};
    const int code = RunLearn(4, argv, in, out, err);
    std::fclose(in);
    std::fclose(out);
    std::fclose(err);
    EXPECT_EQ(code, 0);
    EXPECT_EQ(ReadFile(messages.name), "");
    EXPECT_EQ(ReadFile(output.name), RunToolWith({"learn", input.name}).out);
}

TEST(LearnCommand, ABadListGivesExit2WithFileLineColumnAndReason)
{
    ScratchList bad("Kalina\tf\nTor\x01van\tm\n");
    ToolRun run = RunToolWith({"learn", bad.name});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "norvathel-names: " + bad.name + ":2:4: a control character (0x01)\n");

    ScratchList vowelsFirst("Alarion\nEowyn\nIrian\n");
    run = RunToolWith({"learn", vowelsFirst.name});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.err, "norvathel-names: " + vowelsFirst.name + ": no example name opens with a consonant\n");

    ScratchList longLine("Kalina\n" + std::string(300, 'a') + "\n");
    run = RunToolWith({"learn", longLine.name});
    EXPECT_EQ(run.err, "norvathel-names: " + longLine.name + ":2:257: the line is over the limit of 256 bytes\n");

    run = RunToolWith({"learn", "no-such\x1b[2J.txt"});
    EXPECT_EQ(run.err.rfind("norvathel-names: no-such\\x1B[2J.txt: cannot open: ", 0), 0u) << run.err;

    ScratchList unmarked("Kalina\tx\n");
    run = RunToolWith({"learn", unmarked.name});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.err, "norvathel-names: " + unmarked.name + ":1:8: the gender mark after the tab must be m, f or n\n");

    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"learn"}, {"learn", "a", "b"}, {"learn", "--seed"}, {"learn", "no-such-file.txt"},
          {"learn", "--name"}, {"learn", "--quiet", "--name", "a", "--name", "b", "x.txt"}}) {
        run = RunToolWith(args);
        EXPECT_EQ(run.exitCode, 2) << args.size();
        EXPECT_EQ(run.out, "");
        EXPECT_TRUE(IsOneLine(run.err)) << run.err;
    }
}

// Messages end their lines with '\n' on every system (the names' files take the system's).
std::vector<std::string> MessageLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

// Every fault of a list in one run, each with its place, the first 20 and then a count; a
// space where the gender mark's tab belongs is read as the tab, with a warning.
TEST(LearnCommand, NamesEveryFaultOfAListAndReadsASpacedMark)
{
    std::string list = "Kalina\tf\nTorvan m\n";
    for (int k = 0; k < 25; ++k)
        list += "Mes" + std::to_string(k % 10) + "kel\n";
    ScratchList bad(list);
    ToolRun run = RunToolWith({"learn", bad.name});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.out, "");
    const std::vector<std::string> lines = MessageLines(run.err);
    ASSERT_EQ(lines.size(), 22u) << run.err;
    EXPECT_EQ(lines[0], "norvathel-names: " + bad.name + ":2:7: warning: a space before the gender mark 'm': read as "
                        "the tab it stands for");
    EXPECT_EQ(lines[1], "norvathel-names: " + bad.name + ":3:4: '0' is not a letter (a name is letters of any script, "
                        "each with its marks)");
    EXPECT_EQ(lines[20].rfind("norvathel-names: " + bad.name + ":22:4: ", 0), 0u) << lines[20];
    EXPECT_EQ(lines[21], "norvathel-names: and 5 more faults");

    ScratchList good("Kalina\tf\nTorvan m\nMeskel\n");
    run = RunToolWith({"learn", "--quiet", good.name});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(MessageLines(run.err).size(), 1u) << run.err;
    EXPECT_NE(run.out.find("1 male, 1 female, 1 either"), std::string::npos) << run.out;
}

TEST(LearnCommand, TheStyleTakesItsNameAndDescriptionAndTheReportSaysHowTrueItIs)
{
    ToolRun run = RunToolWith({"learn", "--name", "qessari", "--description=Names of the Qessari", ExamplesPath});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    norvathel::Style style;
    norvathel::StyleError error;
    ASSERT_TRUE(norvathel::Style::FromText(run.out, "learned", style, error)) << error.Text();
    EXPECT_EQ(style.Name(), "qessari");
    EXPECT_EQ(style.Data().description, "Names of the Qessari");
    const std::vector<std::string> report = MessageLines(run.err);
    ASSERT_EQ(report.size(), 4u) << run.err;
    EXPECT_EQ(report[0], "learned: 300 names (120 male, 120 female, 60 either)");
    double bits = -1;
    EXPECT_EQ(std::sscanf(report[1].c_str(), "held-out divergence: %lf bits (", &bits), 1) << report[1];
    EXPECT_GT(bits, 0.05);
    EXPECT_LT(bits, 0.9);
    double copies = -1;
    EXPECT_EQ(std::sscanf(report[2].c_str(), "copies: %lf%% of 100000 composed names are examples", &copies), 1)
        << report[2];
    EXPECT_GE(copies, 0);
    EXPECT_LT(copies, 50);  // before the guard: drawn in context, short names are often examples
    int distinct = -1;
    EXPECT_EQ(std::sscanf(report[3].c_str(), "distinct: %d of 100000 composed names", &distinct), 1) << report[3];
    EXPECT_GT(distinct, 1000);
    EXPECT_LE(distinct, 100000);

    ScratchList few("Kalina\tf\nTorvan\tm\nMeskel\n");
    run = RunToolWith({"learn", few.name});
    EXPECT_EQ(MessageLines(run.err)[1], "held-out divergence: too few names to hold a quarter out") << run.err;

    run = RunToolWith({"learn", "--name", "Not A Name", ExamplesPath});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "norvathel-names: --name: must be 1 to 32 bytes of a-z, 0-9 and '-', beginning with a letter\n");
}

}  // namespace

// In a style of two-byte letters, lengths are letters (a person counts "Мар" as three) and an
// ending in capitals finds the small letters it names.
TEST(LearnCommand, ACyrillicStyleCountsLettersAndTakesEndingsInEitherCase)
{
    ScratchList list("Мария\tf\nМарина\tf\nМарфа\tf\nОльга\tf\nАнна\tf\nВера\tf\nМарат\tm\nМаксим\tm\n"
                     "Роман\tm\nИван\tm\nОлег\tm\nБорис\tm\n", "cyrillic");
    ScratchList style(RunToolWith({"learn", "--quiet", list.name}).out, "style");
    ToolRun run = RunToolWith({"--style", style.name, "--female", "--prefix", "Мар", "--max-length", "6",
                               "--ends-with", "А", "--count", "30", "--seed", "4"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const std::vector<std::string> names = SplitLines(run.out);
    ASSERT_EQ(names.size(), 30u);
    for (const std::string& name : names) {
        EXPECT_EQ(name.compare(0, 6, "Мар"), 0) << name;
        EXPECT_LE(name.size(), 12u) << name << " is more than 6 letters";
        EXPECT_EQ(name.compare(name.size() - 2, 2, "а"), 0) << name;
    }
    run = RunToolWith({"--style", style.name, "--female", "--prefix", "Мар", "--max-length", "2"});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.err, "norvathel-names: --max-length is below the prefix's length\n");
    // A refusal lists the style's own letters: no a to z here.
    run = RunToolWith({"--style", style.name, "--ends-with", "ж"});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.err.find("a to z"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("no name contains 'ж' (names are made of the letters а, б, в, "), std::string::npos) << run.err;
}
