// The name composer: ten names of one gender at a time, built from the fragment tables with
// draws from an AdditiveRandom, each beginning with an optional prefix.
#pragma once
#include <cstdint>

#include <norvathel/additive_random.h>

namespace norvathel {

// Neutral: names of no gender, in a style that has them (the window composes male and female).
enum Gender { Male = 0, Female = 1, Neutral = 2 };

const int NamesPerBoard = 10;
const int PrefixCapacity = 32;  // the prefix area: at most 31 bytes and the NUL
const int MaxNameLength = 45;   // a 31-byte prefix and at most 14 drawn bytes
const int NameSlotSize = 48;    // room for the longest name and its NUL

// The ten names of a board in fixed slots, for callers that want no allocation per name.
struct Board {
    char names[NamesPerBoard][NameSlotSize];
    int lengths[NamesPerBoard];
};

// The ten current names of a board, each owned; null before the first composition.
class NameList {
public:
    NameList() = default;
    ~NameList() { Release(); }
    NameList(const NameList&) = delete;
    NameList& operator=(const NameList&) = delete;

    const char* operator[](int index) const { return entries[index]; }
    // Frees the ten names; every entry is null afterwards.
    void Release();
    // Takes ownership of a name allocated with malloc, replacing (and freeing) entry index.
    void Store(int index, char* name);

private:
    char* entries[NamesPerBoard] = {};
};

// The gender of a board drawn as the program draws its first one: Range(1, 2), 1 being male
// and 2 female. One draw.
Gender DrawStartGender(AdditiveRandom& random);

class Style;
struct CompiledStyle;

// A board composed one name at a time, for callers that may stop early: Start makes the
// board's first draws (the ten position counts), each Next composes the next name in board
// order. Composing all ten draws exactly what ComposeBoard draws; stopping early leaves the
// generator where those names left it. The generator and the style must outlive the board's
// composition.
class BoardCursor {
public:
    // Starts a board of the gender in the classic style; only the first 31 bytes of the prefix
    // count, null and "" mean no prefix.
    void Start(AdditiveRandom& random, Gender gender, const char* prefix);
    // The same in the given style.
    void Start(AdditiveRandom& random, const Style& style, Gender gender, const char* prefix);
    // True once all ten names of the board are composed (and before the first Start).
    bool Done() const { return index == NamesPerBoard; }
    // The board index of the name Next composes.
    int Index() const { return index; }
    // Composes the next name (Done() must be false) into name, finished as ComposeBoard
    // finishes it: the whole slot is written, the name NUL-terminated; returns its length.
    int Next(char (&name)[NameSlotSize]);

private:
    friend class Style;
    void Begin(AdditiveRandom& random, const CompiledStyle& voice, bool stems, Gender gender, const char* prefix);

    int NextRaw();
    // Composes the rest of the board into its slots, with the style's rules worked out once.
    void ComposeRest(Board& board, bool capitalise);
    template <typename Rules>
    void ComposeRestWith(const Rules& rules, Board& board, bool capitalise);

    AdditiveRandom* random = nullptr;
    const CompiledStyle* voice = nullptr;
    bool stems = false;  // composing surname stems: no capitals yet
    // Classic's numbers compiled in: given names of a style that draws as classic, male or
    // female.
    bool classicPath = false;
    Gender gender = Female;
    char prefix[PrefixCapacity] = {};
    int prefixLength = 0;
    bool prefixEndsInConsonant = false;
    std::uint16_t prefixBlocked = 0;  // the vowel class refused while lastVowel is the prefix
    int positions[NamesPerBoard] = {};
    int vowelRun = 0;  // carried from name to name within the board
    int index = NamesPerBoard;
    static const int WorkSize = 128;  // far more than the longest raw name needs
    char work[WorkSize] = {};
};

// Composes ten names of the gender into the board's slots, finished (first letter upper-case).
// Only the first 31 bytes of the prefix count; null and "" mean no prefix.
void ComposeBoard(AdditiveRandom& random, Gender gender, const char* prefix, Board& board);

// Releases the ten names of the list and stores ten new ones, each a fresh finished copy.
void Compose(AdditiveRandom& random, Gender gender, const char* prefix, NameList& list);

}  // namespace norvathel
