#include "name_reach.h"

#include <algorithm>
#include <cstdint>
#include <unordered_set>

namespace norvathel {

namespace {

char LowerByte(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string Lowered(std::string text)
{
    for (char& c : text)
        c = LowerByte(c);
    return text;
}

bool Contains(const std::vector<std::string>& texts, const std::string& text)
{
    return std::find(texts.begin(), texts.end(), text) != texts.end();
}

// How much of ending the text read so far ends with: a matching automaton over bytes (the
// failure function of Knuth, Morris and Pratt, unrolled into a table).
class EndingMatcher {
public:
    explicit EndingMatcher(const std::string& lowerEnding) : size(static_cast<int>(lowerEnding.size()))
    {
        table.assign(static_cast<std::size_t>(size + 1) * 256, 0);
        std::vector<int> border(static_cast<std::size_t>(size + 1), 0);
        for (int state = 0; state <= size; ++state) {
            for (int byte = 0; byte < 256; ++byte) {
                int& target = table[static_cast<std::size_t>(state) * 256 + static_cast<std::size_t>(byte)];
                if (state < size && static_cast<unsigned char>(lowerEnding[static_cast<std::size_t>(state)]) == byte)
                    target = state + 1;
                else
                    target = state == 0 ? 0 : table[static_cast<std::size_t>(border[static_cast<std::size_t>(state)]) * 256 + static_cast<std::size_t>(byte)];
            }
            if (state < size && state > 0)
                border[static_cast<std::size_t>(state + 1)] =
                    table[static_cast<std::size_t>(border[static_cast<std::size_t>(state)]) * 256 +
                          static_cast<unsigned char>(lowerEnding[static_cast<std::size_t>(state)])];
        }
    }

    int States() const { return size + 1; }
    bool Complete(int state) const { return state == size; }
    int Read(int state, const std::string& text) const
    {
        for (char c : text)
            state = table[static_cast<std::size_t>(state) * 256 + static_cast<unsigned char>(LowerByte(c))];
        return state;
    }

private:
    int size;
    std::vector<int> table;
};

}  // namespace

void LengthSet::Add(int length)
{
    if (length < 0)
        return;
    if (static_cast<std::size_t>(length) >= lengths.size())
        lengths.resize(static_cast<std::size_t>(length) + 1, false);
    lengths[static_cast<std::size_t>(length)] = true;
}

void LengthSet::Merge(const LengthSet& other)
{
    for (std::size_t length = 0; length < other.lengths.size(); ++length)
        if (other.lengths[length])
            Add(static_cast<int>(length));
}

bool LengthSet::Has(int length) const
{
    return length >= 0 && static_cast<std::size_t>(length) < lengths.size() &&
           lengths[static_cast<std::size_t>(length)];
}

int LengthSet::Lowest() const
{
    for (std::size_t length = 0; length < lengths.size(); ++length)
        if (lengths[length])
            return static_cast<int>(length);
    return -1;
}

int LengthSet::Highest() const
{
    for (std::size_t length = lengths.size(); length-- > 0;)
        if (lengths[length])
            return static_cast<int>(length);
    return -1;
}

bool LengthSet::AnyWithin(int lowest, int highest) const
{
    for (int length = std::max(lowest, 0); length <= highest; ++length)
        if (Has(length))
            return true;
    return false;
}

// One exhaustive walk through every way a name can be composed, the composer's steps in its
// own order, from a set of vowel counts carried in. The text itself is not kept, only its
// length and how much of the ending it ends with, so the states are few. Vowel counts above
// the kind rule's limit behave alike and share one value.
struct NameReach::Walk {
    const ComposerRules& rules;
    Gender gender;
    const std::string& prefix;
    const EndingMatcher& ending;

    // What the walk found: the lengths of the finished names (of those that end with the
    // ending), and the vowel counts they leave to the next name.
    LengthSet all;
    LengthSet matched;
    unsigned endRuns = 0;

    struct State {
        int position, positions, vowelRun;
        bool afterConsonant;
        int lastVowel;  // an index into rules.vowels, or NoVowel, or PrefixVowel
        int length, match;
    };
    int NoVowel() const { return static_cast<int>(rules.vowels.size()); }
    int PrefixVowel() const { return NoVowel() + 1; }
    int TopRun() const { return rules.vowelRunLimit + 1; }

    int longest = 0;  // the longest text a name can reach, prefix included
    std::vector<std::uint8_t> seen;  // bytes, not bits: the walk tests and sets one per step
    // Where the states would be too many to hold one byte each (a style with many positions,
    // long fragments and a long ending), the states reached, as a set.
    std::unordered_set<std::size_t> seenSparse;
    bool sparse = false;
    std::vector<State> pending;

    bool Ends(Gender of) const { return of == Male ? rules.maleEnds : rules.femaleEnds; }
    const std::vector<std::string>& EndingsOf(Gender of) const
    {
        return of == Male ? rules.maleEndings : rules.endings;
    }

    Walk(const ComposerRules& composer, Gender nameGender, const std::string& namePrefix,
         const EndingMatcher& matcher)
        : rules(composer), gender(nameGender), prefix(namePrefix), ending(matcher)
    {
        std::size_t widest = 0;
        for (const auto* list : {&rules.consonants, &rules.clusters, &rules.vowels, &rules.endings, &rules.maleEndings})
            for (const std::string& text : *list)
                widest = std::max(widest, text.size());
        longest = static_cast<int>(prefix.size() + (static_cast<std::size_t>(rules.mostPositions) + 1) * widest);
        const std::size_t states = static_cast<std::size_t>(rules.mostPositions + 1) *
                                   static_cast<std::size_t>(rules.mostPositions + 1) *
                                   static_cast<std::size_t>(TopRun() + 1) * 2 *
                                   static_cast<std::size_t>(PrefixVowel() + 1) *
                                   static_cast<std::size_t>(longest + 1) *
                                   static_cast<std::size_t>(ending.States());
        sparse = states > (std::size_t(1) << 24);
        if (!sparse)
            seen.assign(states, 0);
    }

    std::size_t Index(const State& s) const
    {
        std::size_t index = static_cast<std::size_t>(s.position);
        index = index * static_cast<std::size_t>(rules.mostPositions + 1) + static_cast<std::size_t>(s.positions);
        index = index * static_cast<std::size_t>(TopRun() + 1) + static_cast<std::size_t>(s.vowelRun);
        index = index * 2 + (s.afterConsonant ? 1 : 0);
        index = index * static_cast<std::size_t>(PrefixVowel() + 1) + static_cast<std::size_t>(s.lastVowel);
        index = index * static_cast<std::size_t>(longest + 1) + static_cast<std::size_t>(s.length);
        return index * static_cast<std::size_t>(ending.States()) + static_cast<std::size_t>(s.match);
    }

    void Visit(const State& s)
    {
        const std::size_t index = Index(s);
        if (sparse) {
            if (seenSparse.insert(index).second)
                pending.push_back(s);
        } else if (!seen[index]) {
            seen[index] = 1;
            pending.push_back(s);
        }
    }

    State Appended(State s, const std::string& text) const
    {
        s.length += static_cast<int>(text.size());
        s.match = ending.Read(s.match, text);
        return s;
    }

    void Finish(const State& s)
    {
        all.Add(s.length);
        if (ending.Complete(s.match))
            matched.Add(s.length);
        endRuns |= 1u << s.vowelRun;
    }

    bool EndsInConsonant(const std::string& text) const
    {
        if (text.empty())
            return false;
        if (rules.vowelEnds.empty())
            return rules.vowelLetters.find(text.back()) == std::string::npos;
        for (const std::string& letter : rules.vowelEnds)
            if (text.size() >= letter.size() && text.compare(text.size() - letter.size(), letter.size(), letter) == 0)
                return false;
        return true;
    }

    // May the vowel fragment follow what lastVowel holds, at this position?
    bool VowelAllowed(const State& s, int vowel) const
    {
        const std::string& text = rules.vowels[static_cast<std::size_t>(vowel)];
        if (s.position == 0)
            return !Contains(rules.neverOpening, text);
        if (s.lastVowel == NoVowel())
            return true;
        const std::string& last =
            s.lastVowel == PrefixVowel() ? prefix : rules.vowels[static_cast<std::size_t>(s.lastVowel)];
        return Contains(rules.repeatable, last) || text != last;
    }

    void Run(unsigned carriedRuns)
    {
        for (int positions = rules.fewestPositions; positions <= rules.mostPositions; ++positions)
            for (int run = 0; run <= TopRun(); ++run) {
                if (!(carriedRuns >> run & 1u))
                    continue;
                State start = {0, positions, run, false, NoVowel(), 0, 0};
                if (!prefix.empty()) {
                    start = Appended(start, prefix);
                    start.lastVowel = PrefixVowel();
                    start.afterConsonant = EndsInConsonant(prefix);
                    start.position = 1;
                }
                Visit(start);
            }
        while (!pending.empty()) {
            const State s = pending.back();
            pending.pop_back();
            Step(s);
        }
    }

    void Step(const State& s)
    {
        if (s.position >= s.positions) {
            Close(s);
            return;
        }
        if (Ends(gender) && s.vowelRun == 0 && s.position >= s.positions - rules.endingLead) {
            for (const std::string& text : EndingsOf(gender))
                Finish(Appended(s, text));  // nothing follows an ending drawn in the loop
            return;
        }
        // The kind: the gender's opening draw at position 0 (there only without a prefix), then
        // the usual rule, each result the draws can give.
        bool consonantPossible = false, vowelPossible = false, decided = false;
        if (s.position == 0) {
            consonantPossible = rules.openingConsonant[gender];
            decided = !rules.openingDecides[gender];
        }
        if (!decided) {
            if (s.afterConsonant) {
                vowelPossible = true;
            } else {
                consonantPossible = consonantPossible || rules.consonantDrawn || s.vowelRun == rules.vowelRunLimit;
                vowelPossible = rules.vowelDrawn && s.vowelRun != rules.vowelRunLimit;
            }
        }
        if (consonantPossible) {
            State next = s;
            next.vowelRun = 0;
            next.afterConsonant = true;
            ++next.position;
            const bool clusterMayStand =
                s.position < s.positions - 1 && (s.position > 0 || rules.clusterOpens) && rules.clusterDrawn;
            if (rules.singleDrawn || !clusterMayStand)
                for (const std::string& text : rules.consonants)
                    Visit(Appended(next, text));
            if (clusterMayStand)
                for (const std::string& text : rules.clusters)
                    Visit(Appended(next, text));
        }
        if (vowelPossible) {
            State next = s;
            next.vowelRun = std::min(s.vowelRun + 1, TopRun());
            next.afterConsonant = false;
            ++next.position;
            for (int vowel = 0; vowel < NoVowel(); ++vowel) {
                if (!VowelAllowed(s, vowel))
                    continue;
                next.lastVowel = vowel;
                Visit(Appended(next, rules.vowels[static_cast<std::size_t>(vowel)]));
            }
        }
    }

    void Close(const State& s)
    {
        if (Ends(gender) && s.afterConsonant) {
            for (const std::string& text : EndingsOf(gender))
                Finish(Appended(s, text));
        } else if (!Ends(gender) && s.vowelRun != 0) {
            for (const std::string& text : rules.consonants)
                Finish(Appended(s, text));  // the closing consonant leaves the count as it was
        } else {
            Finish(s);
        }
    }
};

NameReach::NameReach(const ComposerRules& composer, Gender nameGender, const char* prefixText)
    : rules(composer), gender(nameGender)
{
    for (int place = 0; prefixText != nullptr && place < PrefixCapacity - 1 && prefixText[place] != '\0'; ++place)
        prefix += prefixText[place];
    // A board's first name starts with no vowels counted; each later one with what the name
    // before it left.
    const EndingMatcher anything("");
    for (int name = 0;; ++name) {
        Walk walk(rules, gender, prefix, anything);
        walk.Run(startRuns);
        lengths.Merge(walk.all);
        const unsigned reached = startRuns | walk.endRuns;
        if (name == NamesPerBoard - 1 || reached == startRuns)
            break;
        startRuns = reached;
    }
}

LengthSet NameReach::LengthsEndingWith(const std::string& endingText) const
{
    const EndingMatcher ending(Lowered(endingText));
    Walk walk(rules, gender, prefix, ending);
    walk.Run(startRuns);
    return walk.matched;
}

int NameReach::ForeignByte(const std::string& text) const
{
    const std::string lowerPrefix = Lowered(prefix);
    for (std::size_t place = 0; place < text.size(); ++place) {
        const char byte = LowerByte(text[place]);
        bool held = lowerPrefix.find(byte) != std::string::npos;
        for (const auto* list : {&rules.consonants, &rules.clusters, &rules.vowels, &rules.endings, &rules.maleEndings})
            for (const std::string& fragment : *list)
                held = held || fragment.find(byte) != std::string::npos;
        if (!held)
            return static_cast<int>(place);
    }
    return -1;
}

}  // namespace norvathel
