#include "text/unicode_letters.h"

#include <algorithm>
#include <cstdint>

namespace norvathel {

namespace {

struct CodeRange {
    std::uint32_t first, last;
};

struct CodeMapping {
    std::uint32_t from, to;
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
    const CodeMapping* found = std::lower_bound(mappings, end, c, [](const CodeMapping& mapping, unsigned code) { return mapping.from < code; });
    return found != end && found->from == c ? found->to : c;
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

}  // namespace norvathel
