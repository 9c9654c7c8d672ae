// The letters of example names: UTF-8 decoding, small letters, and which letters are vowels.
#pragma once
#include <cstddef>
#include <string>

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
// The small letter of a letter a style may hold; İ becomes i; anything else is returned as is.
unsigned SmallLetter(unsigned c);
// The letters fragments may hold, once made small: a-z, Latin-1 and Latin Extended-A letters.
bool IsLetter(unsigned c);
// The vowels: a e i o u and their accented forms in Latin-1 and Latin Extended-A, with æ, ø,
// œ, dotless i, ý, ÿ and ŷ. "y" is decided by where it stands, by the caller.
bool IsVowelLetter(unsigned c);

}  // namespace norvathel
