// What the composer can make, decided exactly from its rules without composing anything:
// the lengths a name of a gender and prefix can have, and the lengths it can have while ending
// with a given text. "Can" means some sequence of draws composes it; how likely that is does
// not count.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include <norvathel/name_composer.h>
#include <norvathel/name_stream.h>

#include "rules/composer_rules.h"

namespace norvathel {

// A set of name lengths, in bytes or in letters.
class LengthSet {
public:
    void Add(int length);
    void Merge(const LengthSet& other);
    bool Has(int length) const;
    bool Empty() const { return Lowest() < 0; }
    int Lowest() const;   // -1 when empty
    int Highest() const;  // -1 when empty
    // True when some length from lowest to highest (both included) is in the set.
    bool AnyWithin(int lowest, int highest) const;

private:
    std::vector<bool> lengths;
};

class NameReach {
public:
    // The steps a question may take: some tens of milliseconds for a small style, well under
    // a second for the largest on a slow machine.
    static constexpr std::uint64_t WorkLimit = 40000000;

    // Names of the gender that begin with prefix (null for none), the prefix taken as the
    // composer takes it: its first 31 bytes. Lengths are counted in unit. The rules must
    // outlive the object.
    NameReach(const ComposerRules& rules, Gender gender, const char* prefix,
              std::uint64_t workLimit = WorkLimit, LengthUnit unit = LengthUnit::Bytes);

    // Every length a name can have.
    const LengthSet& Lengths() const { return lengths; }
    // The lengths of the names that can end with ending, letters in either case (folded).
    LengthSet LengthsEndingWith(const std::string& ending) const;
    // True when the work of an answer went past the limit: the walk stopped, and the answers
    // (from then on) are not to be trusted. The limit is on the steps the walks take, whatever
    // the rules' shape, so any style is answered or refused in well under a second.
    bool Stopped() const { return stopped; }
    // Where the first letter of text begins that no fragment and not the prefix holds (in
    // either case), so that no name can hold it; -1 when there is none.
    int ForeignLetter(const std::string& text) const;

private:
    struct Walk;

    const ComposerRules& rules;
    Gender gender;
    std::string prefix;
    unsigned startRuns = 1;  // the vowel counts a name can start with, one bit per count
    LengthSet lengths;
    std::uint64_t workLimit;
    LengthUnit unit;
    mutable std::uint64_t work = 0;  // the steps taken so far, by every walk
    mutable bool stopped = false;
};

}  // namespace norvathel
