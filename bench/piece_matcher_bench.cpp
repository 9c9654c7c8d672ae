// The piece matcher alone: composed names checked against 5,000 random five-letter pieces (the
// README's --exclude-file figure) and against 10^6 eight-letter ones, and the building of each.
// Names are counted as items; the "bytes" counter is what the matcher's tables take.
#include <benchmark/benchmark.h>

#include <norvathel/additive_random.h>
#include <norvathel/name_composer.h>

#include <random>
#include <string>
#include <vector>

#include "stream/piece_matcher.h"

using namespace norvathel;

namespace {

std::vector<std::string> RandomPieces(int count, int length)
{
    std::mt19937 letters(static_cast<unsigned>(count));
    std::vector<std::string> pieces(static_cast<std::size_t>(count), std::string(static_cast<std::size_t>(length), 'a'));
    for (std::string& piece : pieces)
        for (char& c : piece)
            c = static_cast<char>('a' + letters() % 26);
    return pieces;
}

// 10^5 composed names, female and male, composed once.
const std::vector<std::string>& Names()
{
    static const std::vector<std::string> names = [] {
        std::vector<std::string> composed;
        AdditiveRandom random;
        random.SeedFull(1);
        Board board;
        for (int round = 0; round < 10000; ++round) {
            ComposeBoard(random, round % 2 ? Male : Female, "", board);
            for (int index = 0; index < NamesPerBoard; ++index)
                composed.emplace_back(board.names[index], static_cast<std::size_t>(board.lengths[index]));
        }
        return composed;
    }();
    return names;
}

void BM_PieceMatcherFind(benchmark::State& state, int count, int length)
{
    const PieceMatcher matcher(RandomPieces(count, length));
    const std::vector<std::string>& names = Names();
    std::size_t index = 0;
    double found = 0;
    for (auto _ : state) {
        const std::string& name = names[index];
        found += matcher.FoundIn(name.data(), name.size());
        index = index + 1 == names.size() ? 0 : index + 1;
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()));
    state.counters["found"] = found / static_cast<double>(state.iterations());
    state.counters["bytes"] = static_cast<double>(matcher.MemoryBytes());
}
BENCHMARK_CAPTURE(BM_PieceMatcherFind, pieces_5000x5, 5000, 5);
BENCHMARK_CAPTURE(BM_PieceMatcherFind, pieces_1000000x8, 1000000, 8);

void BM_PieceMatcherBuild(benchmark::State& state, int count, int length)
{
    const std::vector<std::string> pieces = RandomPieces(count, length);
    for (auto _ : state) {
        PieceMatcher matcher(pieces);
        benchmark::DoNotOptimize(matcher);
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * count);
}
BENCHMARK_CAPTURE(BM_PieceMatcherBuild, pieces_5000x5, 5000, 5)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_PieceMatcherBuild, pieces_1000000x8, 1000000, 8)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
