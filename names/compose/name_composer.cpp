#include <norvathel/name_composer.h>
#include <norvathel/style.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "compose/fragment_tables.h"
#include "compose/name_finishing.h"
#include "rules/composer_steps.h"
#include "style/compiled_style.h"
#include "text/letters.h"

namespace norvathel {

void NameList::Release()
{
    for (char*& entry : entries) {
        std::free(entry);
        entry = nullptr;
    }
}

void NameList::Store(int index, char* name)
{
    std::free(entries[index]);
    entries[index] = name;
}

Gender DrawStartGender(AdditiveRandom& random)
{
    return random.Range<1, 2>() == 1 ? Male : Female;
}

namespace {

// What a composition needs to know about its prefix, worked out once for the ten names.
struct PrefixFacts {
    const char* text;
    int length;
    bool endsInConsonant;
    std::uint16_t blocked;  // the vowel class refused while lastVowel is the prefix
    int context;            // a format 2 style's context state after it
    // Where a fragment's opening join is left out, -1 for nowhere: at the name's start, or
    // after a prefix that ends in a join, so that no name opens with one or doubles one.
    int front;
};

// front for a prefix, in a style whose fragments may open with a join.
int FrontOf(const CompiledStyle& voice, const char* prefix, int length)
{
    if (!voice.opensWithJoins)
        return -1;
    if (length == 0)
        return 0;
    return EndsWithJoin(prefix, length) ? length : -1;
}

// The name under construction; whole fixed-size fragments are copied in, the padding's zeros
// keep it terminated.
struct WorkText {
    char* text;
    int length;

    // Copy bytes of the slot: every fragment of the style and its NUL fit in them.
    template <int Copy = FragmentSlot>
    void Append(const Fragment& fragment)
    {
        std::memcpy(text + length, fragment.text, Copy);
        length += fragment.length;
    }

    // The same where the text is at front, leaving out the join the fragment opens with.
    template <int Copy = FragmentSlot>
    void AppendAt(int front, const Fragment& fragment)
    {
        if (length != front) {
            Append<Copy>(fragment);
            return;
        }
        const int skip = JoinBytes(fragment.text);
        std::memcpy(text + length, fragment.text + skip, static_cast<std::size_t>(FragmentSlot - skip));
        length += fragment.length - skip;
    }
};

// How ComposeName draws: classic's path and a style of tables through a cursor, a format 2
// style (whose context tables take the registers) straight from the generator.
inline void CloseDraws(AdditiveRandom&) {}
inline void CloseDraws(AdditiveRandom::Cursor& cursor) { cursor.Close(); }

// A style of tables only knows nothing of the groups before: its context is empty, and each
// fragment is its table's slot the rules' pick names.
template <typename Rules>
struct TablesOnly {
    struct Context {};
    Context StartContext(const PrefixFacts&) const { return {}; }
    const Rules& Self() const { return static_cast<const Rules&>(*this); }
    template <typename Draws>
    NORVATHEL_ALWAYS_INLINE const Fragment& Consonant(Draws& random, int cluster, Context&) const
    {
        return Self().consonants[Self().PickConsonant(random, cluster)];
    }
    template <typename Draws>
    NORVATHEL_ALWAYS_INLINE const Fragment& ClosingConsonant(Draws& random, Context&) const
    {
        return Self().consonants[Self().PickClosingConsonant(random)];
    }
    template <typename Draws>
    NORVATHEL_ALWAYS_INLINE const Fragment& Ending(Draws& random, Context&) const
    {
        return Self().endings[Self().PickEnding(random)];
    }
    template <typename Draws, typename VowelState>
    NORVATHEL_ALWAYS_INLINE const Fragment& Vowel(Draws& random, bool atOpening, VowelState& state, Context&) const
    {
        return Self().vowels[Self().DrawVowel(random, atOpening, state)];
    }
};

// A compiled style as ComposeName reads it: its tables, spans and numbers copied into locals,
// so that the generator's stores cannot force reloads. The vowel rules are a state: the vowel
// class refused next.
struct ComposingStyle : TablesOnly<ComposingStyle> {
    using VowelState = std::uint16_t;
    using Draws = AdditiveRandom::Cursor;
    static AdditiveRandom::Cursor Open(AdditiveRandom& generator) { return AdditiveRandom::Cursor(generator); }

    const Fragment* consonants;
    const Fragment* vowels;
    const Fragment* endings;
    const std::uint16_t* vowelClass;
    const std::uint16_t* openingClass;
    const std::uint16_t* blockedAfter;
    AdditiveRandom::Span consonantSpan, clusterSpan, endingSpan;
    int clusterBase;
    bool clusterOpens;
    int vowelMask;
    int maxVowelRun;
    int endingFrom;
    bool closesWithEnding;
    DrawnChance opening, consonantChance, clusterChance;

    ComposingStyle(const CompiledStyle& voice, const CompiledGender& gender)
        : consonants(voice.consonants.data()), vowels(voice.vowels.data()), endings(gender.endings.data()),
          vowelClass(voice.vowelClass.data()), openingClass(voice.openingClass.data()),
          blockedAfter(voice.blockedAfter.data()), consonantSpan(voice.consonantSpan),
          clusterSpan(voice.clusterSpan), endingSpan(gender.endingSpan), clusterBase(voice.clusterBase),
          clusterOpens(voice.clusterOpens),
          vowelMask(static_cast<int>(voice.vowelSpan.mask)), maxVowelRun(voice.maxVowelRun),
          endingFrom(voice.endingFrom), closesWithEnding(gender.closesWithEnding), opening(gender.opening),
          consonantChance(voice.consonantChance), clusterChance(voice.clusterChance)
    {
    }

    static constexpr int CopyBytes = FragmentSlot;
    static constexpr bool MayOpenWithJoins = true;
    bool ClosesWithEnding() const { return closesWithEnding; }
    bool OpeningHit(Draws& random) const { return opening.Hit(random); }
    bool ConsonantHit(Draws& random) const { return consonantChance.Hit(random); }
    bool ClusterHit(Draws& random) const { return clusterChance.Hit(random); }
    int PickConsonant(Draws& random, int cluster) const
    {
        return cluster * clusterBase + Pick(random, cluster ? clusterSpan : consonantSpan);
    }
    int PickClosingConsonant(Draws& random) const { return Pick(random, consonantSpan); }
    int PickEnding(Draws& random) const { return Pick(random, endingSpan); }

    VowelState NothingBefore() const { return 0; }
    VowelState AfterPrefix(std::uint16_t blockedClass) const { return blockedClass; }
    // One loop for the span's own redraws and the vowel rules' redraws: both simply draw
    // again, so the sequence of draws is that of the vowel table's Range.
    int DrawVowel(Draws& random, bool atOpening, VowelState& state) const
    {
        const std::uint16_t* classes = atOpening ? openingClass : vowelClass;
        const std::uint16_t refused = atOpening ? 0 : state;
        int vowel;
        std::uint16_t kind;
        do {
            vowel = random.Next() & vowelMask;
            kind = classes[vowel];
        } while (kind == 0 || kind == refused);
        state = blockedAfter[kind];
        return vowel;
    }
};

// The same for a style that draws with classic's numbers, every number known when compiling,
// as the window has always drawn them: the same draws as ComposingStyle makes, only faster.
// The vowel rules are sets of refused draws, one bit per masked draw. The gender is known when
// compiling too: a female name closes with an ending, a male one makes an opening draw.
template <bool IsMale>
struct ComposingClassic : TablesOnly<ComposingClassic<IsMale>> {
    using VowelState = std::uint32_t;
    using Draws = AdditiveRandom::Cursor;
    static AdditiveRandom::Cursor Open(AdditiveRandom& generator) { return AdditiveRandom::Cursor(generator); }
    static constexpr AdditiveRandom::Span ConsonantSpan = AdditiveRandom::SpanOf(0, ConsonantDraws - 1);
    static constexpr AdditiveRandom::Span ClusterSpan = AdditiveRandom::SpanOf(0, ClusterDraws - 1);
    static constexpr int VowelMask = static_cast<int>(AdditiveRandom::SpanOf(0, VowelDraws - 1).mask);
    static_assert(VowelMask < 32, "the refused vowel draws are one 32-bit set");
    using Numbers = ClassicNumbers;
    static constexpr int maxVowelRun = Numbers::maxVowelRun;
    static constexpr int endingFrom = Numbers::endingFrom;
    static constexpr bool clusterOpens = Numbers::clusterOpens;
    static constexpr int CopyBytes = sizeof FemaleEndings[0];  // the widest classic fragment and its NUL
    static constexpr bool MayOpenWithJoins = false;

    const Fragment* consonants;
    const Fragment* vowels;
    const Fragment* endings;
    const std::uint32_t* redrawsAfterVowel;  // by masked draw
    const std::uint32_t* redrawsAfterClass;  // by vowel class; class 0: nothing but the span's
    std::uint32_t redrawsOpening;

    ComposingClassic(const CompiledStyle& voice, const CompiledGender& gender)
        : consonants(voice.consonants.data()), vowels(voice.vowels.data()), endings(gender.endings.data()),
          redrawsAfterVowel(voice.redrawsAfterVowel.data()), redrawsAfterClass(voice.redrawsAfterClass.data()),
          redrawsOpening(voice.redrawsOpening)
    {
    }

    static constexpr bool ClosesWithEnding() { return !IsMale; }
    // A female name never opens on a consonant by its draw, and makes none.
    static_assert(Numbers::femaleOpeningOf == 0, "classic's female names make no opening draw");
    NORVATHEL_ALWAYS_INLINE bool OpeningHit(Draws& random) const
    {
        return IsMale && random.template Range<1, Numbers::maleOpeningOf>() <= Numbers::maleOpeningIn;
    }
    NORVATHEL_ALWAYS_INLINE bool ConsonantHit(Draws& random) const
    {
        return random.Range<1, Numbers::consonantOf>() <= Numbers::consonantIn;
    }
    NORVATHEL_ALWAYS_INLINE bool ClusterHit(Draws& random) const { return random.Range<1, Numbers::clusterOf>() <= Numbers::clusterIn; }
    NORVATHEL_ALWAYS_INLINE int PickConsonant(Draws& random, int cluster) const
    {
        // The span by masks, not a branch: whether a cluster stands is a draw's outcome. Its
        // first try, though, nearly always passes (a cluster's refuses 8 of 32 draws).
        const std::uint32_t all = 0u - static_cast<std::uint32_t>(cluster);
        const AdditiveRandom::Span span = {ConsonantSpan.last ^ ((ConsonantSpan.last ^ ClusterSpan.last) & all),
                                           ConsonantSpan.mask ^ ((ConsonantSpan.mask ^ ClusterSpan.mask) & all)};
        return (ConsonantDraws & static_cast<int>(all)) + random.DrawFirstLikely(span);
    }
    NORVATHEL_ALWAYS_INLINE int PickClosingConsonant(Draws& random) const { return random.DrawFirstLikely(ConsonantSpan); }
    NORVATHEL_ALWAYS_INLINE int PickEnding(Draws& random) const { return random.Range<0, EndingDraws - 1>(); }

    VowelState NothingBefore() const { return redrawsAfterClass[0]; }
    VowelState AfterPrefix(std::uint16_t blockedClass) const { return redrawsAfterClass[blockedClass]; }
    NORVATHEL_ALWAYS_INLINE int DrawVowel(Draws& random, bool atOpening, VowelState& state) const
    {
        const std::uint32_t redraws = atOpening ? redrawsOpening : state;
        const int vowel = random.DrawNotIn(VowelMask, redraws);
        state = redrawsAfterVowel[vowel];
        return vowel;
    }
};

// A format 2 style: every draw of a fragment reads the table its context state names, and the
// fragment drawn moves the state on (rules/context_states.h). The chances and the vowel rules
// are the style's own, as in ComposingStyle.
struct ComposingContext {
    using VowelState = std::uint16_t;
    using Draws = AdditiveRandom;
    static AdditiveRandom& Open(AdditiveRandom& generator) { return generator; }
    static constexpr int CopyBytes = FragmentSlot;
    static constexpr bool MayOpenWithJoins = true;
    using Context = int;

    const CompiledStyle& voice;
    const ContextStates& contexts;
    const ContextTable* tables;
    int endingKind;
    bool closesWithEnding;
    int maxVowelRun, endingFrom;
    bool clusterOpens;
    DrawnChance opening, consonantChance, clusterChance;

    ComposingContext(const CompiledStyle& style, const CompiledGender& gender)
        : voice(style), contexts(style.contexts[gender.contextGender]), tables(style.contextTables.data()), endingKind(gender.endingKind),
          closesWithEnding(gender.closesWithEnding), maxVowelRun(style.maxVowelRun), endingFrom(style.endingFrom),
          clusterOpens(style.clusterOpens), opening(gender.opening), consonantChance(style.consonantChance),
          clusterChance(style.clusterChance)
    {
    }

    bool ClosesWithEnding() const { return closesWithEnding; }
    bool OpeningHit(Draws& random) const { return opening.Hit(random); }
    bool ConsonantHit(Draws& random) const { return consonantChance.Hit(random); }
    bool ClusterHit(Draws& random) const { return clusterChance.Hit(random); }
    VowelState NothingBefore() const { return 0; }
    VowelState AfterPrefix(std::uint16_t blockedClass) const { return blockedClass; }
    Context StartContext(const PrefixFacts& prefix) const { return prefix.context; }

    const ContextTable& TableOf(Context context, int kind) const { return tables[contexts.TableOf(context, kind)]; }
    const Fragment& Drawn(Draws& random, Context& context, int kind) const
    {
        const ContextTable& table = TableOf(context, kind);
        const int slot = Pick(random, table.span);
        context = contexts.Next(context, table.groups[static_cast<std::size_t>(slot)]);
        return table.fragments[static_cast<std::size_t>(slot)];
    }
    const Fragment& Consonant(Draws& random, int cluster, Context& context) const
    {
        return Drawn(random, context, cluster ? ClusterKind : ConsonantKind);
    }
    const Fragment& ClosingConsonant(Draws& random, Context& context) const
    {
        return Drawn(random, context, ConsonantKind);
    }
    const Fragment& Ending(Draws& random, Context& context) const { return Drawn(random, context, endingKind); }
    // As ComposingStyle draws vowels; a name's opening vowel has nothing before it, so it comes
    // from the style's own table.
    const Fragment& Vowel(Draws& random, bool atOpening, VowelState& state, Context& context) const
    {
        const ContextTable& table = TableOf(atOpening ? 0 : context, VowelKind);
        const std::uint16_t* classes = atOpening ? voice.openingClass.data() : table.vowelClass.data();
        const std::uint16_t refused = atOpening ? 0 : state;
        int vowel;
        std::uint16_t kind;
        do {
            vowel = static_cast<int>(random.Next() & table.span.mask);
            kind = classes[vowel];
        } while (kind == 0 || kind == refused);
        state = voice.blockedAfter[kind];
        context = contexts.Next(context, table.groups[static_cast<std::size_t>(vowel)]);
        return table.fragments[static_cast<std::size_t>(vowel)];
    }
};

// The composer's draws, as the rules ask for them: each gives the one result it drew.
template <typename Rules>
struct Drawing {
    const Rules& rules;
    typename Rules::Draws& random;

    NORVATHEL_ALWAYS_INLINE Drawn Opening() { return {rules.OpeningHit(random)}; }
    NORVATHEL_ALWAYS_INLINE Drawn Consonant() { return {rules.ConsonantHit(random)}; }
    NORVATHEL_ALWAYS_INLINE Drawn Cluster() { return {rules.ClusterHit(random)}; }
};

// Composes one raw (unfinished) name of the given number of positions into out, carrying the
// vowel count from name to name; returns its length. The rules as stated once, for any style.
// A fragment onto the name. Classic's fragments open with no join: its appends take no look at
// the front.
template <typename Rules>
NORVATHEL_ALWAYS_INLINE void AppendTo(WorkText& work, const PrefixFacts& prefix, const Fragment& fragment)
{
    if (Rules::MayOpenWithJoins && prefix.front >= 0)
        work.template AppendAt<Rules::CopyBytes>(prefix.front, fragment);
    else
        work.template Append<Rules::CopyBytes>(fragment);
}

template <typename Rules>
int ComposeName(AdditiveRandom& generator, const Rules& rules, const PrefixFacts& prefix, int positions,
                int& carriedVowelRun, char* out)
{
    auto&& random = Rules::Open(generator);
    Drawing<Rules> draws = {rules, random};
    int vowelRun = carriedVowelRun;  // a local, so that it stays in a register
    WorkText work = {out, 0};
    typename Rules::VowelState vowels = rules.NothingBefore();
    typename Rules::Context context = {};
    bool afterConsonant = false;
    int position = 0;
    // A prefix stands in for position 0: the draws start at position 1, after it.
    if (prefix.length > 0) {
        std::memcpy(out, prefix.text, static_cast<std::size_t>(prefix.length));
        work.length = prefix.length;
        vowels = rules.AfterPrefix(prefix.blocked);
        context = rules.StartContext(prefix);
        afterConsonant = prefix.endsInConsonant;
        position = 1;
    }
    for (; position < positions; ++position) {
        if (EndingDue(rules.ClosesWithEnding(), vowelRun, positions - position, rules.endingFrom)) {
            AppendTo<Rules>(work, prefix, rules.Ending(random, context));
            out[work.length] = '\0';
            carriedVowelRun = vowelRun;
            CloseDraws(random);
            return work.length;  // nothing follows an ending drawn in the loop
        }
        // A draw gives one result, so exactly one kind (and one table) comes of it.
        if (KindsAt(draws, position == 0, afterConsonant, vowelRun, rules.maxVowelRun).consonant) {
            const int cluster = ConsonantTablesAt(draws, position == 0, positions - position, rules.clusterOpens).cluster;
            AppendTo<Rules>(work, prefix, rules.Consonant(random, cluster, context));
            vowelRun = 0;
            afterConsonant = true;
        } else {
            AppendTo<Rules>(work, prefix, rules.Vowel(random, position == 0, vowels, context));
            ++vowelRun;
            afterConsonant = false;
        }
    }
    switch (ClosureAt(rules.ClosesWithEnding(), afterConsonant, vowelRun)) {
    case Closure::Ending:
        AppendTo<Rules>(work, prefix, rules.Ending(random, context));
        break;
    case Closure::Consonant:
        AppendTo<Rules>(work, prefix, rules.ClosingConsonant(random, context));
        break;
    case Closure::Nothing:
        break;
    }
    out[work.length] = '\0';
    carriedVowelRun = vowelRun;
    CloseDraws(random);
    return work.length;
}

// One name of the loop over a board. Classic's path is made one body with its draws, so that
// its cursor lives in registers; the general path, short of registers either way, is left
// to the compiler.
template <bool IsMale>
NORVATHEL_FLATTEN int ComposeInLoop(AdditiveRandom& random, const ComposingClassic<IsMale>& rules,
                                    const PrefixFacts& prefix, int positions, int& carriedVowelRun, char* out)
{
    return ComposeName(random, rules, prefix, positions, carriedVowelRun, out);
}

int ComposeInLoop(AdditiveRandom& random, const ComposingStyle& rules, const PrefixFacts& prefix, int positions,
                  int& carriedVowelRun, char* out)
{
    return ComposeName(random, rules, prefix, positions, carriedVowelRun, out);
}

int ComposeInLoop(AdditiveRandom& random, const ComposingContext& rules, const PrefixFacts& prefix, int positions,
                  int& carriedVowelRun, char* out)
{
    return ComposeName(random, rules, prefix, positions, carriedVowelRun, out);
}

// The context state a prefix leaves, for a format 2 style.
int PrefixContext(const CompiledStyle& voice, const CompiledGender& gender, const char* prefix, int length)
{
    return voice.hasContexts && length > 0 ? voice.contexts[gender.contextGender].AfterText(std::string(prefix, static_cast<std::size_t>(length)),
                                                                     voice.data.vowelLetters)
                                           : 0;
}

// The prefix area: the first 31 bytes of the given text, zero-filled behind them.
void ReadPrefix(const char* text, char (&area)[PrefixCapacity])
{
    std::memset(area, 0, sizeof area);
    if (text != nullptr && text[0] != '\0')  // most boards have none
        std::strncpy(area, text, PrefixCapacity - 1);
}

// The name's capitals: its first letter, and in a style with joins each letter after one from
// byte from on (the prefix before it stays as given).
void Capitalise(const CompiledStyle& voice, char* text, int from = 0)
{
    if (voice.hasJoins)
        UpperCaseAfterJoins(voice.data.capitals, text, from);
    // Most names open on a plain small letter, which both kinds of capitals raise alike: that
    // case without a call.
    if (text[0] >= 'a' && text[0] <= 'z') {
        text[0] = static_cast<char>(text[0] - 32);
        return;
    }
    UpperCaseFirstLetterAs(voice.data.capitals, text);
}

}  // namespace

void BoardCursor::Begin(AdditiveRandom& source, const CompiledStyle& style, bool surnameStems,
                        Gender boardGender, const char* prefixText)
{
    random = &source;
    voice = &style;
    stems = surnameStems;
    gender = boardGender;
    classicPath = style.classic && !stems && gender != Neutral;
    ReadPrefix(prefixText, prefix);
    prefixLength = prefix[0] != '\0' ? static_cast<int>(std::strlen(prefix)) : 0;
    if (prefixLength > style.prefixRoom) {
        // Names of this style need more of the slot: the prefix as far as it fits, a whole
        // letter at a time.
        prefixLength = style.prefixRoom;
        while (prefixLength > 0 && (static_cast<unsigned char>(prefix[prefixLength]) & 0xC0) == 0x80)
            --prefixLength;
        std::memset(prefix + prefixLength, 0, sizeof prefix - static_cast<std::size_t>(prefixLength));
    }
    prefixEndsInConsonant = prefixLength > 0 && !style.EndsInVowelLetter(prefix, prefixLength);
    prefixBlocked = prefixLength > 0 ? style.BlockedAfterText(prefix, prefixLength) : 0;
    // Every composition draws the ten position counts first, then composes names 0 to 9 in order.
    const AdditiveRandom::Span span = stems ? style.stemPositions : style.positions;
    const int least = stems ? style.stemMinPositions : style.minPositions;
    if (style.classic && !stems) {  // the positions are classic's for every gender
        source.RangeEach<ClassicNumbers::minPositions, ClassicNumbers::maxPositions>(positions);
    } else if (!stems && !style.genders[gender].positionTable.empty()) {
        const CompiledGender& of = style.genders[gender];
        for (int& count : positions)
            count = of.positionTable[static_cast<std::size_t>(Pick(source, of.positionSpan))];
    } else {
        for (int& count : positions)
            count = least + Pick(source, span);
    }
    vowelRun = 0;
    index = 0;
}

void BoardCursor::Start(AdditiveRandom& source, Gender boardGender, const char* prefixText)
{
    Begin(source, Style::Classic().Compiled(), false, boardGender, prefixText);
}

void BoardCursor::Start(AdditiveRandom& source, const Style& style, Gender boardGender, const char* prefixText)
{
    Begin(source, style.Compiled(), false, boardGender, prefixText);
}

int BoardCursor::NextRaw()
{
    static_assert(MaxNameLength + FragmentSlot < WorkSize, "a slot copied past the longest name fits");
    const CompiledGender& voiceOf = stems ? voice->stem : voice->genders[gender];
    const PrefixFacts facts = {prefix, prefixLength, prefixEndsInConsonant, prefixBlocked,
                               PrefixContext(*voice, voiceOf, prefix, prefixLength), FrontOf(*voice, prefix, prefixLength)};
    const int length =
        classicPath && gender == Male ? ComposeName(*random, ComposingClassic<true>(*voice, voiceOf), facts, positions[index], vowelRun, work)
        : classicPath ? ComposeName(*random, ComposingClassic<false>(*voice, voiceOf), facts, positions[index], vowelRun, work)
        : voice->hasContexts ? ComposeName(*random, ComposingContext(*voice, voiceOf), facts, positions[index], vowelRun, work)
                             : ComposeName(*random, ComposingStyle(*voice, voiceOf), facts, positions[index], vowelRun, work);
    ++index;
    return length;
}

template <typename Rules>
void BoardCursor::ComposeRestWith(const Rules& given, Board& board, bool capitalise)
{
    const Rules rules = given;  // a local: the generator's stores cannot reach it
    const PrefixFacts facts = {prefix, prefixLength, prefixEndsInConsonant, prefixBlocked,
                               PrefixContext(*voice, stems ? voice->stem : voice->genders[gender], prefix, prefixLength),
                               FrontOf(*voice, prefix, prefixLength)};
    // Names with no prefix whose longest, with the fixed-size copy of its last fragment, fits
    // a slot are composed in the slot itself; others in the work area and copied. (Copying
    // also makes the slot's loads wait for the many small stores just made.)
    const bool inSlot = prefixLength == 0 && voice->longestWithoutPrefix + Rules::CopyBytes <= NameSlotSize;
    for (; index < NamesPerBoard; ++index) {
        char* out = inSlot ? board.names[index] : work;
        board.lengths[index] = ComposeInLoop(*random, rules, facts, positions[index], vowelRun, out);
        if (capitalise)
            Capitalise(*voice, out, prefixLength);
        // A whole slot at once: a fixed-size copy; the bytes behind the NUL do not matter.
        if (!inSlot)
            std::memcpy(board.names[index], work, NameSlotSize);
    }
}

void BoardCursor::ComposeRest(Board& board, bool capitalise)
{
    const CompiledGender& voiceOf = stems ? voice->stem : voice->genders[gender];
    if (classicPath && gender == Male)
        ComposeRestWith(ComposingClassic<true>(*voice, voiceOf), board, capitalise);
    else if (classicPath)
        ComposeRestWith(ComposingClassic<false>(*voice, voiceOf), board, capitalise);
    else if (voice->hasContexts)
        ComposeRestWith(ComposingContext(*voice, voiceOf), board, capitalise);
    else
        ComposeRestWith(ComposingStyle(*voice, voiceOf), board, capitalise);
}

int BoardCursor::Next(char (&name)[NameSlotSize])
{
    const int length = NextRaw();
    Capitalise(*voice, work, prefixLength);
    // A whole slot at once: a fixed-size copy; the bytes behind the NUL do not matter.
    std::memcpy(name, work, NameSlotSize);
    return length;
}

void Style::ComposeBoard(AdditiveRandom& random, Gender gender, const char* prefix, Board& board) const
{
    BoardCursor cursor;
    cursor.Begin(random, *voice, false, gender, prefix);
    cursor.ComposeRest(board, true);
}

void Style::ComposeSurnames(AdditiveRandom& random, Board& board) const
{
    const CompiledStyle& style = *voice;
    if (style.data.surname.form == SurnameForm::StemAndTail) {
        // Ten stems as a board of given names is composed, then ten tails in order.
        BoardCursor cursor;
        cursor.Begin(random, style, true, style.data.surname.closesAs, nullptr);
        cursor.ComposeRest(board, false);
    } else {
        for (int index = 0; index < NamesPerBoard; ++index) {
            const Fragment& head = style.heads[static_cast<std::size_t>(Pick(random, style.headSpan))];
            const int skip = JoinBytes(head.text);  // a surname opens with no join either
            std::memcpy(board.names[index], head.text + skip, static_cast<std::size_t>(FragmentSlot - skip));
            board.lengths[index] = head.length - skip;
        }
    }
    for (int index = 0; index < NamesPerBoard; ++index) {
        const Fragment& tail = style.tails[static_cast<std::size_t>(Pick(random, style.tailSpan))];
        // Checked when the style was built: a stem or head and a tail fit the slot.
        std::memcpy(board.names[index] + board.lengths[index], tail.text,
                    static_cast<std::size_t>(tail.length) + 1);
        board.lengths[index] += tail.length;
        Capitalise(style, board.names[index]);
    }
}

void ComposeBoard(AdditiveRandom& random, Gender gender, const char* prefix, Board& board)
{
    Style::Classic().ComposeBoard(random, gender, prefix, board);
}

void Compose(AdditiveRandom& random, Gender gender, const char* prefix, NameList& list)
{
    list.Release();
    Board board;
    Style::Classic().ComposeBoard(random, gender, prefix, board);
    for (int index = 0; index < NamesPerBoard; ++index)
        list.Store(index, DuplicateString(board.names[index]));
}

}  // namespace norvathel
