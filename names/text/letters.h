// The letters of styles and example names: UTF-8 decoding, small and capital letters, and which
// letters are vowels.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace norvathel {

struct Letter {
    unsigned codePoint;
    int length;  // 0: not valid UTF-8 here
};

// The UTF-8 character at text[at], or length 0 when the bytes there are not valid UTF-8
// (overlong forms, surrogates and values above U+10FFFF included).
Letter DecodeLetter(const std::string& text, std::size_t at);
// A code point below U+0800 as UTF-8.
std::string EncodeLetter(unsigned c);
// The capital a name's first letter takes: A-Z for a-z, else LatinCapital's; 0 for none.
unsigned CapitalLetter(unsigned c);
// Each letter of a valid UTF-8 text, followed by its capital when it has one.
std::vector<std::string> WithCapitals(const std::string& letters);
// The small letter of a letter a style may hold; İ becomes i; anything else is returned as is.
unsigned SmallLetter(unsigned c);
// The text with each letter made small by SmallLetter (anything that is not valid UTF-8 stops it).
std::string SmallText(const std::string& text);
// A name's hash as a style's guard holds it: 64-bit FNV-1a of its letters made small.
std::uint64_t GuardHash(const std::string& name);
// The letters fragments may hold, once made small: a-z, Latin-1 and Latin Extended-A letters.
bool IsLetter(unsigned c);
// The vowels: a e i o u and their accented forms in Latin-1 and Latin Extended-A, with æ, ø,
// œ, dotless i, ý, ÿ and ŷ. "y" is decided by where it stands, by the caller.
bool IsVowelLetter(unsigned c);

}  // namespace norvathel
