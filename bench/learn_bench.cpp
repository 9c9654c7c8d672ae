// Learning a style from example names: 10,000 names (the count a style should learn from in
// well under a second) and the most a list may hold. The examples are names of the built-in
// styles, marked with their gender, so the lists have many different groups to count.
#include <benchmark/benchmark.h>

#include <norvathel/style.h>
#include <norvathel/style_learning.h>

#include <string>

namespace {

std::string ExampleList(int count)
{
    using namespace norvathel;
    std::string text;
    AdditiveRandom random;
    random.Seed(1000000000);
    Board board;
    const std::vector<std::string> styles = Style::BuiltInNames();
    for (int b = 0, written = 0; written < count; ++b) {
        Style style;
        Style::BuiltIn(styles[static_cast<std::size_t>(b) % styles.size()], style);
        const Gender gender = b % 2 == 0 ? Male : Female;
        style.ComposeBoard(random, gender, "", board);
        for (int k = 0; k < NamesPerBoard && written < count; ++k, ++written)
            text += std::string(board.names[k]) + (gender == Male ? "\tm\n" : "\tf\n");
    }
    return text;
}

void BM_LearnStyle(benchmark::State& state)
{
    const std::string list = ExampleList(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        std::string style;
        norvathel::StyleError error;
        if (!norvathel::LearnStyleFile(list, "bench", style, error))
            state.SkipWithError(error.Text().c_str());
        benchmark::DoNotOptimize(style.data());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_LearnStyle)->Arg(10000)->Arg(norvathel::MaxExampleNames)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
