#include "text/unicode_letters.h"

#include <algorithm>
#include <cstdint>

namespace norvathel {

namespace {

struct CodeRange {
    std::uint32_t first, last;
};

// count codes from first on, stride apart, each mapped to itself plus difference (mod 2^32).
struct CodeMapping {
    std::uint32_t first;
    std::uint16_t count;
    std::uint8_t stride;
    std::uint32_t difference;
};

#include "unicode_letters.inc"

template <std::size_t Size>
bool InRanges(const CodeRange (&ranges)[Size], unsigned c)
{
    const CodeRange* end = ranges + Size;
    const CodeRange* found = std::upper_bound(ranges, end, c, [](unsigned code, const CodeRange& range) { return code < range.first; });
    return found != ranges && c <= (found - 1)->last;
}

template <std::size_t Size>
unsigned Mapped(const CodeMapping (&mappings)[Size], unsigned c)
{
    const CodeMapping* end = mappings + Size;
    const CodeMapping* found = std::upper_bound(mappings, end, c, [](unsigned code, const CodeMapping& run) { return code < run.first; });
    if (found == mappings)
        return c;
    const CodeMapping& run = *(found - 1);
    const unsigned offset = c - run.first;
    if (offset % run.stride != 0 || offset / run.stride >= run.count)
        return c;
    return static_cast<unsigned>(c + run.difference);  // unsigned arithmetic wraps as meant
}

}  // namespace

bool IsUnicodeLetter(unsigned c)
{
    return InRanges(LetterRanges, c);
}

bool IsMark(unsigned c)
{
    return InRanges(MarkRanges, c);
}

unsigned SimpleLower(unsigned c)
{
    return Mapped(LowerMappings, c);
}

unsigned SimpleUpper(unsigned c)
{
    return Mapped(UpperMappings, c);
}

unsigned SimpleFold(unsigned c)
{
    return Mapped(FoldMappings, c);
}

}  // namespace norvathel
