// Constraints only remove names: the tool's output with them is its output without them, less
// the failing names, cut at --count. Also running dry (exit 3), CSV and UTF-8 in JSON.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "json_reader.h"
#include "tool_runner.h"

namespace {

using Lines = std::vector<std::string>;
using Args = std::vector<std::string>;

std::string Lower(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

struct Rule {
    bool unique = false;
    int minLength = 0, maxLength = 0;
    std::string endsWith, exclude;  // one piece at most here

    Args AsArgs() const
    {
        Args args;
        if (unique)
            args.push_back("--unique");
        if (minLength)
            args.insert(args.end(), {"--min-length", std::to_string(minLength)});
        if (maxLength)
            args.insert(args.end(), {"--max-length", std::to_string(maxLength)});
        if (!endsWith.empty())
            args.insert(args.end(), {"--ends-with", endsWith});
        if (!exclude.empty())
            args.insert(args.end(), {"--exclude", exclude});
        return args;
    }

    Lines Keep(const Lines& names) const
    {
        Lines kept;
        std::set<std::string> seen;
        for (const std::string& name : names) {
            const std::string lower = Lower(name);
            const int length = static_cast<int>(name.size());
            if (length < minLength || (maxLength && length > maxLength) ||
                lower.size() < endsWith.size() ||
                lower.substr(lower.size() - endsWith.size()) != Lower(endsWith) ||
                (!exclude.empty() && lower.find(Lower(exclude)) != std::string::npos) ||
                (unique && !seen.insert(name).second))
                continue;
            kept.push_back(name);
        }
        return kept;
    }
};

Args Joined(Args first, const Args& second)
{
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

TEST(ToolConstraints, OutputIsTheUnconstrainedOutputLessTheFailingNames)
{
    const Args genders[] = {{}, {"--male"}, {"--female"}};
    const Args prefixes[] = {{}, {"--prefix", "ka"}, {"--prefix", "Mor"}};
    const char* const endings[] = {"", "a", "N", "ia"};
    const char* const maleEndings[] = {"", "s", "N", "th"};
    const char* const pieces[] = {"", "th", "E", "ll"};
    for (int run = 0; run < 48; ++run) {
        Rule rule;
        rule.unique = run % 2 == 0;
        rule.minLength = (run / 2) % 3 * 3;
        rule.maxLength = (run / 3) % 2 ? 0 : 9;
        // Male names end in a consonant: endings in a vowel would be refused up front.
        rule.endsWith = run % 3 == 1 ? maleEndings[run % 4] : endings[run % 4];
        rule.exclude = pieces[(run / 4) % 4];
        const Args base = Joined(Joined({"--seed", std::to_string(1000 + 7 * run)}, genders[run % 3]),
                                 prefixes[(run / 3) % 3]);
        const Lines expected = rule.Keep(SplitLines(RunToolWith(Joined(base, {"--count", "3000"})).out));
        const std::size_t count = std::min<std::size_t>(expected.size(), 60);
        const Args constrained = Joined(Joined(base, rule.AsArgs()), {"--count", std::to_string(count)});
        ToolRun result = RunToolWith(constrained);
        ASSERT_EQ(result.exitCode, 0) << "run " << run << ": " << result.err;
        EXPECT_EQ(SplitLines(result.out), Lines(expected.begin(), expected.begin() + count))
            << "run " << run;
    }
}

TEST(ToolConstraints, RunningDryExits3KeepingWhatWasFound)
{
    // Male names of at most four bytes beginning "Ka" are few: the run cannot find 1000.
    const Args args = {"--seed", "1", "--male", "--prefix", "Ka", "--max-length", "4",
                       "--unique", "--count", "1000"};
    ToolRun text = RunToolWith(args);
    EXPECT_EQ(text.exitCode, 3);
    const Lines names = SplitLines(text.out);
    ASSERT_GT(names.size(), 0u);
    EXPECT_LT(names.size(), 1000u);
    EXPECT_EQ(text.err, "norvathel-names: only " + std::to_string(names.size()) +
                            " of 1000 names meet the constraints (1000000 composed in a row "
                            "without a new one)\n");

    ToolRun json = RunToolWith(Joined(args, {"--format", "json"}));
    EXPECT_EQ(json.exitCode, 3);
    JsonValue document;
    std::string problem;
    ASSERT_TRUE(ReadJson(json.out, document, problem)) << problem;
    ASSERT_NE(document.Find("ran_dry"), nullptr);
    EXPECT_EQ(document.Find("ran_dry")->text, "true");
    const JsonValue* constraints = document.Find("constraints");
    ASSERT_NE(constraints, nullptr);
    EXPECT_EQ(constraints->Find("max_length")->text, "4");
    EXPECT_EQ(constraints->Find("unique")->text, "true");
    Lines fromJson;
    for (const JsonValue& board : document.Find("boards")->items)
        for (const JsonValue& name : board.Find("names")->items)
            fromJson.push_back(name.text);
    EXPECT_EQ(fromJson, names);
}

TEST(ToolFormats, CsvRowsAreTheNamesWithTheirBoardsGender)
{
    const Args args = {"--seed", "77", "--count", "25", "--prefix", "a,\"b"};
    const Lines names = SplitLines(RunToolWith(args).out);
    JsonValue document;
    std::string problem;
    ASSERT_TRUE(ReadJson(RunToolWith(Joined(args, {"--format", "json"})).out, document, problem));
    std::string expected = "name,gender\r\n";
    std::size_t index = 0;
    for (const JsonValue& board : document.Find("boards")->items)
        for (std::size_t k = 0; k < board.Find("names")->items.size(); ++k) {
            std::string quoted = "\"";
            for (char c : names.at(index++))
                quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
            expected += quoted + "\"," + board.Find("gender")->text + "\r\n";
        }
    EXPECT_EQ(index, 25u);
    EXPECT_EQ(RunToolWith(Joined(args, {"--format", "csv"})).out, expected);
}

TEST(ToolFormats, JsonKeepsUtf8AndReadsOtherHighBytesAsLatin1)
{
    ToolRun utf8 = RunToolWith({"--seed", "4", "--prefix", "\xC3\x89l", "--count", "3", "--format", "json"});
    EXPECT_NE(utf8.out.find("\"\xC3\x89l"), std::string::npos) << utf8.out;
    EXPECT_EQ(utf8.out.find("\xC3\x83"), std::string::npos) << "read as Latin-1: " << utf8.out;
    ToolRun latin1 = RunToolWith({"--seed", "4", "--prefix", "\xC9l", "--count", "3", "--format", "json"});
    EXPECT_NE(latin1.out.find("\"\xC3\x89l"), std::string::npos) << latin1.out;
}

TEST(ToolFormats, JsonJudgesUtf8OnWholeTexts)
{
    // The "é" straddles the 45th byte: a long text is escaped in pieces, but judged whole.
    const std::string piece = std::string(44, 'a') + "\xC3\xA9";
    ToolRun run = RunToolWith({"--seed", "4", "--count", "3", "--exclude", piece, "--format", "json"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    JsonValue document;
    std::string problem;
    ASSERT_TRUE(ReadJson(run.out, document, problem)) << problem;
    EXPECT_NE(run.out.find("\"exclude\":[\"" + piece + "\"]"), std::string::npos) << run.out;
}

TEST(ToolSeed, WordSeedsAreTheirHash)
{
    ToolRun word = RunToolWith({"--seed", "dragonkeep", "--show-seed", "--count", "20"});
    EXPECT_EQ(word.err, "seed: 939693646917506563\n");
    EXPECT_EQ(word.out, RunToolWith({"--seed", "939693646917506563", "--count", "20"}).out);
}

}  // namespace
