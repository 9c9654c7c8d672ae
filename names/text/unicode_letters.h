// Unicode's letters and marks, and its simple case mappings, from tables made at build time
// from Debian's unicode-data (names/text/unicode_tables.py).
#pragma once

namespace norvathel {

bool IsUnicodeLetter(unsigned c);  // general category L*
bool IsMark(unsigned c);           // general category M*: stands after a letter
// The simple mappings, or c itself where there is none.
unsigned SimpleLower(unsigned c);
unsigned SimpleUpper(unsigned c);

}  // namespace norvathel
