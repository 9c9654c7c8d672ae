#include "rules/name_reach.h"

#include <algorithm>
#include <cstdint>
#include <unordered_map>

#include <set>

#include "compose/name_finishing.h"
#include "text/case_folding.h"
#include "text/letters.h"

namespace norvathel {

namespace {

// The text as the composer finishes a name that begins with it: its first letter after any
// "&x" pairs made capital by the style's rule.
std::string Capitalised(std::string text, const ComposerRules& rules)
{
    UpperCaseFirstLetterAs(rules.capitals, &text[0]);
    return text;
}

// True when the composer's capital falls after the prefix: it is nothing but whole "&x" pairs.
bool CapitalAfter(const std::string& prefix)
{
    std::size_t place = 0;
    while (place + 1 < prefix.size() && prefix[place] == '&')
        place += 2;
    return place == prefix.size();
}

bool Contains(const std::vector<std::string>& texts, const std::string& text)
{
    return std::find(texts.begin(), texts.end(), text) != texts.end();
}

// How much of ending the text read so far ends with: a matching automaton over the bytes of
// the folded texts (the failure function of Knuth, Morris and Pratt, unrolled into a table).
// Folding goes letter by letter, so a name's fragments folded one by one read as the name.
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
        for (char c : FoldedText(text))
            state = table[static_cast<std::size_t>(state) * 256 + static_cast<unsigned char>(c)];
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

// One exhaustive walk through every way a name can be composed, by the composer's own rules
// (rules/composer_steps.h) with every result each chance can give, from a set of vowel counts
// carried in. The text itself is not kept, only its length and how much of the ending it ends
// with, so the states are few. Vowel counts above the kind rule's limit behave alike and share
// one value.
//
// What the last vowel was matters only as the one vowel it keeps from following (none when it
// may repeat). A state reached with two different such vowels reaches together everything it
// reaches with no vowel kept out (each allows the one the other refuses), so each state holds
// one mark: unseen, one vowel kept out, or none; it is walked at most twice. Fragments that
// lengthen the text alike and leave the ending matched alike are one step, so a step costs
// what its distinct lengths and matches cost, not what its table's size does. Past a fixed
// amount of work the walk stops and says so: the caller refuses the question, not the style.
struct NameReach::Walk {
    const ComposerRules& rules;
    Gender gender;
    const std::string& prefix;
    const EndingMatcher& ending;
    std::uint64_t& work;  // shared by the walks of one question
    std::uint64_t limit;
    LengthUnit unit;

    // What the walk found: the lengths of the finished names (of those that end with the
    // ending), and the vowel counts they leave to the next name.
    LengthSet all;
    LengthSet matched;
    unsigned endRuns = 0;
    bool stopped = false;  // over the work limit: nothing found is to be trusted

    struct State {
        int remaining;  // positions left
        bool atStart;   // position 0, with no prefix before it
        int vowelRun;
        bool afterConsonant;
        int length, match;
        int context;  // a format 2 style's context state (rules/context_states.h); 0 otherwise
    };
    // A state's mark: unseen, free (no vowel kept out), or Kept + the vowel kept out.
    static constexpr std::uint16_t Unseen = 0, Free = 1, Kept = 2;
    int TopRun() const { return rules.maxVowelRun + 1; }

    // Fragments of one table that append alike: the bytes they add, the match and the context
    // they leave, and for vowels the ones that keep themselves out after (at most two listed,
    // and whether there are more) and whether one may repeat.
    struct Move {
        int bytes, match, next;
        int firstKept = -1, secondKept = -1;
        bool moreKept = false, free = false;
    };
    // Tables by ContextStates::TableOf's numbers; a name's opening vowels apart.
    static constexpr int OpeningVowels = -1;

    bool capitalAfterPrefix = false;
    int prefixLength = 0;  // in the unit
    int frontLength = -1;  // where an opening join is left out (nothing appended yet), -1: nowhere
    int longest = 0;  // the longest text a name can reach, prefix included
    int contextCount = 1;
    std::uint64_t states = 0;
    std::vector<std::uint16_t> seen;  // a mark per state, where that is few enough to hold
    // Otherwise the states reached, as a map (the work limit bounds its size).
    std::unordered_map<std::uint64_t, std::uint16_t> seenSparse;
    bool sparse = false;
    std::vector<std::pair<State, std::uint16_t>> pending;
    // Every vowel text of every table, numbered (the style's own first), and which may repeat.
    std::unordered_map<std::string, int> vowelNumbers;
    std::vector<bool> repeats;
    // The steps of a table from a context, by whether the text takes the name's capital and by
    // match; worked out when first needed.
    std::unordered_map<std::uint64_t, std::vector<Move>> steps;

    bool Ends(Gender of) const { return rules.closesWithEnding[of]; }
    const ContextStates& Contexts() const { return rules.contexts[gender]; }
    int EndingsOf(Gender of) const { return of == Male ? MaleEndingKind : of == Female ? FemaleEndingKind : NeutralEndingKind; }
    int TableOf(const State& s, int kind) const
    {
        return Contexts().Empty() ? kind : Contexts().TableOf(s.context, kind);
    }
    const std::vector<std::string>& Texts(int table) const
    {
        return rules.tables[static_cast<std::size_t>(table == OpeningVowels ? VowelKind : table)];
    }

    Walk(const ComposerRules& composer, Gender nameGender, const std::string& namePrefix,
         const EndingMatcher& matcher, std::uint64_t& sharedWork, std::uint64_t workLimit, LengthUnit lengthUnit)
        : rules(composer), gender(nameGender), prefix(namePrefix), ending(matcher), work(sharedWork),
          limit(workLimit), unit(lengthUnit)
    {
        capitalAfterPrefix = CapitalAfter(prefix);
        prefixLength = Measure(prefix);
        // As the composer appends: a fragment's opening join is left out at the name's start
        // and after a prefix that ends in one.
        bool opensWithJoins = false;
        for (const auto& list : rules.tables)
            for (const std::string& text : list)
                opensWithJoins = opensWithJoins || JoinBytes(text.c_str()) > 0;
        const bool prefixJoins = EndsWithJoin(prefix.c_str(), static_cast<int>(prefix.size()));
        frontLength = !opensWithJoins ? -1 : prefix.empty() ? 0 : prefixJoins ? prefixLength : -1;
        std::uint64_t widest = 0;
        for (const auto& list : rules.tables)
            for (const std::string& text : list)
                widest = std::max<std::uint64_t>(widest, text.size());
        contextCount = std::max(Contexts().Count(), 1);
        // In 64 bits on every build: the same states, and so the same answers, on 32-bit ones.
        const std::uint64_t reach = prefix.size() + (static_cast<std::uint64_t>(std::max(rules.maxPositions, 0)) + 1) * widest;
        longest = static_cast<int>(std::min<std::uint64_t>(reach, 1u << 20));
        stopped = reach > (1u << 20);
        states = static_cast<std::uint64_t>(std::max(rules.maxPositions, 0) + 1) * 2 *
                 static_cast<std::uint64_t>(TopRun() + 1) * 2 * static_cast<std::uint64_t>(longest + 1) *
                 static_cast<std::uint64_t>(ending.States()) * static_cast<std::uint64_t>(contextCount);
        sparse = states > (std::uint64_t(1) << 23);
        if (!sparse && !stopped)
            seen.assign(static_cast<std::size_t>(states), Unseen);
        for (std::size_t table = VowelKind; table < rules.tables.size(); table += ContextKinds)
            for (const std::string& text : rules.tables[table])
                if (vowelNumbers.emplace(text, static_cast<int>(repeats.size())).second)
                    repeats.push_back(Contains(rules.repeatable, text));
    }

    // A text's length as the constraints count it; no more than its bytes, so the bound on
    // lengths measured in bytes holds.
    int Measure(const std::string& text) const
    {
        return unit == LengthUnit::CodePoints ? CodePointCount(text.data(), text.size()) : static_cast<int>(text.size());
    }

    bool Spend(std::uint64_t amount)
    {
        work += amount;
        if (work > limit)
            stopped = true;
        return !stopped;
    }

    std::uint64_t Index(const State& s) const
    {
        std::uint64_t index = static_cast<std::uint64_t>(s.remaining) * 2 + (s.atStart ? 1 : 0);
        index = index * static_cast<std::uint64_t>(TopRun() + 1) + static_cast<std::uint64_t>(s.vowelRun);
        index = index * 2 + (s.afterConsonant ? 1 : 0);
        index = index * static_cast<std::uint64_t>(longest + 1) + static_cast<std::uint64_t>(s.length);
        index = index * static_cast<std::uint64_t>(contextCount) + static_cast<std::uint64_t>(s.context);
        return index * static_cast<std::uint64_t>(ending.States()) + static_cast<std::uint64_t>(s.match);
    }

    void Visit(const State& s, std::uint16_t mark)
    {
        if (s.length > longest) {
            stopped = true;  // beyond what the rules were measured to reach: not to be trusted
            return;
        }
        // A look into the map costs some tens of array steps: so counted, the limit bounds the
        // time either way.
        if (sparse && !Spend(16))
            return;
        const std::uint64_t index = Index(s);
        std::uint16_t& known = sparse ? seenSparse[index] : seen[static_cast<std::size_t>(index)];
        if (known == mark || known == Free)
            return;
        // A second vowel kept out: together the two keep none out.
        known = known == Unseen ? mark : std::uint16_t(Free);
        pending.push_back({s, known});
    }

    // Does this append take the name's capital? The first text after a prefix of whole "&x"
    // pairs (or none) holds it.
    int First(const State& s) const
    {
        return capitalAfterPrefix && s.length == prefixLength ? 1 : 0;
    }

    // The context a fragment leaves after the one s stands in.
    int NextContext(const State& s, const std::string& text) const
    {
        return Contexts().Empty() ? 0 : Contexts().Next(s.context, Contexts().Group(text));
    }

    const std::vector<Move>& StepsOf(int table, const State& s)
    {
        const int first = First(s);
        const int front = s.length == frontLength ? 1 : 0;
        std::uint64_t key = static_cast<std::uint64_t>(table + 1) * static_cast<std::uint64_t>(contextCount) +
                            static_cast<std::uint64_t>(Contexts().Empty() ? 0 : s.context);
        key = (key * 4 + static_cast<std::uint64_t>(first * 2 + front)) * static_cast<std::uint64_t>(ending.States()) +
              static_cast<std::uint64_t>(s.match);
        auto known = steps.find(key);
        if (known != steps.end())
            return known->second;
        std::vector<Move>& made = steps[key];
        const std::vector<std::string>& texts = Texts(table);
        std::uint64_t bytes = 0;
        for (const std::string& text : texts) {
            bytes += text.size() + 1;
            if (table == OpeningVowels && Contains(rules.neverOpening, text))
                continue;
            const std::string appended = front ? text.substr(static_cast<std::size_t>(JoinBytes(text.c_str()))) : text;
            const int length = Measure(appended);
            const int to = ending.Read(s.match, first ? Capitalised(appended, rules) : appended);
            const int next = NextContext(s, text);
            auto step = std::find_if(made.begin(), made.end(), [&](const Move& move) {
                return move.bytes == length && move.match == to && move.next == next;
            });
            if (step == made.end()) {
                made.push_back({length, to, next});
                step = made.end() - 1;
            }
            if (table != OpeningVowels && table % ContextKinds != VowelKind)
                continue;
            const int vowel = vowelNumbers.at(text);
            if (repeats[static_cast<std::size_t>(vowel)])
                step->free = true;
            else if (step->firstKept < 0)
                step->firstKept = vowel;
            else if (step->secondKept < 0)
                step->secondKept = vowel;
            else
                step->moreKept = true;
        }
        // Telling the steps apart costs a look at each one found so far.
        Spend(bytes + static_cast<std::uint64_t>(texts.size()) * made.size());
        return made;
    }

    State Appended(State s, const Move& step) const
    {
        s.length += step.bytes;
        s.match = step.match;
        s.context = step.next;
        return s;
    }

    void Finish(const State& s)
    {
        all.Add(s.length);
        if (ending.Complete(s.match))
            matched.Add(s.length);
        endRuns |= 1u << s.vowelRun;
    }

    void FinishWith(const State& s, int kind)
    {
        for (const Move& step : StepsOf(TableOf(s, kind), s))
            Finish(Appended(s, step));
    }

    // from: where the draw is made (its context); s: the state the fragment is appended to.
    void VisitWith(const State& from, const State& s, std::uint16_t mark, int kind)
    {
        for (const Move& step : StepsOf(TableOf(from, kind), from))
            Visit(Appended(s, step), mark);
    }

    bool EndsInConsonant(const std::string& text) const
    {
        if (text.empty())
            return false;
        for (const std::string& letter : rules.vowelEnds)
            if (text.size() >= letter.size() && text.compare(text.size() - letter.size(), letter.size(), letter) == 0)
                return false;
        return true;
    }

    // The mark a prefix leaves: the vowel equal to it kept out, unless that one may repeat.
    std::uint16_t PrefixMark() const
    {
        const auto vowel = vowelNumbers.find(prefix);
        if (vowel != vowelNumbers.end() && !repeats[static_cast<std::size_t>(vowel->second)])
            return static_cast<std::uint16_t>(Kept + vowel->second);
        return Free;
    }

    void Run(unsigned carriedRuns)
    {
        if (stopped)
            return;
        if (repeats.size() + Kept > 0xFFFF) {
            stopped = true;
            return;
        }
        for (int positions : rules.positions[gender])
            for (int run = 0; run <= TopRun(); ++run) {
                if (!(carriedRuns >> run & 1u))
                    continue;
                State start = {positions, true, run, false, 0, 0, 0};
                std::uint16_t mark = Free;
                if (!prefix.empty()) {
                    start.length = prefixLength;
                    start.match = ending.Read(0, Capitalised(prefix, rules));
                    start.afterConsonant = EndsInConsonant(prefix);
                    start.atStart = false;
                    start.remaining = positions - 1;
                    start.context = Contexts().AfterText(prefix, rules.vowelLetters);
                    mark = PrefixMark();
                }
                Visit(start, mark);
            }
        while (!pending.empty() && !stopped) {
            const auto next = pending.back();
            pending.pop_back();
            // Walked later, or already, with no vowel kept out.
            const std::uint64_t index = Index(next.first);
            if ((sparse ? seenSparse[index] : seen[static_cast<std::size_t>(index)]) != next.second)
                continue;
            if (Spend(1))
                Step(next.first, next.second);
        }
    }

    // Every result each chance can give.
    struct Draws {
        const ComposerRules& rules;
        Gender gender;
        Results Opening() const { return rules.opening[gender]; }
        Results Consonant() const { return rules.consonant; }
        Results Cluster() const { return rules.cluster; }
    };

    void Step(const State& s, std::uint16_t mark)
    {
        if (s.remaining <= 0) {
            Close(s);
            return;
        }
        if (EndingDue(Ends(gender), s.vowelRun, s.remaining, rules.endingFrom)) {
            FinishWith(s, EndingsOf(gender));  // nothing follows an ending drawn in the loop
            return;
        }
        Draws draws = {rules, gender};
        const Kinds kinds = KindsAt(draws, s.atStart, s.afterConsonant, s.vowelRun, rules.maxVowelRun);
        if (kinds.consonant) {
            const State next = {s.remaining - 1, false, 0, true, s.length, s.match, s.context};
            const ConsonantTables tables = ConsonantTablesAt(draws, s.atStart, s.remaining, rules.clusterOpens);
            if (tables.single)
                VisitWith(s, next, mark, ConsonantKind);
            if (tables.cluster)
                VisitWith(s, next, mark, ClusterKind);
        }
        if (kinds.vowel) {
            const State next = {s.remaining - 1, false, std::min(s.vowelRun + 1, TopRun()), false, s.length, s.match, s.context};
            const int kept = s.atStart || mark == Free ? -1 : mark - Kept;
            for (const Move& step : StepsOf(s.atStart ? OpeningVowels : TableOf(s, VowelKind), s)) {
                // The vowels of this step that may stand here, and what they keep out after.
                const int first = step.firstKept == kept ? -1 : step.firstKept;
                const int second = step.secondKept == kept ? -1 : step.secondKept;
                const int left = (first >= 0) + (second >= 0) + (step.moreKept ? 2 : 0);
                if (!step.free && left == 0)
                    continue;
                const std::uint16_t to = step.free || left >= 2 ? std::uint16_t(Free)
                                         : static_cast<std::uint16_t>(Kept + (first >= 0 ? first : second));
                Visit(Appended(next, step), to);
            }
        }
    }

    void Close(const State& s)
    {
        switch (ClosureAt(Ends(gender), s.afterConsonant, s.vowelRun)) {
        case Closure::Ending: FinishWith(s, EndingsOf(gender)); break;
        case Closure::Consonant: FinishWith(s, ConsonantKind); break;  // the count stays as it was
        case Closure::Nothing: Finish(s); break;
        }
    }
};

NameReach::NameReach(const ComposerRules& composer, Gender nameGender, const char* prefixText,
                     std::uint64_t limit, LengthUnit lengthUnit)
    : rules(composer), gender(nameGender), workLimit(limit), unit(lengthUnit)
{
    for (int place = 0; prefixText != nullptr && place < PrefixCapacity - 1 && prefixText[place] != '\0'; ++place)
        prefix += prefixText[place];
    // A board's first name starts with no vowels counted; each later one with what the name
    // before it left.
    const EndingMatcher anything("");
    for (int name = 0;; ++name) {
        Walk walk(rules, gender, prefix, anything, work, workLimit, unit);
        walk.Run(startRuns);
        if (walk.stopped) {
            stopped = true;
            return;
        }
        lengths.Merge(walk.all);
        const unsigned reached = startRuns | walk.endRuns;
        if (name == NamesPerBoard - 1 || reached == startRuns)
            break;
        startRuns = reached;
    }
}

LengthSet NameReach::LengthsEndingWith(const std::string& endingText) const
{
    if (stopped)
        return LengthSet();
    const EndingMatcher ending(FoldedText(endingText));
    Walk walk(rules, gender, prefix, ending, work, workLimit, unit);
    walk.Run(startRuns);
    stopped = walk.stopped;
    return walk.matched;
}

int NameReach::ForeignLetter(const std::string& text) const
{
    // Every letter a name is made of, folded, with the capitals the texts take: where the
    // capital falls is not asked here. A byte of text that is not UTF-8 is looked for as a
    // byte, as the filter compares it.
    std::string bytes = FoldedText(prefix + Capitalised(prefix, rules));
    for (const auto& list : rules.tables)
        for (const std::string& fragment : list)
            bytes += FoldedText(fragment + Capitalised(fragment, rules));
    std::set<unsigned> held;
    for (std::size_t at = 0; at < bytes.size();) {
        const Letter letter = DecodeLetter(bytes, at);
        held.insert(letter.codePoint);
        at += letter.length > 0 ? static_cast<std::size_t>(letter.length) : 1;
    }
    for (std::size_t at = 0; at < text.size();) {
        const Letter letter = DecodeLetter(text, at);
        if (letter.length == 0) {
            if (bytes.find(text[at]) == std::string::npos)
                return static_cast<int>(at);
            ++at;
            continue;
        }
        const std::string folded = FoldedText(text.substr(at, static_cast<std::size_t>(letter.length)));
        if (held.count(DecodeLetter(folded, 0).codePoint) == 0)
            return static_cast<int>(at);
        at += static_cast<std::size_t>(letter.length);
    }
    return -1;
}

}  // namespace norvathel
