// --keys, --exclude-file and --exclude-names: files of lines read by the tool; the progress line.
#include <gtest/gtest.h>

#include <cctype>
#include <chrono>
#include <cstdio>
#include <set>
#include <string>
#include <vector>
#ifdef _WIN32
#include <process.h>
#define getpid _getpid
#else
#include <unistd.h>
#endif

#include <norvathel/name_stream.h>
#include "json_reader.h"
#include "progress_line.h"
#include "tool_runner.h"

using norvathel::GenderChoice;
using norvathel::KeyNamer;
using norvathel::KeySeed;

namespace {

using Lines = std::vector<std::string>;

// A file in the working folder holding the given bytes, removed when done.
class LineFile {
public:
    explicit LineFile(const std::string& bytes)
        : path("keys-" + std::to_string(getpid()) + "-" + std::to_string(++made) + ".tmp")
    {
        std::FILE* file = std::fopen(path.c_str(), "wb");
        std::fwrite(bytes.data(), 1, bytes.size(), file);
        std::fclose(file);
    }
    ~LineFile() { std::remove(path.c_str()); }
    LineFile(const LineFile&) = delete;
    LineFile& operator=(const LineFile&) = delete;

    std::string path;

private:
    static int made;
};
int LineFile::made = 0;

// The library's name for each key, as --keys must print it.
Lines KeyNames(const Lines& keys, GenderChoice gender, const std::uint64_t* projectSeed = nullptr)
{
    KeyNamer namer(gender, "", norvathel::NameConstraints());
    Lines names;
    for (const std::string& key : keys) {
        norvathel::StreamName name;
        const std::uint64_t seed = projectSeed ? KeySeed(key.data(), key.size(), *projectSeed)
                                               : KeySeed(key.data(), key.size());
        EXPECT_TRUE(namer.Name(seed, name));
        names.push_back(name.text);
    }
    return names;
}

TEST(ToolKeys, EachKeyItsOwnNameWhateverTheOtherKeys)
{
    // A CR before the LF is dropped, a final LF adds no key, an empty line is a key.
    LineFile unix("npc-1\nnpc-2\n\nSer Aldric\n");
    LineFile windows("npc-1\r\nnpc-2\r\n\r\nSer Aldric");
    const Lines expected = KeyNames({"npc-1", "npc-2", "", "Ser Aldric"}, GenderChoice::Female);
    ToolRun run = RunToolWith({"--keys", unix.path, "--female"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(SplitLines(run.out), expected);
    EXPECT_EQ(RunToolWith({"--female", "--keys", windows.path}).out, run.out);
    LineFile alone("Ser Aldric\n");
    EXPECT_EQ(SplitLines(RunToolWith({"--keys", alone.path, "--female"}).out), Lines{expected[3]});

    // Another project: other names, as stable.
    const std::uint64_t project = norvathel::SeedFromWord("my-game");
    const Lines mixed = SplitLines(RunToolWith({"--keys", unix.path, "--female", "--seed", "my-game"}).out);
    EXPECT_EQ(mixed, KeyNames({"npc-1", "npc-2", "", "Ser Aldric"}, GenderChoice::Female, &project));
    EXPECT_NE(mixed, expected);
}

TEST(ToolKeys, AnyNumberOfThreadsWritesTheSameNames)
{
    // Enough keys for several batches, in CSV so that every key is written beside its name.
    std::string text;
    for (int k = 0; k < 40000; ++k)
        text += "npc-" + std::to_string(k) + "\n";
    LineFile keys(text);
    const ToolRun one = RunToolWith({"--keys", keys.path, "--format", "csv", "--threads", "1"});
    ASSERT_EQ(one.exitCode, 0) << one.err;
    EXPECT_EQ(SplitLines(one.out).size(), 40001u);
    for (const char* threads : {"2", "7"})
        EXPECT_TRUE(RunToolWith({"--keys", keys.path, "--format", "csv", "--threads", threads}).out == one.out);
    EXPECT_TRUE(RunToolWith({"--keys", keys.path, "--format", "csv"}).out == one.out);
    const ToolRun full = RunToolWith({"--keys", keys.path, "--format", "csv", "--full", "--threads", "1"});
    EXPECT_EQ(SplitLines(full.out).size(), 40001u);
    EXPECT_TRUE(RunToolWith({"--keys", keys.path, "--format", "csv", "--full", "--threads", "3"}).out == full.out);
}

TEST(ToolKeys, ConstraintsApplyToEveryKey)
{
    LineFile keys("a\nb\nc\nd\ne\nf\ng\n");
    const Lines names = SplitLines(RunToolWith({"--keys", keys.path, "--ends-with", "LA", "--prefix", "Mor"}).out);
    ASSERT_EQ(names.size(), 7u);
    for (const std::string& name : names)
        EXPECT_TRUE(name.size() > 5 && name.compare(0, 3, "Mor") == 0 &&
                    name.compare(name.size() - 2, 2, "la") == 0) << name;
}

TEST(ToolKeys, CsvAndJsonCarryKeyNameAndGender)
{
    LineFile keys("npc-1\nsmith, john\nsay \"hi\"\n");
    const Lines names = KeyNames({"npc-1", "smith, john", "say \"hi\""}, GenderChoice::Drawn);
    ToolRun csv = RunToolWith({"--keys", keys.path, "--format", "csv"});
    ASSERT_EQ(csv.exitCode, 0) << csv.err;
    EXPECT_EQ(csv.out.substr(0, 17), "key,name,gender\r\n");
    EXPECT_NE(csv.out.find("\r\n\"smith, john\"," + names[1] + ","), std::string::npos) << csv.out;
    EXPECT_NE(csv.out.find("\r\n\"say \"\"hi\"\"\"," + names[2] + ","), std::string::npos) << csv.out;

    JsonValue document;
    std::string problem;
    ASSERT_TRUE(ReadJson(RunToolWith({"--keys", keys.path, "--format", "json"}).out, document, problem)) << problem;
    ASSERT_EQ(document.kind, JsonValue::Array);
    ASSERT_EQ(document.items.size(), 3u);
    EXPECT_EQ(document.items[1].Find("key")->text, "smith, john");
    EXPECT_EQ(document.items[1].Find("name")->text, names[1]);
    const std::string gender = document.items[2].Find("gender")->text;
    EXPECT_TRUE(gender == "male" || gender == "female");
    LineFile empty("");
    EXPECT_EQ(RunToolWith({"--keys", empty.path, "--format", "json"}).out, JoinLines({"[]"}));
}

TEST(ToolKeys, ALineTooLongOrWithANulStopsNamingIt)
{
    LineFile tooLong("npc-1\n" + std::string(4097, 'k') + "\nnpc-3\n");
    ToolRun run = RunToolWith({"--keys", tooLong.path});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(SplitLines(run.out).size(), 1u);  // the key before it has its name
    EXPECT_NE(run.err.find("line 2 is longer than 4096 bytes"), std::string::npos) << run.err;
    EXPECT_TRUE(IsOneLine(run.err));
    LineFile nul(std::string("a\nb\nc\0d\n", 8));
    run = RunToolWith({"--keys", nul.path});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_NE(run.err.find("line 3 holds a NUL byte"), std::string::npos) << run.err;
}

// Notepad's "UTF-8 with BOM" and spreadsheets' "CSV UTF-8" start with a byte-order mark: the
// first key is still "npc-1", with its own name and nothing before it in the CSV key column.
// A UTF-16 file is refused before anything is written.
TEST(ToolKeys, AByteOrderMarkIsNoPartOfTheFirstKey)
{
    LineFile plain("npc-1\r\nnpc-2\r\n");
    LineFile marked("\xEF\xBB\xBFnpc-1\r\nnpc-2\r\n");
    for (const char* format : {"text", "csv", "json"}) {
        const ToolRun expected = RunToolWith({"--keys", plain.path, "--format", format});
        const ToolRun run = RunToolWith({"--keys", marked.path, "--format", format});
        ASSERT_EQ(run.exitCode, 0) << run.err;
        EXPECT_EQ(run.out, expected.out) << format;
    }
    EXPECT_EQ(SplitLines(RunToolWith({"--keys", marked.path}).out), KeyNames({"npc-1", "npc-2"}, GenderChoice::Drawn));

    LineFile wide(std::string("\xFF\xFEn\0p\0c\0-\0\x31\0\r\0\n\0", 16));
    for (const char* format : {"text", "csv", "json"}) {
        const ToolRun run = RunToolWith({"--keys", wide.path, "--format", format});
        EXPECT_EQ(run.exitCode, 2);
        EXPECT_EQ(run.out, "") << format;
        EXPECT_NE(run.err.find("UTF-16"), std::string::npos) << run.err;
        EXPECT_TRUE(IsOneLine(run.err)) << run.err;
    }
    // A fault on the first line is found before the header is written, too.
    LineFile nul(std::string("a\0b\n", 4));
    EXPECT_EQ(RunToolWith({"--keys", nul.path, "--format", "csv"}).out, "");
}

// --- excluded pieces and names --------------------------------------------------------------

std::string Lower(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

TEST(ToolExclude, AFileOfPiecesIsTheListOfThem)
{
    LineFile pieces("th\r\n\nZH\nll\n");
    const Lines listed = SplitLines(RunToolWith({"--seed", "12", "--exclude", "th,zh,LL", "--count", "200"}).out);
    EXPECT_EQ(SplitLines(RunToolWith({"--seed", "12", "--exclude-file", pieces.path, "--count", "200"}).out), listed);
    for (const std::string& name : listed)
        EXPECT_TRUE(Lower(name).find("th") == std::string::npos && Lower(name).find("ll") == std::string::npos) << name;
}

// The first line of a file with a byte-order mark is a piece or a name like the others; a
// UTF-16 file is refused, naming it.
TEST(ToolExclude, AByteOrderMarkIsNoPartOfTheFirstLine)
{
    const std::string mark = "\xEF\xBB\xBF";
    LineFile pieces(mark + "th\r\nll\r\n");
    const Lines listed = SplitLines(RunToolWith({"--seed", "12", "--exclude", "th,ll", "--count", "200"}).out);
    EXPECT_EQ(SplitLines(RunToolWith({"--seed", "12", "--exclude-file", pieces.path, "--count", "200"}).out), listed);

    const Lines all = SplitLines(RunToolWith({"--seed", "3", "--count", "20"}).out);
    LineFile names(mark + all[0] + "\r\n");
    const Lines kept = SplitLines(RunToolWith({"--seed", "3", "--count", "19", "--exclude-names", names.path}).out);
    EXPECT_EQ(kept, Lines(all.begin() + 1, all.end()));

    LineFile wide(std::string("\xFF\xFEt\0h\0", 6));
    for (const char* option : {"--exclude-file", "--exclude-names"}) {
        const ToolRun run = RunToolWith({option, wide.path});
        EXPECT_EQ(run.exitCode, 2);
        EXPECT_EQ(run.out, "");
        EXPECT_NE(run.err.find("UTF-16"), std::string::npos) << run.err;
    }
}

TEST(ToolExclude, ExcludedNamesAreNeverPrintedAndCountAsGiven)
{
    const Lines all = SplitLines(RunToolWith({"--seed", "3", "--count", "400"}).out);
    std::string listed;
    std::set<std::string> excluded;
    for (std::size_t index = 0; index < all.size(); index += 3) {
        listed += (index % 2 ? Lower(all[index]) : all[index]) + "\n";  // either case
        excluded.insert(Lower(all[index]));
    }
    LineFile names(listed);
    for (bool unique : {false, true}) {
        Lines expected;
        std::set<std::string> given = excluded;
        for (const std::string& name : all)
            if (unique ? given.insert(Lower(name)).second : excluded.count(Lower(name)) == 0)
                expected.push_back(name);
        std::vector<std::string> args = {"--seed", "3", "--exclude-names", names.path, "--count",
                                         std::to_string(expected.size() - 5)};
        if (unique)
            args.push_back("--unique");
        ToolRun run = RunToolWith(args);
        EXPECT_EQ(run.exitCode, 0) << run.err;
        EXPECT_EQ(SplitLines(run.out), Lines(expected.begin(), expected.end() - 5)) << unique;
    }
}

// --- the progress line ----------------------------------------------------------------------

std::string Written(std::FILE* file)
{
    std::string text;
    std::fflush(file);
    std::rewind(file);
    char chunk[512];
    for (std::size_t size; (size = std::fread(chunk, 1, sizeof chunk, file)) > 0;)
        text.append(chunk, size);
    return text;
}

TEST(ToolProgress, ShownAfterASecondOnlyWhereAsked)
{
    LineFile shownFile(""), quietFile("");
    std::FILE* shown = std::fopen(shownFile.path.c_str(), "wb+");
    std::FILE* quiet = std::fopen(quietFile.path.c_str(), "wb+");
    {
        ProgressLine visible(shown, true, 1000);
        ProgressLine hidden(quiet, false, 1000);
        const auto start = std::chrono::steady_clock::now();
        std::uint64_t written = 0;
        for (; std::chrono::steady_clock::now() - start < std::chrono::milliseconds(1300); ++written) {
            visible.Update(written, written * 2);
            hidden.Update(written, written * 2);
            if (written == 70000) {
                EXPECT_EQ(Written(shown), "") << "nothing in the first second";
            }
        }
    }
    const std::string line = Written(shown);
    EXPECT_EQ(line.rfind("\r", 0), 0u) << line;
    EXPECT_NE(line.find("names written"), std::string::npos) << line;
    EXPECT_EQ(line.find('\n'), std::string::npos) << "one updating line, never a new one";
    EXPECT_EQ(line.back(), '\r') << "rubbed out at the end";
    EXPECT_EQ(Written(quiet), "");
    // A file is not a terminal: the tool asks StreamIsTerminal and shows nothing there.
    EXPECT_FALSE(StreamIsTerminal(shown));
    std::fclose(shown);
    std::fclose(quiet);
}

}  // namespace
