// How fast the composer runs on one core: boards into fixed slots, boards into the owning
// NameList, and the generator's Range on its own. Names are counted as items, so
// items_per_second reads as names per second.
#include <benchmark/benchmark.h>

#include <norvathel/additive_random.h>
#include <norvathel/name_composer.h>
#include <norvathel/name_stream.h>
#include <norvathel/style.h>

#include <random>
#include <string>
#include <vector>

#include "random/seed_words.h"
#include "stream/name_filter.h"

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

// Whole runs of a NameStream: items are names handed out, and composed_per_second counts every
// name composed, kept or not. Each run starts with an empty set of seen names.
void BM_NameStream(benchmark::State& state, norvathel::GenderChoice gender,
                   norvathel::NameConstraints constraints, int count)
{
    double composed = 0;
    for (auto _ : state) {
        norvathel::NameStream stream(1, gender, "", constraints);
        norvathel::StreamName name;
        for (int kept = 0; kept < count && stream.Next(name); ++kept)
            benchmark::DoNotOptimize(name.text);
        composed += static_cast<double>(stream.Composed());
    }
    state.SetItemsProcessed(state.iterations() * count);
    state.counters["composed_per_second"] = benchmark::Counter(composed, benchmark::Counter::kIsRate);
}

norvathel::NameConstraints Unique()
{
    norvathel::NameConstraints constraints;
    constraints.unique = true;
    return constraints;
}

norvathel::NameConstraints ShortEndingInIa()
{
    norvathel::NameConstraints constraints;
    constraints.maxLength = 6;
    constraints.endsWith = "ia";
    return constraints;
}

BENCHMARK_CAPTURE(BM_NameStream, unconstrained_1M, norvathel::GenderChoice::Drawn,
                  norvathel::NameConstraints(), 1000000)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_NameStream, unique_1M, norvathel::GenderChoice::Drawn, Unique(), 1000000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_NameStream, female_max6_ia_100k, norvathel::GenderChoice::Female,
                  ShortEndingInIa(), 100000)->Unit(benchmark::kMillisecond);

// The two seedings side by side: one seeding each, then names from the seeded generator. The
// draws after either are the same code, so the names per second must match.
void BM_Seed(benchmark::State& state, bool full)
{
    AdditiveRandom random;
    std::uint64_t seed = 1;
    for (auto _ : state) {
        if (full)
            random.SeedFull(++seed);
        else
            random.Seed(++seed);
        benchmark::DoNotOptimize(random.Word(54));
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK_CAPTURE(BM_Seed, clock, false);
BENCHMARK_CAPTURE(BM_Seed, full, true);

// SeedFull's words by each way this build holds that this processor runs.
void BM_SeedWords(benchmark::State& state)
{
    int count = 0;
    const SeedWordsWay& way = SeedWordsWays(count)[state.range(0)];
    if (!way.usable()) {
        state.SkipWithError("this processor lacks it");
        return;
    }
    state.SetLabel(way.name);
    std::int32_t words[SeedWordRoom];
    std::uint64_t seed = 1;
    for (auto _ : state) {
        benchmark::DoNotOptimize(way.fill(++seed, words));
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_SeedWords)->DenseRange(0, [] { int count = 0; SeedWordsWays(count); return count - 1; }());

void BM_BoardsAfterSeed(benchmark::State& state, bool full)
{
    AdditiveRandom random;
    if (full)
        random.SeedFull(1000000000u);
    else
        random.Seed(1000000000u);
    Board board;
    for (auto _ : state) {
        ComposeBoard(random, Female, "", board);
        benchmark::DoNotOptimize(board);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * NamesPerBoard);
}
BENCHMARK_CAPTURE(BM_BoardsAfterSeed, clock, false);
BENCHMARK_CAPTURE(BM_BoardsAfterSeed, full, true);

// A name per key: the key hashed, a full seeding, the ten lengths and the first name.
void BM_KeyName(benchmark::State& state)
{
    std::vector<std::string> keys;
    for (int number = 0; number < 4096; ++number)
        keys.push_back("npc-" + std::to_string(number));
    KeyNamer namer(GenderChoice::Drawn, "", NameConstraints());
    StreamName name;
    std::size_t next = 0;
    for (auto _ : state) {
        const std::string& key = keys[next++ & 4095];
        benchmark::DoNotOptimize(namer.Name(KeySeed(key.data(), key.size()), name));
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_KeyName);

// Names checked against excluded pieces: none, or 5,000 random pieces of four letters, which
// few names contain.
void BM_FilterPieces(benchmark::State& state, int pieces)
{
    std::mt19937 letters(5000);
    std::vector<std::string> exclude;
    for (int k = 0; k < pieces; ++k) {
        std::string piece(4, 'a');
        for (char& c : piece)
            c = static_cast<char>('a' + letters() % 26);
        exclude.push_back(piece);
    }
    NameConstraints constraints;
    constraints.exclude = exclude;
    const NameFilter filter(constraints);
    AdditiveRandom random;
    random.SeedFull(1);
    Board board;
    double passed = 0;
    for (auto _ : state) {
        ComposeBoard(random, Female, "", board);
        for (int index = 0; index < NamesPerBoard; ++index)
            passed += filter.Passes(board.names[index], board.lengths[index]);
    }
    state.SetItemsProcessed(state.iterations() * NamesPerBoard);
    state.counters["passed"] = passed / static_cast<double>(state.iterations() * NamesPerBoard);
}
BENCHMARK_CAPTURE(BM_FilterPieces, none, 0);
BENCHMARK_CAPTURE(BM_FilterPieces, pieces_5000, 5000);

// Boards of each built-in style, given names only and with surnames: each should compose at
// least 0.8 times classic's names per second.
void BM_StyleBoard(benchmark::State& state, const char* name, bool surnames)
{
    Style style;
    if (!Style::BuiltIn(name, style)) {
        state.SkipWithError("no such style");
        return;
    }
    AdditiveRandom random;
    random.Seed(1000000000u);
    AdditiveRandom second = SurnameRandomFor(random);
    Board board, family;
    int b = 0;
    for (auto _ : state) {
        style.ComposeBoard(random, ++b % 2 ? Male : Female, "", board);
        if (surnames)
            style.ComposeSurnames(second, family);
        benchmark::DoNotOptimize(board);
        benchmark::DoNotOptimize(family);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * NamesPerBoard);
}
BENCHMARK_CAPTURE(BM_StyleBoard, classic, "classic", false);
BENCHMARK_CAPTURE(BM_StyleBoard, liquid, "liquid", false);
BENCHMARK_CAPTURE(BM_StyleBoard, guttural, "guttural", false);
BENCHMARK_CAPTURE(BM_StyleBoard, sibilant, "sibilant", false);
BENCHMARK_CAPTURE(BM_StyleBoard, crisp, "crisp", false);
BENCHMARK_CAPTURE(BM_StyleBoard, staccato, "staccato", false);
BENCHMARK_CAPTURE(BM_StyleBoard, classic_full, "classic", true);
BENCHMARK_CAPTURE(BM_StyleBoard, liquid_full, "liquid", true);

// Classic as a loaded file, read and checked from its text (should take under a millisecond).
void BM_LoadStyleFile(benchmark::State& state)
{
    const std::string text = Style::Classic().ToText();
    for (auto _ : state) {
        Style style;
        StyleError error;
        if (!Style::FromText(text, "classic.toml", style, error))
            state.SkipWithError("classic did not load");
        benchmark::DoNotOptimize(style);
    }
}
BENCHMARK(BM_LoadStyleFile)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
