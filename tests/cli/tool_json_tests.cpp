// --format json: one valid document, the same names as the text form, every byte escaped
// or encoded so that it reads back exactly.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "json_reader.h"
#include "tool_runner.h"

namespace {

using Lines = std::vector<std::string>;

// Runs the tool and reads its output as JSON; fails the test when it is not valid.
JsonValue JsonOutput(std::vector<std::string> args)
{
    args.push_back("--format");
    args.push_back("json");
    ToolRun run = RunToolWith(args);
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.err, "");
    JsonValue document;
    std::string problem;
    EXPECT_TRUE(ReadJson(run.out, document, problem)) << problem << "\n" << run.out;
    return document;
}

// Checks the document's shape and gives the boards' names in order, all boards together.
Lines NamesOf(const JsonValue& document, const std::string& seed)
{
    Lines names;
    EXPECT_EQ(document.kind, JsonValue::Object);
    EXPECT_EQ(document.members.size(), 2u);
    const JsonValue* seedValue = document.Find("seed");
    const JsonValue* boards = document.Find("boards");
    if (seedValue == nullptr || boards == nullptr) {
        ADD_FAILURE() << "seed or boards missing";
        return names;
    }
    EXPECT_EQ(seedValue->kind, JsonValue::Number);
    EXPECT_EQ(seedValue->text, seed);
    EXPECT_EQ(boards->kind, JsonValue::Array);
    for (const JsonValue& board : boards->items) {
        EXPECT_EQ(board.kind, JsonValue::Object);
        if (board.members.size() != 3u) {
            ADD_FAILURE() << "a board has " << board.members.size() << " members";
            continue;
        }
        EXPECT_EQ(board.members[0].first, "gender");
        EXPECT_TRUE(board.members[0].second.text == "male" || board.members[0].second.text == "female");
        EXPECT_EQ(board.members[1].first, "prefix");
        EXPECT_EQ(board.members[1].second.kind, JsonValue::String);
        EXPECT_EQ(board.members[2].first, "names");
        for (const JsonValue& name : board.members[2].second.items) {
            EXPECT_EQ(name.kind, JsonValue::String);
            names.push_back(name.text);
        }
    }
    return names;
}

TEST(ToolJson, SameNamesAsTheTextForm)
{
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"--seed", "1000000000", "--boards", "start,female,male:ka"},
          {"--seed", "12", "--count", "37"},
          {"--seed", "18446744073709551615", "--male", "--prefix", "Tor"}}) {
        JsonValue document = JsonOutput(args);
        EXPECT_EQ(NamesOf(document, args[1]), SplitLines(RunToolWith(args).out)) << args[1];
    }
}

TEST(ToolJson, BoardsCarryGenderAndPrefix)
{
    JsonValue document = JsonOutput({"--clock", "1000000000", "--boards", "start,female,male:ka"});
    const JsonValue* boards = document.Find("boards");
    ASSERT_NE(boards, nullptr);
    ASSERT_EQ(boards->items.size(), 3u);
    const char* genders[] = {"female", "female", "male"};
    const char* prefixes[] = {"", "", "ka"};
    for (int index = 0; index < 3; ++index) {
        const JsonValue& board = boards->items[static_cast<std::size_t>(index)];
        EXPECT_EQ(board.Find("gender")->text, genders[index]);
        EXPECT_EQ(board.Find("prefix")->text, prefixes[index]);
        EXPECT_EQ(board.Find("names")->items.size(), 10u);
    }
    EXPECT_EQ(boards->items[0].Find("names")->items[0].text, "Glicia");
}

TEST(ToolJson, TheHeadSaysHowToReplayAndCountsTheFiles)
{
    // A clock value replays with --clock, a full seed with --seed.
    JsonValue clock = JsonOutput({"--clock", "77"});
    ASSERT_NE(clock.Find("clock"), nullptr);
    EXPECT_EQ(clock.Find("clock")->text, "77");
    EXPECT_EQ(clock.Find("seed"), nullptr);
    EXPECT_EQ(JsonOutput({"--seed", "77"}).Find("seed")->text, "77");

    // Pieces from a file and excluded names are counted, not listed.
    const char* pieces = "json-pieces.tmp";
    if (std::FILE* file = std::fopen(pieces, "wb")) {
        std::fputs("qq\nxx\n", file);
        std::fclose(file);
    }
    JsonValue excluded = JsonOutput({"--seed", "1", "--exclude", "zz", "--exclude-file", pieces,
                                     "--exclude-names", pieces});
    std::remove(pieces);
    const JsonValue* constraints = excluded.Find("constraints");
    ASSERT_NE(constraints, nullptr);
    ASSERT_EQ(constraints->members.size(), 3u);
    EXPECT_EQ(constraints->Find("exclude")->items.size(), 1u);
    EXPECT_EQ(constraints->Find("exclude_file_pieces")->text, "2");
    EXPECT_EQ(constraints->Find("exclude_names")->text, "2");
}

TEST(ToolJson, CountCutsTheLastBoard)
{
    JsonValue document = JsonOutput({"--seed", "4", "--count", "23", "--female"});
    const JsonValue* boards = document.Find("boards");
    ASSERT_NE(boards, nullptr);
    ASSERT_EQ(boards->items.size(), 3u);
    EXPECT_EQ(boards->items[2].Find("names")->items.size(), 3u);
    EXPECT_EQ(NamesOf(document, "4").size(), 23u);

    ToolRun empty = RunToolWith({"--seed", "4", "--count", "0", "--format", "json"});
    EXPECT_EQ(empty.out, std::string("{\"seed\":4,\"boards\":[]}") + JoinLines({""}));
}

// Prefixes covering bytes 1..255 between them, through --boards escapes (31 bytes each).
std::vector<std::string> AllBytePrefixes()
{
    std::vector<std::string> prefixes;
    for (int first = 1; first < 256; first += 31) {
        std::string prefix;
        for (int byte = first; byte < first + 31 && byte < 256; ++byte)
            prefix += static_cast<char>(byte);
        prefixes.push_back(prefix);
    }
    return prefixes;
}

TEST(ToolJson, EveryByteReadsBackExactly)
{
    static const char Hex[] = "0123456789ABCDEF";
    std::string list;
    for (const std::string& prefix : AllBytePrefixes()) {
        list += list.empty() ? "female:" : ",male:";
        for (char c : prefix) {
            unsigned char byte = static_cast<unsigned char>(c);
            list += '%';
            list += Hex[byte >> 4];
            list += Hex[byte & 15];
        }
    }
    std::vector<std::string> args = {"--seed", "2", "--boards", list, "--format", "json"};
    ToolRun run = RunToolWith(args);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    // Nothing raw that JSON forbids, and nothing above 127 but UTF-8 lead and tail bytes.
    for (char c : run.out) {
        unsigned char byte = static_cast<unsigned char>(c);
        EXPECT_TRUE(byte >= 0x20 || byte == '\n' || byte == '\r') << int(byte);
        EXPECT_TRUE(byte < 0x80 || byte == 0xC2 || byte == 0xC3 || byte < 0xC0) << int(byte);
    }
    EXPECT_NE(run.out.find("\\u0001"), std::string::npos);
    EXPECT_NE(run.out.find("\\u001f"), std::string::npos);
    EXPECT_NE(run.out.find("\\\""), std::string::npos);
    EXPECT_NE(run.out.find("\\\\"), std::string::npos);
    EXPECT_NE(run.out.find("\xc3\xbf"), std::string::npos) << "0xFF as UTF-8";

    JsonValue document;
    std::string problem;
    ASSERT_TRUE(ReadJson(run.out, document, problem)) << problem;
    const JsonValue* boards = document.Find("boards");
    ASSERT_NE(boards, nullptr);
    std::vector<std::string> prefixes = AllBytePrefixes();
    ASSERT_EQ(boards->items.size(), prefixes.size());
    Lines names = NamesOf(document, "2");
    ASSERT_EQ(names.size(), 10 * prefixes.size());
    for (std::size_t index = 0; index < prefixes.size(); ++index) {
        EXPECT_EQ(boards->items[index].Find("prefix")->text, prefixes[index]) << index;
        // No prefix opens with a lower-case letter or "&", so finishing leaves it as it is.
        for (std::size_t name = 10 * index; name < 10 * index + 10; ++name)
            EXPECT_EQ(names[name].compare(0, prefixes[index].size(), prefixes[index]), 0) << name;
    }
    // The text form of the same boards, byte for byte; its lines may break inside names here,
    // as the prefixes hold line feeds, so compare the whole.
    args.resize(4);
    EXPECT_EQ(JoinLines(names), RunToolWith(args).out);
}

TEST(ToolJson, OurReaderRefusesWhatIsNotJson)
{
    JsonValue value;
    std::string problem;
    for (const char* bad : {"", "{", "{\"a\":1,}", "[1 2]", "\"a\x01\"", "\"\\x41\"", "\"\xe9\"",
                            "\"\\u0100\"", "{\"a\":1} x", "01", "[1,]", "{\"a\" 1}", "{1:2}"})
        EXPECT_FALSE(ReadJson(bad, value, problem)) << bad;
    ASSERT_TRUE(ReadJson(" {\"a\":[0,17,\"\\u00e9\\n\xc3\xa9\\\"\",[]],\"b\":{}}\r\n", value, problem))
        << problem;
    EXPECT_EQ(value.Find("a")->items[2].text, "\xe9\n\xe9\"");
    EXPECT_EQ(value.Find("b")->kind, JsonValue::Object);
}

}  // namespace
