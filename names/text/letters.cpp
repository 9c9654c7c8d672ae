// The letters of styles and example names: UTF-8, small and capital letters, and which letters
// are vowels.
#include "text/letters.h"

#include "text/fnv1a.h"

#include <set>
#include <vector>

#include "compose/name_finishing.h"
#include "text/unicode_letters.h"

namespace norvathel {

Letter DecodeLetter(const std::string& text, std::size_t at)
{
    const unsigned char lead = static_cast<unsigned char>(text[at]);
    if (lead < 0x80)
        return {lead, 1};
    const int length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 0;
    if (length == 0 || lead > 0xF4 || at + static_cast<std::size_t>(length) > text.size())
        return {0, 0};
    unsigned codePoint = lead & (0x7Fu >> length);
    for (int k = 1; k < length; ++k) {
        const unsigned char next = static_cast<unsigned char>(text[at + static_cast<std::size_t>(k)]);
        if ((next & 0xC0) != 0x80)
            return {0, 0};
        codePoint = codePoint << 6 | (next & 0x3Fu);
    }
    const unsigned smallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (codePoint < smallest[length] || codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF))
        return {0, 0};
    return {codePoint, length};
}

std::string EncodeLetter(unsigned c)
{
    if (c < 0x80)
        return std::string(1, static_cast<char>(c));
    if (c < 0x800)
        return {static_cast<char>(0xC0 | c >> 6), static_cast<char>(0x80 | (c & 0x3F))};
    if (c < 0x10000)
        return {static_cast<char>(0xE0 | c >> 12), static_cast<char>(0x80 | (c >> 6 & 0x3F)),
                static_cast<char>(0x80 | (c & 0x3F))};
    return {static_cast<char>(0xF0 | c >> 18), static_cast<char>(0x80 | (c >> 12 & 0x3F)),
            static_cast<char>(0x80 | (c >> 6 & 0x3F)), static_cast<char>(0x80 | (c & 0x3F))};
}

unsigned CapitalLetter(unsigned c)
{
    if (c < 0x80)
        return c >= 'a' && c <= 'z' ? c - 32 : 0;
    if (c < 0x180)
        return LatinCapital(c);
    const unsigned capital = SimpleUpper(c);
    return capital != c && EncodeLetter(capital).size() == EncodeLetter(c).size() ? capital : 0;
}

std::vector<std::string> WithCapitals(const std::string& letters)
{
    std::vector<std::string> texts;
    for (std::size_t at = 0; at < letters.size();) {
        const Letter letter = DecodeLetter(letters, at);
        if (letter.length == 0)
            break;  // checked before: only a text that is not UTF-8 stops here
        texts.push_back(letters.substr(at, static_cast<std::size_t>(letter.length)));
        if (CapitalLetter(letter.codePoint) != 0)
            texts.push_back(EncodeLetter(CapitalLetter(letter.codePoint)));
        at += static_cast<std::size_t>(letter.length);
    }
    return texts;
}

// The small letter of a letter a style may hold; İ becomes i.
unsigned SmallLetter(unsigned c)
{
    static const std::vector<unsigned> small = [] {
        std::vector<unsigned> table(0x180);
        for (unsigned k = 0; k < table.size(); ++k)
            table[k] = k;
        for (unsigned k = 'A'; k <= 'Z'; ++k)
            table[k] = k + 32;
        for (unsigned k = 0xC0; k < table.size(); ++k)
            if (LatinCapital(k) != 0)
                table[LatinCapital(k)] = k;
        table[0x130] = 'i';
        return table;
    }();
    return c < small.size() ? small[c] : SimpleLower(c);
}

// The letters fragments may hold, once made small: below U+0180 a-z and the Latin-1 and Latin
// Extended-A letters as always, beyond it every letter Unicode counts.
bool IsLetter(unsigned c)
{
    if (c < 0x180)
        return (c >= 'a' && c <= 'z') || (c >= 0xC0 && c != 0xD7 && c != 0xF7);
    return IsUnicodeLetter(c);
}

bool IsJoin(unsigned c)
{
    return c == '-' || c == '\'' || c == 0x2019;
}

int JoinBytes(const char* text)
{
    if (text[0] == '-' || text[0] == '\'')
        return 1;
    return text[0] == '\xE2' && text[1] == '\x80' && text[2] == '\x99' ? 3 : 0;
}

bool EndsWithJoin(const char* text, int length)
{
    return length > 0 && (JoinBytes(text + length - 1) == 1 || (length >= 3 && JoinBytes(text + length - 3) == 3));
}

bool HoldsJoin(const char* text, int length)
{
    for (int at = 0; at < length; ++at)
        if (JoinBytes(text + at) > 0)
            return true;
    return false;
}

std::string SmallText(const std::string& text)
{
    std::string small;
    for (std::size_t at = 0; at < text.size();) {
        const Letter letter = DecodeLetter(text, at);
        if (letter.length == 0)
            break;
        const unsigned c = SmallLetter(letter.codePoint);
        if (c == letter.codePoint)
            small.append(text, at, static_cast<std::size_t>(letter.length));
        else
            small += EncodeLetter(c);
        at += static_cast<std::size_t>(letter.length);
    }
    return small;
}

bool IsAsciiText(const char* text, std::size_t size)
{
    unsigned char any = 0;
    for (std::size_t at = 0; at < size; ++at)
        any |= static_cast<unsigned char>(text[at]);
    return any < 0x80;
}

int CodePointCount(const char* text, std::size_t size)
{
    int count = 0;
    for (std::size_t at = 0; at < size; ++at)
        count += (static_cast<unsigned char>(text[at]) & 0xC0) != 0x80 ? 1 : 0;
    return count;
}

std::uint64_t GuardHash(const std::string& name)
{
    const std::string small = SmallText(name);
    return Fnv1a(small.data(), small.size());
}

}  // namespace norvathel
