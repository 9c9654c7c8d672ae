// Checks a style's description and builds the composer's form of it. Nothing here trusts the
// description: every text is checked byte by byte, every number against its limit, and the
// rules are checked for what would make the composer draw forever or overrun a name.
#include "style/compiled_style.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <set>

#include "text/letters.h"
#include "text/unicode_letters.h"
#include "compose/fragment_tables.h"
#include "rules/composer_steps.h"

namespace norvathel {

namespace {

bool HasControlByte(const std::string& text, std::size_t& at)
{
    for (at = 0; at < text.size(); ++at) {
        const unsigned char byte = static_cast<unsigned char>(text[at]);
        if (byte < 32 || byte == 127)
            return true;
    }
    return false;
}

std::string Hex(unsigned char byte)
{
    const char digits[] = "0123456789ABCDEF";
    return std::string("0x") + digits[byte >> 4] + digits[byte & 15];
}

// What is wrong with text as a fragment (lower-case letters, UTF-8, 1..MaxFragmentBytes bytes),
// or "".
std::string FragmentProblem(const std::string& text)
{
    std::size_t at;
    if (text.empty())
        return "an empty fragment";
    if (HasControlByte(text, at))
        return "a control byte (" + Hex(static_cast<unsigned char>(text[at])) + ") in a fragment";
    bool afterJoin = false;  // a join may open a fragment (it joins it to the one before), not end it
    for (at = 0; at < text.size();) {
        const Letter letter = DecodeLetter(text, at);
        if (letter.length == 0)
            return "a fragment that is not valid UTF-8";
        const bool join = IsJoin(letter.codePoint);
        if (join && (afterJoin || at + static_cast<std::size_t>(letter.length) == text.size()))
            return "\"" + text + "\" has a hyphen or apostrophe at its end or after another (one stands before a letter)";
        afterJoin = join;
        if (join) {
            at += static_cast<std::size_t>(letter.length);
            continue;
        }
        const bool mark = at > 0 && IsMark(letter.codePoint);  // on the letter before it
        if (!mark && SmallLetter(letter.codePoint) != letter.codePoint)
            return "\"" + text + "\" holds a capital letter (fragments are lower-case letters)";
        if (!mark && !IsLetter(letter.codePoint))
            return "\"" + text + "\" is not letters (letters of any script, each with its marks)";
        at += static_cast<std::size_t>(letter.length);
    }
    if (text.size() > static_cast<std::size_t>(MaxFragmentBytes))
        return "\"" + text + "\" is over the limit of " + std::to_string(MaxFragmentBytes) + " bytes";
    return "";
}

bool AnyHoldsJoin(const std::vector<Fragment>& fragments)
{
    for (const Fragment& fragment : fragments)
        if (HoldsJoin(fragment.text, fragment.length))
            return true;
    return false;
}

bool OpensWithJoin(const std::vector<Fragment>& fragments)
{
    for (const Fragment& fragment : fragments)
        if (JoinBytes(fragment.text) > 0)
            return true;
    return false;
}

bool HasOpeningJoins(const CompiledStyle& voice)
{
    bool joins = OpensWithJoin(voice.consonants) || OpensWithJoin(voice.vowels) || OpensWithJoin(voice.heads) ||
                 OpensWithJoin(voice.stem.endings);
    for (const CompiledGender& gender : voice.genders)
        joins = joins || OpensWithJoin(gender.endings);
    for (const ContextTable& table : voice.contextTables)
        joins = joins || OpensWithJoin(table.fragments);
    return joins;
}

bool HasJoins(const CompiledStyle& voice)
{
    bool joins = AnyHoldsJoin(voice.consonants) || AnyHoldsJoin(voice.vowels) || AnyHoldsJoin(voice.heads) ||
                 AnyHoldsJoin(voice.tails) || AnyHoldsJoin(voice.stem.endings);
    for (const CompiledGender& gender : voice.genders)
        joins = joins || AnyHoldsJoin(gender.endings);
    for (const ContextTable& table : voice.contextTables)
        joins = joins || AnyHoldsJoin(table.fragments);
    return joins;
}

bool Listed(const std::vector<std::string>& list, const std::string& text)
{
    return std::find(list.begin(), list.end(), text) != list.end();
}

struct Checker {
    StyleFault& fault;

    bool Fail(const std::string& key, int index, const std::string& message)
    {
        fault.key = key;
        fault.index = index;
        fault.message = message;
        return false;
    }

    bool Fragments(const std::string& key, const std::vector<std::string>& list)
    {
        if (list.size() > static_cast<std::size_t>(MaxTableFragments))
            return Fail(key, -1, "more than " + std::to_string(MaxTableFragments) + " fragments");
        for (std::size_t k = 0; k < list.size(); ++k) {
            std::string problem = FragmentProblem(list[k]);
            if (!problem.empty())
                return Fail(key, static_cast<int>(k), problem);
        }
        return true;
    }

    // A table the rules do not draw from: its fragments are still letters, and its count of
    // drawn ones still within it (the compiled form takes that many either way, and a later
    // edit to the rules must not turn a wrong number into a read past the table).
    bool Unused(const std::string& key, const FragmentTable& table)
    {
        if (!Fragments(key, table.fragments))
            return false;
        if (table.drawn < 0 || table.drawn > static_cast<int>(table.fragments.size()))
            return Fail(key + "_drawn", -1, "must be from 0 to the table's " +
                                                std::to_string(table.fragments.size()) + " fragments");
        return true;
    }

    // A table the rules draw from: letters, not empty, drawn within its size.
    bool Table(const std::string& key, const FragmentTable& table, int leastDrawn = 1)
    {
        if (!Fragments(key, table.fragments))
            return false;
        if (table.fragments.empty())
            return Fail(key, -1, "the table is missing or empty");
        if (table.drawn < leastDrawn || table.drawn > static_cast<int>(table.fragments.size()))
            return Fail(key + "_drawn", -1, "must be from " + std::to_string(leastDrawn) + " to the table's " +
                                                std::to_string(table.fragments.size()) + " fragments");
        return true;
    }

    bool Number(const std::string& key, int value, int low, int high)
    {
        if (value < low || value > high)
            return Fail(key, -1, "must be from " + std::to_string(low) + " to " + std::to_string(high));
        return true;
    }

    bool Range(const std::string& key, int low, int high)
    {
        if (low < 1 || low > high || high > MaxPositions)
            return Fail(key, -1, "must be two numbers, 1 <= first <= second <= " + std::to_string(MaxPositions));
        return true;
    }

    bool ChanceOk(const std::string& key, const Chance& chance)
    {
        if (chance.of < 0 || chance.of > MaxChanceSides || chance.in < 0 || chance.in > chance.of)
            return Fail(key, -1, "must be [in, of] with 0 <= in <= of <= " + std::to_string(MaxChanceSides));
        return true;
    }
};

bool ValidName(const std::string& name)
{
    if (name.empty() || name.size() > 32 || !(name[0] >= 'a' && name[0] <= 'z'))
        return false;
    for (char c : name)
        if (!((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-'))
            return false;
    return true;
}

bool ValidUtf8(const std::string& text)
{
    for (std::size_t at = 0; at < text.size();) {
        const Letter letter = DecodeLetter(text, at);
        if (letter.length == 0)
            return false;
        at += static_cast<std::size_t>(letter.length);
    }
    return true;
}

// The key a context entry's table is known by in a file.
std::string ContextKey(std::size_t entry, const char* table)
{
    return "contexts[" + std::to_string(entry) + "]." + table;
}

const FragmentTable& ContextTableOf(const StyleContext& entry, int kind)
{
    const FragmentTable* kinds[ContextKinds] = {&entry.consonants,    &entry.clusters,    &entry.vowels,
                                                &entry.femaleEndings, &entry.maleEndings, &entry.neutralEndings};
    return *kinds[kind];
}

const char* const ContextTableNames[ContextKinds] = {"consonants", "clusters", "vowels",
                                                     "female_endings", "male_endings", "neutral_endings"};

bool CheckContexts(const StyleData& data, Checker& check)
{
    if (data.format != StyleFormatVersion && data.format != ContextStyleFormat)
        return check.Fail("format", -1, "must be " + std::to_string(StyleFormatVersion) + " or " +
                                            std::to_string(ContextStyleFormat));
    const char* positionKeys[3] = {"given.male_positions", "given.female_positions", "given.neutral_positions"};
    for (int g : {Male, Female, Neutral}) {
        const std::vector<int>& positions = data.genderPositions[g];
        if (positions.empty())
            continue;
        if (data.format != ContextStyleFormat)
            return check.Fail(positionKeys[g], -1, "needs format " + std::to_string(ContextStyleFormat));
        if (positions.size() > static_cast<std::size_t>(MaxTableFragments))
            return check.Fail(positionKeys[g], -1, "more than " + std::to_string(MaxTableFragments) + " entries");
        for (int count : positions)
            if (count < 1 || count > MaxPositions)
                return check.Fail(positionKeys[g], -1, "counts of positions are from 1 to " + std::to_string(MaxPositions));
    }
    if (data.contexts.empty())
        return true;
    if (data.format != ContextStyleFormat)
        return check.Fail("contexts", -1, "contexts need format " + std::to_string(ContextStyleFormat));
    if (data.contexts.size() > static_cast<std::size_t>(MaxContexts))
        return check.Fail("contexts", -1, "more than " + std::to_string(MaxContexts) + " contexts");
    std::map<std::vector<std::string>, std::size_t> seen;
    for (std::size_t k = 0; k < data.contexts.size(); ++k) {
        const StyleContext& entry = data.contexts[k];
        const std::string after = ContextKey(k, "after");
        if (entry.after.empty() || entry.after.size() > static_cast<std::size_t>(MaxContextGroups))
            return check.Fail(after, -1, "must name 1 or " + std::to_string(MaxContextGroups) + " groups");
        if (!check.Fragments(after, entry.after))
            return false;
        if (entry.gender < -1 || entry.gender > Neutral)
            return check.Fail(ContextKey(k, "gender"), -1, "must be \"male\", \"female\" or \"neutral\"");
        std::vector<std::string> key = entry.after;
        key.push_back(std::to_string(entry.gender));
        const auto known = seen.emplace(key, k);
        if (!known.second)
            return check.Fail(after, -1, "the same groups and gender as contexts[" + std::to_string(known.first->second) + "]");
        for (int kind = 0; kind < ContextKinds; ++kind)
            if (!check.Unused(ContextKey(k, ContextTableNames[kind]), ContextTableOf(entry, kind)))
                return false;
        // The vowel rules draw again after a vowel that may not repeat: a table of that vowel
        // alone could never give one.
        const FragmentTable& vowels = entry.vowels;
        std::set<std::string> texts(vowels.fragments.begin(), vowels.fragments.begin() + vowels.drawn);
        if (texts.size() == 1 && !Listed(data.repeatable, *texts.begin()))
            return check.Fail(ContextKey(k, "vowels"), -1, "a single vowel that may not repeat: nothing could follow it");
    }
    return true;
}

bool Check(const StyleData& data, StyleFault& fault)
{
    Checker check{fault};
    std::size_t at;
    if (!ValidName(data.name))
        return check.Fail("name", -1, "must be 1 to 32 bytes of a-z, 0-9 and '-', beginning with a letter");
    if (data.description.size() > 200 || HasControlByte(data.description, at) || !ValidUtf8(data.description))
        return check.Fail("description", -1, "must be one line of UTF-8, at most 200 bytes");
    bool femaleEnds = data.femaleClosing == Closing::Ending;
    bool maleEnds = data.maleClosing == Closing::Ending;
    bool stemEnds = (data.surname.closesAs == Male ? maleEnds : femaleEnds);
    bool stems = data.surname.form == SurnameForm::StemAndTail;
    if (!check.Table("tables.consonants", data.consonants) ||
        !check.ChanceOk("given.cluster", data.cluster) ||
        !(data.cluster.in == 0 ? check.Unused("tables.clusters", data.clusters)
                               : check.Table("tables.clusters", data.clusters)) ||
        !check.Table("tables.vowels", data.vowels, 2) ||
        !((femaleEnds || (stems && stemEnds && data.surname.closesAs == Female))
              ? check.Table("tables.female_endings", data.femaleEndings)
              : check.Unused("tables.female_endings", data.femaleEndings)) ||
        !((maleEnds || (stems && stemEnds && data.surname.closesAs == Male))
              ? check.Table("tables.male_endings", data.maleEndings)
              : check.Unused("tables.male_endings", data.maleEndings)) ||
        !(data.hasNeutral && data.neutralClosing == Closing::Ending
              ? check.Table("tables.neutral_endings", data.neutralEndings)
              : check.Unused("tables.neutral_endings", data.neutralEndings)) ||
        !check.Table("surname.tails", data.surname.tails) ||
        !(stems ? check.Unused("surname.heads", data.surname.heads)
                : check.Table("surname.heads", data.surname.heads)))
        return false;
    if (!check.Range("given.positions", data.minPositions, data.maxPositions) ||
        !check.ChanceOk("given.male_opening", data.maleOpening) ||
        !check.ChanceOk("given.female_opening", data.femaleOpening) ||
        !check.ChanceOk("given.neutral_opening", data.neutralOpening) ||
        !check.ChanceOk("given.consonant", data.consonant) ||
        !check.Number("given.max_vowel_run", data.maxVowelRun, 1, MaxPositions) ||
        !check.Number("given.ending_from", data.endingFrom, 0, MaxPositions) ||
        !check.Range("surname.positions", data.surname.minPositions, data.surname.maxPositions))
        return false;
    if (data.vowelLetters.size() > 64 || HasControlByte(data.vowelLetters, at) || !ValidUtf8(data.vowelLetters))
        return check.Fail("letters.vowels", -1, "must be at most 64 bytes of UTF-8 letters");
    for (std::size_t k = 0; k < data.vowelLetters.size();) {
        const Letter letter = DecodeLetter(data.vowelLetters, k);
        if (!IsLetter(letter.codePoint))
            return check.Fail("letters.vowels", -1, "must be letters");
        k += static_cast<std::size_t>(letter.length);
    }
    if (data.noOpening.size() > 64 || data.repeatable.size() > 64)
        return check.Fail(data.noOpening.size() > 64 ? "letters.no_opening" : "letters.repeatable", -1,
                          "at most 64 entries");
    if (data.guard.size() > static_cast<std::size_t>(MaxGuardedNames))
        return check.Fail("guard.names", -1, "more than " + std::to_string(MaxGuardedNames) + " names");
    return check.Fragments("letters.no_opening", data.noOpening) &&
           check.Fragments("letters.repeatable", data.repeatable) && CheckContexts(data, check);
}

void MakeFragment(const std::string& text, Fragment& fragment)
{
    std::memset(fragment.text, 0, sizeof fragment.text);
    std::memcpy(fragment.text, text.data(), std::min(text.size(), sizeof fragment.text - 1));
    fragment.length = static_cast<int>(std::min(text.size(), sizeof fragment.text - 1));
}

std::vector<Fragment> MakeFragments(const FragmentTable& table)
{
    std::vector<Fragment> fragments(std::min(static_cast<std::size_t>(std::max(table.drawn, 0)), table.fragments.size()));
    for (std::size_t k = 0; k < fragments.size(); ++k)
        MakeFragment(table.fragments[k], fragments[k]);
    return fragments;
}

AdditiveRandom::Span SpanOfCount(int count)
{
    return AdditiveRandom::SpanOf(0, std::max(count, 1) - 1);
}

DrawnChance MakeChance(const Chance& chance)
{
    DrawnChance drawn;
    drawn.draws = chance.of > 1;
    drawn.always = chance.of == 1 && chance.in >= 1;
    drawn.span = SpanOfCount(chance.of);
    drawn.hitsBelow = static_cast<std::uint32_t>(chance.in);
    return drawn;
}

CompiledGender MakeGender(const Chance& opening, Closing closing, const FragmentTable& endings, int endingKind,
                          const std::vector<int>& positions)
{
    CompiledGender gender;
    gender.endingKind = endingKind;
    gender.contextGender = endingKind == MaleEndingKind ? Male : endingKind == FemaleEndingKind ? Female : Neutral;
    gender.positionTable = positions;
    gender.positionSpan = SpanOfCount(static_cast<int>(positions.size()));
    gender.opening = MakeChance(opening);
    gender.closesWithEnding = closing == Closing::Ending;
    if (gender.closesWithEnding)
        gender.endings = MakeFragments(endings);
    gender.endingSpan = SpanOfCount(static_cast<int>(gender.endings.size()));
    return gender;
}

int Longest(const std::vector<Fragment>& fragments, std::size_t count)
{
    int longest = 0;
    for (std::size_t k = 0; k < count && k < fragments.size(); ++k)
        longest = std::max(longest, fragments[k].length);
    return longest;
}

int LongestText(const FragmentTable& table)
{
    int longest = 0;
    for (int k = 0; k < table.drawn; ++k)
        longest = std::max(longest, static_cast<int>(table.fragments[static_cast<std::size_t>(k)].size()));
    return longest;
}

// The most bytes the composer's rules (rules/composer_steps.h) can append after the prefix (or
// from position 0 without one), whatever vowelRun a name inherits: a walk over (position,
// afterConsonant, vowelRun) that takes every result each chance can give. The vowel rules only ever refuse draws, so
// leaving them out can only make the bound larger.
class LongestWalk {
public:
    LongestWalk(const CompiledStyle& voice, const CompiledGender& gender) : v(voice), g(gender)
    {
        consonant = Longest(v.consonants, static_cast<std::size_t>(v.clusterBase));
        cluster = 0;
        for (std::size_t k = static_cast<std::size_t>(v.clusterBase); k < v.consonants.size(); ++k)
            cluster = std::max(cluster, v.consonants[k].length);
        for (std::size_t k = 0; k < v.vowels.size(); ++k) {
            if (v.vowelClass[k] != 0)
                vowel = std::max(vowel, v.vowels[k].length);
            if (v.openingClass[k] != 0)
                openingVowel = std::max(openingVowel, v.vowels[k].length);
        }
        ending = Longest(g.endings, g.endings.size());
        // A context's tables stand in for these anywhere but at a name's opening.
        for (const StyleContext& entry : v.data.contexts) {
            consonant = std::max(consonant, LongestText(entry.consonants));
            cluster = std::max(cluster, LongestText(entry.clusters));
            vowel = std::max(vowel, LongestText(entry.vowels));
            if (g.closesWithEnding)
                ending = std::max(ending, LongestText(ContextTableOf(entry, g.endingKind)));
        }
    }

    int Bytes(int minPositions, int maxPositions, bool prefix)
    {
        int best = 0;
        for (positions = minPositions; positions <= maxPositions; ++positions) {
            memo.assign(static_cast<std::size_t>((MaxPositions + 1) * 2 * (v.maxVowelRun + 2)), -1);
            for (int run = 0; run <= v.maxVowelRun + 1; ++run) {
                if (prefix) {
                    best = std::max(best, Walk(1, false, run));
                    best = std::max(best, Walk(1, true, run));
                } else {
                    best = std::max(best, Walk(0, false, run));
                }
            }
        }
        return best;
    }

private:
    int Walk(int position, bool afterConsonant, int run)
    {
        int& known = memo[static_cast<std::size_t>((position * 2 + afterConsonant) * (v.maxVowelRun + 2) + run)];
        if (known < 0)
            known = Step(position, afterConsonant, run);
        return known;
    }

    static Results Possible(const DrawnChance& chance)
    {
        return chance.draws ? Results{chance.hitsBelow > 0, chance.hitsBelow < chance.span.last + 1}
                            : Results{chance.always, !chance.always};
    }

    // Every result each chance can give.
    struct Draws {
        const CompiledStyle& v;
        const CompiledGender& g;
        Results Opening() const { return Possible(g.opening); }
        Results Consonant() const { return Possible(v.consonantChance); }
        Results Cluster() const { return Possible(v.clusterChance); }
    };

    int Step(int position, bool afterConsonant, int run)
    {
        const int remaining = positions - position;
        const bool atStart = position == 0;
        if (remaining <= 0) {
            switch (ClosureAt(g.closesWithEnding, afterConsonant, run)) {
            case Closure::Ending: return ending;
            case Closure::Consonant: return consonant;
            case Closure::Nothing: return 0;
            }
        }
        if (EndingDue(g.closesWithEnding, run, remaining, v.endingFrom))
            return ending;
        Draws draws = {v, g};
        const Kinds kinds = KindsAt(draws, atStart, afterConsonant, run, v.maxVowelRun);
        int best = 0;
        if (kinds.consonant) {
            const ConsonantTables tables = ConsonantTablesAt(draws, atStart, remaining, v.clusterOpens);
            const int bytes = std::max(tables.cluster ? cluster : 0, tables.single ? consonant : 0);
            best = bytes + Walk(position + 1, true, 0);
        }
        if (kinds.vowel) {
            const int bytes = atStart ? openingVowel : vowel;
            best = std::max(best, bytes + Walk(position + 1, false, std::min(run + 1, v.maxVowelRun + 1)));
        }
        return best;
    }

    const CompiledStyle& v;
    const CompiledGender& g;
    int consonant = 0, cluster = 0, vowel = 0, openingVowel = 0, ending = 0;
    int positions = 0;
    std::vector<int> memo;
};

bool SameChance(const Chance& chance, int in, int of)
{
    return chance.in == in && chance.of == of;
}

// Whether the given-name rules draw with classic's numbers (the composer then takes a path
// with those numbers compiled in; the tables themselves are read from the style either way).
bool DrawsAsClassic(const StyleData& data)
{
    using Numbers = ClassicNumbers;
    // Classic's path copies fragments at classic's widest.
    for (const FragmentTable* table : {&data.consonants, &data.clusters, &data.vowels, &data.femaleEndings})
        for (int k = 0; k < table->drawn && k < static_cast<int>(table->fragments.size()); ++k)
            if (table->fragments[static_cast<std::size_t>(k)].size() >= sizeof FemaleEndings[0])
                return false;
    return data.contexts.empty() && data.consonants.drawn == ConsonantDraws && data.clusters.drawn == ClusterDraws &&
           data.vowels.drawn == VowelDraws && data.femaleEndings.drawn == EndingDraws &&
           SameChance(data.maleOpening, Numbers::maleOpeningIn, Numbers::maleOpeningOf) &&
           SameChance(data.femaleOpening, Numbers::femaleOpeningIn, Numbers::femaleOpeningOf) &&
           SameChance(data.consonant, Numbers::consonantIn, Numbers::consonantOf) &&
           SameChance(data.cluster, Numbers::clusterIn, Numbers::clusterOf) &&
           data.minPositions == Numbers::minPositions && data.maxPositions == Numbers::maxPositions &&
           data.clusterOpens == Numbers::clusterOpens && data.maxVowelRun == Numbers::maxVowelRun &&
           data.endingFrom == Numbers::endingFrom && data.maleClosing == Closing::Consonant &&
           data.femaleClosing == Closing::Ending;
}

// The vowel rules as sets of refused masked draws: a draw past the table, and one whose class
// is refused.
void MakeRedrawSets(CompiledStyle& voice)
{
    const std::size_t slots = voice.vowelClass.size();
    auto refusing = [slots](const std::vector<std::uint16_t>& classes, std::uint16_t refused) {
        std::uint32_t set = 0;
        for (std::size_t k = 0; k < slots; ++k)
            if (classes[k] == 0 || classes[k] == refused)
                set |= 1u << k;
        return set;
    };
    voice.redrawsAfterClass.clear();
    for (std::size_t c = 0; c < voice.blockedAfter.size(); ++c)
        voice.redrawsAfterClass.push_back(refusing(voice.vowelClass, static_cast<std::uint16_t>(c)));
    voice.redrawsAfterVowel.assign(slots, 0);
    for (std::size_t k = 0; k < slots; ++k)
        voice.redrawsAfterVowel[k] = voice.redrawsAfterClass[voice.blockedAfter[voice.vowelClass[k]]];
    voice.redrawsOpening = refusing(voice.openingClass, 0);
}

// The class of a vowel text, given a new one (numbered on from the last) if it has none.
std::uint16_t VowelClassOf(const std::string& text, const StyleData& data, CompiledStyle& voice,
                           std::map<std::string, std::uint16_t>& classes)
{
    auto found = classes.find(text);
    if (found == classes.end()) {
        const std::uint16_t next = static_cast<std::uint16_t>(voice.blockedAfter.size());
        found = classes.emplace(text, next).first;
        voice.blockedAfter.push_back(Listed(data.repeatable, text) ? 0 : next);
        voice.vowelTexts.push_back(text);
    }
    return found->second;
}

// A table drawn as Pick draws (vowels: as the masked draws of DrawVowel), with its groups.
ContextTable MakeContextTable(const FragmentTable& table, int kind, const StyleData& data, CompiledStyle& voice,
                              std::map<std::string, std::uint16_t>& classes)
{
    ContextTable made;
    made.span = SpanOfCount(table.drawn);
    const std::size_t slots = kind == VowelKind ? made.span.mask + 1 : static_cast<std::size_t>(table.drawn);
    made.fragments.assign(slots, Fragment{});
    made.groups.assign(slots, -1);
    made.vowelClass.assign(kind == VowelKind ? slots : 0, 0);
    for (std::size_t k = 0; k < static_cast<std::size_t>(table.drawn); ++k) {
        const std::string& text = table.fragments[k];
        MakeFragment(text, made.fragments[k]);
        made.groups[k] = voice.contexts[Male].Group(text);  // numbered alike for every gender
        if (kind == VowelKind)
            made.vowelClass[k] = VowelClassOf(text, data, voice, classes);
    }
    return made;
}

// Every table of a format 2 style by its number: the style's own six, then each entry's.
void MakeContextTables(const StyleData& data, CompiledStyle& voice, std::map<std::string, std::uint16_t>& classes)
{
    voice.hasContexts = !data.contexts.empty();
    if (!voice.hasContexts)
        return;
    for (int gender : {Male, Female, Neutral})
        voice.contexts[gender].Build(data, gender);
    const FragmentTable* own[ContextKinds] = {&data.consonants,    &data.clusters,    &data.vowels,
                                              &data.femaleEndings, &data.maleEndings, &data.neutralEndings};
    for (int kind = 0; kind < ContextKinds; ++kind) {
        FragmentTable table = *own[kind];
        if (kind == ClusterKind && data.cluster.in == 0)
            table = FragmentTable();  // never drawn
        voice.contextTables.push_back(MakeContextTable(table, kind, data, voice, classes));
    }
    for (const StyleContext& entry : data.contexts)
        for (int kind = 0; kind < ContextKinds; ++kind)
            voice.contextTables.push_back(MakeContextTable(ContextTableOf(entry, kind), kind, data, voice, classes));
}

std::string LengthProblem(const char* what, int longest, int limit)
{
    return std::string(what) + " could be " + std::to_string(longest) + " bytes long, over the limit of " +
           std::to_string(limit);
}

}  // namespace

std::uint16_t CompiledStyle::BlockedAfterText(const char* text, int length) const
{
    for (std::size_t k = 1; k < vowelTexts.size(); ++k)
        if (vowelTexts[k].size() == static_cast<std::size_t>(length) &&
            std::memcmp(vowelTexts[k].data(), text, vowelTexts[k].size()) == 0)
            return blockedAfter[k];
    return 0;
}

bool CompiledStyle::EndsInVowelLetter(const char* text, int length) const
{
    const unsigned char last = static_cast<unsigned char>(text[length - 1]);
    if (last < 128)
        return asciiVowelEnd[last];
    for (const std::string& letter : vowelEnds) {
        const int size = static_cast<int>(letter.size());
        if (size <= length && std::memcmp(text + length - size, letter.data(), letter.size()) == 0)
            return true;
    }
    return false;
}

bool CompileStyle(const StyleData& data, CompiledStyle& voice, StyleFault& fault)
{
    if (!Check(data, fault))
        return false;
    voice.data = data;
    voice.guard = data.guard;
    std::sort(voice.guard.begin(), voice.guard.end());
    voice.guard.erase(std::unique(voice.guard.begin(), voice.guard.end()), voice.guard.end());

    voice.consonants = MakeFragments(data.consonants);
    voice.clusterBase = data.consonants.drawn;
    if (data.cluster.in > 0)
        for (const Fragment& cluster : MakeFragments(data.clusters))
            voice.consonants.push_back(cluster);
    voice.consonantSpan = SpanOfCount(data.consonants.drawn);
    voice.clusterSpan = SpanOfCount(data.cluster.in > 0 ? data.clusters.drawn : 1);

    // Vowel slots for every masked draw; equal texts share a class, numbered from 1.
    voice.vowelSpan = SpanOfCount(data.vowels.drawn);
    const std::size_t slots = voice.vowelSpan.mask + 1;
    voice.vowels.assign(slots, Fragment{});
    voice.vowelClass.assign(slots, 0);
    voice.openingClass.assign(slots, 0);
    voice.blockedAfter.assign(1, 0);
    voice.vowelTexts.assign(1, "");
    std::map<std::string, std::uint16_t> classes;
    for (std::size_t k = 0; k < static_cast<std::size_t>(data.vowels.drawn); ++k) {
        const std::string& text = data.vowels.fragments[k];
        MakeFragment(text, voice.vowels[k]);
        const std::uint16_t vowelClass = VowelClassOf(text, data, voice, classes);
        voice.vowelClass[k] = vowelClass;
        voice.openingClass[k] = Listed(data.noOpening, text) ? 0 : vowelClass;
    }
    // The redraw loops must end: some vowel may open a name, and after every vowel another
    // may follow.
    if (std::all_of(voice.openingClass.begin(), voice.openingClass.end(), [](std::uint16_t c) { return c == 0; }))
        return Checker{fault}.Fail("letters.no_opening", -1, "no vowel the composer draws may open a name");
    if (classes.size() == 1 && voice.blockedAfter[1] != 0)
        return Checker{fault}.Fail("tables.vowels", -1,
                                   "a single vowel that may not repeat: nothing could follow it");

    MakeContextTables(data, voice, classes);
    if (voice.blockedAfter.size() > 0xFFFF)
        return Checker{fault}.Fail("contexts", -1, "more than 65534 different vowels");

    voice.positions = AdditiveRandom::SpanOf(0, data.maxPositions - data.minPositions);
    voice.minPositions = data.minPositions;
    voice.consonantChance = MakeChance(data.consonant);
    voice.clusterChance = MakeChance(data.cluster);  // with in = 0 drawn as written, never a hit
    voice.clusterOpens = data.clusterOpens;
    voice.maxVowelRun = data.maxVowelRun;
    voice.endingFrom = data.endingFrom;
    voice.genders[Male] = MakeGender(data.maleOpening, data.maleClosing, data.maleEndings, MaleEndingKind, data.genderPositions[Male]);
    voice.genders[Female] = MakeGender(data.femaleOpening, data.femaleClosing, data.femaleEndings, FemaleEndingKind, data.genderPositions[Female]);
    voice.hasNeutral = data.hasNeutral;
    // A style without neutral names is asked for none: streams refuse it up front. A board
    // asked for one all the same gets a male name rather than an undefined one.
    voice.genders[Neutral] = data.hasNeutral
                                 ? MakeGender(data.neutralOpening, data.neutralClosing, data.neutralEndings, NeutralEndingKind, data.genderPositions[Neutral])
                                 : voice.genders[Male];

    const auto& surname = data.surname;
    const bool stems = surname.form == SurnameForm::StemAndTail;
    voice.stemPositions = AdditiveRandom::SpanOf(0, surname.maxPositions - surname.minPositions);
    voice.stemMinPositions = surname.minPositions;
    voice.stem = voice.genders[surname.closesAs];
    voice.stem.positionTable.clear();  // a stem's positions are the surname's
    voice.heads = MakeFragments(surname.heads);
    voice.tails = MakeFragments(surname.tails);
    voice.headSpan = SpanOfCount(surname.heads.drawn);
    voice.tailSpan = SpanOfCount(surname.tails.drawn);

    voice.classic = DrawsAsClassic(data);
    if (voice.classic)
        MakeRedrawSets(voice);
    voice.vowelEnds = WithCapitals(data.vowelLetters);
    for (const std::string& letter : voice.vowelEnds)
        if (letter.size() == 1)
            voice.asciiVowelEnd[static_cast<unsigned char>(letter[0])] = true;

    voice.hasJoins = HasJoins(voice);
    voice.opensWithJoins = HasOpeningJoins(voice);

    int longestPrefixed = 0, longestBare = 0;
    for (int gender = Male; gender <= (voice.hasNeutral ? Neutral : Female); ++gender) {
        LongestWalk walk(voice, voice.genders[gender]);
        const std::vector<int>& table = voice.genders[gender].positionTable;
        const int least = table.empty() ? data.minPositions : *std::min_element(table.begin(), table.end());
        const int most = table.empty() ? data.maxPositions : *std::max_element(table.begin(), table.end());
        longestPrefixed = std::max(longestPrefixed, walk.Bytes(least, most, true));
        longestBare = std::max(longestBare, walk.Bytes(least, most, false));
    }
    voice.longestWithPrefix = PrefixCapacity - 1 + longestPrefixed;
    voice.longestWithoutPrefix = longestBare;
    if (voice.longestWithoutPrefix > MaxNameLength) {
        fault.tooLong = StyleFault::TooLong::GivenNames;
        return Checker{fault}.Fail("given.positions", -1,
                                   LengthProblem("given names", voice.longestWithoutPrefix, MaxNameLength));
    }
    // What a prefix may take of a name's slot: all of its 31 bytes for every style whose
    // names are short enough, less for one whose names are long.
    voice.prefixRoom = std::max(0, std::min(PrefixCapacity - 1, MaxNameLength - longestPrefixed));
    int head = stems ? LongestWalk(voice, voice.stem).Bytes(surname.minPositions, surname.maxPositions, false)
                     : Longest(voice.heads, voice.heads.size());
    voice.longestSurname = head + Longest(voice.tails, voice.tails.size());
    if (voice.longestSurname > MaxSurnameLength) {
        fault.tooLong = StyleFault::TooLong::Surnames;
        return Checker{fault}.Fail("surname", -1, LengthProblem("surnames", voice.longestSurname, MaxSurnameLength));
    }
    return true;
}

}  // namespace norvathel
