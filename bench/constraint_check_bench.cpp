// The up-front check of lengths and endings on styles built to make it work hard: each answer
// must come in well under a second (the check's work limit refuses what would take longer).
//   many_vowels: 4,096 vowels of one to three letters, positions [1, 5], runs of 4, endings
//                from position 0 (--female --max-length 5, --ends-with a --female)
//   long_vowels: 4,086 five-letter vowels, positions [1, 16], runs of 16 (--male --prefix
//                abcdefghijklmno --max-length 40), the style that once overflowed 32-bit sizes
#include <benchmark/benchmark.h>

#include <norvathel/name_stream.h>
#include <norvathel/style.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

namespace {

using namespace norvathel;

// The README's example style, murmur, read from the README as the tests read it.
std::string Murmur()
{
    std::ifstream readme(NORVATHEL_SOURCE_DIR "/README.md");
    std::stringstream text;
    text << readme.rdbuf();
    const std::string all = text.str();
    const std::size_t begin = all.find("```toml\n", all.find("A small complete style:")) + 8;
    return all.substr(begin, all.find("```", begin) - begin);
}

// Every text of size letters a-z in order, as long as the table takes more.
void AddLetters(FragmentTable& table, int size, std::size_t most)
{
    std::string text(static_cast<std::size_t>(size), 'a');
    while (table.fragments.size() < most) {
        table.fragments.push_back(text);
        int place = size - 1;
        while (place >= 0 && text[static_cast<std::size_t>(place)] == 'z')
            text[static_cast<std::size_t>(place--)] = 'a';
        if (place < 0)
            break;
        ++text[static_cast<std::size_t>(place)];
    }
    table.drawn = static_cast<int>(table.fragments.size());
}

Style Built(bool manyVowels)
{
    StyleData data;
    StyleError error;
    ReadStyle(Murmur(), "murmur.toml", data, error);
    data.vowels.fragments.clear();
    if (manyVowels) {
        data.minPositions = 1, data.maxPositions = 5, data.maxVowelRun = 4, data.endingFrom = 0;
        for (int size = 1; size <= 3; ++size)
            AddLetters(data.vowels, size, 4096);
    } else {
        data.minPositions = 1, data.maxPositions = 16, data.maxVowelRun = 16, data.endingFrom = 16;
        data.consonant = {1, 1};
        AddLetters(data.vowels, 5, 4086);
    }
    Style style;
    if (!Style::FromData(data, style, error))
        std::abort();
    return style;
}

void BM_ConstraintCheck(benchmark::State& state, bool manyVowels, GenderChoice gender, const char* prefix,
                        int maxLength, const char* ending)
{
    const Style style = Built(manyVowels);
    NameConstraints constraints;
    constraints.maxLength = maxLength;
    constraints.endsWith = ending;
    for (auto _ : state) {
        const ConstraintProblem problem = ImpossibleConstraints(constraints, prefix, gender, style);
        if (problem.fault == ConstraintFault::CheckTooCostly)
            state.SkipWithError("refused as too costly");
        benchmark::DoNotOptimize(problem);
    }
}
BENCHMARK_CAPTURE(BM_ConstraintCheck, many_vowels_female_max_length_5, true, GenderChoice::Female, "", 5, "")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ConstraintCheck, many_vowels_female_ends_with_a, true, GenderChoice::Female, "", 0, "a")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ConstraintCheck, long_vowels_male_prefix_max_length_40, false, GenderChoice::Male,
                  "abcdefghijklmno", 40, "")
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
