// Whether one composed name meets the constraints that look at the name alone: its length,
// its ending, the pieces it must not contain, the whole names it must not be, and the names its
// style's guard holds. (Whether it was given before is the stream's business.)
#pragma once
#include <string>
#include <unordered_set>
#include <vector>

#include <norvathel/name_stream.h>
#include <norvathel/style.h>

#include "stream/piece_matcher.h"

namespace norvathel {

class NameFilter {
public:
    NameFilter() = default;
    // The constraints' lengths, ending, pieces and names (not unique), and the style's guard.
    explicit NameFilter(const NameConstraints& constraints, const Style* guarded = nullptr);

    // False when every name passes.
    bool Any() const { return any; }
    bool Passes(const char* name, int length) const;

private:
    // name: folded where it is not ASCII; length: in the constraints' unit.
    bool PassesFolded(const char* name, int size, int length) const;

    bool any = false;
    int minLength = 0;
    int maxLength = 0;
    bool countLetters = false;
    std::string endsWith;  // folded
    PieceMatcher pieces;   // folded
    std::unordered_set<std::string> names;  // folded
    bool guarded = false;                   // the style has a guard
    Style style;
};

}  // namespace norvathel
