// Canonical normalisation (NFC) and the letter a letter is written on, from tables made at build
// time from Debian's unicode-data (names/text/unicode_tables.py).
#pragma once
#include <string>

namespace norvathel {

// Valid UTF-8 in Normalization Form C: decomposed, marks in canonical order, composed again.
std::string Nfc(const std::string& text);
// The first code point of c's full canonical decomposition: 'e' for é and ệ, c for most.
unsigned BaseLetter(unsigned c);

}  // namespace norvathel
