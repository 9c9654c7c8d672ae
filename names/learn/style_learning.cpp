// Learning a style from example names: split each name into consonant groups and vowel
// groups, count them, and turn the counts into the composer's tables and numbers. Everything
// is counted in integers and kept in ordered maps, so the same examples give the same style,
// in any order, on every platform.
//
// How a learned style composes: consonant and vowel groups strictly alternate (a vowel run of
// one fragment), a name opens with a consonant as often as the examples of its gender do, and
// every name ends with an ending: an example's last vowel group and the consonants after it.
// Consonant groups that open some example are the consonants; those seen only inside names
// are the clusters, which never open a name.
#include <norvathel/style_learning.h>

#include <algorithm>
#include <cstdint>
#include <array>
#include <cmath>
#include <map>
#include <set>
#include <utility>

#include "text/letters.h"
#include "text/unicode_letters.h"
#include "learn/held_out.h"
#include "style/compiled_style.h"

namespace norvathel {

namespace {

struct Group {
    std::string text;
    bool vowel;
};

// A name's consonant groups and vowel groups, in order; they alternate. A letter carries the
// marks after it. "y" is a consonant before a vowel (Yara, Maya) and a vowel elsewhere (Kyle,
// Tory). A name in a script that writes no vowels as letters (Hebrew, Arabic) or writes
// syllables (Hangul, kana) is learned letter by letter: each letter a group of its own, taken
// as consonant and vowel in turn, so that drawn in context they follow one another as in the
// examples. False when the name is not small letters.
bool Groups(const std::string& name, std::vector<Group>& groups)
{
    struct Unit {
        std::string text;
        unsigned letter;
        std::string joinBefore;  // the hyphen or apostrophe before the letter, if any
    };
    std::vector<Unit> units;
    std::string join;
    for (std::size_t at = 0; at < name.size();) {
        const Letter letter = DecodeLetter(name, at);
        if (letter.length == 0)
            return false;
        const std::string bytes = name.substr(at, static_cast<std::size_t>(letter.length));
        at += static_cast<std::size_t>(letter.length);
        if (!units.empty() && join.empty() && IsMark(letter.codePoint)) {
            units.back().text += bytes;
            continue;
        }
        if (!units.empty() && join.empty() && IsJoin(letter.codePoint)) {
            join = bytes;
            continue;
        }
        if (!IsLetter(letter.codePoint) || SmallLetter(letter.codePoint) != letter.codePoint)
            return false;
        units.push_back({bytes, letter.codePoint, join});
        join.clear();
    }
    if (!join.empty())
        return false;  // a join ends the name
    groups.clear();
    // Latin, Greek, Cyrillic and the like write vowels: a name of theirs without one ("Brr")
    // gives no groups to learn from, as always.
    bool writesVowels = false;
    for (const Unit& unit : units)
        writesVowels = writesVowels || IsVowelLetter(unit.letter) || unit.letter == 'y' || unit.letter < 0x530 ||
                   (unit.letter >= 0x1E00 && unit.letter < 0x2000) || (unit.letter >= 0x10A0 && unit.letter < 0x1100);
    for (std::size_t k = 0; k < units.size(); ++k) {
        const unsigned c = units[k].letter;
        bool vowel = IsVowelLetter(c);
        if (c == 'y')
            vowel = !(k + 1 < units.size() && IsVowelLetter(units[k + 1].letter));
        if (!writesVowels)
            vowel = k % 2 == 1;
        // A join stays with the letter after it: inside its group (Jean-Luc's "n-l"), or
        // opening the next one (O'Neil's "'n"), which the composer appends without it where
        // nothing stands before.
        if (groups.empty() || groups.back().vowel != vowel || !writesVowels)
            groups.push_back({"", vowel});
        groups.back().text += units[k].joinBefore + units[k].text;
    }
    return true;
}

using Counts = std::map<std::string, std::int64_t>;

// A share of a whole, as a fraction.
struct Share {
    std::int64_t part = 0, whole = 0;
};

// What follows a context (the one or two groups before): counted by the table it is drawn from.
enum FollowerKind { FollowingConsonant, FollowingVowel, FollowingEnding, FollowerKinds = FollowingEnding + 3 };
using Followers = std::map<std::vector<std::string>, std::array<Counts, FollowerKinds>>;

// The counts that make a style.
struct Tally {
    Followers followers;            // after the groups in names of every gender
    Followers followersOf[3];       // the same in names that serve one gender
    std::int64_t marked[3] = {};    // names marked with that gender
    bool twoSyllableEndings = false;  // with contexts: endings of up to two syllables
    Counts drawnEndings[3];           // the endings so, by gender
    Counts consonants, openingConsonants, openingVowelCounts, vowels, lastVowels, endings[3], tails;
    std::set<std::string> openingVowels, repeatedVowels, openEndings;  // open: ends in a vowel
    std::map<unsigned, std::int64_t> vowelLetters;
    Share opensWithConsonant[3], opensWithConsonantAll;
    std::map<int, std::int64_t> fragmentsBefore;  // fragments before the ending, per name
    // The same by gender, and by whether the name opens with a consonant.
    std::map<int, std::int64_t> fragmentsBeforeOf[3][2];
};

// Where the ending drawn for a name begins: at its last vowel group (last), or with endings
// of two syllables the vowel group two before it, where the whole fits a fragment.
std::size_t EndingStart(const std::vector<Group>& groups, std::size_t last, bool twoSyllables)
{
    std::size_t bytes = 0;
    for (std::size_t k = last >= 2 ? last - 2 : 0; k < groups.size(); ++k)
        bytes += groups[k].text.size();
    return twoSyllables && last >= 2 && bytes <= static_cast<std::size_t>(MaxFragmentBytes) ? last - 2 : last;
}

void Count(const std::vector<Group>& groups, ExampleGender gender, Tally& tally)
{
    std::size_t last = groups.size() - 1;
    while (!groups[last].vowel)
        --last;
    const std::string ending = groups[last].text + (last + 1 < groups.size() ? groups[last + 1].text : "");
    // With contexts an ending may also be a name's last two syllables (the vowel group and
    // consonant group before the last vowel group, then that ending), where they fit a fragment.
    const std::size_t cut = EndingStart(groups, last, tally.twoSyllableEndings);
    std::string drawnEnding;
    for (std::size_t k = cut; k < groups.size(); ++k)
        drawnEnding += groups[k].text;
    const bool opensWithConsonant = !groups[0].vowel;
    // A name marked with a gender serves it; an unmarked one serves every gender.
    const ExampleGender marks[3] = {ExampleGender::Male, ExampleGender::Female, ExampleGender::Neutral};
    for (int g : {Male, Female, Neutral}) {
        if (gender == ExampleGender::Either || gender == marks[g]) {
            ++tally.endings[g][ending];
            tally.opensWithConsonant[g].part += opensWithConsonant ? 1 : 0;
            ++tally.opensWithConsonant[g].whole;
        }
    }
    tally.opensWithConsonantAll.part += opensWithConsonant ? 1 : 0;
    ++tally.opensWithConsonantAll.whole;
    if (last + 1 == groups.size())
        tally.openEndings.insert(ending);
    ++tally.lastVowels[groups[last].text];
    for (std::size_t k = 0; k < last; ++k) {
        ++(groups[k].vowel ? tally.vowels : tally.consonants)[groups[k].text];
        if (k == 0 && !groups[k].vowel)
            ++tally.openingConsonants[groups[k].text];
        if (k >= 2 && groups[k].vowel && groups[k].text == groups[k - 2].text)
            tally.repeatedVowels.insert(groups[k].text);
    }
    if (groups[0].vowel && last > 0) {
        tally.openingVowels.insert(groups[0].text);
        ++tally.openingVowelCounts[groups[0].text];
    }
    if (last > 0) {
        ++tally.fragmentsBefore[static_cast<int>(last)];
        ++tally.tails[groups[last - 1].text + ending];
    }
    for (int g : {Male, Female, Neutral})
        if ((last > 0 || tally.twoSyllableEndings) && (gender == ExampleGender::Either || gender == marks[g])) {
            ++tally.fragmentsBeforeOf[g][opensWithConsonant ? 1 : 0][static_cast<int>(cut)];
            ++tally.drawnEndings[g][drawnEnding];
        }
    // Each group after the first, and the ending, after the one and the two groups before it.
    const auto followIn = [&](Followers& followers, std::size_t k, int kind, const std::string& text) {
        if (k >= 1)
            ++followers[{groups[k - 1].text}][static_cast<std::size_t>(kind)][text];
        if (k >= 2)
            ++followers[{groups[k - 2].text, groups[k - 1].text}][static_cast<std::size_t>(kind)][text];
    };
    const auto follow = [&](std::size_t k, int kind, const std::string& text) {
        followIn(tally.followers, k, kind, text);
        for (int g : {Male, Female, Neutral})
            if (gender == ExampleGender::Either || gender == marks[g])
                if (kind < FollowingEnding || kind == FollowingEnding + g)
                    followIn(tally.followersOf[g], k, kind, text);
    };
    for (int g : {Male, Female, Neutral})
        tally.marked[g] += gender == marks[g] ? 1 : 0;
    for (std::size_t k = 1; k < cut; ++k)
        follow(k, groups[k].vowel ? FollowingVowel : FollowingConsonant, groups[k].text);
    for (int g : {Male, Female, Neutral})
        if (gender == ExampleGender::Either || gender == marks[g])
            follow(cut, FollowingEnding + g, drawnEnding);
    for (const Group& group : groups)
        for (std::size_t at = 0; group.vowel && at < group.text.size();) {
            const Letter letter = DecodeLetter(group.text, at);
            if (!IsJoin(letter.codePoint))  // "ie-a" in Marie-Anne: the join is no vowel
                ++tally.vowelLetters[letter.codePoint];
            at += static_cast<std::size_t>(letter.length);
        }
}

std::int64_t Gcd(std::int64_t a, std::int64_t b)
{
    while (b != 0) {
        std::int64_t r = a % b;
        a = b;
        b = r;
    }
    return a;
}

// A table of the counted fragments of at most cap bytes, each standing about count * target /
// total times (as often as counted when the total is below target, in lowest terms), most
// frequent first, equal weights in byte order. Fragments too rare for one slot are left out.
FragmentTable ToTable(const Counts& counts, std::int64_t target, int cap)
{
    std::int64_t total = 0, most = 0;
    for (const auto& entry : counts)
        if (entry.first.size() <= static_cast<std::size_t>(cap)) {
            total += entry.second;
            most = std::max(most, entry.second);
        }
    std::vector<std::pair<std::int64_t, std::string>> weights;
    std::int64_t common = 0, alone = 0;
    for (const auto& entry : counts) {
        if (entry.first.size() > static_cast<std::size_t>(cap))
            continue;
        std::int64_t weight = total <= target ? entry.second : (entry.second * target + total / 2) / total;
        // Nothing reached a slot: the most frequent stand alone, no more of them than the
        // table's size (the first in byte order), so that a list of thousands of different
        // groups still gives a table of about target entries.
        if (weight == 0 && entry.second == most && most * target * 2 < total && alone < target) {
            weight = 1;
            ++alone;
        }
        if (weight > 0) {
            weights.push_back({-weight, entry.first});
            common = Gcd(weight, common);
        }
    }
    std::sort(weights.begin(), weights.end());
    FragmentTable table;
    for (const auto& weighted : weights)
        table.fragments.insert(table.fragments.end(), static_cast<std::size_t>(-weighted.first / common),
                               weighted.second);
    table.drawn = static_cast<int>(table.fragments.size());
    return table;
}

// "in of" for a share, of at most 64 and in lowest terms: [0, 0] for never, [1, 1] for always.
Chance ChanceOf(Share share)
{
    if (share.part == 0 || share.whole == 0)
        return {0, 0};
    if (share.part >= share.whole)
        return {1, 1};
    std::int64_t in = std::min<std::int64_t>(63, std::max<std::int64_t>(1, (share.part * 64 + share.whole / 2) / share.whole));
    const std::int64_t common = Gcd(in, 64);
    return {static_cast<int>(in / common), static_cast<int>(64 / common)};
}

// The composer's positions for names like the examples. With strict alternation and an ending
// drawn as soon as it may stand (ending_from = 1), P positions give a name of P fragments before
// its ending when P's parity fits the opening (odd for a consonant, even for a vowel) and P - 1
// otherwise. The range [lo, hi] whose fragment counts come closest to the examples' (least L1
// distance, exactly in integers); ties go to the shorter range.
std::pair<int, int> FitPositions(const std::map<int, std::int64_t>& observed, Chance opening)
{
    const std::int64_t consonantWeight = opening.of == 0 ? 0 : opening.in;
    const std::int64_t weightOf = opening.of == 0 ? 1 : opening.of;
    std::int64_t observedTotal = 0;
    int longest = 0;
    for (const auto& entry : observed) {
        observedTotal += entry.second;
        longest = std::max(longest, entry.first);
    }
    const int span = std::max(longest, MaxPositions) + 1;
    std::pair<int, int> best{2, 2};
    std::int64_t bestDistance = -1, bestScale = 1;
    for (int lo = 2; lo <= MaxPositions; ++lo) {
        for (int hi = lo; hi <= MaxPositions; ++hi) {
            std::vector<std::int64_t> composed(static_cast<std::size_t>(span), 0);
            for (int p = lo; p <= hi; ++p) {
                composed[static_cast<std::size_t>(p % 2 == 1 ? p : p - 1)] += consonantWeight;
                composed[static_cast<std::size_t>(p % 2 == 0 ? p : p - 1)] += weightOf - consonantWeight;
            }
            const std::int64_t composedTotal = (hi - lo + 1) * weightOf;
            std::int64_t distance = 0;
            for (int f = 0; f < span; ++f) {
                auto seen = observed.find(f);
                const std::int64_t o = seen == observed.end() ? 0 : seen->second;
                const std::int64_t d = o * composedTotal - composed[static_cast<std::size_t>(f)] * observedTotal;
                distance += d < 0 ? -d : d;
            }
            // distance / composedTotal, compared without division
            if (bestDistance < 0 || distance * bestScale < bestDistance * composedTotal) {
                bestDistance = distance;
                bestScale = composedTotal;
                best = {lo, hi};
            }
        }
    }
    return best;
}

// Format 2: the positions a gender's names draw, weighted so that the groups before their
// ending come out as the examples' do (see FitPositions for the shapes: P positions give P
// groups when P's parity fits the opening, P - 1 otherwise, so each count of groups comes of
// two counts of positions). The weights are the mixture's by expectation-maximisation, in
// fixed point so that every platform learns the same; then a table of about 256 entries.
std::vector<int> PositionTable(const std::map<int, std::int64_t> (&before)[2], int most)
{
    // One position is the ending alone, drawn at once.
    const auto groupsOf = [](int positions, int consonant) {
        return positions == 1 ? 0 : (positions % 2 == 1) == (consonant == 1) ? positions : positions - 1;
    };
    const std::int64_t One = std::int64_t(1) << 20;
    std::int64_t weight[MaxPositions + 1] = {};
    for (int p = 1; p <= most; ++p)
        weight[p] = One;
    for (int round = 0; round < 100; ++round) {
        std::int64_t next[MaxPositions + 1] = {}, total = 0;
        for (int consonant = 0; consonant < 2; ++consonant)
            for (const auto& seen : before[consonant]) {
                std::int64_t sum = 0;
                for (int p = 1; p <= most; ++p)
                    sum += groupsOf(p, consonant) == seen.first ? weight[p] : 0;
                for (int p = 1; p <= most && sum > 0; ++p)
                    if (groupsOf(p, consonant) == seen.first)
                        next[p] += seen.second * weight[p] * 65536 / sum;
            }
        for (int p = 1; p <= most; ++p)
            total += next[p];
        if (total == 0)
            break;
        for (int p = 1; p <= most; ++p)
            weight[p] = next[p] * One / total;
    }
    std::vector<std::int64_t> entries(static_cast<std::size_t>(MaxPositions + 1), 0);
    std::int64_t common = 0;
    for (int p = 1; p <= most; ++p) {
        entries[static_cast<std::size_t>(p)] = (weight[p] * 256 + One / 2) / One;
        common = Gcd(entries[static_cast<std::size_t>(p)], common);
    }
    std::vector<int> table;
    for (int p = 1; p <= most && common > 0; ++p)
        table.insert(table.end(), static_cast<std::size_t>(entries[static_cast<std::size_t>(p)] / common), p);
    return table;
}

// How many consonant fragments after the first the composer draws, and how many of those stand
// at a name's last position (where a cluster may not), over the positions lo..hi and the
// opening chance, weighted as the composer draws them. See FitPositions for the shapes.
Share ConsonantsAtLastPosition(std::pair<int, int> positions, Chance opening)
{
    const std::int64_t consonantWeight = opening.of == 0 ? 0 : opening.in;
    const std::int64_t weightOf = opening.of == 0 ? 1 : opening.of;
    Share last;  // part: at the last position; whole: every consonant after the first fragment
    for (int p = positions.first; p <= positions.second; ++p) {
        const int opensWithConsonant = p % 2 == 1 ? p : p - 1;  // fragments before the ending
        const int opensWithVowel = p % 2 == 0 ? p : p - 1;
        last.whole += consonantWeight * ((opensWithConsonant - 1) / 2) + (weightOf - consonantWeight) * (opensWithVowel / 2);
        last.part += (p % 2 == 1 && p > 1 ? consonantWeight : 0) + (p % 2 == 0 ? weightOf - consonantWeight : 0);
    }
    return last;
}

enum TableKind {
    ConsonantTable, ClusterTable, VowelTable, MaleEndingTable, FemaleEndingTable, NeutralEndingTable, TailTable,
    TableKinds
};

// Turns a tally into a style, then gives up the least it can (the rarest longest fragments,
// or the longest positions) until no name can run over its limit.
class Learner {
public:
    // minFollowers: how often a context must have been followed to get a table of its own.
    Learner(const Tally& counted, int styleFormat, std::int64_t leastFollowers)
        : tally(counted), format(styleFormat), minFollowers(leastFollowers)
    {
        for (int g : {Male, Female, Neutral})
            for (int opening = 0; opening < 2; ++opening)
                fittedBefore[g][opening] = tally.fragmentsBeforeOf[g][opening];
        for (int& cap : caps)
            cap = MaxFragmentBytes;
        for (int g : {Male, Female})
            for (const auto& entry : Endings(g))
                bothEndings[entry.first] += entry.second;
        positions = FitPositions(tally.fragmentsBefore, ChanceOf(tally.opensWithConsonantAll));
        if (format == ContextStyleFormat)
            positions.second = MaxPositions;  // each gender's table is fitted within it
        for (const auto& entry : tally.consonants) {
            const auto opening = tally.openingConsonants.find(entry.first);
            const std::int64_t inside = entry.second - (opening == tally.openingConsonants.end() ? 0 : opening->second);
            (opening == tally.openingConsonants.end() ? clusters : consonants)[entry.first] = entry.second;
            (opening == tally.openingConsonants.end() ? insideShare.part : insideShare.whole) += inside;
        }
        insideShare.whole += insideShare.part;
        // Clusters are drawn only inside a name and never last: with no place for them, every
        // consonant group is a consonant.
        const Share last = ConsonantsAtLastPosition(positions, ChanceOf(tally.opensWithConsonantAll));
        if (clusters.empty() || last.part >= last.whole) {
            consonants = tally.consonants;
            clusters.clear();
        } else {
            // Drawn where a cluster may stand, as often as the examples hold one inside a name.
            clusterChance = ChanceOf({insideShare.part * last.whole, insideShare.whole * (last.whole - last.part)});
        }
    }

    bool Learn(StyleData& data, StyleFault& fault)
    {
        Fill(data);
        if (data.consonants.fragments.empty()) {
            // The consonants are the groups that open a name; the others only stand inside one.
            fault.message = tally.consonants.empty() ? "no example name has a consonant before a vowel"
                                                     : "no example name opens with a consonant";
            return false;
        }
        if (data.femaleEndings.fragments.empty() || data.maleEndings.fragments.empty()) {
            fault.message = "no example name has a vowel group of at most " + std::to_string(MaxFragmentBytes) +
                            " bytes";
            return false;
        }
        for (;;) {
            CompiledStyle voice;
            fault = StyleFault();
            if (CompileStyle(data, voice, fault))
                return true;
            if (fault.tooLong == StyleFault::TooLong::None)
                return false;  // a fault of this learner: the caller reports it as it is
            const bool givenTooLong = fault.tooLong == StyleFault::TooLong::GivenNames;
            if (!GiveUp(givenTooLong, data)) {
                fault.message = "the example names' groups are too long for names of at most " +
                                std::to_string(MaxNameLength) + " bytes";
                return false;
            }
            Fill(data);
        }
    }

private:
    // The endings a gender's names are closed with: with contexts, as they are drawn.
    const Counts& Endings(int gender) const
    {
        return format == ContextStyleFormat ? tally.drawnEndings[gender] : tally.endings[gender];
    }

    const Counts& CountsOf(int kind) const
    {
        switch (kind) {
        case ConsonantTable: return consonants;
        case ClusterTable: return clusters;
        case VowelTable: return tally.vowels.empty() ? tally.lastVowels : tally.vowels;
        case MaleEndingTable: return Endings(Male).empty() ? Endings(Female) : Endings(Male);
        case FemaleEndingTable: return Endings(Female).empty() ? Endings(Male) : Endings(Female);
        // Without a name for no gender, the endings of both genders.
        case NeutralEndingTable: return Endings(Neutral).empty() ? bothEndings : Endings(Neutral);
        default: return tally.tails;
        }
    }

    FragmentTable Table(int kind) const
    {
        // Given names' tables hold about 200 entries, so a group rarer than one in 400 is left
        // out; surnames' tails fewer, to keep to their most common syllables.
        const std::int64_t target = kind == TailTable ? 60 : 200;
        FragmentTable table = ToTable(CountsOf(kind), target, caps[kind]);
        if (kind == TailTable && table.fragments.empty())  // no syllable short enough: endings
            table = ToTable(CountsOf(FemaleEndingTable), target, caps[kind]);
        return table;
    }

    Chance Opening(int gender) const
    {
        return ChanceOf(tally.opensWithConsonant[gender].whole > 0 ? tally.opensWithConsonant[gender]
                                                                    : tally.opensWithConsonantAll);
    }

    // A name opens with a consonant when the opening chance hits or, failing that, the
    // consonant chance does: the consonant chance is the smaller gender's opening share, the
    // opening chances make up the rest. So a prefix that ends in a vowel is followed by a
    // consonant as often as a name opens with one, where that does not bend the openings.
    void Openings(StyleData& data) const
    {
        const Chance male = Opening(Male), female = Opening(Female);
        const auto share = [](Chance chance) { return Share{chance.in, chance.of == 0 ? 1 : chance.of}; };
        const Share m = share(male), f = share(female);
        const Share least = m.part * f.whole <= f.part * m.whole ? m : f;
        data.consonant = least.part == 0 ? Chance{0, 0} : least.part == least.whole ? Chance{1, 1} : ChanceOf(least);
        const auto rest = [&least](Share opening) {
            if (least.part >= least.whole)
                return Chance{0, 0};
            return ChanceOf({opening.part * least.whole - least.part * opening.whole,
                             opening.whole * (least.whole - least.part)});
        };
        data.maleOpening = rest(m);
        data.femaleOpening = rest(f);
        // Neutral names open as their own names do, as far as the genders' shared consonant
        // chance allows (it is set by the genders, whose names must not change for them).
        const Share n = share(Opening(Neutral));
        data.neutralOpening = n.part * least.whole >= least.part * n.whole ? rest(n) : Chance{0, 0};
    }

    // The share of a table's weight that ends in a vowel.
    Share OpenShare(const FragmentTable& table) const
    {
        Share share{0, static_cast<std::int64_t>(table.fragments.size())};
        for (const std::string& ending : table.fragments)
            share.part += tally.openEndings.count(ending) != 0 ? 1 : 0;
        return share;
    }

    void Fill(StyleData& data) const
    {
        data = StyleData();
        data.name = "learned";
        data.description = "Learned from " + std::to_string(tally.opensWithConsonantAll.whole) + " example names";
        data.consonants = Table(ConsonantTable);
        data.vowels = Table(VowelTable);
        if (data.vowels.fragments.size() == 1)
            data.vowels.fragments.push_back(data.vowels.fragments[0]);  // a draw needs two slots
        data.vowels.drawn = static_cast<int>(data.vowels.fragments.size());
        data.maleEndings = Table(MaleEndingTable);
        data.femaleEndings = Table(FemaleEndingTable);
        data.hasNeutral = true;
        data.neutralClosing = Closing::Ending;
        data.neutralEndings = Table(NeutralEndingTable);
        data.clusters = Table(ClusterTable);
        data.cluster = data.clusters.fragments.empty() ? Chance{0, 0} : clusterChance;
        data.clusterOpens = false;
        data.maxVowelRun = 1;
        data.endingFrom = 1;
        data.maleClosing = data.femaleClosing = Closing::Ending;
        Openings(data);
        data.minPositions = positions.first;
        data.maxPositions = positions.second;
        Letters(data);
        // Surnames: a short stem that ends as the gender whose endings more often end in a
        // vowel (so the tail's consonants meet a vowel), then a name's last syllable.
        data.surname.form = SurnameForm::StemAndTail;
        data.surname.minPositions = 2;
        data.surname.maxPositions = stemLongest;
        const Share female = OpenShare(data.femaleEndings), male = OpenShare(data.maleEndings);
        data.surname.closesAs = female.part * male.whole > male.part * female.whole ? Female : Male;
        data.surname.tails = Table(TailTable);
        if (format == ContextStyleFormat)
            Contexts(data);
    }

    // Format 2: every group inside a name is drawn after the groups before it, so consonants
    // and clusters are one table there, and the style's own tables serve where a name opens
    // (and where a group is too rare to have followers of its own).
    void Contexts(StyleData& data) const
    {
        data.format = ContextStyleFormat;
        int least = MaxPositions, most = 1;
        for (int g : {Male, Female, Neutral}) {
            const bool marked = !tally.fragmentsBeforeOf[g][0].empty() || !tally.fragmentsBeforeOf[g][1].empty();
            std::vector<int> table = PositionTable(fittedBefore[marked ? g : Female], positions.second);
            if (table.empty())
                continue;  // the range serves
            least = std::min(least, table.front());
            most = std::max(most, table.back());
            data.genderPositions[g] = std::move(table);
        }
        if (least <= most) {
            data.minPositions = least;
            data.maxPositions = most;
        }
        const FragmentTable opening = ToTable(tally.openingConsonants, 200, caps[ConsonantTable]);
        if (!opening.fragments.empty())
            data.consonants = opening;
        const FragmentTable openingVowels = ToTable(tally.openingVowelCounts, 200, caps[VowelTable]);
        if (std::set<std::string>(openingVowels.fragments.begin(), openingVowels.fragments.end()).size() >= 2)
            data.vowels = openingVowels;
        data.clusters = FragmentTable();
        data.cluster = {0, 0};
        Letters(data);
        // Every gender's entries, and where names are marked with genders, each marked gender's
        // own, which take the place of those for its names.
        for (int g : {-1, int(Male), int(Female), int(Neutral)}) {
            if (g >= 0 && tally.marked[g] == 0)
                continue;
            AddContexts(g < 0 ? tally.followers : tally.followersOf[g], g, data);
        }
    }

    void AddContexts(const Followers& followers, int gender, StyleData& data) const
    {
        for (const auto& entry : followers) {
            StyleContext context;
            context.after = entry.first;
            context.gender = gender;
            context.consonants = Followed(entry.second[FollowingConsonant], ConsonantTable);
            context.vowels = Followed(entry.second[FollowingVowel], VowelTable);
            std::set<std::string> vowels(context.vowels.fragments.begin(), context.vowels.fragments.end());
            if (vowels.size() == 1 && std::find(data.repeatable.begin(), data.repeatable.end(), *vowels.begin()) ==
                                          data.repeatable.end())
                context.vowels = FragmentTable();  // the vowel rules would refuse it after itself
            context.femaleEndings = Followed(entry.second[FollowingEnding + Female], FemaleEndingTable);
            context.maleEndings = Followed(entry.second[FollowingEnding + Male], MaleEndingTable);
            context.neutralEndings = Followed(entry.second[FollowingEnding + Neutral], NeutralEndingTable);
            if (!context.consonants.fragments.empty() || !context.vowels.fragments.empty() ||
                !context.femaleEndings.fragments.empty() || !context.maleEndings.fragments.empty() ||
                !context.neutralEndings.fragments.empty())
                data.contexts.push_back(std::move(context));
        }
    }

    // What followed a context, as its table: only where it followed often enough to say
    // something (otherwise the shorter context's, or the style's own, table serves), and of
    // groups no longer than the table's kind may now hold.
    FragmentTable Followed(const Counts& counts, int kind) const
    {
        Counts kept;
        std::int64_t total = 0;
        for (const auto& entry : counts) {
            const bool cluster = kind == ConsonantTable && tally.openingConsonants.count(entry.first) == 0;
            if (entry.first.size() <= static_cast<std::size_t>(caps[cluster ? ClusterTable : kind])) {
                kept.insert(entry);
                total += entry.second;
            }
        }
        if (total < minFollowers)
            return FragmentTable();
        return ToTable(kept, 400, MaxFragmentBytes);
    }

    void Letters(StyleData& data) const
    {
        std::set<std::string> vowels(data.vowels.fragments.begin(), data.vowels.fragments.end());
        data.noOpening.clear();
        data.repeatable.clear();
        for (const std::string& vowel : vowels) {
            if (!tally.openingVowels.count(vowel))
                data.noOpening.push_back(vowel);
            if (tally.repeatedVowels.count(vowel) || vowels.size() == 1)
                data.repeatable.push_back(vowel);
        }
        if (data.noOpening.size() == vowels.size())
            data.noOpening.clear();  // no vowel opens a name then, and one must be allowed to
        // With contexts any vowel group may be drawn inside a name: those seen after themselves
        // may repeat there too (as many as the field holds).
        for (const std::string& vowel : tally.repeatedVowels)
            if (format == ContextStyleFormat && !vowels.count(vowel) && data.repeatable.size() < 64)
                data.repeatable.push_back(vowel);
        // The vowel letters, the most used first while they fit the field, then in order.
        std::vector<std::pair<std::int64_t, unsigned>> used;
        for (const auto& entry : tally.vowelLetters)
            used.push_back({-entry.second, entry.first});
        std::sort(used.begin(), used.end());
        std::set<unsigned> kept;
        std::size_t bytes = 0;
        for (const auto& letter : used) {
            bytes += EncodeLetter(letter.second).size();
            if (bytes > 64)
                break;
            kept.insert(letter.second);
        }
        data.vowelLetters.clear();
        for (unsigned letter : kept)
            data.vowelLetters += EncodeLetter(letter);
        // A name opens with a consonant or vowel fragment: Latin capitals when one is not ASCII.
        data.capitals = Capitals::Ascii;
        for (const FragmentTable* table : {&data.consonants, &data.vowels})
            for (const std::string& fragment : table->fragments)
                if (static_cast<unsigned char>(fragment[0]) >= 0x80)
                    data.capitals = std::max(data.capitals, DecodeLetter(fragment, 0).codePoint < 0x180 ? Capitals::Latin
                                                                                                        : Capitals::Unicode);
    }

    // Gives up the cheapest thing that can make names shorter: the longest fragments of a
    // table (costing their share of the table) or the longest positions (costing their share
    // of names). False when nothing is left to give up.
    bool GiveUp(bool given, const StyleData& data)
    {
        std::vector<int> kinds = {ConsonantTable, VowelTable};
        if (!clusters.empty())
            kinds.push_back(ClusterTable);
        if (given) {
            kinds.push_back(MaleEndingTable);
            kinds.push_back(FemaleEndingTable);
            kinds.push_back(NeutralEndingTable);
        } else {
            kinds.push_back(data.surname.closesAs == Male ? MaleEndingTable : FemaleEndingTable);
            kinds.push_back(TailTable);
        }
        int chosen = -1;
        Share cheapest{1, 1};
        for (int kind : kinds) {
            const FragmentTable table = Table(kind);
            std::size_t longest = 0;
            for (const std::string& fragment : table.fragments)
                longest = std::max(longest, fragment.size());
            Share cost{0, static_cast<std::int64_t>(table.fragments.size())};
            for (const std::string& fragment : table.fragments)
                cost.part += fragment.size() == longest ? 1 : 0;
            if (cost.part < cost.whole && (chosen < 0 || cost.part * cheapest.whole < cheapest.part * cost.whole)) {
                chosen = kind;
                cheapest = cost;
                longestOf[kind] = static_cast<int>(longest);
            }
        }
        const int lo = given ? positions.first : 2, hi = given ? positions.second : stemLongest;
        if (hi > lo && (chosen < 0 || cheapest.part * (hi - lo + 1) >= cheapest.whole)) {
            (given ? positions.second : stemLongest) -= 1;
            return true;
        }
        if (chosen < 0)
            return false;
        caps[chosen] = longestOf[chosen] - 1;
        return true;
    }

public:
    // The guard takes the examples out of what a style composes, and short names are more
    // often examples: so a style that keeps them out gives fewer short names than the
    // examples have. Composes a sample without the guard, counts per gender, opening and
    // count of groups how many are examples, and learns the positions again from counts made
    // up for what the guard will take. Integers and a fixed seed: the same on every platform.
    bool MakeUpForGuard(const std::vector<std::uint64_t>& examples, StyleData& data, StyleFault& fault)
    {
        Style style;
        StyleError error;
        if (format != ContextStyleFormat || examples.empty() || !Style::FromData(data, style, error))
            return true;
        std::map<int, std::int64_t> made[3][2], copies[3][2];
        std::vector<Group> groups;
        for (int g : {Male, Female, Neutral}) {
            AdditiveRandom random;
            random.SeedFull(SampleSeed);
            Board board;
            const int sample = static_cast<int>(std::min<std::size_t>(SampleNames, 1000 + 20 * examples.size()));
            for (int composed = 0; composed < sample; composed += NamesPerBoard) {
                style.ComposeBoard(random, static_cast<Gender>(g), "", board);
                for (const char* name : board.names) {
                    const std::string small = SmallText(name);
                    if (!Groups(small, groups) || std::none_of(groups.begin(), groups.end(), [](const Group& x) { return x.vowel; }))
                        continue;
                    std::size_t last = groups.size() - 1;
                    while (!groups[last].vowel)
                        --last;
                    const int opening = groups[0].vowel ? 0 : 1;
                    const int before = static_cast<int>(EndingStart(groups, last, tally.twoSyllableEndings));
                    ++made[g][opening][before];
                    if (std::binary_search(examples.begin(), examples.end(), GuardHash(small)))
                        ++copies[g][opening][before];
                }
            }
        }
        for (int g : {Male, Female, Neutral})
            for (int opening = 0; opening < 2; ++opening)
                for (auto& seen : fittedBefore[g][opening]) {
                    const std::int64_t all = made[g][opening][seen.first], kept = all - copies[g][opening][seen.first];
                    if (all > 0)
                        seen.second = seen.second * all / std::max<std::int64_t>(kept, all / 8 + 1);
                }
        return Learn(data, fault);
    }

private:
    static constexpr int SampleNames = 6000;
    static constexpr std::uint64_t SampleSeed = 0x5eed;  // a context seen less is left to the shorter one

    const Tally& tally;
    int format;
    std::int64_t minFollowers;
    std::map<int, std::int64_t> fittedBefore[3][2];  // groups before the ending, made up for the guard
    Counts consonants, clusters;  // the consonant groups that open some example, and the others
    Counts bothEndings;           // the endings of both genders' names, for neutral ones
    Share insideShare;            // of the consonant groups inside names, those that are clusters
    Chance clusterChance;
    int caps[TableKinds];
    int longestOf[TableKinds] = {};
    std::pair<int, int> positions;
    int stemLongest = 3;
};

}  // namespace

namespace {

// The share of names a style composes (boards of each gender, unguarded) that are examples, in
// thousandths.
int CopiesPerThousand(const StyleData& data)
{
    Style style;
    StyleError error;
    if (data.guard.empty() || !Style::FromData(data, style, error))
        return 0;
    AdditiveRandom random;
    random.SeedFull(0xc0b1e5);
    Board board;
    int copies = 0, composed = 0;
    for (int b = 0; b < 300; ++b) {
        style.ComposeBoard(random, b % 2 ? Female : Male, "", board);
        for (int k = 0; k < NamesPerBoard; ++k, ++composed)
            copies += style.Guards(board.names[k], board.lengths[k]) ? 1 : 0;
    }
    return copies * 1000 / composed;
}

bool LearnOnce(const std::vector<ExampleName>& names, StyleData& data, LearningSummary& summary, StyleError& error,
               int format, bool twoSyllableEndings, std::int64_t minFollowers);

// Contexts so faithful that most names composed are examples would leave streams little but
// what the guard keeps out: such a list's contexts need more examples behind them, up to none.
bool LearnShaped(const std::vector<ExampleName>& names, StyleData& data, LearningSummary& summary, StyleError& error,
                 int format, bool twoSyllableEndings)
{
    const std::int64_t noContexts = std::int64_t(1) << 40;
    for (std::int64_t least = 2;; least = least >= 64 ? noContexts : least * 4) {
        if (!LearnOnce(names, data, summary, error, format, twoSyllableEndings, least))
            return false;
        if (format != ContextStyleFormat || least == noContexts || CopiesPerThousand(data) <= 800)
            return true;
    }
}

bool LearnOnce(const std::vector<ExampleName>& names, StyleData& data, LearningSummary& summary, StyleError& error,
               int format, bool twoSyllableEndings, std::int64_t minFollowers)
{
    const std::string source = error.source;
    error = StyleError();
    error.source = source;
    summary = LearningSummary();
    if (names.size() > static_cast<std::size_t>(MaxExampleNames)) {
        error.message = "more than " + std::to_string(MaxExampleNames) + " example names";
        return false;
    }
    Tally tally;
    tally.twoSyllableEndings = format == ContextStyleFormat && twoSyllableEndings;
    std::vector<Group> groups;
    for (const ExampleName& name : names) {
        if (!Groups(name.letters, groups) || name.letters.size() > static_cast<std::size_t>(MaxExampleLineBytes)) {
            error.message = "example " + std::to_string(summary.names + 1) + " is not small letters";
            return false;
        }
        ++summary.names;
        ++(name.gender == ExampleGender::Male      ? summary.male
           : name.gender == ExampleGender::Female  ? summary.female
           : name.gender == ExampleGender::Neutral ? summary.neutral
                                                   : summary.either);
        if (std::none_of(groups.begin(), groups.end(), [](const Group& group) { return group.vowel; }))
            ++summary.withoutVowel;
        else
            Count(groups, name.gender, tally);
    }
    StyleFault fault;
    Learner learner(tally, format, minFollowers);
    // The examples themselves are never given: their hashes, sorted so that the same names in
    // any order give the same file.
    std::vector<std::uint64_t> guard;
    for (const ExampleName& name : names)
        guard.push_back(GuardHash(name.letters));
    std::sort(guard.begin(), guard.end());
    guard.erase(std::unique(guard.begin(), guard.end()), guard.end());
    if (!learner.Learn(data, fault) || !learner.MakeUpForGuard(guard, data, fault)) {
        error.message = fault.key.empty() ? fault.message : "the learned style is not valid: " + fault.key + ": " + fault.message;
        return false;
    }
    data.guard = guard;
    return true;
}

}  // namespace

bool LearnStyle(const std::vector<ExampleName>& names, StyleData& data, LearningSummary& summary, StyleError& error,
                int format)
{
    // Endings of one syllable or of two: the one whose style is truer to a quarter of the
    // examples held out (in millionths of a bit, so that a tie goes the same way everywhere).
    bool two = false;
    if (format == ContextStyleFormat && names.size() >= 40) {  // fewer hold too little out to tell
        long long bits[2] = {-1, -1};
        for (int shape = 0; shape < 2; ++shape) {
            double measured = 0;
            const LearnWay way = [&](const std::vector<ExampleName>& rest, StyleData& learned) {
                LearningSummary ignored;
                StyleError fault;
                return LearnShaped(rest, learned, ignored, fault, format, shape == 1);
            };
            if (HeldOutDivergence(names, way, measured, 4000))
                bits[shape] = std::llround(measured * 1e6);
        }
        two = bits[1] >= 0 && (bits[0] < 0 || bits[1] < bits[0]);
    }
    return LearnShaped(names, data, summary, error, format, two);
}

std::string WriteLearnedStyle(const StyleData& data, const LearningSummary& summary)
{
    std::string head = "# Learned by norvathel-names learn from " + std::to_string(summary.names) +
                       " example names: " + std::to_string(summary.male) + " male, " +
                       std::to_string(summary.female) + " female, " +
                       (summary.neutral > 0 ? std::to_string(summary.neutral) + " neutral, " : "") +
                       std::to_string(summary.either) + " either";
    if (summary.withoutVowel > 0)
        head += " (" + std::to_string(summary.withoutVowel) + " without a vowel gave nothing)";
    return head +
           ".\n"
           "# Consonant groups and vowel groups stand in their tables about as often as the examples\n"
           "# use them; an ending is a name's last vowel group and the consonants after it. Groups\n"
           "# that open some example are consonants, the others clusters. Edit it like any style.\n" +
           WriteStyle(data);
}

bool LearnFromList(const std::string& text, const std::string& source, const LearnRequest& request,
                   LearnOutcome& outcome)
{
    outcome = LearnOutcome();
    std::vector<ExampleName> names;
    if (!ReadExampleNames(text, source, names, outcome.list))
        return false;
    outcome.fault.source = source;
    if (!LearnStyle(names, outcome.data, outcome.summary, outcome.fault, request.format))
        return false;
    if (!request.name.empty())
        outcome.data.name = request.name;
    if (!request.description.empty())
        outcome.data.description = request.description;
    if (request.allowCopies)
        outcome.data.guard.clear();
    if (!Style::FromData(outcome.data, outcome.style, outcome.fault)) {
        // The learned style loads: only what the request set can be wrong.
        outcome.badRequest = true;
        return false;
    }
    outcome.styleText = WriteLearnedStyle(outcome.data, outcome.summary);
    if (request.measure)
        MeasureLearning(names, outcome.data, outcome.quality);
    return true;
}

bool LearnStyleFile(const std::string& exampleText, const std::string& source, std::string& styleText,
                    StyleError& error)
{
    LearnRequest request;
    request.measure = false;
    LearnOutcome outcome;
    if (!LearnFromList(exampleText, source, request, outcome)) {
        error = outcome.list.faults.empty() ? outcome.fault : outcome.list.faults.front();
        return false;
    }
    styleText = outcome.styleText;
    return true;
}

}  // namespace norvathel
