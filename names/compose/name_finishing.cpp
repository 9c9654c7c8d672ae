#include "compose/name_finishing.h"

#include "text/letters.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace norvathel {

bool EndsInConsonant(const char* text)
{
    std::size_t length = std::strlen(text);
    if (length == 0)
        return false;
    switch (text[length - 1]) {
    case 'a': case 'e': case 'i': case 'o': case 'u':
    case 'A': case 'E': case 'I': case 'O': case 'U':
        return false;
    default:
        return true;
    }
}

namespace {

// "&" and the byte after it form one code: the first byte after the leading codes, or null
// when the text ends inside one (never past the end).
char* AfterCodes(char* place)
{
    while (*place == '&') {
        if (place[1] == '\0')
            return nullptr;
        place += 2;
    }
    return place;
}

}  // namespace

void UpperCaseFirstLetter(char* text)
{
    char* place = AfterCodes(text);
    if (place != nullptr && *place >= 'a' && *place <= 'z')
        *place = static_cast<char>(*place - 32);
}

unsigned LatinCapital(unsigned c)
{
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7)
        return c - 0x20;
    if (c == 0xFF)
        return 0x178;
    // Latin Extended-A pairs a capital with its small letter; which of the two is even changes
    // at 0x139 and again at 0x14A and 0x179.
    bool evenCapital = (c >= 0x100 && c <= 0x12F) || (c >= 0x132 && c <= 0x137) || (c >= 0x14A && c <= 0x177);
    bool oddCapital = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
    if ((evenCapital && c % 2 == 1) || (oddCapital && c % 2 == 0))
        return c - 1;
    return 0;
}

void UpperCaseFirstLatinLetter(char* text)
{
    char* place = AfterCodes(text);
    if (place == nullptr)
        return;
    unsigned char lead = static_cast<unsigned char>(place[0]);
    if (lead >= 'a' && lead <= 'z') {
        *place = static_cast<char>(lead - 32);
        return;
    }
    unsigned char next = static_cast<unsigned char>(place[1]);
    if (lead < 0xC3 || lead > 0xC5 || (next & 0xC0) != 0x80)
        return;  // not a two-byte letter of U+00C0..U+017F
    unsigned capital = LatinCapital((lead & 0x1Fu) << 6 | (next & 0x3Fu));
    if (capital == 0)
        return;
    place[0] = static_cast<char>(0xC0 | capital >> 6);
    place[1] = static_cast<char>(0x80 | (capital & 0x3F));
}

void UpperCaseFirstUnicodeLetter(char* text)
{
    char* place = AfterCodes(text);
    if (place == nullptr)
        return;
    // The text ends in a NUL, which no continuation byte matches: decoding stops there.
    std::size_t length = 1;
    while (length < 4 && (static_cast<unsigned char>(place[length]) & 0xC0) == 0x80)
        ++length;
    const std::string first(place, length);
    const Letter letter = DecodeLetter(first, 0);
    if (letter.length != static_cast<int>(length))
        return;
    const unsigned capital = CapitalLetter(letter.codePoint);
    if (capital != 0)
        std::memcpy(place, EncodeLetter(capital).data(), length);  // as long: CapitalLetter says so
}

void UpperCaseFirstLetterAs(Capitals capitals, char* text)
{
    if (capitals == Capitals::Latin)
        UpperCaseFirstLatinLetter(text);
    else if (capitals == Capitals::Unicode)
        UpperCaseFirstUnicodeLetter(text);
    else
        UpperCaseFirstLetter(text);
}

void UpperCaseAfterJoins(Capitals capitals, char* text, int from)
{
    for (int at = 1; text[at] != '\0'; ++at) {
        const int join = JoinBytes(text + at);
        const int after = at + join;
        if (join > 0 && after >= from && text[after] != '\0')
            UpperCaseFirstLetterAs(capitals, text + after);
    }
}

char LowerByte(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string Lowered(std::string text)
{
    for (char& c : text)
        c = LowerByte(c);
    return text;
}

char* FinishName(const char* text)
{
    // Copy first and finish the copy, so that no fixed working buffer limits the length.
    char* name = DuplicateString(text);
    UpperCaseFirstLetter(name);
    return name;
}

char* DuplicateString(const char* text)
{
    std::size_t size = std::strlen(text) + 1;
    char* copy = static_cast<char*>(std::calloc(size, 1));
    if (copy == nullptr) {
        std::perror("SYSERR: malloc failure");
        std::abort();
    }
    std::memcpy(copy, text, size);
    return copy;
}

}  // namespace norvathel
