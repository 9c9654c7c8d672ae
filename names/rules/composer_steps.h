// The composer's rules, stated once. A name has a number of positions; each position takes a
// consonant fragment (a single consonant or a cluster) or a vowel fragment, and the name is
// then closed. Composing walks these rules drawing each choice; the analyses (the longest name
// a style can make, the lengths and endings it can reach) walk the same rules taking every
// result a choice could give.
//
// The walker hands in its Draws: Opening(), Consonant() and Cluster() each give the results a
// chance can give here, the composer's by drawing once (Drawn: exactly one result), an
// analysis's by what the chance allows (Results). The rules ask for them in the composer's order and only where the
// composer draws, so a walk over these functions consumes exactly the composer's draws.
//
// What is drawn (which fragment of a table, how many positions) and the vowel rules (a vowel
// that never opens a name, a vowel that never follows itself) sit in the tables each walker
// reads, made once from the style; what follows is everything that decides which table.
#pragma once

#include <norvathel/additive_random.h>  // NORVATHEL_ALWAYS_INLINE

namespace norvathel {

// The results a chance can give at one place: hit (the rule's first choice), miss, or both.
struct Results {
    bool hit, miss;
};

// The one result a draw gave.
struct Drawn {
    bool hit;
};

inline bool Hits(const Results& results) { return results.hit; }
inline bool Misses(const Results& results) { return results.miss; }
inline bool Hits(Drawn drawn) { return drawn.hit; }
inline bool Misses(Drawn drawn) { return !drawn.hit; }

// "in of" (Range(1, of) <= in) as the results it can give: of = 0 never hits; of = 1 decides
// without a draw.
inline Results ResultsOf(int in, int of)
{
    return {of > 0 && in > 0, of == 0 || in < of};
}

// Where a walk stands in a name is told by: the positions left (this one included); whether
// it is at position 0 with no prefix before it (a prefix stands in for position 0, so after
// one the walk starts at position 1); whether the fragment before was a consonant one (or the
// prefix ends in a consonant); and the vowel fragments in a row so far. A consonant fragment
// sets that count to 0, a vowel fragment adds 1, and the count carries from name to name.

// A gender that closes with an ending draws it in the loop, closing the name at once, when no
// vowel fragment stands last and at most endingFrom positions are left.
NORVATHEL_ALWAYS_INLINE bool EndingDue(bool closesWithEnding, int vowelRun, int remaining, int endingFrom)
{
    return closesWithEnding && vowelRun == 0 && remaining <= endingFrom;
}

// The kinds the fragment at a place can be.
struct Kinds {
    bool consonant, vowel;
};

// At position 0 the gender's opening draw may make it a consonant, and if it does that is
// all. Then: after a consonant a vowel; otherwise the kind draw decides, and a consonant is
// forced once maxVowelRun vowels stand in a row (the draw is made all the same).
template <typename Draws>
NORVATHEL_ALWAYS_INLINE Kinds KindsAt(Draws& draws, bool atStart, bool afterConsonant, int vowelRun, int maxVowelRun)
{
    bool opens = false;  // the opening draw can make it a consonant
    if (atStart) {
        const auto opening = draws.Opening();
        if (!Misses(opening))
            return {true, false};
        opens = Hits(opening);
    }
    if (afterConsonant)
        return {opens, true};
    const auto consonant = draws.Consonant();
    const bool forced = vowelRun == maxVowelRun;
    return {opens || Hits(consonant) || forced, Misses(consonant) && !forced};
}

// The tables a consonant fragment can come from.
struct ConsonantTables {
    bool single, cluster;
};

// Every consonant fragment makes the cluster draw. A cluster stands where the draw hits and a
// cluster may stand: never at a name's last position, at position 0 only when the style lets
// clusters open a name; anywhere else a single consonant does.
template <typename Draws>
NORVATHEL_ALWAYS_INLINE ConsonantTables ConsonantTablesAt(Draws& draws, bool atStart, int remaining, bool clusterOpens)
{
    const auto cluster = draws.Cluster();
    const bool mayStand = remaining > 1 && (!atStart || clusterOpens);
    // No branch on the draw: its outcome feeds the composer's arithmetic.
    const bool single = Misses(cluster) | !mayStand;
    const bool clustered = Hits(cluster) & mayStand;
    return {single, clustered};
}

// How a name with no positions left is closed: a gender that closes with endings takes one
// after a consonant fragment, a gender that closes on a consonant takes a single consonant
// after a vowel fragment (the vowel count then carries on as it was).
enum class Closure { Nothing, Ending, Consonant };

NORVATHEL_ALWAYS_INLINE Closure ClosureAt(bool closesWithEnding, bool afterConsonant, int vowelRun)
{
    if (closesWithEnding)
        return afterConsonant ? Closure::Ending : Closure::Nothing;
    return vowelRun != 0 ? Closure::Consonant : Closure::Nothing;
}

}  // namespace norvathel
