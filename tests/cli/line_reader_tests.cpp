#include "line_reader.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>
#ifdef _WIN32
#include <process.h>
#define getpid _getpid
#else
#include <unistd.h>
#endif

namespace {

// The files made, removed when the tests end.
std::vector<std::string>& Scratch()
{
    struct Files : std::vector<std::string> {
        ~Files()
        {
            for (const std::string& name : *this)
                std::remove(name.c_str());
        }
    };
    static Files files;
    return files;
}

// A file in the working folder (tmpfile() can clash between processes under Wine), opened for
// reading and removed at once where the system allows it.
std::FILE* FileHolding(const std::string& bytes)
{
    static int made = 0;
    const std::string name = "lines-" + std::to_string(getpid()) + "-" + std::to_string(++made) + ".tmp";
    std::FILE* file = std::fopen(name.c_str(), "wb+");
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::rewind(file);
    Scratch().push_back(name);
    return file;
}

// The rule, written plainly.
std::vector<std::string> Split(const std::string& bytes)
{
    std::vector<std::string> lines;
    std::string line;
    for (char c : bytes) {
        if (c != '\n') {
            line += c;
            continue;
        }
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
        line.clear();
    }
    if (!line.empty()) {
        if (line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

std::vector<std::string> ReadAll(const std::string& bytes, std::size_t longest, std::string& problem)
{
    std::FILE* file = FileHolding(bytes);
    LineReader reader(file, longest);
    std::vector<std::string> lines;
    const char* text;
    std::size_t length;
    while (reader.Next(text, length))
        lines.emplace_back(text, length);
    problem = reader.Problem();
    std::fclose(file);
    return lines;
}

TEST(LineReader, ReadsLinesAsAPlainSplitDoes)
{
    std::mt19937 random(7);
    const char alphabet[] = "ab\r\n\n\xE9";
    for (int round = 0; round < 300; ++round) {
        // Up to three blocks' worth, so that lines straddle the reads.
        std::string bytes(std::uniform_int_distribution<int>(0, round % 10 == 0 ? 200000 : 300)(random), 'x');
        for (char& c : bytes)
            c = alphabet[std::uniform_int_distribution<int>(0, 5)(random)];
        std::string problem;
        ASSERT_EQ(ReadAll(bytes, 4096, problem), Split(bytes)) << round;
        EXPECT_EQ(problem, "");
    }
}

TEST(LineReader, FinalNewlineAndEmptyLinesAndOneCr)
{
    std::string problem;
    EXPECT_EQ(ReadAll("", 10, problem), std::vector<std::string>{});
    EXPECT_EQ(ReadAll("\n", 10, problem), std::vector<std::string>{""});
    EXPECT_EQ(ReadAll("a\r\n\r\nb", 10, problem), (std::vector<std::string>{"a", "", "b"}));
    EXPECT_EQ(ReadAll("a\r\r\n", 10, problem), std::vector<std::string>{"a\r"});
}

TEST(LineReader, NamesTheLineThatIsTooLongOrHoldsANul)
{
    std::string problem;
    const std::string longLine(5000, 'k');
    EXPECT_EQ(ReadAll("a\n" + longLine + "\nb\n", 4096, problem), std::vector<std::string>{"a"});
    EXPECT_EQ(problem, "line 2 is longer than 4096 bytes");
    // A line of exactly the limit, with its CR, is fine; one more byte is not.
    EXPECT_EQ(ReadAll(std::string(4096, 'k') + "\r\n", 4096, problem).size(), 1u);
    EXPECT_EQ(problem, "");
    ReadAll(std::string(4097, 'k'), 4096, problem);
    EXPECT_EQ(problem, "line 1 is longer than 4096 bytes");
    EXPECT_EQ(ReadAll(std::string("a\nb\nc\0d\n", 8), 4096, problem).size(), 2u);
    EXPECT_EQ(problem, "line 3 holds a NUL byte");
}

TEST(LineReader, AUtf8MarkIsSkippedAUtf16OneRefused)
{
    std::string problem;
    const std::string mark = "\xEF\xBB\xBF";
    EXPECT_EQ(ReadAll(mark + "npc-1\r\nb\n", 10, problem), (std::vector<std::string>{"npc-1", "b"}));
    EXPECT_EQ(ReadAll(mark, 10, problem), std::vector<std::string>{});
    EXPECT_EQ(ReadAll(mark + "\n", 10, problem), std::vector<std::string>{""});
    // Only at the start, and only the whole mark: anywhere else its bytes are the line's.
    EXPECT_EQ(ReadAll("a\n" + mark + "b", 10, problem), (std::vector<std::string>{"a", mark + "b"}));
    EXPECT_EQ(ReadAll("\xEF\xBB", 10, problem), std::vector<std::string>{"\xEF\xBB"});
    // The mark counts toward no line's length.
    EXPECT_EQ(ReadAll(mark + std::string(10, 'k'), 10, problem).size(), 1u);
    EXPECT_EQ(problem, "");
    // Notepad's "Unicode" (UTF-16 LE), and big-endian: no line, whatever follows.
    EXPECT_EQ(ReadAll(std::string("\xFF\xFEn\0p\0\n\0", 8), 10, problem), std::vector<std::string>{});
    EXPECT_EQ(problem, "the file is UTF-16 (it starts with the byte-order mark FF FE), not UTF-8: save it as UTF-8");
    EXPECT_EQ(ReadAll(std::string("\xFE\xFF\0n", 4), 10, problem), std::vector<std::string>{});
    EXPECT_NE(problem.find("UTF-16 (it starts with the byte-order mark FE FF)"), std::string::npos) << problem;
}

}  // namespace
