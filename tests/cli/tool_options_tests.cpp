// Command-line parsing: every way an argument can be wrong, and the small parsers on their own.
#include "argument_texts.h"
#include "tool_options.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tool_runner.h"

using namespace norvathel;

namespace {

struct BadArguments {
    std::vector<std::string> args;
    const char* problem;  // a part of the message that names the problem
};

const BadArguments BadCases[] = {
    {{"--bogus"}, "unknown option '--bogus'"},
    {{"-x"}, "unknown option '-x'"},
    {{"--bogus=3"}, "unknown option '--bogus'"},
    {{"names"}, "unexpected argument 'names'"},
    {{"-"}, "unexpected argument '-'"},
    {{"--seed"}, "option --seed needs a value"},
    {{"--seed", ""}, "--seed needs a number or a word"},
    {{"--seed="}, "--seed needs a number or a word"},
    {{"--seed", "18446744073709551616"}, "--seed value '18446744073709551616' is out of range"},
    {{"--clock", ""}, "--clock needs a number or a word"},
    {{"--clock", "99999999999999999999"}, "--clock value '99999999999999999999' is out of range"},
    {{"--seed", "1", "--clock", "1"}, "--seed and --clock exclude each other"},
    {{"--seed", "1", "--seed", "1"}, "option --seed given more than once"},
    {{"--count"}, "option --count needs a value"},
    {{"--count", "-3"}, "--count must not be negative: '-3'"},
    {{"--count", "1.5"}, "invalid --count value '1.5'"},
    {{"--count", "1e3"}, "invalid --count value '1e3'"},
    {{"--count", "99999999999999999999999"}, "is out of range"},
    {{"--count", "5", "--count=6"}, "option --count given more than once"},
    {{"--prefix"}, "option --prefix needs a value"},
    {{"--prefix", "a", "--prefix", "b"}, "option --prefix given more than once"},
    {{"--format"}, "option --format needs a value"},
    {{"--format", "xml"}, "invalid --format value 'xml': expected text, json or csv"},
    {{"--format", "JSON"}, "invalid --format value 'JSON'"},
    {{"--format", "json", "--format", "json"}, "option --format given more than once"},
    {{"--male", "--female"}, "--male and --female exclude each other"},
    {{"--female", "--male"}, "--male and --female exclude each other"},
    {{"--male", "--male"}, "option --male given more than once"},
    {{"--male=yes"}, "option --male takes no value"},
    {{"--help=1"}, "option --help takes no value"},
    {{"--version=2"}, "option --version takes no value"},
    {{"--bogus", "--help"}, "unknown option '--bogus'"},
    {{"--boards"}, "option --boards needs a value"},
    {{"--boards", ""}, "--boards needs at least one composition"},
    {{"--boards", "start,"}, "--boards item 2 '' is empty"},
    {{"--boards", ",male"}, "--boards item 1 '' is empty"},
    {{"--boards", "male,,female"}, "--boards item 2 '' is empty"},
    {{"--boards", "nobody"}, "--boards item 1 'nobody' is unknown"},
    {{"--boards", "Male"}, "--boards item 1 'Male' is unknown"},
    {{"--boards", "start:ka"}, "--boards item 1 'start:ka' is unknown"},
    {{"--boards", "male :ka"}, "--boards item 1 'male :ka' is unknown"},
    {{"--boards", "male:%00"}, "--boards item 1: %00 is not allowed"},
    {{"--boards", "start,female:a%"}, "--boards item 2: bad escape '%'"},
    {{"--boards", "male:%4"}, "--boards item 1: bad escape '%4'"},
    {{"--boards", "male:%4g"}, "--boards item 1: bad escape '%4g'"},
    {{"--boards", "male:%%41"}, "--boards item 1: bad escape '%%4'"},
    {{"--boards", "male", "--boards", "male"}, "option --boards given more than once"},
    {{"--boards", "male", "--count", "5"}, "--boards cannot be combined with --count"},
    {{"--count", "5", "--boards", "male"}, "--boards cannot be combined with --count"},
    {{"--boards", "male", "--male"}, "--boards cannot be combined with --male"},
    {{"--female", "--boards", "male"}, "--boards cannot be combined with --female"},
    {{"--boards", "male", "--prefix", "ka"}, "--boards cannot be combined with --prefix"},
    {{"--show-seed=1"}, "option --show-seed takes no value"},
    {{"--unique=yes"}, "option --unique takes no value"},
    {{"--min-length", "0"}, "invalid --min-length value '0': expected a whole number from 1 to 45"},
    {{"--max-length", "46"}, "invalid --max-length value '46'"},
    {{"--max-length", "six"}, "invalid --max-length value 'six'"},
    {{"--min-length", "7", "--max-length", "6"}, "--min-length is above --max-length"},
    {{"--prefix", "Dragonkeep", "--max-length", "5"}, "--max-length is below the prefix's length"},
    {{"--ends-with", "rian", "--max-length", "3"}, "below the length of the --ends-with text"},
    {{"--ends-with", ""}, "--ends-with needs a text to end with"},
    {{"--ends-with", std::string(46, 'a')}, "--ends-with text of 46 letters is longer than a name"},
    {{"--ends-with", std::string(1 << 20, 'a')}, "--ends-with text of 1048576 letters"},
    {{"--ends-with", "a%0"}, "bad escape '%0'"},
    {{"--exclude", "th,,sh"}, "--exclude has an empty piece in 'th,,sh'"},
    {{"--exclude", "%00"}, "%00 is not allowed"},
    {{"--prefix", "Thor", "--exclude", "ash,OR"}, "the prefix itself contains the excluded piece 'OR'"},
    {{"--boards", "male", "--unique"}, "--boards cannot be combined with --unique"},
    {{"--exclude", "x", "--boards", "start"}, "--boards cannot be combined with --exclude"},
    // Control bytes in what is quoted back must not break the one line.
    {{"--bogus\nsecond line"}, "unknown option '--bogus\\x0Asecond line'"},
    {{"--count", "12\r\n34"}, "invalid --count value '12\\x0D\\x0A34'"},
    // A name's text never holds a control byte; a prefix is never cut.
    {{"--prefix", "ka\n"}, "--prefix 'ka\\x0A' holds a control byte"},
    {{"--prefix", "k\x7F"}, "--prefix 'k\\x7F' holds a control byte"},
    {{"--ends-with", "a%0A"}, "--ends-with 'a\\x0A' holds a control byte"},
    {{"--ends-with", "\ta"}, "holds a control byte"},
    {{"--prefix", std::string(32, 'k')}, "is 32 bytes long; a prefix holds at most 31"},
    // What the composer cannot make, with the reason and the lengths it can.
    {{"--male", "--ends-with", "ia"}, "--ends-with 'ia': no male name ends in a vowel"},
    {{"--ends-with", "1a"}, "--ends-with '1a': no name contains '1'"},
    {{"--ends-with", "\xC3\xA9"}, "no name contains '\xC3\xA9'"},
    {{"--female", "--ends-with", "b"}, "--ends-with 'b': no female name ends in 'b'"},
    {{"--male", "--ends-with", "zz"}, "--ends-with 'zz': no male name ends so"},
    {{"--female", "--ends-with", "avaatha", "--max-length", "7"},
     "--ends-with 'avaatha' with --max-length 7: female names ending so are 8 to 16 letters long"},
    {{"--max-length", "1"}, "--max-length 1 leaves no name: names are 3 to 16 letters long"},
    {{"--min-length", "17"}, "--min-length 17 leaves no name: names are 3 to 16 letters long"},
    {{"--male", "--min-length", "12"}, "--min-length 12 leaves no name: male names are 3 to 11 letters long"},
    {{"--prefix", "Ka", "--male", "--min-length", "12", "--max-length", "20"},
     "--min-length 12 and --max-length 20 leave no name: male names beginning with 'Ka' are 4 to 11"},
    // Files of lines, and --keys.
    {{"--exclude-file", "/no/such/file"}, "cannot open '/no/such/file'"},
    {{"--exclude-names", "/no/such/file"}, "cannot open '/no/such/file'"},
    // A file name's control bytes cannot drive the terminal the message is read on.
    {{"--exclude-file", "/no/such\x1b[2J"}, "cannot open '/no/such\\x1B[2J'"},
    {{"--keys", "/no/such\x1b]0;x\x07"}, "--keys: cannot open '/no/such\\x1B]0;x\\x07'"},
    {{"--keys", ""}, "--keys needs a file (- for standard input)"},
    {{"--keys", "-", "--unique"}, "--keys cannot be combined with --unique (a key's name must not depend"},
    {{"--unique", "--keys", "-"}, "--keys cannot be combined with --unique"},
    {{"--keys", "-", "--count", "5"}, "--keys cannot be combined with --count"},
    {{"--keys", "-", "--boards", "male"}, "--keys cannot be combined with --boards"},
    {{"--keys", "-", "--clock", "5"}, "--keys cannot be combined with --clock"},
    {{"--keys", "-", "--show-seed"}, "--keys cannot be combined with --show-seed"},
    {{"--keys", "/no/such/file"}, "--keys: cannot open '/no/such/file'"},
    {{"--keys", "-", "--exclude-names", "-"}, "--keys - and --exclude-names - cannot both read standard input"},
    {{"--boards", "male", "--threads", "2"}, "--threads cannot be combined with --boards (a replay composes its boards in order)"},
    {{"--keys", "-", "--threads", "0"}, "invalid --threads value '0': expected a whole number from 1 to 64"},
    {{"--keys", "-", "--threads", "65"}, "expected a whole number from 1 to 64"},
};

TEST(ToolBadArguments, ExitCode2OneLineNamingTheProblemNothingOnStdout)
{
    for (const BadArguments& bad : BadCases) {
        std::string shown;
        for (const std::string& arg : bad.args)
            shown += " [" + arg + "]";
        ToolRun run = RunToolWith(bad.args);
        EXPECT_EQ(run.exitCode, 2) << shown;
        EXPECT_EQ(run.out, "") << shown;
        EXPECT_EQ(run.err.rfind("norvathel-names: ", 0), 0u) << shown << ": " << run.err;
        EXPECT_NE(run.err.find(bad.problem), std::string::npos) << shown << ": " << run.err;
        EXPECT_TRUE(IsOneLine(run.err)) << shown << ": " << run.err;
    }
}

TEST(ToolBadArguments, LongArgumentsAreCutInTheMessage)
{
    ToolRun run = RunToolWith({"--" + std::string(500, 'z')});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_LT(run.err.size(), 140u);
    EXPECT_NE(run.err.find("...'"), std::string::npos);
}

TEST(ToolOptionParsing, UnsignedDecimalsOver64Bits)
{
    std::uint64_t value = 7;
    EXPECT_TRUE(ParseUnsigned("0", value));
    EXPECT_EQ(value, 0u);
    EXPECT_TRUE(ParseUnsigned("18446744073709551615", value));
    EXPECT_EQ(value, UINT64_MAX);
    EXPECT_TRUE(ParseUnsigned("000000000000000000000000042", value));
    EXPECT_EQ(value, 42u);
    value = 7;
    for (const char* bad : {"", "18446744073709551616", "99999999999999999999", "-0", "+1", "1 ", "x"})
        EXPECT_FALSE(ParseUnsigned(bad, value)) << bad;
    EXPECT_EQ(value, 7u) << "a refused text leaves the value alone";
}

TEST(ToolOptionParsing, PrefixEscapes)
{
    char prefix[PrefixCapacity];
    std::string problem;
    auto decode = [&](const std::string& text) {
        problem.clear();
        return DecodePrefix(text.data(), text.size(), prefix, problem);
    };
    ASSERT_TRUE(decode("%2C%2c%25%41z%7F%80%fF"));
    EXPECT_STREQ(prefix, ",,%Az\x7f\x80\xff");
    ASSERT_TRUE(decode(""));
    EXPECT_STREQ(prefix, "");
    // The first 31 decoded bytes are kept; escapes count as one byte each.
    ASSERT_TRUE(decode(std::string(30, 'a') + "%42%43" + "dd"));
    EXPECT_EQ(std::string(prefix), std::string(30, 'a') + "B");
    // Everything is still checked behind the 31st byte.
    EXPECT_FALSE(decode(std::string(40, 'a') + "%zz"));
    EXPECT_FALSE(decode(std::string(40, 'a') + "%00"));
    for (const char* bad : {"%", "%0", "%g0", "a%", "%-1", "% 1"})
        EXPECT_FALSE(decode(bad)) << bad;
    EXPECT_NE(problem.find("bad escape"), std::string::npos);
}

TEST(ToolOptionParsing, BoardLists)
{
    std::vector<BoardRequest> boards;
    std::string problem;
    ASSERT_TRUE(ParseBoardList("start,male,female,male:ka,female:%2C", boards, problem)) << problem;
    ASSERT_EQ(boards.size(), 5u);
    EXPECT_EQ(boards[0].gender, GenderChoice::Drawn);
    EXPECT_STREQ(boards[0].prefix, "");
    EXPECT_EQ(boards[1].gender, GenderChoice::Male);
    EXPECT_EQ(boards[2].gender, GenderChoice::Female);
    EXPECT_EQ(boards[3].gender, GenderChoice::Male);
    EXPECT_STREQ(boards[3].prefix, "ka");
    EXPECT_EQ(boards[4].gender, GenderChoice::Female);
    EXPECT_STREQ(boards[4].prefix, ",");
    EXPECT_FALSE(ParseBoardList("start,,male", boards, problem));
    EXPECT_FALSE(ParseBoardList("female,", boards, problem));
}

TEST(ToolOptionParsing, QuotedKeepsMessagesOnOneLine)
{
    EXPECT_EQ(Quoted("abc"), "'abc'");
    EXPECT_EQ(Quoted("a\tb\x7f\x01"), "'a\\x09b\\x7F\\x01'");
    EXPECT_EQ(Quoted("\xe9"), "'\xe9'");
    EXPECT_EQ(Quoted(std::string(61, 'x').c_str()), "'" + std::string(60, 'x') + "...'");
}

}  // namespace
