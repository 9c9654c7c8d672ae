// Boards composed ahead on their own thread, or as asked where there is none: the boards one
// composer gives in order, whichever are asked for.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include <norvathel/name_stream.h>
#include <norvathel/style.h>
#include "boards_ahead.h"

namespace {

using norvathel::Board;

// Every step of the first chunks, then jumps: within a chunk, to the next, and past more
// chunks than are held at once (steps no one asks for are still composed).
std::vector<std::uint64_t> AskedSteps()
{
    const std::uint64_t chunk = BoardsAhead::StepsPerChunk;
    std::vector<std::uint64_t> n;
    for (std::uint64_t b = 0; b < 2 * chunk + 3; ++b)
        n.push_back(b);
    for (std::uint64_t b : {2 * chunk + 3, 2 * chunk + 500, 3 * chunk, 9 * chunk + 7, 9 * chunk + 8, 30 * chunk - 1})
        n.push_back(b);
    return n;
}

struct Expected {
    std::vector<Board> boards;  // boardsPerStep a step
    std::vector<norvathel::Gender> genders;
};

void ExpectSteps(BoardsAhead& ahead, const Expected& expected, int boardsPerStep, const std::string& what)
{
    for (std::uint64_t n : AskedSteps()) {
        const BoardsAhead::Step got = ahead.At(n);
        // The thread as far ahead as it may go: the chunk read must stay as it is.
        if (n == 1)
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        if (!expected.genders.empty()) {
            ASSERT_EQ(got.gender, expected.genders[static_cast<std::size_t>(n)]) << what << " step " << n;
        }
        for (int b = 0; b < boardsPerStep; ++b) {
            const Board& want = expected.boards[static_cast<std::size_t>(n) * static_cast<std::size_t>(boardsPerStep) + static_cast<std::size_t>(b)];
            for (int k = 0; k < norvathel::NamesPerBoard; ++k) {
                ASSERT_EQ(got.boards[b].lengths[k], want.lengths[k]) << what << " step " << n;
                ASSERT_STREQ(got.boards[b].names[k], want.names[k]) << what << " step " << n;
            }
        }
        ASSERT_EQ(ahead.At(n).boards, got.boards);  // asked again, the same boards
    }
}

}  // namespace

TEST(BoardsAhead, HandsOutTheSurnamesOfOneGeneratorInOrder)
{
    const std::size_t steps = static_cast<std::size_t>(AskedSteps().back() + 1);
    for (const char* name : {"classic", "liquid", "staccato"}) {
        norvathel::Style style;
        ASSERT_TRUE(norvathel::Style::BuiltIn(name, style));
        norvathel::AdditiveRandom start;
        start.SeedFull(11);
        Expected expected{std::vector<Board>(steps), {}};
        norvathel::AdditiveRandom random = start;
        for (Board& board : expected.boards)
            style.ComposeSurnames(random, board);
        for (bool aside : {true, false})
            ExpectSteps(*BoardsAhead::Surnames(style, start, aside), expected, 1, name);
    }
}

TEST(BoardsAhead, HandsOutAStreamsBoardsWithTheirGendersAndSurnames)
{
    const std::size_t steps = static_cast<std::size_t>(AskedSteps().back() + 1);
    struct Case {
        const char* style;
        norvathel::GenderChoice gender;
        const char* prefix;
        bool full;
    };
    for (const Case& c : {Case{"classic", norvathel::GenderChoice::Drawn, "", true},
                          Case{"staccato", norvathel::GenderChoice::Drawn, "Ka", false}}) {
        norvathel::Style style;
        ASSERT_TRUE(norvathel::Style::BuiltIn(c.style, style));
        norvathel::AdditiveRandom start;
        start.SeedFull(12);
        const int perStep = c.full ? 2 : 1;
        Expected expected{std::vector<Board>(steps * static_cast<std::size_t>(perStep)), std::vector<norvathel::Gender>(steps)};
        norvathel::AdditiveRandom random = start, surnames = norvathel::SurnameRandomFor(start);
        for (std::size_t n = 0; n < steps; ++n) {
            Board* step = &expected.boards[n * static_cast<std::size_t>(perStep)];
            expected.genders[n] = norvathel::ComposeStreamBoard(style, c.gender, random, c.prefix, step[0]);
            if (c.full)
                style.ComposeSurnames(surnames, step[1]);
        }
        for (bool aside : {true, false})
            ExpectSteps(*BoardsAhead::StreamBoards(style, c.gender, c.prefix, start, c.full, aside), expected, perStep, c.style);
    }
}
