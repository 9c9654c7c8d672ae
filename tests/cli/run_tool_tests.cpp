// The tool end to end, in-process: what it prints for each option, checked against the
// composer itself where the tool only arranges its boards.
#include "run_tool.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdint>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>
#ifndef _WIN32
#include <unistd.h>
#endif

#include <norvathel/additive_random.h>
#include <norvathel/name_composer.h>
#include "name_writers.h"
#include "norvathel_version.h"
#include "tool_runner.h"

using namespace norvathel;

namespace {

using Lines = std::vector<std::string>;

const Lines ReferenceBoards = {
    "Glicia", "Sojazheta", "Sheowandra", "Ryutaila", "Ihycenne",
    "Eoneah", "Sisa", "Idaketty", "Ciycrila", "Aporicia",
    "Chigail", "Lliavlessa", "Sala", "Uykegaila", "Iateen",
    "Iateicesha", "Kaowel", "Posae", "Thaysana", "Kuathayla",
    "Kadielit", "Kaalyim", "Kaleos", "Kakar", "Kashyb",
    "Kafyt", "Kaifykof", "Kameiflan", "Kasuecyt", "Kaiteot"};

// One composition the way the tool is expected to run it.
struct Step {
    bool drawGender;
    Gender gender;
    const char* prefix;
};

// The names the composer gives for these steps from the generator, every board whole.
Lines ComposedNames(AdditiveRandom random, const std::vector<Step>& steps)
{
    Lines names;
    for (const Step& step : steps) {
        Gender gender = step.drawGender ? DrawStartGender(random) : step.gender;
        Board board;
        ComposeBoard(random, gender, step.prefix, board);
        for (int index = 0; index < NamesPerBoard; ++index)
            names.push_back(board.names[index]);
    }
    return names;
}

// From a full seed (--seed), or from a clock value as the program seeds (--clock).
Lines ComposedNames(std::uint64_t seed, const std::vector<Step>& steps)
{
    AdditiveRandom random;
    random.SeedFull(seed);
    return ComposedNames(random, steps);
}

Lines ClockNames(std::uint64_t clock, const std::vector<Step>& steps)
{
    AdditiveRandom random;
    random.Seed(clock);
    return ComposedNames(random, steps);
}

Lines Head(const Lines& lines, std::size_t count)
{
    return Lines(lines.begin(), lines.begin() + static_cast<std::ptrdiff_t>(count));
}

// Runs the tool, expects success without messages, and gives the lines it printed.
Lines PrintedLines(const std::vector<std::string>& args)
{
    ToolRun run = RunToolWith(args);
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.err, "");
    return SplitLines(run.out);
}

// --- reference boards and line ends ------------------------------------------------------

TEST(ToolReference, ReplaysThePrograms3ReferenceBoards)
{
    ToolRun run = RunToolWith({"--clock", "1000000000", "--boards", "start,female,male:ka"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.out, JoinLines(ReferenceBoards));
}

TEST(ToolReference, LinesEndAsThePlatformExpects)
{
#ifdef _WIN32
    EXPECT_STREQ(ToolLineEnd(), "\r\n");
#else
    EXPECT_STREQ(ToolLineEnd(), "\n");
#endif
    std::string out = RunToolWith({"--seed", "7", "--count", "25"}).out;
    std::size_t lineFeeds = 0, carriageReturns = 0;
    for (char c : out) {
        lineFeeds += c == '\n';
        carriageReturns += c == '\r';
    }
    EXPECT_EQ(lineFeeds, 25u);
    EXPECT_EQ(carriageReturns, std::strcmp(ToolLineEnd(), "\r\n") == 0 ? 25u : 0u);
}

TEST(ToolSeed, WithoutASeedEntropyAndTheShownSeedReplaysTheRun)
{
    // Two runs in the same second differ; each one's "seed: N" makes its names again.
    ToolRun first = RunToolWith({"--show-seed"});
    ToolRun second = RunToolWith({"--show-seed"});
    ASSERT_EQ(first.exitCode, 0);
    unsigned long long seed = 0;
    ASSERT_EQ(std::sscanf(first.err.c_str(), "seed: %llu\n", &seed), 1) << first.err;
    EXPECT_EQ(first.out, JoinLines(ComposedNames(seed, {{true, Male, ""}})));
    EXPECT_NE(second.err, first.err);
}

// --- seed ---------------------------------------------------------------------------------

TEST(ToolSeed, SameSeedSameNamesOtherSeedOtherNames)
{
    Lines first = PrintedLines({"--seed", "424242", "--count", "40"});
    EXPECT_EQ(PrintedLines({"--seed", "424242", "--count", "40"}), first);
    EXPECT_EQ(PrintedLines({"--seed=424242", "--count=40"}), first);
    EXPECT_NE(PrintedLines({"--seed", "424243", "--count", "40"}), first);
    EXPECT_EQ(first, Head(ComposedNames(424242, {{true, Male, ""}, {true, Male, ""},
                                                 {true, Male, ""}, {true, Male, ""}}), 40));
}

TEST(ToolSeed, EveryBitCountsAndWordsAreTheirHash)
{
    const Lines low = PrintedLines({"--seed", "5"});
    EXPECT_NE(PrintedLines({"--seed", std::to_string(5 + (std::uint64_t(1) << 30))}), low);
    EXPECT_EQ(PrintedLines({"--seed", "0005"}), low);
    EXPECT_EQ(PrintedLines({"--seed", "18446744073709551615", "--male"}),
              ComposedNames(~std::uint64_t{0}, {{false, Male, ""}}));
    // Anything but digits is a word: a date, a sign, a space.
    for (const char* word : {"2024-05-session", "-1", "+5", " 5", "12x"})
        EXPECT_EQ(PrintedLines({"--seed", word, "--female"}),
                  ComposedNames(SeedFromWord(word), {{false, Female, ""}}))
            << word;
}

TEST(ToolClock, SeedsAsTheProgramDoesOnlyTheLow30BitsCounting)
{
    const Lines low = PrintedLines({"--clock", "5"});
    EXPECT_EQ(low, ClockNames(5, {{true, Male, ""}}));
    EXPECT_EQ(PrintedLines({"--clock", std::to_string(5 + (std::uint64_t(1) << 30))}), low);
    EXPECT_EQ(PrintedLines({"--clock", "18446744073709551615"}), PrintedLines({"--clock", "1073741823"}));
    // A word: what --seed WORD printed before 2.0, its hash's low 30 bits as a clock value.
    EXPECT_EQ(PrintedLines({"--clock", "dragonkeep", "--count", "20"}),
              ClockNames(SeedFromWord("dragonkeep"), {{true, Male, ""}, {true, Male, ""}}));
    EXPECT_EQ(PrintedLines({"--clock", "dragonkeep", "--boards", "start,male:ka"}),
              ClockNames(SeedFromWord("dragonkeep"), {{true, Male, ""}, {false, Male, "ka"}}));
    ToolRun shown = RunToolWith({"--clock", "77", "--show-seed", "--count", "0"});
    EXPECT_EQ(shown.err, "clock: 77\n");
}

// --- gender and prefix --------------------------------------------------------------------

TEST(ToolGender, MaleAndFemaleFixEveryBoardWithoutADraw)
{
    for (std::uint64_t seed : {1u, 99u, 1000000000u}) {
        std::string text = std::to_string(seed);
        EXPECT_EQ(PrintedLines({"--seed", text, "--male", "--count", "20"}),
                  ComposedNames(seed, {{false, Male, ""}, {false, Male, ""}}));
        EXPECT_EQ(PrintedLines({"--female", "--seed", text, "--count", "20"}),
                  ComposedNames(seed, {{false, Female, ""}, {false, Female, ""}}));
    }
}

TEST(ToolGender, WithoutEitherEachBoardDrawsItsGender)
{
    for (std::uint64_t seed : {3u, 17u, 1000000000u}) {
        std::string text = std::to_string(seed);
        Lines drawn = ComposedNames(seed, {{true, Male, ""}, {true, Male, ""}, {true, Male, ""}});
        EXPECT_EQ(PrintedLines({"--seed", text, "--count", "30"}), drawn);
        EXPECT_EQ(PrintedLines({"--seed", text, "--boards", "start,start,start"}), drawn);
    }
    // Clock 1,000,000,000 draws female first: the program's first board.
    EXPECT_EQ(PrintedLines({"--clock", "1000000000"}), Head(ReferenceBoards, 10));
}

TEST(ToolPrefix, EveryNameBeginsWithThePrefix)
{
    Lines names = PrintedLines({"--seed", "11", "--prefix", "ka", "--count", "30"});
    ASSERT_EQ(names.size(), 30u);
    for (const std::string& name : names)
        EXPECT_EQ(name.compare(0, 2, "Ka"), 0) << name;
    EXPECT_EQ(names, ComposedNames(11, {{true, Male, "ka"}, {true, Male, "ka"}, {true, Male, "ka"}}));
    EXPECT_EQ(PrintedLines({"--seed", "11", "--prefix", "", "--count", "30"}),
              PrintedLines({"--seed", "11", "--count", "30"}));
}

TEST(ToolPrefix, ThirtyOneBytesAtMostButTheWindowsCutInABoard)
{
    const std::string longPrefix = "abcdefghijklmnopqrstuvwxyz0123456789";
    Lines names = PrintedLines({"--seed", "8", "--male", "--prefix", longPrefix.substr(0, 31)});
    for (const std::string& name : names)
        EXPECT_EQ(name.compare(0, 31, "A" + longPrefix.substr(1, 30)), 0) << name;
    EXPECT_EQ(RunToolWith({"--prefix", longPrefix.substr(0, 32)}).exitCode, 2);
    // A replayed board cuts the prefix as the window's edit box does.
    EXPECT_EQ(PrintedLines({"--clock", "8", "--boards", "male:" + longPrefix}),
              PrintedLines({"--clock", "8", "--boards", "male:" + longPrefix.substr(0, 31)}));
}

TEST(ToolPrefix, TheFirstLetterIsCapitalisedAfterLeadingAmpersandPairs)
{
    for (const std::string& name : PrintedLines({"--seed", "4", "--prefix", "&rel", "--count", "20"}))
        EXPECT_EQ(name.compare(0, 4, "&rEl"), 0) << name;
    for (const std::string& name : PrintedLines({"--seed", "4", "--prefix", "9el", "--count", "20"}))
        EXPECT_EQ(name.compare(0, 3, "9el"), 0) << name;
}

TEST(ToolPrefix, AnyBytesPassThroughUnchanged)
{
    std::string prefix = "& \xe9\xff";
    Lines names = PrintedLines({"--seed", "21", "--female", "--prefix", prefix});
    ASSERT_EQ(names.size(), 10u);
    EXPECT_EQ(names, ComposedNames(21, {{false, Female, prefix.c_str()}}));
}

// --- count --------------------------------------------------------------------------------

TEST(ToolCount, CutsTheLastBoard)
{
    Lines thirty = PrintedLines({"--seed", "77", "--count", "30"});
    ASSERT_EQ(thirty.size(), 30u);
    for (std::size_t count : {1u, 9u, 10u, 11u, 23u, 29u})
        EXPECT_EQ(PrintedLines({"--seed", "77", "--count", std::to_string(count)}), Head(thirty, count))
            << count;
}

TEST(ToolCount, ZeroPrintsNothingAndDefaultIsOneBoard)
{
    ToolRun run = RunToolWith({"--seed", "77", "--count", "0"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(PrintedLines({"--seed", "77"}), PrintedLines({"--seed", "77", "--count", "10"}));
}

TEST(ToolCount, ManyBoardsStreamThroughTheBuffer)
{
    // Far more than one buffer's worth: every line a well-formed name, in order.
    Lines names = PrintedLines({"--seed", "5", "--count", "100003"});
    ASSERT_EQ(names.size(), 100003u);
    for (const std::string& name : names) {
        ASSERT_GE(name.size(), 2u);
        ASSERT_LE(name.size(), 16u);
        ASSERT_TRUE(name[0] >= 'A' && name[0] <= 'Z') << name;
    }
    EXPECT_EQ(Head(names, 20), PrintedLines({"--seed", "5", "--count", "20"}));
}

TEST(ToolCount, AnyNumberOfThreadsWritesTheSameNames)
{
    // Enough names for the threads to be used, with the clock's seeding and a prefix too, with
    // constraints, as CSV and JSON, full names, unique names, and with constraints no name
    // meets (the same message and exit code 3).
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"--seed", "3", "--count", "250007"},
          {"--clock", "1733616000", "--male", "--prefix", "Ka", "--count", "200001"},
          {"--seed", "4", "--max-length", "7", "--exclude", "ar,q", "--count", "200003"},
          {"--seed", "6", "--format", "csv", "--bom", "--exclude", "ar", "--count", "200002"},
          {"--seed", "8", "--format", "json", "--prefix", "\"El", "--max-length", "6", "--count", "200004"},
          {"--seed", "9", "--full", "--style", "liquid", "--exclude", "a", "--count", "200006"},
          {"--seed", "10", "--full", "--format", "csv", "--female", "--count", "200007"},
          {"--seed", "11", "--unique", "--prefix", "Ka", "--count", "200008"},
          {"--seed", "12", "--unique", "--full", "--format", "json", "--max-length", "6", "--count", "200009"},
          {"--seed", "5", "--max-length", "4", "--exclude", "a,e,i,o,u,y", "--count", "200000"}}) {
        const ToolRun one = RunToolWith(Joined(args, {"--threads", "1"}));
        const bool dry = std::find(args.begin(), args.end(), "a,e,i,o,u,y") != args.end();
        ASSERT_EQ(one.exitCode, dry ? 3 : 0) << one.err;
        const std::size_t header = std::find(args.begin(), args.end(), "csv") != args.end() ? 1 : 0;
        if (std::find(args.begin(), args.end(), "json") != args.end())  // a board a line
            ASSERT_GT(SplitLines(one.out).size(), std::stoul(args[args.size() - 1]) / 10);
        else
            ASSERT_EQ(SplitLines(one.out).size(), dry ? 0 : header + std::stoul(args[args.size() - 1]));
        for (const ToolRun& run : {RunToolWith(args), RunToolWith(Joined(args, {"--threads", "3"}))}) {
            EXPECT_TRUE(run.out == one.out) << args[1];
            EXPECT_EQ(run.err, one.err);
            EXPECT_EQ(run.exitCode, one.exitCode);
        }
    }
}

// --- boards -------------------------------------------------------------------------------

TEST(ToolBoards, EachCompositionInOrderOnOneGenerator)
{
    EXPECT_EQ(PrintedLines({"--seed", "314", "--boards", "male,female:ab,start,male:Q"}),
              ComposedNames(314, {{false, Male, ""}, {false, Female, "ab"}, {true, Male, ""},
                                  {false, Male, "Q"}}));
    EXPECT_EQ(PrintedLines({"--boards", "male:", "--seed", "314"}),
              PrintedLines({"--seed", "314", "--boards", "male"}));
}

TEST(ToolBoards, PercentEscapesInPrefixes)
{
    EXPECT_EQ(PrintedLines({"--seed", "9", "--boards", "male:a%2Cb%25,female:%4b%61"}),
              ComposedNames(9, {{false, Male, "a,b%"}, {false, Female, "Ka"}}));
    // Only the first colon separates; bytes above 127 and spaces pass as they are.
    EXPECT_EQ(PrintedLines({"--seed", "9", "--boards", "female:x:y %E9\xe9"}),
              ComposedNames(9, {{false, Female, "x:y \xe9\xe9"}}));
}

// --- help, version, write errors ----------------------------------------------------------

TEST(ToolInfo, HelpListsEveryOption)
{
    ToolRun run = RunToolWith({"--help"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.out.rfind("Usage: norvathel-names", 0), 0u);
    for (const char* option : {"--seed", "--clock", "--keys", "--male", "--female", "--prefix", "--count",
                               "--boards", "--exclude-file", "--exclude-names", "--format", "--help",
                               "--version"})
        EXPECT_NE(run.out.find(option), std::string::npos) << option;
    // The user's words, not the composer's.
    for (const char* inner : {"Range(", "30 bits", "FNV", "generator"})
        EXPECT_EQ(run.out.find(inner), std::string::npos) << inner;
    EXPECT_EQ(RunToolWith({"-h"}).out, run.out);
    // Help ends the parse where it stands: whatever follows is not looked at.
    EXPECT_EQ(RunToolWith({"--seed", "1", "--help", "--bogus"}).out, run.out);
    EXPECT_EQ(JoinLines(SplitLines(run.out)), run.out) << "every line ends with the platform's end";
    // Where the rest is: Windows has no man, and the README.txt lies beside the program there.
#ifdef _WIN32
    EXPECT_NE(run.out.find("More in README.txt, beside norvathel-names.exe."), std::string::npos);
    EXPECT_EQ(run.out.find("man "), std::string::npos);
#else
    EXPECT_NE(run.out.find("(man norvathel-names)"), std::string::npos);
#endif
}

#ifdef NORVATHEL_SHARE_DIR
std::string ReadFile(const std::string& path)
{
    std::string text;
    if (std::FILE* file = std::fopen(path.c_str(), "rb")) {
        char chunk[4096];
        for (std::size_t size; (size = std::fread(chunk, 1, sizeof chunk, file)) > 0;)
            text.append(chunk, size);
        std::fclose(file);
    }
    return text;
}

// The long options ("--seed") in a text, in order.
std::vector<std::string> LongOptions(const std::string& text)
{
    std::vector<std::string> options;
    for (std::size_t start = 0; (start = text.find("--", start)) != std::string::npos;) {
        std::size_t end = text.find_first_not_of("abcdefghijklmnopqrstuvwxyz-", start + 2);
        options.push_back(text.substr(start, end - start));
        start = end;
    }
    return options;
}

// The options of a list whose lines begin "  --name ..." or "  -h, --help  ...": the
// option part of each such line, before its text, as the help and the README lay them out.
std::vector<std::string> ListedOptions(const std::vector<std::string>& lines)
{
    std::vector<std::string> listed;
    for (const std::string& line : lines) {
        if (line.rfind("  -", 0) != 0)
            continue;
        for (const std::string& option : LongOptions(line.substr(0, line.find("  ", 2))))
            listed.push_back(option);
    }
    std::sort(listed.begin(), listed.end());
    return listed;
}

std::vector<std::string> LinesOf(const std::string& text)
{
    std::vector<std::string> lines;
    for (std::size_t start = 0; start < text.size();) {
        std::size_t end = std::min(text.find('\n', start), text.size());
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

// The manual page, the bash completion and the zip's README are written by hand: every
// option the parser knows (its help is made from the same table) must be in each of them, and
// the README's option list must be exactly the parser's.
TEST(ToolInfo, ManualCompletionAndReadmeNameEveryOption)
{
    const std::string manual = ReadFile(NORVATHEL_SHARE_DIR "/norvathel-names.1");
    const std::string completion = ReadFile(NORVATHEL_SHARE_DIR "/norvathel-names.bash-completion");
    const std::string readme = ReadFile(NORVATHEL_README);
    ASSERT_FALSE(manual.empty() || completion.empty() || readme.empty());
    const std::vector<std::string> known = ListedOptions(SplitLines(RunToolWith({"--help"}).out));
    for (const std::string& option : known) {
        std::string troff;
        for (char c : option)
            troff += c == '-' ? std::string("\\-") : std::string(1, c);
        EXPECT_NE(manual.find(troff), std::string::npos) << option << " in the manual";
        EXPECT_NE(completion.find(option), std::string::npos) << option << " in the completion";
    }
    EXPECT_EQ(known.size(), 25u);  // a new option fails here first: add it to the files too
    EXPECT_EQ(ListedOptions(LinesOf(readme)), known) << "the README's option list";
}
#endif

TEST(ToolInfo, Version)
{
    ToolRun run = RunToolWith({"--version"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out, JoinLines({"norvathel-names " NORVATHEL_VERSION}));
    EXPECT_EQ(run.err, "");
}

const char ReadOnlyPath[] = "cli_tests_read_only.txt";

// A stream that refuses every write: a file opened for reading only.
std::FILE* ReadOnlyStream()
{
    std::FILE* create = std::fopen(ReadOnlyPath, "wb");
    if (create != nullptr)
        std::fclose(create);
    return std::fopen(ReadOnlyPath, "rb");
}

TEST(ToolWriteErrors, AFailedWriteIsExitCode1WithOneLine)
{
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"--seed", "1"}, {"--version"}, {"--format", "json", "--count", "0"},
          {"--count", "1000000000000"}}) {
        std::FILE* out = ReadOnlyStream();
        ASSERT_NE(out, nullptr);
        // The last case would run for hours if the tool kept composing after a failed write.
        ToolRun run = RunToolInto(out, args);
        std::fclose(out);
        EXPECT_EQ(run.exitCode, 1) << args[0];
        EXPECT_EQ(run.err.rfind("norvathel-names: cannot write output", 0), 0u) << run.err;
        EXPECT_TRUE(IsOneLine(run.err)) << run.err;
    }
    std::remove(ReadOnlyPath);
}

#ifdef __linux__
TEST(ToolWriteErrors, DiskFull)
{
    std::FILE* full = std::fopen("/dev/full", "wb");
    if (full == nullptr)
        GTEST_SKIP() << "no /dev/full here";
    ToolRun run = RunToolInto(full, {"--count", "100000"});
    std::fclose(full);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err, "norvathel-names: cannot write output: " + std::string(std::strerror(ENOSPC)) + "\n");
}
#endif

#ifndef _WIN32
// A reader that went away (| head) ends every command quietly with exit 1: the names, and the
// style file that learn writes.
TEST(ToolWriteErrors, AClosedPipeEndsQuietly)
{
    void (*before)(int) = std::signal(SIGPIPE, SIG_IGN);
    const std::string examples = NORVATHEL_SOURCE_DIR "/tests/names/data/qessari_names.txt";
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"--count", "100000"}, {"learn", examples}}) {
        int ends[2];
        ASSERT_EQ(pipe(ends), 0);
        close(ends[0]);
        std::FILE* out = fdopen(ends[1], "wb");
        ASSERT_NE(out, nullptr);
        const ToolRun run = RunToolInto(out, args);
        std::fclose(out);
        EXPECT_EQ(run.exitCode, 1) << args[0];
        EXPECT_EQ(run.err, "") << args[0];
    }
    std::signal(SIGPIPE, before);
}
#endif

}  // namespace
