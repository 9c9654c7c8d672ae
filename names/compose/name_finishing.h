// Small text routines that finish a composed name.
#pragma once
#include <string>

#include <norvathel/style.h>  // Capitals

namespace norvathel {

// True when the text's last byte is not one of the vowel letters a e i o u in either case;
// false for the empty text. "y", digits, spaces and bytes above 127 count as consonants.
bool EndsInConsonant(const char* text);

// Upper-cases the first lower-case letter a..z that follows the leading "&x" codes, in place.
// Nothing changes when the text ends inside a code or the byte reached is not a..z.
void UpperCaseFirstLetter(char* text);

// The same, and also a Latin-1 or Latin Extended-A letter whose capital is one letter of the
// same UTF-8 length (e with acute to E with acute, y with diaeresis to its capital). Left as
// they are: sharp s, kra, n preceded by apostrophe, dotless i and long s.
void UpperCaseFirstLatinLetter(char* text);

// The same, and beyond Latin Extended-A any letter whose capital by Unicode's simple mapping is
// as long in UTF-8 (Greek, Cyrillic, Armenian and the rest).
void UpperCaseFirstUnicodeLetter(char* text);

// The first letter made capital as a style's capitals say: one of the three above.
void UpperCaseFirstLetterAs(Capitals capitals, char* text);

// After the first letter, the letter after each hyphen or apostrophe (Jean-Luc, O'Neil) made
// capital as capitals say, where it stands at from or later (a prefix stays as given).
void UpperCaseAfterJoins(Capitals capitals, char* text, int from);

// The capital of a Latin-1 or Latin Extended-A code point as described above, or 0 for none.
unsigned LatinCapital(unsigned codePoint);

// A..Z made small, every other byte as it is: constraints compare names so.
char LowerByte(char c);
std::string Lowered(std::string text);

// A new copy of the text with its first letter upper-cased; the caller frees it with free().
char* FinishName(const char* text);

// A new zero-filled copy of the text; the caller frees it with free(). Never returns null:
// when memory runs out it reports "SYSERR: malloc failure" through perror and aborts.
char* DuplicateString(const char* text);

}  // namespace norvathel
