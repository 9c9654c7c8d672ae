// --count composed in segments on several threads: one stream's names in its order, however
// the segments fall, wherever the count ends, from either kind of seed, as text, CSV and JSON,
// with constraints and where the names run dry.
#include <gtest/gtest.h>

#include <cstdio>
#include <regex>
#include <string>

#include <norvathel/name_stream.h>
#include "board_segments.h"
#include "name_writers.h"

namespace {

std::string ReadBack(std::FILE* file)
{
    std::rewind(file);
    std::string text;
    char buffer[65536];
    for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, file)) > 0;)
        text.append(buffer, got);
    std::fclose(file);
    return text;
}

// What a run wrote, and whether and after how many failures in a row it ran dry.
struct Written {
    std::string text;
    bool ranDry = false;
    std::uint64_t sinceKept = 0;

    bool operator==(const Written& other) const
    {
        return text == other.text && ranDry == other.ranDry && sinceKept == other.sinceKept;
    }
};

// The first count names of one stream from start, as the tool writes them on one thread, in
// the options' form (a whole JSON document, seed 7).
Written FromOneStream(const ToolOptions& options, const norvathel::AdditiveRandom& start, std::uint64_t count,
                      std::uint64_t dryLimit = norvathel::NameStream::DefaultDryLimit)
{
    std::FILE* file = std::tmpfile();
    Written written;
    {
        OutputBuffer output(file);
        norvathel::NameStream stream(options.style, start, options.gender, options.prefix, options.constraints, false,
                                     dryLimit);
        NameWriter writer(output, options.format);
        writer.Start(7, options);
        norvathel::StreamName name;
        for (std::uint64_t k = 0; k < count && stream.Next(name); ++k)
            writer.Name(name.text, name.length, name.gender, name.board, stream.Prefix());
        writer.Finish(stream.RanDry());
        EXPECT_TRUE(output.Finish());
        written.ranDry = stream.RanDry();
        written.sinceKept = stream.ComposedSinceKept();
    }
    written.text = ReadBack(file);
    return written;
}

Written InSegments(const ToolOptions& options, const norvathel::AdditiveRandom& start, std::uint64_t count,
                   int threads, std::uint64_t words, std::uint64_t dryLimit = norvathel::NameStream::DefaultDryLimit)
{
    std::FILE* file = std::tmpfile();
    Written result;
    {
        OutputBuffer output(file);
        ProgressLine progress(stderr, false, count);
        std::uint64_t written = 0;
        norvathel::NameStream stream(options.style, start, options.gender, options.prefix, options.constraints, false,
                                     dryLimit);
        NameWriter writer(output, options.format);
        writer.Start(7, options);
        BoardSegments segments(options, stream, start, threads, words);
        segments.Write(count, writer, output, progress, written);
        writer.Finish(segments.RanDry());
        EXPECT_TRUE(output.Finish());
        result.ranDry = segments.RanDry();
        result.sinceKept = segments.ComposedSinceKept();
        EXPECT_EQ(written == count, !result.ranDry);
    }
    result.text = ReadBack(file);
    return result;
}

// A style whose boards draw nothing at all: each is the one before it again.
norvathel::Style StillStyle()
{
    std::string text = norvathel::Style::Classic().ToText();
    text = std::regex_replace(text, std::regex("positions = \\[3, 6\\]"), "positions = [1, 1]",
                              std::regex_constants::format_first_only);
    text = std::regex_replace(text, std::regex("female_opening = \\[0, 0\\]"), "female_opening = [1, 1]");
    text = std::regex_replace(text, std::regex("cluster = \\[1, 4\\]"), "cluster = [0, 0]");
    text = std::regex_replace(text, std::regex("consonants = \\[[^\\]]*\\]"), "consonants = [\"b\"]");
    text = std::regex_replace(text, std::regex("female_endings = \\[[^\\]]*\\]"), "female_endings = [\"a\"]");
    norvathel::Style style;
    norvathel::StyleError error;
    EXPECT_TRUE(norvathel::Style::FromText(text, "still", style, error)) << error.message;
    return style;
}

}  // namespace

TEST(BoardSegments, AnySegmentsAndThreadsWriteOneStreamsNames)
{
    // Segments of a single word (every board its own), of a few boards, of many, and the
    // tool's own; counts that end on a board's edge, inside one, and within the first.
    const struct {
        std::uint64_t words;
        int threads;
    } ways[] = {{1, 2}, {37, 3}, {1000, 2}, {1 << 14, 4}, {BoardSegments::DefaultSegmentWords, 2}};
    std::vector<norvathel::Style> styles;
    for (const std::string& name : norvathel::Style::BuiltInNames()) {
        styles.emplace_back();
        ASSERT_TRUE(norvathel::Style::BuiltIn(name, styles.back()));
    }
    int run = 0;
    for (const norvathel::Style& style : styles) {
        for (auto gender : {norvathel::GenderChoice::Drawn, norvathel::GenderChoice::Female,
                            norvathel::GenderChoice::Male, norvathel::GenderChoice::Neutral}) {
            ++run;
            ToolOptions options;
            options.style = style;
            options.gender = gender;
            std::snprintf(options.prefix, sizeof options.prefix, "%s", run % 3 == 0 ? "Ka" : "");
            norvathel::AdditiveRandom start;
            if (run % 2 == 0)
                start.SeedFull(static_cast<std::uint64_t>(run) * 0x9E3779B97F4A7C15u);
            else
                start.Seed(static_cast<std::uint64_t>(1733616000 + run));
            const std::uint64_t count = 20000 + static_cast<std::uint64_t>(run % 10);
            // Every other run with constraints that leave names out: length, ending, pieces.
            if (run % 2 == 0) {
                options.constraints.maxLength = 8;
                options.constraints.exclude = {"ar", "q"};
            }
            if (run % 4 == 2)
                options.constraints.endsWith = "a";
            if (run % 5 == 1)
                options.format = OutputFormat::Csv;
            else if (run % 5 == 3)
                options.format = OutputFormat::Json;
            const Written expected = FromOneStream(options, start, count);
            for (const auto& way : ways)
                EXPECT_TRUE(InSegments(options, start, count, way.threads, way.words) == expected)
                    << style.Name() << " run " << run << ", segments of " << way.words << " words";
        }
    }
    ToolOptions options;
    norvathel::AdditiveRandom start;
    start.SeedFull(5);
    for (std::uint64_t count : {0, 1, 9, 10, 11})
        EXPECT_TRUE(InSegments(options, start, count, 2, 40) == FromOneStream(options, start, count)) << count;
    // A count the constraints reach only after many boards, in rows with the gender and in
    // boards of JSON, many boards with no name and so no object.
    options.constraints.maxLength = 4;
    for (OutputFormat form : {OutputFormat::Csv, OutputFormat::Json}) {
        options.format = form;
        EXPECT_TRUE(InSegments(options, start, 300, 2, 500) == FromOneStream(options, start, 300));
    }
}

TEST(BoardSegments, BoardsThatDrawNothingStillEnd)
{
    ToolOptions options;
    options.style = StillStyle();
    options.gender = norvathel::GenderChoice::Female;
    norvathel::AdditiveRandom start;
    start.SeedFull(1);
    EXPECT_TRUE(InSegments(options, start, 5003, 2, 64) == FromOneStream(options, start, 5003));
    // And when they fail the constraints, they run dry.
    options.constraints.minLength = 5;
    const Written dry = FromOneStream(options, start, 5003, 777);
    EXPECT_TRUE(dry.ranDry);
    EXPECT_TRUE(InSegments(options, start, 5003, 2, 64, 777) == dry);
}

TEST(BoardSegments, NamesRunDryWhereOneStreamsDo)
{
    // Names of three letters are rare (one in 23): with small limits the names run dry, at a
    // failure within a board, after some names or none, wherever the segments fall.
    ToolOptions options;
    options.constraints.maxLength = 3;
    for (std::uint64_t limit : {1, 9, 10, 11, 40, 97}) {
        options.format = limit % 2 ? OutputFormat::Json : OutputFormat::Text;
        norvathel::AdditiveRandom start;
        start.SeedFull(limit);
        const Written expected = FromOneStream(options, start, 100000, limit);
        ASSERT_TRUE(expected.ranDry) << limit;
        for (std::uint64_t words : {1, 50, 4096})
            EXPECT_TRUE(InSegments(options, start, 100000, 3, words, limit) == expected) << limit << ", " << words;
    }
}
