#include <norvathel/name_stream.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <new>

#include "stream/name_filter.h"
#include "compose/name_finishing.h"
#include "rules/name_reach.h"
#include "text/case_folding.h"
#include "text/letters.h"

namespace norvathel {

namespace {

// A hint that memory at place is read soon; nothing where the compiler has no such hint.
inline void FetchSoon(const void* place)
{
#if defined(__GNUC__) || defined(__clang__)
    __builtin_prefetch(place);
#else
    (void)place;
#endif
}

bool ContainsPiece(const std::string& foldedText, const std::string& foldedPiece)
{
    return foldedText.find(foldedPiece) != std::string::npos;
}

// A text's length as the constraints count it.
std::int64_t Measured(const NameConstraints& constraints, const std::string& text)
{
    if (constraints.lengthUnit == LengthUnit::CodePoints)
        return CodePointCount(text.data(), text.size());
    return static_cast<std::int64_t>(text.size());
}

// Where the last letter of a UTF-8 text begins (a byte that is not UTF-8 is a letter here).
std::size_t LastLetterAt(const std::string& text)
{
    std::size_t at = text.size() - 1;
    while (at > 0 && text.size() - at < 4 && (static_cast<unsigned char>(text[at]) & 0xC0) == 0x80)
        --at;
    return DecodeLetter(text, at).length == static_cast<int>(text.size() - at) ? at : text.size() - 1;
}

// The prefix as the composer takes it: at most its first 31 bytes.
int PrefixLength(const char* prefix)
{
    int length = 0;
    while (prefix && length < PrefixCapacity - 1 && prefix[length] != '\0')
        ++length;
    return length;
}

// Lengths and ending against what the composer can make for the gender (either, for Drawn).
ConstraintProblem Unreachable(const NameConstraints& constraints, const char* prefix, GenderChoice gender,
                              const ComposerRules& rules)
{
    using Fault = ConstraintFault;
    std::vector<NameReach> reaches;
    const LengthUnit unit = constraints.lengthUnit;
    if (gender == GenderChoice::Neutral)
        reaches.emplace_back(rules, Neutral, prefix, NameReach::WorkLimit, unit);
    if (gender == GenderChoice::Male || gender == GenderChoice::Drawn)
        reaches.emplace_back(rules, Male, prefix, NameReach::WorkLimit, unit);
    if (gender == GenderChoice::Female || gender == GenderChoice::Drawn)
        reaches.emplace_back(rules, Female, prefix, NameReach::WorkLimit, unit);
    const int lowest = constraints.minLength;
    const int highest = constraints.maxLength != 0 ? constraints.maxLength : MaxNameLength;
    const ConstraintProblem tooCostly = {Fault::CheckTooCostly, 0, static_cast<std::int64_t>(NameReach::WorkLimit), 0};

    LengthSet lengths;
    for (const NameReach& reach : reaches) {
        if (reach.Stopped())
            return tooCostly;
        lengths.Merge(reach.Lengths());
    }
    if (!lengths.AnyWithin(lowest, highest))
        return {Fault::LengthsUnreachable, lengths.Lowest(), lengths.Highest(), 0};

    const std::string& ending = constraints.endsWith;
    if (ending.empty())
        return {};
    const int foreign = reaches.front().ForeignLetter(ending);
    if (foreign >= 0)
        return {Fault::EndingForeignByte, 0, 0, static_cast<std::size_t>(foreign)};
    const std::size_t lastAt = LastLetterAt(ending);
    LengthSet endings;
    LengthSet lastLetters;
    for (const NameReach& reach : reaches) {
        endings.Merge(reach.LengthsEndingWith(ending));
        lastLetters.Merge(reach.LengthsEndingWith(ending.substr(lastAt)));
        if (reach.Stopped())
            return tooCostly;
    }
    if (lastLetters.Empty()) {
        const std::string last = FoldedText(ending.substr(lastAt));
        bool vowel = false;
        for (const std::string& fragment : rules.vowels)
            vowel = vowel || FoldedText(fragment).find(last) != std::string::npos;
        const bool consonantClosing = (gender == GenderChoice::Male && !rules.closesWithEnding[Male]) ||
                                      (gender == GenderChoice::Neutral && !rules.closesWithEnding[Neutral]);
        if (consonantClosing && vowel)
            return {Fault::EndingInVowel, 0, 0, lastAt};
        return {Fault::EndingLastByte, 0, 0, lastAt};
    }
    if (endings.Empty())
        return {Fault::EndingUnreachable, 0, 0, 0};
    if (!endings.AnyWithin(lowest, highest))
        return {Fault::EndingOutsideLengths, endings.Lowest(), endings.Highest(), 0};
    return {};
}

}  // namespace

bool NameConstraints::Any() const
{
    return unique || minLength != 0 || maxLength != 0 || !endsWith.empty() || !exclude.empty() ||
           !excludeNames.empty();
}

ConstraintProblem ImpossibleConstraints(const NameConstraints& constraints, const char* prefix,
                                        GenderChoice gender,
                                        const Style& style)
{
    const int prefixBytes = PrefixLength(prefix);
    const std::string prefixText(prefix ? prefix : "", static_cast<std::size_t>(prefixBytes));
    const std::string foldedPrefix = FoldedText(prefixText);
    const std::int64_t prefixLength = Measured(constraints, prefixText);
    const std::int64_t minLength = constraints.minLength;
    const std::int64_t maxLength = constraints.maxLength;
    const std::int64_t endLength = Measured(constraints, constraints.endsWith);
    using Fault = ConstraintFault;
    if (gender == GenderChoice::Neutral && !style.Data().hasNeutral)
        return {Fault::NoNeutralNames, 0, 0, 0};
    if (prefixBytes > style.PrefixRoom())
        return {Fault::PrefixTooLong, prefixBytes, style.PrefixRoom(), 0};
    if (minLength < 0 || minLength > MaxNameLength)
        return {Fault::MinLengthOutOfRange, minLength, MaxNameLength, 0};
    if (maxLength < 0 || maxLength > MaxNameLength)
        return {Fault::MaxLengthOutOfRange, maxLength, MaxNameLength, 0};
    if (maxLength != 0) {
        if (minLength > maxLength)
            return {Fault::MinAboveMax, minLength, maxLength, 0};
        if (maxLength < prefixLength)
            return {Fault::MaxBelowPrefix, maxLength, prefixLength, 0};
        if (maxLength < endLength)
            return {Fault::MaxBelowEnding, maxLength, endLength, 0};
    }
    if (endLength > MaxNameLength)
        return {Fault::EndingTooLong, endLength, MaxNameLength, 0};
    for (std::size_t index = 0; index < constraints.exclude.size(); ++index) {
        const std::string& piece = constraints.exclude[index];
        if (piece.empty())
            return {Fault::EmptyPiece, 0, 0, index};
        if (ContainsPiece(foldedPrefix, FoldedText(piece)))
            return {Fault::PieceInPrefix, 0, 0, index};
    }
    if (minLength == 0 && maxLength == 0 && endLength == 0)
        return {};
    // Classic's rules are worked out once; another style's for each check (a run makes one).
    if (style.IsClassic())
        return Unreachable(constraints, prefix, gender, RulesOfClassic());
    return Unreachable(constraints, prefix, gender, RulesOf(style.Data()));
}

ConstraintProblem ImpossibleConstraints(const NameConstraints& constraints, const char* prefix,
                                        GenderChoice gender)
{
    return ImpossibleConstraints(constraints, prefix, gender, Style::Classic());
}

Gender BoardGender(GenderChoice choice, AdditiveRandom& random)
{
    switch (choice) {
    case GenderChoice::Male: return Male;
    case GenderChoice::Female: return Female;
    case GenderChoice::Neutral: return Neutral;
    case GenderChoice::Drawn: break;
    }
    return DrawStartGender(random);
}

Gender ComposeStreamBoard(const Style& style, GenderChoice choice, AdditiveRandom& random, const char* prefix,
                          Board& board)
{
    const Gender gender = BoardGender(choice, random);
    style.ComposeBoard(random, gender, prefix, board);
    return gender;
}

// The names kept so far, as a set: each name's bytes once, behind a length byte, in an arena of
// fixed-size blocks (no block ever moves), and an open-addressing table kept at most
// three-quarters full. A slot is a tag byte (0 for empty, else seven bits of the hash) and a
// 32-bit arena offset in a parallel array: probing reads the tags, which lie side by side, and
// only a matching tag costs a look at the arena. About 9 bytes of arena and 7 to 14 bytes of
// table per name; a growing table briefly holds the old one too. Each board's names are
// expected before they are inserted, so that their misses overlap.
class NameStream::SeenNames {
public:
    // A board's names as the set will be asked of them, those that meet the other constraints
    // (meeting, a bit each) hashed ahead, their first slots asked of memory, then the names
    // those slots hold where the tags match: the set is soon far larger than the caches, and
    // ten misses waited on together cost little more than one. The names must stay as they
    // are until the board's last is inserted.
    void Expect(const char* const (&names)[NamesPerBoard], const int (&lengths)[NamesPerBoard], unsigned meeting)
    {
        meets = meeting;
        for (int k = 0; k < NamesPerBoard; ++k) {
            expectedNames[k] = names[k];
            expectedLengths[k] = lengths[k];
            if (Meets(k))
                expected[k] = HashOf(names[k], static_cast<std::size_t>(lengths[k]));
        }
        if (tags.empty())
            return;
        const std::size_t mask = tags.size() - 1;
        for (int k = 0; k < NamesPerBoard; ++k) {
            if (Meets(k)) {
                FetchSoon(&tags[expected[k] & mask]);
                FetchSoon(&offsets[expected[k] & mask]);
            }
        }
        for (int k = 0; k < NamesPerBoard; ++k)
            if (Meets(k) && tags[expected[k] & mask] == TagOf(expected[k]))
                FetchSoon(At(offsets[expected[k] & mask]));
    }

    // Whether the name at slot k of the board last expected meets the other constraints.
    bool Meets(int k) const { return (meets >> k) & 1; }
    // True, keeping that name, when it was not there yet. Throws std::bad_alloc when there is
    // no room for it, leaving the set as it was.
    bool InsertExpected(int k) { return Insert(expectedNames[k], expectedLengths[k], expected[k]); }

    // Room for slot k's full name, "Given Surname", which the set keeps whole; returns it.
    // Both parts were bounded when the style was built (MaxNameLength, MaxSurnameLength).
    const char* Join(int k, const char* given, int givenLength, const char* surname, int surnameLength)
    {
        char* text = joined[k];
        std::memcpy(text, given, static_cast<std::size_t>(givenLength));
        text[givenLength] = ' ';
        std::memcpy(text + givenLength + 1, surname, static_cast<std::size_t>(surnameLength));
        return text;
    }

private:
    bool Insert(const char* name, int length, std::uint64_t hash)
    {
        if ((count + 1) * 4 > tags.size() * 3)
            Grow();
        const std::uint8_t tag = TagOf(hash);
        const std::size_t mask = tags.size() - 1;
        for (std::size_t slot = hash & mask;; slot = (slot + 1) & mask) {
            if (tags[slot] == 0) {
                offsets[slot] = Store(name, length);  // may throw: the slot is still empty then
                tags[slot] = tag;
                ++count;
                return true;
            }
            if (tags[slot] == tag) {
                const unsigned char* stored = At(offsets[slot]);
                if (stored[0] == length && std::memcmp(stored + 1, name, static_cast<std::size_t>(length)) == 0)
                    return false;
            }
        }
    }

    static const std::size_t BlockSize = std::size_t(1) << 20;

    // The set's own hash (the seeds keep FNV-1a, which never changes): eight bytes of the name
    // at a time, where FNV-1a waits on a multiply for each byte, then SplitMix64's finish, so
    // that the slot's low bits and the tag's high bits both depend on every byte.
    static std::uint64_t HashOf(const char* text, std::size_t length)
    {
        std::uint64_t hash = length * 0x9E3779B97F4A7C15u;
        std::size_t at = 0;
        for (; at + 8 <= length; at += 8) {
            std::uint64_t word;
            std::memcpy(&word, text + at, sizeof word);
            hash = (hash ^ word) * 0xBF58476D1CE4E5B9u;
            hash ^= hash >> 31;
        }
        std::uint64_t tail = 0;
        for (; at < length; ++at)
            tail = tail << 8 | static_cast<unsigned char>(text[at]);
        hash = (hash ^ tail) * 0x94D049BB133111EBu;
        hash ^= hash >> 29;
        hash *= 0xBF58476D1CE4E5B9u;
        return hash ^ hash >> 32;
    }

    static std::uint8_t TagOf(std::uint64_t hash)
    {
        return static_cast<std::uint8_t>(0x80 | hash >> 57);  // the bits the slot index leaves
    }

    const unsigned char* At(std::uint32_t offset) const
    {
        return blocks[offset / BlockSize].get() + offset % BlockSize;
    }

    std::uint32_t Store(const char* name, int length)
    {
        const std::size_t size = static_cast<std::size_t>(length) + 1;
        if (blocks.empty() || used + size > BlockSize) {
            // Offsets are 32-bit: past 4 GiB of names the set cannot grow, like memory running
            // out. (Divided, not multiplied: a 32-bit size_t would wrap.)
            if (blocks.size() >= 0xFFFFFFFFu / BlockSize)
                throw std::bad_alloc();
            std::unique_ptr<unsigned char[]> block(new unsigned char[BlockSize]);
            blockEnds.reserve(blocks.size() + 1);  // first: on failure nothing has changed
            blocks.push_back(std::move(block));  // on failure the block is freed, blocks unchanged
            if (blocks.size() > 1)
                blockEnds.push_back(used);
            used = 0;
        }
        unsigned char* place = blocks.back().get() + used;
        place[0] = static_cast<unsigned char>(length);
        std::memcpy(place + 1, name, static_cast<std::size_t>(length));
        const std::size_t offset = (blocks.size() - 1) * BlockSize + used;
        used += size;
        return static_cast<std::uint32_t>(offset);
    }

    // The new table is allocated whole before the old one is let go: when either allocation
    // fails, the set is still the old one. The names are read in the arena's order, which is
    // memory's, not the old table's, which would be a miss each.
    void Grow()
    {
        const std::size_t size = tags.empty() ? 1024 : tags.size() * 2;
        std::vector<std::uint8_t> newTags(size, 0);
        std::vector<std::uint32_t> newOffsets(size, 0);
        const std::size_t mask = size - 1;
        for (std::size_t b = 0; b < blocks.size(); ++b) {
            const std::size_t end = b + 1 < blocks.size() ? blockEnds[b] : used;
            for (std::size_t at = 0; at < end; at += std::size_t{blocks[b][at]} + 1) {
                const unsigned char* stored = blocks[b].get() + at;
                const std::uint64_t hash = HashOf(reinterpret_cast<const char*>(stored + 1), stored[0]);
                std::size_t slot = hash & mask;
                while (newTags[slot] != 0)
                    slot = (slot + 1) & mask;
                newTags[slot] = TagOf(hash);
                newOffsets[slot] = static_cast<std::uint32_t>(b * BlockSize + at);
            }
        }
        tags.swap(newTags);
        offsets.swap(newOffsets);
    }

    std::vector<std::unique_ptr<unsigned char[]>> blocks;
    std::vector<std::size_t> blockEnds;  // bytes used in each block but the last
    std::size_t used = 0;  // bytes used in the last block
    std::vector<std::uint8_t> tags;
    std::vector<std::uint32_t> offsets;
    std::size_t count = 0;
    std::uint64_t expected[NamesPerBoard] = {};
    const char* expectedNames[NamesPerBoard] = {};
    int expectedLengths[NamesPerBoard] = {};
    unsigned meets = 0;
    char joined[NamesPerBoard][FullNameSize] = {};
};

NameStream::NameStream(std::uint64_t seed, GenderChoice gender, const char* prefixText,
                       const NameConstraints& given, std::uint64_t limit)
    : NameStream(Style::Classic(), seed, gender, prefixText, given, false, limit)
{
}

NameStream::NameStream(const AdditiveRandom& start, GenderChoice gender, const char* prefixText,
                       const NameConstraints& given, std::uint64_t limit)
    : NameStream(Style::Classic(), start, gender, prefixText, given, false, limit)
{
}

namespace {

AdditiveRandom FullySeeded(std::uint64_t seed)
{
    AdditiveRandom random;
    random.SeedFull(seed);
    return random;
}

}  // namespace

NameStream::NameStream(const Style& styleGiven, std::uint64_t seed, GenderChoice gender, const char* prefixText,
                       const NameConstraints& given, bool full, std::uint64_t limit)
    : NameStream(styleGiven, FullySeeded(seed), gender, prefixText, given, full, limit)
{
}

NameStream::NameStream(const Style& styleGiven, const AdditiveRandom& start, GenderChoice gender,
                       const char* prefixText, const NameConstraints& given, bool full, std::uint64_t limit)
    : style(styleGiven), fullNames(full), random(start), genderChoice(gender), unique(given.unique),
      constrained(given.Any() || styleGiven.HasGuard()), dryLimit(limit)
{
    // From the state the stream starts in, before any draw: the given names stay what they are.
    surnameRandom = SurnameRandomFor(random);
    Setup(prefixText, given);
}

void NameStream::Setup(const char* prefixText, const NameConstraints& given)
{
    if (prefixText)
        std::snprintf(prefix, sizeof prefix, "%s", prefixText);
    filter.reset(new NameFilter(given, &style));
    if (unique)
        seen.reset(new SeenNames);
}

NameStream::~NameStream() = default;

void NameStream::ComposeNextBoard()
{
    if (source) {
        boardGender = source(board, surnames);
    } else {
        boardGender = ComposeStreamBoard(style, genderChoice, random, prefix, board);
        if (fullNames)
            style.ComposeSurnames(surnameRandom, surnames);
    }
    if (seen)
        ExpectUnique();
    ++boards;
    position = 0;
}

bool NameStream::MeetsAlone(const char* name, int length) const
{
    return !filter->Any() || filter->Passes(name, length);
}

// The new board's names as the set will be asked of them, whole names with their surnames:
// the other constraints first, since only a name that meets them is remembered.
void NameStream::ExpectUnique()
{
    unsigned meeting = 0;
    const char* names[NamesPerBoard];
    int lengths[NamesPerBoard];
    for (int k = 0; k < NamesPerBoard; ++k) {
        names[k] = board.names[k];
        lengths[k] = board.lengths[k];
        if (!MeetsAlone(names[k], lengths[k]))
            continue;
        meeting |= 1u << k;
        if (fullNames) {
            names[k] = seen->Join(k, board.names[k], board.lengths[k], surnames.names[k], surnames.lengths[k]);
            lengths[k] += 1 + surnames.lengths[k];
        }
    }
    seen->Expect(names, lengths, meeting);
}

bool NameStream::Meets(int slot)
{
    if (seen)  // the other constraints were judged as the board came
        return seen->Meets(slot) && seen->InsertExpected(slot);
    return MeetsAlone(board.names[slot], board.lengths[slot]);
}

bool NameStream::NextComposing(StreamName& name)
{
    while (!dry) {
        if (position == NamesPerBoard)
            ComposeNextBoard();
        const int index = position;
        // Counted only once looked at: when Meets throws, the same name is tried again next time.
        const bool keep = !constrained || Meets(index);
        ++position;
        ++composed;
        if (keep) {
            ++kept;
            composedSinceKept = 0;
            Hand(index, name);
            return true;
        }
        if (RunsDry(composedSinceKept, dryLimit))
            dry = true;
    }
    return false;
}

}  // namespace norvathel
