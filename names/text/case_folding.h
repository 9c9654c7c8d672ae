// Letters compared in either case: Unicode's simple case folding (CaseFolding.txt, statuses C
// and S), from a table made at build time (names/text/unicode_tables.py). In a room of its own,
// so that what never compares names (the window) links no folding table.
#pragma once
#include <string>

namespace norvathel {

// The form a letter is compared in: Σ, σ and ς all give σ; c itself where folding keeps it.
unsigned SimpleFold(unsigned c);
// The text as letters are compared in either case: ASCII letters made small as always, every
// other letter folded; bytes that are not UTF-8 stay as they are.
std::string FoldedText(const std::string& text);

}  // namespace norvathel
