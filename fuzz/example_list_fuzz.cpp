// libFuzzer target: example lists for learning a style. Any bytes must be refused with a
// reason or learn a style that loads, composes names within their limits from the examples'
// own letters, and is learned the same again.
#include <norvathel/style.h>
#include <norvathel/style_learning.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

void Require(bool condition)
{
    if (!condition)
        std::abort();
}

// Every byte of every name after its first character must stand in some example: a learned
// style brings no letter of its own (the first character, and one after a hyphen or
// apostrophe, may be a capital).
void ComposeFromTheExamplesLetters(const norvathel::Style& style, const std::vector<norvathel::ExampleName>& names)
{
    using namespace norvathel;
    bool used[256] = {};
    for (const ExampleName& name : names)
        for (unsigned char byte : name.letters)
            used[byte] = true;
    AdditiveRandom random;
    random.SeedFull(7);
    AdditiveRandom second = SurnameRandomFor(random);
    Board board;
    for (int b = 0; b < 20; ++b) {
        style.ComposeBoard(random, b % 2 ? Female : Male, b % 5 == 4 ? "abcdefghijklmnopqrstuvwxyzabcde" : "", board);
        for (int k = 0; k < NamesPerBoard; ++k) {
            Require(board.lengths[k] <= MaxNameLength && board.lengths[k] > 0);
            Require(static_cast<std::size_t>(board.lengths[k]) == std::strlen(board.names[k]));
            int at = 1;
            while ((static_cast<unsigned char>(board.names[k][at]) & 0xC0) == 0x80)
                ++at;
            const char* name = board.names[k];
            for (; b % 5 != 4 && at < board.lengths[k]; ++at) {
                Require(used[static_cast<unsigned char>(name[at])]);
                const bool join = name[at] == '-' || name[at] == '\'' ||
                                  (at >= 2 && name[at] == '\x99' && name[at - 1] == '\x80' && name[at - 2] == '\xE2');
                if (join && at + 1 < board.lengths[k])
                    for (++at; (static_cast<unsigned char>(name[at + 1]) & 0xC0) == 0x80;)
                        ++at;  // the capital after a join, and its continuation bytes
            }
        }
        style.ComposeSurnames(second, board);
        for (int k = 0; k < NamesPerBoard; ++k)
            Require(board.lengths[k] <= MaxSurnameLength && board.lengths[k] > 0);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace norvathel;
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::vector<ExampleName> names;
    StyleError error;
    if (!ReadExampleNames(text, "fuzz.txt", names, error)) {
        Require(!error.message.empty());
        return 0;
    }
    StyleData data1;
    LearningSummary summary;
    if (!LearnStyle(names, data1, summary, error)) {
        Require(!error.message.empty());
        return 0;
    }
    const std::string file = WriteLearnedStyle(data1, summary);
    Style style;
    Require(Style::FromText(file, "learned.toml", style, error));
    ComposeFromTheExamplesLetters(style, names);
    std::string again;
    Require(LearnStyleFile(text, "again.txt", again, error) && again == file);
    return 0;
}
