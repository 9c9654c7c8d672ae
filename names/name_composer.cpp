#include <norvathel/name_composer.h>
#include <norvathel/style.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "name_finishing.h"
#include "style_voice.h"

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
    return random.Range(1, 2) == 1 ? Male : Female;
}

namespace {

const int WorkSize = 128;
static_assert(MaxNameLength + FragmentSlot < WorkSize, "a slot copied past the longest name fits");

// What a composition needs to know about its prefix, worked out once for the ten names.
struct PrefixFacts {
    const char* text;
    int length;
    bool endsInConsonant;
    std::uint16_t blocked;  // the vowel class refused while lastVowel is the prefix
};

// The name under construction; whole fixed-size fragments are copied in, the padding's zeros
// keep it terminated.
struct WorkText {
    char* text;
    int length;

    void Append(const Fragment& fragment)
    {
        std::memcpy(text + length, fragment.text, FragmentSlot);
        length += fragment.length;
    }
};

// Composes one raw (unfinished) name of the given number of positions into out, carrying
// vowelRun from name to name; returns its length. lastVowel is kept as the vowel class it
// refuses next.
int ComposeName(AdditiveRandom& random, const StyleVoice& voice, const GenderVoice& gender,
                const PrefixFacts& prefix, int positions, int& carriedVowelRun, char* out)
{
    int vowelRun = carriedVowelRun;  // a local, so that it stays in a register
    WorkText work = {out, 0};
    std::uint16_t blocked = 0;
    bool afterConsonant = false;
    int position = 0;
    // Positions run from 1 up, so the first pass always reaches the prefix step.
    if (prefix.length > 0) {
        std::memcpy(out, prefix.text, static_cast<std::size_t>(prefix.length));
        work.length = prefix.length;
        blocked = prefix.blocked;
        afterConsonant = prefix.endsInConsonant;
        position = 1;
    }
    const int vowelMask = static_cast<int>(voice.vowelSpan.mask);
    while (position < positions) {
        if (gender.closesWithEnding && vowelRun == 0 && position >= positions - voice.endingFrom) {
            work.Append(gender.endings[Pick(random, gender.endingSpan)]);
            out[work.length] = '\0';
            carriedVowelRun = vowelRun;
            return work.length;  // nothing follows an ending drawn in the loop
        }

        bool consonant;
        if (position == 0 && gender.opening.Hit(random))
            consonant = true;
        else if (afterConsonant)
            consonant = false;
        else
            consonant = voice.consonantChance.Hit(random) || vowelRun == voice.maxVowelRun;

        if (consonant) {
            vowelRun = 0;
            afterConsonant = true;
            // Clusters never stand at the last position; the two draws stay in this order.
            // Span and table are picked by arithmetic, not a branch: the choice is random.
            int cluster = voice.clusterChance.Hit(random) & (position < positions - 1);
            int index = Pick(random, cluster ? voice.clusterSpan : voice.consonantSpan);
            work.Append(voice.consonants[static_cast<std::size_t>(cluster * voice.clusterBase + index)]);
        } else {
            afterConsonant = false;
            ++vowelRun;
            // One loop for the span's own redraws and the vowel rules' redraws: both simply
            // draw again, so the sequence of draws is that of the vowel table's Range.
            const std::uint16_t* classes = voice.vowelClass.data();
            std::uint16_t refused = blocked;
            if (position == 0) {
                classes = voice.openingClass.data();
                refused = 0;
            }
            int vowel;
            std::uint16_t kind;
            do {
                vowel = random.Next() & vowelMask;
                kind = classes[vowel];
            } while (kind == 0 || kind == refused);
            blocked = voice.blockedAfter[kind];
            work.Append(voice.vowels[static_cast<std::size_t>(vowel)]);
        }
        ++position;
    }

    if (gender.closesWithEnding) {
        if (afterConsonant)
            work.Append(gender.endings[Pick(random, gender.endingSpan)]);
    } else if (vowelRun != 0) {
        work.Append(voice.consonants[Pick(random, voice.consonantSpan)]);  // vowelRun carries on
    }
    out[work.length] = '\0';
    carriedVowelRun = vowelRun;
    return work.length;
}

// The prefix area: the first 31 bytes of the given text, zero-filled behind them.
void ReadPrefix(const char* text, char (&area)[PrefixCapacity])
{
    std::memset(area, 0, sizeof area);
    if (text != nullptr)
        std::strncpy(area, text, PrefixCapacity - 1);
}

void Capitalise(const StyleVoice& voice, char* text)
{
    if (voice.data.capitals == Capitals::Latin)
        UpperCaseFirstLatinLetter(text);
    else
        UpperCaseFirstLetter(text);
}

}  // namespace

void BoardCursor::Begin(AdditiveRandom& source, const StyleVoice& style, bool surnameStems,
                        Gender boardGender, const char* prefixText)
{
    random = &source;
    voice = &style;
    stems = surnameStems;
    gender = boardGender;
    ReadPrefix(prefixText, prefix);
    prefixLength = static_cast<int>(std::strlen(prefix));
    prefixEndsInConsonant = prefixLength > 0 && !style.EndsInVowelLetter(prefix, prefixLength);
    prefixBlocked = style.BlockedAfterText(prefix);
    // Every composition draws the ten position counts first, then composes names 0 to 9 in order.
    const AdditiveRandom::Span span = stems ? style.stemPositions : style.positions;
    const int least = stems ? style.stemMinPositions : style.minPositions;
    for (int& count : positions)
        count = least + Pick(source, span);
    vowelRun = 0;
    index = 0;
}

void BoardCursor::Start(AdditiveRandom& source, Gender boardGender, const char* prefixText)
{
    Begin(source, Style::Classic().Voice(), false, boardGender, prefixText);
}

void BoardCursor::Start(AdditiveRandom& source, const Style& style, Gender boardGender, const char* prefixText)
{
    Begin(source, style.Voice(), false, boardGender, prefixText);
}

int BoardCursor::NextRaw()
{
    const PrefixFacts facts = {prefix, prefixLength, prefixEndsInConsonant, prefixBlocked};
    const GenderVoice& voiceOf = stems ? voice->stem : voice->genders[gender];
    const int length = ComposeName(*random, *voice, voiceOf, facts, positions[index], vowelRun, work);
    ++index;
    return length;
}

int BoardCursor::Next(char (&name)[NameSlotSize])
{
    const int length = NextRaw();
    Capitalise(*voice, work);
    // A whole slot at once: a fixed-size copy; the bytes behind the NUL do not matter.
    std::memcpy(name, work, NameSlotSize);
    return length;
}

void Style::ComposeBoard(AdditiveRandom& random, Gender gender, const char* prefix, Board& board) const
{
    BoardCursor cursor;
    cursor.Begin(random, *voice, false, gender, prefix);
    for (int index = 0; index < NamesPerBoard; ++index)
        board.lengths[index] = cursor.Next(board.names[index]);
}

void Style::ComposeSurnames(AdditiveRandom& random, Board& board) const
{
    const StyleVoice& style = *voice;
    if (style.data.surname.form == SurnameForm::StemAndTail) {
        // Ten stems as a board of given names is composed, then ten tails in order.
        BoardCursor cursor;
        cursor.Begin(random, style, true, style.data.surname.closesAs, nullptr);
        for (int index = 0; index < NamesPerBoard; ++index) {
            board.lengths[index] = cursor.NextRaw();
            std::memcpy(board.names[index], cursor.work, NameSlotSize);
        }
    } else {
        for (int index = 0; index < NamesPerBoard; ++index) {
            const Fragment& head = style.heads[static_cast<std::size_t>(Pick(random, style.headSpan))];
            std::memcpy(board.names[index], head.text, FragmentSlot);
            board.lengths[index] = head.length;
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
    BoardCursor cursor;
    cursor.Start(random, gender, prefix);
    char name[NameSlotSize];
    for (int index = 0; index < NamesPerBoard; ++index) {
        cursor.Next(name);
        list.Store(index, DuplicateString(name));
    }
}

}  // namespace norvathel
