#include "text/unicode_normal.h"

#include <algorithm>
#include <cstdint>
#include <set>
#include <vector>

#include "text/letters.h"

namespace norvathel {

namespace {

struct ClassRange {
    std::uint32_t first, last, combiningClass;
};

struct Decomposition {
    std::uint32_t from, first, second;  // second 0: a single code point
};

struct Composition {
    std::uint32_t first, second, to;
};

#include "unicode_normal.inc"

// Hangul syllables decompose and compose by arithmetic, not by table.
const unsigned HangulFirst = 0xAC00, HangulCount = 11172, LeadFirst = 0x1100, VowelFirst = 0x1161,
               TrailFirst = 0x11A7, VowelCount = 21, TrailCount = 28;

unsigned ClassOf(unsigned c)
{
    const ClassRange* end = CombiningClasses + sizeof CombiningClasses / sizeof CombiningClasses[0];
    const ClassRange* found = std::upper_bound(CombiningClasses, end, c,
                                               [](unsigned code, const ClassRange& range) { return code < range.first; });
    return found != CombiningClasses && c <= (found - 1)->last ? (found - 1)->combiningClass : 0;
}

const Decomposition* DecompositionOf(unsigned c)
{
    const Decomposition* end = Decompositions + sizeof Decompositions / sizeof Decompositions[0];
    const Decomposition* found = std::lower_bound(Decompositions, end, c,
                                                  [](const Decomposition& d, unsigned code) { return d.from < code; });
    return found != end && found->from == c ? found : nullptr;
}

void Decompose(unsigned c, std::vector<unsigned>& out)
{
    if (c >= HangulFirst && c < HangulFirst + HangulCount) {
        const unsigned index = c - HangulFirst;
        out.push_back(LeadFirst + index / (VowelCount * TrailCount));
        out.push_back(VowelFirst + index % (VowelCount * TrailCount) / TrailCount);
        if (index % TrailCount != 0)
            out.push_back(TrailFirst + index % TrailCount);
        return;
    }
    const Decomposition* d = DecompositionOf(c);
    if (d == nullptr) {
        out.push_back(c);
        return;
    }
    Decompose(d->first, out);  // at most a few levels deep
    if (d->second != 0)
        Decompose(d->second, out);
}

// The code point first and second compose to, or 0.
unsigned Composed(unsigned first, unsigned second)
{
    if (first >= LeadFirst && first < LeadFirst + 19 && second >= VowelFirst && second < VowelFirst + VowelCount)
        return HangulFirst + ((first - LeadFirst) * VowelCount + (second - VowelFirst)) * TrailCount;
    if (first >= HangulFirst && first < HangulFirst + HangulCount && (first - HangulFirst) % TrailCount == 0 &&
        second > TrailFirst && second < TrailFirst + TrailCount)
        return first + (second - TrailFirst);
    const Composition* end = Compositions + sizeof Compositions / sizeof Compositions[0];
    const Composition* found = std::lower_bound(Compositions, end, std::make_pair(first, second),
                                                [](const Composition& c, const std::pair<unsigned, unsigned>& key) {
                                                    return c.first < key.first || (c.first == key.first && c.second < key.second);
                                                });
    return found != end && found->first == first && found->second == second ? found->to : 0;
}

}  // namespace

std::string Nfc(const std::string& text)
{
    std::vector<unsigned> codes;
    for (std::size_t at = 0; at < text.size();) {
        const Letter letter = DecodeLetter(text, at);
        if (letter.length == 0)
            return text;  // not UTF-8: left to the caller's checks
        Decompose(letter.codePoint, codes);
        at += static_cast<std::size_t>(letter.length);
    }
    // Marks in canonical order: each run of non-starters sorted by class, stably (an insertion
    // sort: the runs are a few marks long).
    for (std::size_t k = 1; k < codes.size(); ++k) {
        const unsigned c = codes[k], cc = ClassOf(c);
        std::size_t at = k;
        for (; cc != 0 && at > 0 && ClassOf(codes[at - 1]) > cc; --at)
            codes[at] = codes[at - 1];
        codes[at] = c;
    }
    // Compose each starter with what follows it that is not blocked.
    std::vector<unsigned> out;
    std::size_t starter = std::string::npos;
    unsigned lastClass = 0;
    for (unsigned c : codes) {
        const unsigned cc = ClassOf(c);
        if (starter != std::string::npos && (lastClass < cc || (lastClass == 0 && out.size() == starter + 1))) {
            const unsigned joined = Composed(out[starter], c);
            if (joined != 0) {
                out[starter] = joined;
                continue;
            }
        }
        if (cc == 0) {
            starter = out.size();
            lastClass = 0;
        } else {
            lastClass = cc;
        }
        out.push_back(c);
    }
    std::string result;
    for (unsigned c : out)
        result += EncodeLetter(c);
    return result;
}

unsigned BaseLetter(unsigned c)
{
    std::vector<unsigned> codes;
    Decompose(c, codes);
    return codes.front();
}

// Here rather than with the other letters: it reads the decompositions, which only learning needs.
bool IsVowelLetter(unsigned c)
{
    static const std::set<unsigned> vowels = {
        'a', 'e', 'i', 'o', 'u', 0xE6, 0xF8, 0x131, 0x153, 0xFD, 0xFF, 0x177,
        // Greek
        0x3B1, 0x3B5, 0x3B7, 0x3B9, 0x3BF, 0x3C5, 0x3C9,
        // Cyrillic
        0x430, 0x435, 0x438, 0x43E, 0x443, 0x44B, 0x44D, 0x44E, 0x44F, 0x451, 0x454, 0x456, 0x457, 0x45E,
        0x4D9, 0x4E9, 0x4AF, 0x4B1,
        // Armenian, Georgian
        0x561, 0x565, 0x567, 0x568, 0x56B, 0x578, 0x585, 0x10D0, 0x10D4, 0x10D8, 0x10DD, 0x10E3};
    return vowels.count(c) != 0 || vowels.count(BaseLetter(c)) != 0;
}

}  // namespace norvathel
