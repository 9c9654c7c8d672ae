// A style: the voice names are composed in, as data. The four fragment tables (order and
// repetition are part of the data: a draw picks a slot), the numbers the composer's rules use,
// the letters those rules name, how a first letter is capitalised, and how surnames are built.
// One composer serves every style; "classic" is the program's own voice and draws exactly as
// the window always has.
//
// Styles are read from TOML text (format 1, described in the README) and written back to it;
// every byte of a file is distrusted, and a style that could make a given name longer than
// MaxNameLength bytes, or could make the composer draw forever, is refused with the reason.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <norvathel/additive_random.h>
#include <norvathel/name_composer.h>

namespace norvathel {

const int StyleFormatVersion = 1;        // the format every table-only style is written in
const int ContextStyleFormat = 2;        // tables that depend on the groups before
const int MaxContexts = 20000;           // context entries of a style
const int MaxContextGroups = 2;          // groups an entry is drawn after
const int MaxFragmentBytes = 15;           // one fragment, UTF-8
const int MaxTableFragments = 4096;        // entries of one table, repetitions included
const int MaxPositions = 16;               // fragment positions of a name
const int MaxChanceSides = 64;             // the widest chance, Range(1, 64)
const std::size_t MaxStyleBytes = 4u << 20;     // a whole style file (a guard of 100,000 names)
const int MaxGuardedNames = 100000;             // hashes in a guard
const int MaxSurnameLength = MaxNameLength;    // a surname fits a board slot too
const int FullNameSize = MaxNameLength + 1 + MaxSurnameLength + 1;  // "Given Surname" and NUL

// "in of": Range(1, of) <= in. of = 0 means no draw at all, and never.
struct Chance {
    int in = 0;
    int of = 0;
};

// How a gender's names end: on a consonant (a name that would end on a vowel gets one more
// consonant), or on an ending from the gender's table (drawn once the name is long enough).
enum class Closing { Consonant, Ending };
// Which first letters a finished name capitalises: a..z only (after leading "&x" codes, as the
// window does), or also the Latin-1 and Latin Extended-A letters with a same-length capital.
enum class Capitals { Ascii, Latin, Unicode };  // Unicode: any letter with a capital as long in UTF-8
// A surname is a stem composed like a given name followed by a tail, or a head and a tail.
enum class SurnameForm { StemAndTail, HeadAndTail };

// One table: its fragments in order, and how many of the first ones draws reach.
struct FragmentTable {
    std::vector<std::string> fragments;
    int drawn = 0;  // 1..fragments.size(); the rest stay in the table, never drawn
};

// Tables drawn from in place of the style's own right after the given groups (the last one
// last): a fragment drawn where one of these would be drawn from comes from it instead. An
// empty table leaves that kind to the entry of the last group alone, or to the style's own.
struct StyleContext {
    std::vector<std::string> after;  // 1..MaxContextGroups fragments
    // Names of one gender only (Male, Female, Neutral), or -1 for every gender: for that
    // gender such an entry takes the place of an every-gender one after the same groups.
    int gender = -1;
    FragmentTable consonants, clusters, vowels, femaleEndings, maleEndings, neutralEndings;
};

// The plain description of a style: exactly what a style file holds.
struct StyleData {
    int format = StyleFormatVersion;  // ContextStyleFormat: weights as numbers, and contexts
    std::string name;         // lower-case letters, digits and '-', 1..32 bytes
    std::string description;  // one line

    FragmentTable consonants, clusters, vowels, femaleEndings, maleEndings, neutralEndings;

    // The given-name rules.
    int minPositions = 3, maxPositions = 6;  // each name's positions: Range(min, max)
    // Format 2, by gender (Male, Female, Neutral): the positions a name of it draws from, an
    // ordered list whose repetitions are the weights, in place of Range(min, max); empty: that.
    std::vector<int> genderPositions[3];
    Chance maleOpening{3, 4};                // a male name's first fragment is a consonant
    Chance femaleOpening{0, 0};
    Chance consonant{1, 2};  // where either may stand: a consonant rather than a vowel
    Chance cluster{1, 4};    // a consonant fragment is a cluster (never at the last position)
    bool clusterOpens = true;  // a cluster may stand at position 0 (the draw is made either way)
    int maxVowelRun = 2;     // vowel fragments in a row before a consonant is forced
    int endingFrom = 2;      // an ending may stand from position positions - endingFrom on
    Closing maleClosing = Closing::Consonant;
    Closing femaleClosing = Closing::Ending;
    // Names of no gender, for a style that has them (optional in a file: without them the
    // style makes none): how they open, and how they close, with endings of their own.
    bool hasNeutral = false;
    Chance neutralOpening{0, 0};
    Closing neutralClosing = Closing::Ending;

    // The letters the rules name.
    std::string vowelLetters = "aeiou";      // a prefix ending in one (either case) ends in a vowel
    std::vector<std::string> noOpening{"y"};  // vowel fragments that never open a name
    std::vector<std::string> repeatable{"e", "o"};  // vowel fragments that may follow themselves
    Capitals capitals = Capitals::Ascii;

    struct Surnames {
        SurnameForm form = SurnameForm::StemAndTail;
        int minPositions = 2, maxPositions = 3;  // of the stem
        Gender closesAs = Male;                  // the stem ends as names of this gender do
        FragmentTable heads, tails;
    } surname;

    // Names the style never gives, as hashes (64-bit FNV-1a of their letters made small): a
    // learned style's examples, so that it composes no copy of them without carrying them.
    std::vector<std::uint64_t> guard;
    // Format 2 only: what is drawn right after given groups.
    std::vector<StyleContext> contexts;
};

// What is wrong with a style, and where: line and column count from 1, 0 when not known.
struct StyleError {
    std::string source;  // the file's name, or what the caller called the text
    int line = 0;
    int column = 0;
    std::string message;

    // "source:line:column: message", leaving out what is not known.
    std::string Text() const;
};

struct CompiledStyle;  // the compiled style, private to the library: what the composer reads
class BoardCursor;

// A checked style, ready to compose. Copies share one immutable compiled form.
class Style {
public:
    // The classic style.
    Style();

    // The style compiled into the library by that name; false if there is none.
    static bool BuiltIn(const std::string& name, Style& style);
    // The built-in styles' names, classic first.
    static std::vector<std::string> BuiltInNames();
    static const Style& Classic();
    // True for the built-in classic style and its copies only: a style read from a file is
    // never the built-in, whatever its name.
    bool IsClassic() const;

    // A style from TOML text; source names it in errors. False, with error filled, when the
    // text is not a valid style.
    static bool FromText(const std::string& text, const std::string& source, Style& style,
                         StyleError& error);
    // The same from a file (at most MaxStyleBytes).
    static bool FromFile(const std::string& path, Style& style, StyleError& error);
    // A style from its description, checked as a file's would be (errors have no place).
    static bool FromData(const StyleData& data, Style& style, StyleError& error);

    const StyleData& Data() const;
    const std::string& Name() const { return Data().name; }
    // The style as TOML text that FromText reads back to the same style.
    std::string ToText() const;
    // The longest given name (bytes) the style can compose with a 31-byte prefix, and without.
    int LongestWithPrefix() const;
    int LongestWithoutPrefix() const;
    // The longest prefix (bytes, at most 31) the style's names have room for in a name's 45
    // bytes: 31 for every style whose names with a 31-byte prefix fit, fewer for one that
    // composes long names. A board started with a longer prefix composes after its first
    // that many bytes (cut at a whole letter); streams refuse it up front.
    int PrefixRoom() const;

    // True when the style never gives name (length bytes): its guard holds the name's hash.
    // Streams and key namers skip such names, as they skip excluded ones; boards do not.
    bool Guards(const char* name, int length) const;
    bool HasGuard() const;

    // Composes ten given names of the gender, each beginning with the prefix (its first 31
    // bytes), exactly as ComposeBoard does for classic.
    void ComposeBoard(AdditiveRandom& random, Gender gender, const char* prefix, Board& board) const;
    // Composes ten surnames into the board's slots.
    void ComposeSurnames(AdditiveRandom& random, Board& board) const;

private:
    friend class BoardCursor;  // composes from the compiled style
    const CompiledStyle& Compiled() const { return *voice; }

    explicit Style(std::shared_ptr<const CompiledStyle> built) : voice(std::move(built)) {}

    std::shared_ptr<const CompiledStyle> voice;
};

// The generator that composes surnames for names whose given names come from given: derived
// from given's present state (so from the seed), independent of the draws given makes next.
AdditiveRandom SurnameRandomFor(const AdditiveRandom& given);

// What the style's given names are made of, for messages: "the letters a to z", then the
// letters beyond ASCII its fragments hold, in code point order ("a to z, å, æ and ø").
std::string LettersOf(const Style& style);
// For messages about a byte of a text the user typed: the letter that byte belongs to, quoted
// ("'ø'"), or, where the bytes there are no printable UTF-8 letter, "the byte 0xNN".
std::string LetterAt(const std::string& text, std::size_t at);
// For messages about neutral names: that the style makes none, and (after the ending asked for)
// that its neutral names end in a consonant.
std::string NoNeutralNames(const Style& style);
extern const char NeutralNamesEndInAConsonant[];
// For a prefix of length bytes that the style's names have no room for.
std::string PrefixTooLong(const Style& style, long long length);

// The style as TOML text, in its format.
std::string WriteStyle(const StyleData& data);
// Reads and checks TOML text into data. False, with error filled, when it is not a valid style.
bool ReadStyle(const std::string& text, const std::string& source, StyleData& data,
               StyleError& error);

}  // namespace norvathel
