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
    const ToolRun run = RunToolWith({"learn", ExamplesPath});
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
    char* argv[] = {const_cast<char*>("norvathel-names"), const_cast<char*>("learn"), const_cast<char*>("-"), nullptr};
    const int code = RunLearn(3, argv, in, out, err);
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
    EXPECT_EQ(run.err, "norvathel-names: " + unmarked.name + ":1:8: the gender mark after the tab must be m or f\n");

    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"learn"}, {"learn", "a", "b"}, {"learn", "--seed"}, {"learn", "no-such-file.txt"}}) {
        run = RunToolWith(args);
        EXPECT_EQ(run.exitCode, 2) << args.size();
        EXPECT_EQ(run.out, "");
        EXPECT_TRUE(IsOneLine(run.err)) << run.err;
    }
}

}  // namespace
