// libFuzzer target: style files. Any bytes must be refused with a place and a reason or give a
// style that composes: given names and surnames within their limits, with or without a long
// prefix, and whose own text reads back to the same style.
#include <norvathel/style.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

void Require(bool condition)
{
    if (!condition)
        std::abort();
}

void ComposeSome(const norvathel::Style& style)
{
    using namespace norvathel;
    AdditiveRandom random;
    random.SeedFull(1);
    AdditiveRandom second = SurnameRandomFor(random);
    Board board;
    const char* prefixes[] = {"", "a", "e", "abcdefghijklmnopqrstuvwxyzabcdefg", "Kr"};
    for (int b = 0; b < 20; ++b) {
        style.ComposeBoard(random, b % 2 ? Female : Male, prefixes[b % 5], board);
        for (int k = 0; k < NamesPerBoard; ++k) {
            Require(board.lengths[k] <= style.LongestWithPrefix() && board.lengths[k] <= MaxNameLength);
            Require(static_cast<std::size_t>(board.lengths[k]) == std::strlen(board.names[k]));
        }
        style.ComposeSurnames(second, board);
        for (int k = 0; k < NamesPerBoard; ++k)
            Require(board.lengths[k] <= MaxSurnameLength && board.lengths[k] > 0);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    norvathel::Style style;
    norvathel::StyleError error;
    if (!norvathel::Style::FromText(text, "fuzz.toml", style, error)) {
        Require(!error.message.empty());
        return 0;
    }
    ComposeSome(style);
    norvathel::Style again;
    Require(norvathel::Style::FromText(style.ToText(), "again.toml", again, error));
    Require(again.ToText() == style.ToText());
    return 0;
}
