// How fast the composer runs on one core: boards into fixed slots, boards into the owning
// NameList, and the generator's Range on its own. Names are counted as items, so
// items_per_second reads as names per second.
#include <benchmark/benchmark.h>

#include "names/additive_random.h"
#include "names/name_composer.h"

using namespace norvathel;

namespace {

void BM_ComposeBoard(benchmark::State& state, Gender gender, const char* prefix)
{
    AdditiveRandom random;
    random.Seed(1000000000u);
    Board board;
    for (auto _ : state) {
        ComposeBoard(random, gender, prefix, board);
        benchmark::DoNotOptimize(board);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * NamesPerBoard);
}
BENCHMARK_CAPTURE(BM_ComposeBoard, female, Female, "");
BENCHMARK_CAPTURE(BM_ComposeBoard, male, Male, "");
BENCHMARK_CAPTURE(BM_ComposeBoard, female_prefix, Female, "ka");

// The board the program shows: every name a fresh allocation, the previous ten released.
void BM_ComposeNameList(benchmark::State& state)
{
    AdditiveRandom random;
    random.Seed(1000000000u);
    NameList list;
    for (auto _ : state) {
        Compose(random, Female, "", list);
        benchmark::DoNotOptimize(list[9]);
    }
    state.SetItemsProcessed(state.iterations() * NamesPerBoard);
}
BENCHMARK(BM_ComposeNameList);

// One draw each; the spans are those the composer asks for (mask 63 rejects 4 of 64).
void BM_Range(benchmark::State& state, int lo, int hi)
{
    AdditiveRandom random;
    random.Seed(1000000000u);
    for (auto _ : state)
        benchmark::DoNotOptimize(random.Range(lo, hi));
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK_CAPTURE(BM_Range, coin_1_2, 1, 2);
BENCHMARK_CAPTURE(BM_Range, consonant_0_59, 0, 59);
BENCHMARK_CAPTURE(BM_Range, vowel_0_8, 0, 8);

}  // namespace

BENCHMARK_MAIN();
