// A checked style in the form the composer reads: every drawable fragment zero-padded to a
// fixed slot (appending is one fixed-size copy), every draw's span worked out, the vowel rules as
// classes of drawn slots. Built once per style; never changes afterwards.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include <norvathel/additive_random.h>
#include <norvathel/style.h>

#include "rules/context_states.h"

namespace norvathel {

const int FragmentSlot = 16;  // MaxFragmentBytes and the NUL
static_assert(MaxFragmentBytes < FragmentSlot, "a fragment and its NUL fit a slot");

struct Fragment {
    char text[FragmentSlot];
    int length;
};

// A span known only at run time drawn by the generator, or by a cursor on it. A cursor takes
// the first try on a branch: most tries of most spans pass, and a predicted branch lets the
// draws after it go ahead without waiting for it.
inline int DrawSpan(AdditiveRandom& random, AdditiveRandom::Span span) { return random.Draw(span); }
inline int DrawSpan(AdditiveRandom::Cursor& cursor, AdditiveRandom::Span span) { return cursor.DrawFirstLikely(span); }

// Range(0, span.last) exactly as Range draws it: no draw at all for a single value.
template <typename Random>  // the generator or a cursor on it
int Pick(Random& random, AdditiveRandom::Span span)
{
    return span.last == 0 ? 0 : DrawSpan(random, span);
}

// A chance as the composer draws it: Range(1, of) <= in; Range draws nothing for of = 1, and
// of = 0 means no draw and never.
struct DrawnChance {
    bool draws;
    bool always;                // the result without a draw
    AdditiveRandom::Span span;  // Range(1, of) as Range(0, of - 1)
    std::uint32_t hitsBelow;    // a drawn 0-based value below this is a hit

    template <typename Random>
    bool Hit(Random& random) const
    {
        return draws ? static_cast<std::uint32_t>(DrawSpan(random, span)) < hitsBelow : always;
    }
};

// How names of one gender (or a surname's stem) open and end.
struct CompiledGender {
    DrawnChance opening;  // at position 0 without a prefix: a consonant
    bool closesWithEnding;
    int endingKind;  // its endings' ContextKind
    int contextGender;  // whose contexts it draws in
    // Format 2: the positions its names draw from by Pick, in place of the style's range.
    std::vector<int> positionTable;
    AdditiveRandom::Span positionSpan;
    std::vector<Fragment> endings;
    AdditiveRandom::Span endingSpan;
};

// One of a format 2 style's tables, numbered as ContextStates::TableOf numbers them: every slot
// a draw can give (for vowels one per masked draw), with the group its fragment makes.
struct ContextTable {
    std::vector<Fragment> fragments;
    AdditiveRandom::Span span;
    std::vector<int> groups;                // by slot: the group's number, -1 for none named
    std::vector<std::uint16_t> vowelClass;  // vowel tables, by slot: 0 marks a draw to take again
};

struct CompiledStyle {
    StyleData data;

    // The drawable consonants, then the drawable clusters from clusterBase on: one index picks
    // either.
    std::vector<Fragment> consonants;
    int clusterBase;
    AdditiveRandom::Span consonantSpan, clusterSpan, vowelSpan;
    // Vowel slots for every masked draw (those past the table are never taken), and their
    // classes: slots with equal text share a class; class 0 marks a draw to take again.
    std::vector<Fragment> vowels;
    std::vector<std::uint16_t> vowelClass;    // after a vowel, or with nothing before
    std::vector<std::uint16_t> openingClass;  // position 0: 0 also for the vowels that never open
    std::vector<std::uint16_t> blockedAfter;  // by class: the class refused next (0: none)

    AdditiveRandom::Span positions;  // Range(minPositions, maxPositions) as Range(0, n)
    int minPositions;
    DrawnChance consonantChance, clusterChance;
    bool clusterOpens;
    int maxVowelRun;
    int endingFrom;
    CompiledGender genders[3];  // Male, Female, Neutral (as the style makes them, or not at all)
    bool hasNeutral = false;

    // Surnames: the stem's voice differs from the given names' only in positions and closing.
    AdditiveRandom::Span stemPositions;
    int stemMinPositions;
    CompiledGender stem;
    std::vector<Fragment> heads, tails;
    AdditiveRandom::Span headSpan, tailSpan;

    std::vector<std::string> vowelEnds;  // the vowel letters and their capitals, as UTF-8
    bool asciiVowelEnd[128] = {};        // the same for the one-byte ones
    std::vector<std::string> vowelTexts; // by class, from 1 (0 is empty)
    bool classic = false;  // the given-name rules draw with classic's numbers
    // For classic's path: the vowel rules as sets of refused masked draws (a bit each).
    std::vector<std::uint32_t> redrawsAfterVowel;  // by masked draw
    std::vector<std::uint32_t> redrawsAfterClass;  // by class; 0: only the draws past the table
    std::uint32_t redrawsOpening = 0;
    int longestWithPrefix = 0, longestWithoutPrefix = 0, longestSurname = 0;
    int prefixRoom = 0;  // the most prefix bytes a name of the style has room for
    std::vector<std::uint64_t> guard;  // sorted, each hash once
    bool hasJoins = false;  // some fragment holds a hyphen or apostrophe: the letter after is capital
    // Some fragment opens with one (it joins the fragment to the one before): appended first in
    // a name, or after a prefix ending in one, the fragment goes without it.
    bool opensWithJoins = false;
    // Format 2: the states of the contexts, and every table by number.
    bool hasContexts = false;
    ContextStates contexts[3];  // by gender
    std::vector<ContextTable> contextTables;

    // The class of refused vowels while the last vowel is the given text (the prefix).
    std::uint16_t BlockedAfterText(const char* text, int length) const;
    bool EndsInVowelLetter(const char* text, int length) const;
};

// Where a style is wrong: the file's key ("tables.vowels"), the entry's index in it (-1 for the
// key itself), and what is wrong.
struct StyleFault {
    // What a style whose names would run too long makes too long, for the learner to give up
    // what shortens it; None for every other fault.
    enum class TooLong { None, GivenNames, Surnames };

    std::string key;
    int index = -1;
    std::string message;
    TooLong tooLong = TooLong::None;
};

// Checks data and builds its voice; false with fault when the style is not valid.
bool CompileStyle(const StyleData& data, CompiledStyle& voice, StyleFault& fault);

}  // namespace norvathel
