// --full's surnames composed ahead on their own thread, or as asked where there is none: the
// boards one generator gives in order, whichever are asked for.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <thread>
#include <vector>

#include <norvathel/style.h>
#include "surname_boards.h"

TEST(SurnameBoards, HandsOutTheBoardsOfOneGeneratorInOrder)
{
    // Every board of the first chunks, then jumps: within a chunk, to the next, and past
    // more chunks than are held at once (boards no one asks for are still drawn).
    const std::uint64_t chunk = SurnameBoards::BoardsPerChunk;
    const std::vector<std::uint64_t> asked = [&] {
        std::vector<std::uint64_t> n;
        for (std::uint64_t b = 0; b < 2 * chunk + 3; ++b)
            n.push_back(b);
        for (std::uint64_t b : {2 * chunk + 3, 2 * chunk + 500, 3 * chunk, 9 * chunk + 7, 9 * chunk + 8, 30 * chunk - 1})
            n.push_back(b);
        return n;
    }();
    for (const char* name : {"classic", "liquid", "staccato"}) {
        norvathel::Style style;
        ASSERT_TRUE(norvathel::Style::BuiltIn(name, style));
        norvathel::AdditiveRandom start;
        start.SeedFull(11);
        std::vector<norvathel::Board> expected(static_cast<std::size_t>(asked.back() + 1));
        norvathel::AdditiveRandom random = start;
        for (norvathel::Board& board : expected)
            style.ComposeSurnames(random, board);
        for (bool aside : {true, false}) {
            SurnameBoards boards(style, start, aside);
            for (std::uint64_t n : asked) {
                const norvathel::Board& got = boards.At(n);
                // The thread as far ahead as it may go: the chunk read must stay as it is.
                if (n == 1)
                    std::this_thread::sleep_for(std::chrono::milliseconds(100));
                const norvathel::Board& want = expected[static_cast<std::size_t>(n)];
                for (int k = 0; k < norvathel::NamesPerBoard; ++k) {
                    ASSERT_EQ(got.lengths[k], want.lengths[k]) << name << " board " << n;
                    ASSERT_STREQ(got.names[k], want.names[k]) << name << " board " << n;
                }
                ASSERT_EQ(&boards.At(n), &got);  // asked again, the same board
            }
        }
    }
}
