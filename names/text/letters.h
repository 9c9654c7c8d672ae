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
// A code point as UTF-8.
std::string EncodeLetter(unsigned c);
// The capital a name's first letter takes: A-Z for a-z, LatinCapital's in Latin-1 and Latin
// Extended-A, beyond them Unicode's simple capital where it is as long; 0 for none.
unsigned CapitalLetter(unsigned c);
// Each letter of a valid UTF-8 text, followed by its capital when it has one.
std::vector<std::string> WithCapitals(const std::string& letters);
// The small letter: Unicode's simple mapping (İ becomes i); anything else is returned as is.
unsigned SmallLetter(unsigned c);
// The text with each letter made small by SmallLetter (anything that is not valid UTF-8 stops it).
std::string SmallText(const std::string& text);
// True when every byte is ASCII: there folding is making A-Z small, and a letter is a byte.
bool IsAsciiText(const char* text, std::size_t size);
// The code points of a UTF-8 text: its bytes that do not continue a sequence.
int CodePointCount(const char* text, std::size_t size);
// A name's hash as a style's guard holds it: 64-bit FNV-1a of its letters made small.
std::uint64_t GuardHash(const std::string& name);
// The letters fragments may hold, once made small: a-z, Latin-1 and Latin Extended-A letters,
// and beyond them every letter of any script; a mark (text/unicode_letters.h) may follow one.
bool IsLetter(unsigned c);
// The joins a name may hold between two of its letters: a hyphen (Jean-Luc) or an apostrophe,
// typed ' or ’ (O'Neil). Never at a name's or a fragment's start or end, never two in a row;
// the letter after one is capital as a name's first letter is.
bool IsJoin(unsigned c);
// The bytes of the join text opens with (1 or 3), or 0 when it opens with none.
int JoinBytes(const char* text);
// True when the text's last letter is a join.
bool EndsWithJoin(const char* text, int length);
// True when a join stands anywhere in the text.
bool HoldsJoin(const char* text, int length);
// The vowels, for learning: a e i o u and every Latin letter written on one (é, ệ, ǒ), with æ,
// ø, œ, dotless i, ý, ÿ and ŷ; the vowels of Greek, Cyrillic, Armenian and Georgian. "y" is
// decided by where it stands, by the caller. Scripts that write no vowels as letters have none.
bool IsVowelLetter(unsigned c);

}  // namespace norvathel
