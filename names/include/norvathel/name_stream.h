// Names one at a time, composed board by board exactly as the program and the tool compose
// them, with constraints that only remove names: for any seed, the names a NameStream hands out
// are the unconstrained sequence with the failing names left out. No draw ever changes.
//
// A NameStream owns its generator and its set of seen names and touches no global state: one
// instance per thread is safe; one instance shared between threads needs the caller's lock.
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <norvathel/additive_random.h>
#include <norvathel/name_composer.h>
#include <norvathel/style.h>

namespace norvathel {

class NameFilter;

// What minLength and maxLength count: bytes, or letters as Unicode counts code points (for
// ASCII the same).
enum class LengthUnit { Bytes, CodePoints };

// What a kept name must be. The defaults constrain nothing. Texts are compared with letters in
// either case: A-Z as a-z, and beyond ASCII by Unicode's simple case folding.
struct NameConstraints {
    bool unique = false;               // no name twice, compared as bytes (first letter upper)
    int minLength = 0;                 // prefix included; 0: no lower bound
    int maxLength = 0;                 // prefix included; 0: no upper bound
    std::string endsWith;              // the name ends with it
    std::vector<std::string> exclude;  // pieces no name may contain
    // Whole names never handed out (names already used elsewhere); with unique they count as
    // given before.
    std::vector<std::string> excludeNames;
    LengthUnit lengthUnit = LengthUnit::Bytes;  // what the two lengths count

    bool Any() const;
};

// Why no name with this prefix can meet the constraints, seen before composing anything. The
// library says what is wrong and with which numbers; its callers word it for their users.
enum class ConstraintFault {
    None,
    MinLengthOutOfRange,  // length: minLength, below 0 or above limit; limit: MaxNameLength
    MaxLengthOutOfRange,  // length: maxLength, below 0 or above limit; limit: MaxNameLength
    MinAboveMax,          // length: minLength; limit: maxLength
    MaxBelowPrefix,       // length: maxLength; limit: the prefix's length
    MaxBelowEnding,       // length: maxLength; limit: the ending's length
    EndingTooLong,        // length: the ending's length; limit: MaxNameLength
    EmptyPiece,           // piece: its index in exclude
    PieceInPrefix,        // piece: its index in exclude
    // What the composer can make, decided from its tables and rules (without composing):
    LengthsUnreachable,   // no name of the gender and prefix has a length within the bounds;
                          // length..limit: the lengths such names have
    EndingForeignByte,    // piece: where a letter of the ending begins that no name can hold
    EndingInVowel,        // the gender (male or neutral) closes its names on a consonant
    EndingLastByte,       // no name of the gender ends with the ending's last letter (piece: where it begins)
    EndingUnreachable,    // no name of the gender and prefix ends with the ending
    EndingOutsideLengths, // names ending so have lengths length..limit, none within the bounds
    CheckTooCostly,       // deciding the above for this style would take more steps than limit:
                          // the constraints are refused undecided (the style itself is fine)
    NoNeutralNames,       // neutral names asked of a style that makes none (checked first)
    PrefixTooLong,        // length: the prefix's; limit: the style's PrefixRoom (checked next)
};

struct ConstraintProblem {
    ConstraintFault fault = ConstraintFault::None;
    std::int64_t length = 0;  // the length at fault, in bytes
    std::int64_t limit = 0;   // the bound it crosses
    std::size_t piece = 0;    // the excluded piece at fault

    explicit operator bool() const { return fault != ConstraintFault::None; }
};

// The gender of every board, or Drawn: each board's gender drawn with DrawStartGender just
// before it, as the program draws its first board's (male or female, never neutral).
enum class GenderChoice { Drawn, Male, Female, Neutral };

// The first reason found, in the order of ConstraintFault; fault None when there is none. An
// empty ending means any ending. The prefix counts with its first 31 bytes, as the composer
// uses it. Lengths and ending are decided exactly for names of the gender (of either for
// Drawn): a constraint refused here could never be met, one accepted can. Excluded pieces
// and names are left out of that decision: they may still leave no name.
ConstraintProblem ImpossibleConstraints(const NameConstraints& constraints, const char* prefix,
                                        GenderChoice gender = GenderChoice::Drawn);
// The same for names in the given style, decided from the style's own tables and rules.
ConstraintProblem ImpossibleConstraints(const NameConstraints& constraints, const char* prefix,
                                        GenderChoice gender, const Style& style);

// The gender of the next board: the one chosen, or, for Drawn, one drawn from random.
Gender BoardGender(GenderChoice choice, AdditiveRandom& random);

// The next board of a stream: its gender (as BoardGender gives it), then its names. Returns
// the gender.
Gender ComposeStreamBoard(const Style& style, GenderChoice choice, AdditiveRandom& random, const char* prefix,
                          Board& board);

// When names run dry: one more has failed the constraints (failedInARow counts it); true once
// limit have failed in a row.
inline bool RunsDry(std::uint64_t& failedInARow, std::uint64_t limit)
{
    return ++failedInARow >= limit;
}

// One name handed out. text (and surname) stay valid until the next call of Next.
struct StreamName {
    const char* text;  // the given name
    int length;
    Gender gender;
    std::uint64_t board;  // the composed board it came from, counted from 0
    const char* surname = nullptr;  // with full names: the surname, else null
    int surnameLength = 0;
};

class NameStream {
public:
    // How many names in a row may fail before the stream counts as run dry.
    static const std::uint64_t DefaultDryLimit = 1000000;

    // A stream from a full seed (AdditiveRandom::SeedFull): every seed its own sequence.
    NameStream(std::uint64_t seed, GenderChoice gender, const char* prefix,
               const NameConstraints& constraints, std::uint64_t dryLimit = DefaultDryLimit);
    // A stream from a full seed in the given style. With fullNames each name also gets a
    // surname, composed in the style from a second generator derived from the seed: the given
    // names are exactly those the same stream without fullNames hands out, the constraints
    // apply to them, and unique to the whole "Given Surname".
    NameStream(const Style& style, std::uint64_t seed, GenderChoice gender, const char* prefix,
               const NameConstraints& constraints, bool fullNames = false,
               std::uint64_t dryLimit = DefaultDryLimit);
    // A stream that starts where the given generator stands, for instance one seeded from a
    // clock value as the program seeds it.
    NameStream(const AdditiveRandom& start, GenderChoice gender, const char* prefix,
               const NameConstraints& constraints, std::uint64_t dryLimit = DefaultDryLimit);
    // The same in the given style, with or without surnames.
    NameStream(const Style& style, const AdditiveRandom& start, GenderChoice gender, const char* prefix,
               const NameConstraints& constraints, bool fullNames = false,
               std::uint64_t dryLimit = DefaultDryLimit);
    ~NameStream();
    NameStream(const NameStream&) = delete;
    NameStream& operator=(const NameStream&) = delete;

    // The next name that meets the constraints. False once dryLimit names in a row have been
    // composed without one kept; the stream then stays dry. Throws std::bad_alloc when a
    // unique stream cannot remember another name; the stream is then as it was before the
    // call, and the next call tries the same name again.
    bool Next(StreamName& name)
    {
        // Inline for the common case, an unconstrained name from the current board: the tool
        // writes tens of millions a second through here.
        if (constrained || position == NamesPerBoard)
            return NextComposing(name);
        ++composed;
        ++kept;
        Hand(position++, name);
        return true;
    }

    // True when the stream may leave names out: constraints, or names it remembers so that
    // none comes twice.
    bool Constrained() const { return constrained; }
    // For a stream that is not Constrained: the names of its board not yet handed out, at most
    // most of them (most >= 1), handed out together as Next would hand them one by one; a new
    // board is composed first when none are left. They are from->names[first] on; returns how
    // many.
    int NextOfBoard(int most, const Board*& from, int& first)
    {
        if (position == NamesPerBoard)
            ComposeNextBoard();
        const int taken = most < NamesPerBoard - position ? most : NamesPerBoard - position;
        first = position;
        from = &board;
        position += taken;
        composed += static_cast<std::uint64_t>(taken);
        kept += static_cast<std::uint64_t>(taken);
        return taken;
    }
    // The gender of the board NextOfBoard last handed names from.
    Gender BoardGenderNow() const { return boardGender; }

    // Whether a composed name meets the constraints that look at the name alone (all but
    // unique), as this stream judges its names. Changes nothing, so several threads may ask.
    bool MeetsAlone(const char* name, int length) const;
    // How many names in a row may fail before the stream runs dry.
    std::uint64_t DryLimit() const { return dryLimit; }

    // Where the boards come from: this stream's own generators, unless a caller that composes
    // the very same boards elsewhere (ahead, on another thread) hands them in. The source gives
    // the next board, and with full names its surnames, as ComposeStreamBoard and
    // Style::ComposeSurnames compose them from where this stream's generators stand, and may
    // throw where composing would; the stream's generators then draw no more.
    using BoardSource = std::function<Gender(Board& names, Board& surnames)>;
    void TakeBoardsFrom(BoardSource given) { source = std::move(given); }

    // The slot in its board of the name Next last handed out.
    int LastSlot() const { return position - 1; }
    bool RanDry() const { return dry; }
    std::uint64_t Composed() const { return composed; }
    std::uint64_t Kept() const { return kept; }
    // Names composed since the last one kept (all of them while none was).
    std::uint64_t ComposedSinceKept() const { return composedSinceKept; }
    // The prefix as the composer uses it: its first 31 bytes.
    const char* Prefix() const { return prefix; }

private:
    class SeenNames;

    void Setup(const char* prefix, const NameConstraints& constraints);
    bool NextComposing(StreamName& name);
    bool Meets(int slot);
    void ExpectUnique();
    void ComposeNextBoard();
    void Hand(int index, StreamName& name) const
    {
        name.text = board.names[index];
        name.length = board.lengths[index];
        name.gender = boardGender;
        name.board = boards - 1;
        if (fullNames) {
            name.surname = surnames.names[index];
            name.surnameLength = surnames.lengths[index];
        }
    }

    Style style;
    bool fullNames = false;
    AdditiveRandom random;
    AdditiveRandom surnameRandom;
    Board surnames = {};
    GenderChoice genderChoice;
    char prefix[PrefixCapacity] = {};
    std::unique_ptr<NameFilter> filter;  // lengths, ending, pieces, excluded names
    bool unique;
    bool constrained;
    std::unique_ptr<SeenNames> seen;  // only for unique names
    std::uint64_t dryLimit;
    BoardSource source;  // empty: the stream composes its own boards

    Board board = {};
    Gender boardGender = Female;
    int position = NamesPerBoard;  // the next entry of board to look at
    std::uint64_t boards = 0;
    std::uint64_t composed = 0;
    std::uint64_t kept = 0;
    std::uint64_t composedSinceKept = 0;
    bool dry = false;
};

// The seed a word stands for: the 64-bit FNV-1a hash of its bytes (offset basis
// 14695981039346656037, prime 1099511628211). It never changes between versions.
std::uint64_t SeedFromWord(const char* word);

// A full 64-bit seed from the operating system's entropy, for runs that were given none. Falls
// back on the clocks where no entropy source exists.
std::uint64_t EntropySeed();

// --- one stable name per key (a character's id, a row of a spreadsheet) ---

// A key's seed: the 64-bit FNV-1a hash of its bytes (as SeedFromWord).
std::uint64_t KeySeed(const char* key, std::size_t length);
// A key's seed within a project: the key's hash XOR the first SplitMix64 output of the
// project's seed. For one project seed, keys with different hashes keep different seeds; two
// project seeds, however close, move every key by unrelated amounts. SplitMix64's first output
// is a bijection of its seed, so exactly one project seed, 7046029254386353131, gives 0 and
// leaves every key its bare seed (and the names it has with no project seed); the rule stays
// as it is, since changing it would change every key's name.
std::uint64_t KeySeed(const char* key, std::size_t length, std::uint64_t projectSeed);

// The name of a key's seed: the first name that a NameStream with that seed and these gender,
// prefix and constraints hands out, composing only as far as that name. constraints.unique
// does not count: a key's name must not depend on the other keys.
class KeyNamer {
public:
    KeyNamer(GenderChoice gender, const char* prefix, const NameConstraints& constraints,
             std::uint64_t dryLimit = NameStream::DefaultDryLimit);
    // In the given style; with fullNames each key's name gets the surname the same seed's
    // NameStream with full names gives it.
    KeyNamer(const Style& style, GenderChoice gender, const char* prefix, const NameConstraints& constraints,
             bool fullNames = false, std::uint64_t dryLimit = NameStream::DefaultDryLimit);
    ~KeyNamer();
    KeyNamer(const KeyNamer&) = delete;
    KeyNamer& operator=(const KeyNamer&) = delete;

    // False when dryLimit names in a row fail. name.text stays valid until the next call.
    bool Name(std::uint64_t seed, StreamName& name);
    // How many names all calls so far have composed.
    std::uint64_t Composed() const { return composed; }

private:
    Style style;
    bool fullNames = false;
    GenderChoice genderChoice;
    char prefix[PrefixCapacity] = {};
    std::unique_ptr<NameFilter> filter;
    std::uint64_t dryLimit;
    AdditiveRandom random;
    BoardCursor cursor;
    char slot[NameSlotSize] = {};
    Board surnames = {};
    std::uint64_t composed = 0;
};

}  // namespace norvathel
