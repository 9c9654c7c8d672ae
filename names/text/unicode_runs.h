// The shapes of the Unicode tables made at build time (names/text/unicode_tables.py), and the
// lookups in them: sorted ranges, and mappings as runs of codes a stride apart.
#pragma once
#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace norvathel {

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

template <std::size_t Size>
bool InRanges(const CodeRange (&ranges)[Size], unsigned c)
{
    const CodeRange* end = ranges + Size;
    const CodeRange* found = std::upper_bound(ranges, end, c, [](unsigned code, const CodeRange& range) { return code < range.first; });
    return found != ranges && c <= (found - 1)->last;
}

// c mapped by its run, or c itself where no run holds it.
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

}  // namespace norvathel
