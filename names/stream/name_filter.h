// Whether one composed name meets the constraints that look at the name alone: its length,
// its ending, the pieces it must not contain, the whole names it must not be, and the names its
// style's guard holds. (Whether it was given before is the stream's business.)
#pragma once
#include <string>
#include <unordered_set>
#include <vector>

#include <norvathel/style.h>

#include "stream/piece_matcher.h"

namespace norvathel {

class NameFilter {
public:
    NameFilter() = default;
    // Lengths in bytes, 0 for no bound; the ending, pieces and names compare ASCII letters in
    // either case.
    NameFilter(int minLength, int maxLength, const std::string& endsWith,
               const std::vector<std::string>& excludePieces,
               const std::vector<std::string>& excludeNames, const Style* guarded = nullptr);

    // False when every name passes.
    bool Any() const { return any; }
    bool Passes(const char* name, int length) const;

private:
    bool any = false;
    int minLength = 0;
    int maxLength = 0;
    std::string endsWith;  // lower-cased
    PieceMatcher pieces;
    std::unordered_set<std::string> names;  // lower-cased
    bool guarded = false;                   // the style has a guard
    Style style;
};

}  // namespace norvathel
