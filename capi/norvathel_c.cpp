// The C interface over AdditiveRandom, ComposeBoard and NameStream. Nothing may escape into C:
// every entry point that calls anything able to throw catches all of it, and anything thrown
// (only std::bad_alloc can be) becomes NORVATHEL_NO_MEMORY.
#include <norvathel/norvathel_c.h>

#include <cstdio>
#include <cstring>
#include <new>
#include <string>
#include <type_traits>
#include <vector>

#include <norvathel/name_stream.h>
#include <norvathel/style.h>
#include <norvathel/style_learning.h>

#include "norvathel_handles.h"

using norvathel::AdditiveRandom;
using norvathel::Board;
using norvathel::Gender;
using norvathel::Male;

struct norvathel_generator {
    AdditiveRandom random;
};

struct norvathel_style {
    norvathel::Style style;
};

namespace {

// A C caller may pass any int where the header names an enum, and C++ may assume an enum
// holds one of its own values: read the integer, and convert only a value the enum knows.
template <typename Enum>
long long IntegerOf(Enum value)
{
    std::underlying_type_t<Enum> integer;
    static_assert(sizeof integer == sizeof value, "an enum is stored as its underlying type");
    std::memcpy(&integer, &value, sizeof integer);
    return integer;
}

bool ToChoice(norvathel_gender gender, norvathel::GenderChoice& choice)
{
    switch (IntegerOf(gender)) {
    case NORVATHEL_DRAWN: choice = norvathel::GenderChoice::Drawn; return true;
    case NORVATHEL_MALE: choice = norvathel::GenderChoice::Male; return true;
    case NORVATHEL_FEMALE: choice = norvathel::GenderChoice::Female; return true;
    case NORVATHEL_NEUTRAL: choice = norvathel::GenderChoice::Neutral; return true;
    }
    return false;
}

norvathel_gender FromGender(Gender gender)
{
    return gender == Male ? NORVATHEL_MALE : gender == norvathel::Female ? NORVATHEL_FEMALE : NORVATHEL_NEUTRAL;
}

bool ToConstraints(const norvathel_constraints* given, norvathel::NameConstraints& constraints)
{
    if (!given)
        return true;
    if (given->exclude_count > 0 && !given->exclude)
        return false;
    constraints.unique = given->unique != 0;
    constraints.minLength = given->min_length;
    constraints.maxLength = given->max_length;
    constraints.endsWith = given->ends_with ? given->ends_with : "";
    for (std::size_t index = 0; index < given->exclude_count; ++index) {
        if (!given->exclude[index])
            return false;
        constraints.exclude.push_back(given->exclude[index]);
    }
    return true;
}

// A text quoted for a message: control bytes as \xNN, so that no text given drives a terminal.
std::string Quoted(const std::string& text)
{
    static const char Hex[] = "0123456789ABCDEF";
    std::string quoted = "\"";
    for (char c : text) {
        const unsigned char byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F)
            quoted += std::string("\\x") + Hex[byte >> 4] + Hex[byte & 15];
        else
            quoted += c;
    }
    return quoted + "\"";
}


// Who the names are: "male names beginning with \"Ka\"", or one "male name".
std::string NamesMeant(norvathel::GenderChoice gender, const char* prefix, bool plural, bool withPrefix)
{
    std::string names = gender == norvathel::GenderChoice::Male     ? "male name"
                        : gender == norvathel::GenderChoice::Female ? "female name"
                                                                    : "name";
    if (plural)
        names += "s";
    if (withPrefix && prefix && prefix[0] != '\0')
        names += " beginning with " + Quoted(prefix);
    return names;
}

// The length fields given: "max_length 1", "min_length 4 and max_length 5".
std::string LengthsAsked(const norvathel::NameConstraints& constraints)
{
    const std::string least = "min_length " + std::to_string(constraints.minLength);
    const std::string most = "max_length " + std::to_string(constraints.maxLength);
    if (constraints.minLength != 0 && constraints.maxLength != 0)
        return least + " and " + most;
    return constraints.minLength != 0 ? least : most;
}

// What is wrong, in the words of the C structure's fields. The reasons that depend on the
// gender, the prefix and the style say them as the tool does (told), or keep the words
// norvathel_check_constraints has always given (not told).
std::string ProblemText(const norvathel::ConstraintProblem& problem,
                        const norvathel::NameConstraints& constraints, bool told = false,
                        norvathel::GenderChoice gender = norvathel::GenderChoice::Drawn, const char* prefix = nullptr,
                        const norvathel::Style& style = norvathel::Style::Classic())
{
    using Fault = norvathel::ConstraintFault;
    const std::string length = std::to_string(problem.length);
    const std::string limit = std::to_string(problem.limit);
    const std::string lengths = length + " to " + limit + " bytes long";
    const std::string ending = "ends_with " + Quoted(constraints.endsWith);
    switch (problem.fault) {
    case Fault::None: return "";
    case Fault::MinLengthOutOfRange: return "min_length " + length + " is not 0 or 1 to " + limit;
    case Fault::MaxLengthOutOfRange: return "max_length " + length + " is not 0 or 1 to " + limit;
    case Fault::MinAboveMax: return "min_length " + length + " is above max_length " + limit;
    case Fault::MaxBelowPrefix:
        return "max_length " + length + " is below the prefix's length " + limit;
    case Fault::MaxBelowEnding:
        return "max_length " + length + " is below the length of ends_with, " + limit;
    case Fault::EndingTooLong:
        return "ends_with is " + length + " bytes long, longer than any name (" + limit + ")";
    case Fault::EmptyPiece:
        return "exclude[" + std::to_string(problem.piece) + "] is empty";
    case Fault::PieceInPrefix:
        if (told)
            return "the prefix contains exclude[" + std::to_string(problem.piece) + "], " +
                   Quoted(constraints.exclude[problem.piece]);
        return "the prefix contains exclude[" + std::to_string(problem.piece) + "], \"" +
               constraints.exclude[problem.piece] + "\"";
    case Fault::LengthsUnreachable:
        if (told)
            return LengthsAsked(constraints) + (constraints.minLength && constraints.maxLength ? " leave" : " leaves") +
                   " no name: " + NamesMeant(gender, prefix, true, true) + " are " + lengths;
        return "names with this gender and prefix are " + length + " to " + limit + " bytes long";
    case Fault::EndingForeignByte:
        if (told)
            return ending + ": no name contains " + norvathel::LetterAt(constraints.endsWith, problem.piece) +
                   " (names are made of " + norvathel::LettersOf(style) + ", and the prefix)";
        return "no name holds byte " + std::to_string(problem.piece) + " of ends_with";
    case Fault::EndingInVowel:
        if (gender == norvathel::GenderChoice::Neutral)
            return ending + ": " + norvathel::NeutralNamesEndInAConsonant;
        if (told)
            return ending + ": no male name ends in a vowel (male names end in a consonant)";
        return "no male name ends in a vowel";
    case Fault::EndingLastByte:
        if (told)
            return ending + ": no " + NamesMeant(gender, prefix, false, false) + " ends in " +
                   norvathel::LetterAt(constraints.endsWith, problem.piece);
        return "no name of this gender ends with the last byte of ends_with";
    case Fault::EndingUnreachable:
        if (told)
            return ending + ": no " + NamesMeant(gender, prefix, false, true) + " ends so";
        return "no name of this gender and prefix ends with ends_with";
    case Fault::EndingOutsideLengths:
        if (told)
            return ending + " with " + LengthsAsked(constraints) + ": " + NamesMeant(gender, prefix, true, true) +
                   " ending so are " + lengths;
        return "names ending with ends_with are " + length + " to " + limit + " bytes long";
    case Fault::CheckTooCostly:
        return "checking the lengths and ends_with against this style would take more than " + limit + " steps";
    case Fault::NoNeutralNames:
        return norvathel::NoNeutralNames(style);
    case Fault::PrefixTooLong:
        return norvathel::PrefixTooLong(style, problem.length);
    }
    return "unknown problem";
}

void Problem(const std::string& text, char* problem, std::size_t problemSize)
{
    if (problem && problemSize > 0)
        std::snprintf(problem, problemSize, "%s", text.c_str());
}

// A stream's prefix as the tool takes it: a name must begin with the whole prefix, so one
// longer than the composer's 31 bytes is refused, not cut, and a control byte would break a
// name's line. (The board functions keep the window's cut.) Empty when it is fine.
std::string PrefixProblem(const char* prefix)
{
    if (!prefix)
        return "";
    const std::size_t length = std::strlen(prefix);
    if (length > norvathel::PrefixCapacity - 1)
        return "the prefix is " + std::to_string(length) + " bytes long; a prefix holds at most " +
               std::to_string(norvathel::PrefixCapacity - 1);
    for (std::size_t at = 0; at < length; ++at) {
        const unsigned char byte = static_cast<unsigned char>(prefix[at]);
        if (byte < 0x20 || byte == 0x7F)
            return "the prefix " + Quoted(prefix) + " holds a control byte";
    }
    return "";
}

norvathel_result Check(const char* prefix, const norvathel_constraints* given,
                       norvathel::NameConstraints& constraints, char* problem,
                       std::size_t problemSize, bool told = false,
                       norvathel::GenderChoice gender = norvathel::GenderChoice::Drawn,
                       const norvathel::Style& style = norvathel::Style::Classic())
{
    const std::string badPrefix = PrefixProblem(prefix);
    if (!badPrefix.empty()) {
        Problem(badPrefix, problem, problemSize);
        return NORVATHEL_BAD_ARGUMENT;
    }
    if (!ToConstraints(given, constraints)) {
        Problem("exclude holds a null pointer", problem, problemSize);
        return NORVATHEL_BAD_ARGUMENT;
    }
    const norvathel::ConstraintProblem found =
        norvathel::ImpossibleConstraints(constraints, prefix, gender, style);
    Problem(ProblemText(found, constraints, told, gender, prefix, style), problem, problemSize);
    return found ? NORVATHEL_IMPOSSIBLE : NORVATHEL_OK;
}

// A name handed out, into the caller's buffer (checked to be large enough): "Given Surname"
// when it has a surname.
void WriteName(const norvathel::StreamName& found, char* name, std::size_t capacity, std::size_t* givenLength,
               norvathel_gender* gender)
{
    static_assert(NORVATHEL_NAME_SIZE >= norvathel::MaxNameLength + 1 &&
                      NORVATHEL_FULL_NAME_SIZE >= 2 * (norvathel::MaxNameLength + 1),
                  "the sizes promised hold any name");
    if (found.surname)
        std::snprintf(name, capacity, "%s %s", found.text, found.surname);
    else
        std::memcpy(name, found.text, static_cast<std::size_t>(found.length) + 1);
    if (givenLength)
        *givenLength = static_cast<std::size_t>(found.length);
    if (gender)
        *gender = FromGender(found.gender);
}

norvathel_result MadeStyle(bool made, const norvathel::Style& style, const norvathel::StyleError& error,
                           norvathel_style** out, char* problem, std::size_t problemSize)
{
    if (!made) {
        Problem(error.Text(), problem, problemSize);
        return NORVATHEL_BAD_ARGUMENT;
    }
    *out = new norvathel_style{style};
    Problem("", problem, problemSize);
    return NORVATHEL_OK;
}

const norvathel::Style& StyleOf(const norvathel_style* style)
{
    return style ? style->style : norvathel::Style::Classic();
}

}  // namespace

extern "C" {

uint64_t norvathel_seed_from_word(const char* word)
{
    return norvathel::SeedFromWord(word ? word : "");
}

uint64_t norvathel_entropy_seed(void)
{
    return norvathel::EntropySeed();  // catches what the entropy source throws, itself
}

const char* norvathel_result_text(norvathel_result result)
{
    switch (IntegerOf(result)) {
    case NORVATHEL_OK: return "done";
    case NORVATHEL_DRY: return "none of a million names in a row met the constraints";
    case NORVATHEL_BAD_ARGUMENT: return "bad argument";
    case NORVATHEL_IMPOSSIBLE: return "no name can meet the constraints";
    case NORVATHEL_NO_MEMORY: return "out of memory";
    }
    return "unknown result";
}

norvathel_result norvathel_generator_create(uint64_t seed, norvathel_generator** generator)
{
    if (!generator)
        return NORVATHEL_BAD_ARGUMENT;
    *generator = new (std::nothrow) norvathel_generator;
    if (!*generator)
        return NORVATHEL_NO_MEMORY;
    (*generator)->random.Seed(seed);
    return NORVATHEL_OK;
}

void norvathel_generator_free(norvathel_generator* generator)
{
    delete generator;
}

norvathel_result norvathel_compose_board(norvathel_generator* generator, norvathel_gender gender,
                                         const char* prefix,
                                         char names[NORVATHEL_BOARD_NAMES][NORVATHEL_NAME_SIZE],
                                         norvathel_gender* used)
{
    return norvathel_compose_styled_board(generator, nullptr, gender, prefix, names, used);
}

norvathel_result norvathel_check_constraints(const char* prefix,
                                             const norvathel_constraints* constraints,
                                             char* problem, size_t problem_size)
{
    try {
        norvathel::NameConstraints converted;
        return Check(prefix, constraints, converted, problem, problem_size);
    } catch (...) {
        return NORVATHEL_NO_MEMORY;
    }
}

norvathel_result norvathel_check_styled_constraints(const norvathel_style* style, norvathel_gender gender,
                                                    const char* prefix, const norvathel_constraints* constraints,
                                                    char* reason, size_t reason_size)
{
    Problem("", reason, reason_size);
    norvathel::GenderChoice choice;
    if (!ToChoice(gender, choice)) {
        Problem("the gender is not NORVATHEL_DRAWN, NORVATHEL_MALE, NORVATHEL_FEMALE or NORVATHEL_NEUTRAL", reason, reason_size);
        return NORVATHEL_BAD_ARGUMENT;
    }
    try {
        norvathel::NameConstraints converted;
        return Check(prefix, constraints, converted, reason, reason_size, true, choice, StyleOf(style));
    } catch (...) {
        return NORVATHEL_NO_MEMORY;
    }
}

norvathel_result norvathel_stream_create(uint64_t seed, norvathel_gender gender,
                                         const char* prefix,
                                         const norvathel_constraints* constraints,
                                         norvathel_stream** stream)
{
    return norvathel_styled_stream_create(seed, nullptr, gender, prefix, constraints, 0, stream);
}

void norvathel_stream_free(norvathel_stream* stream)
{
    delete stream;
}

norvathel_result norvathel_stream_next(norvathel_stream* stream, char* name, size_t capacity,
                                       norvathel_gender* gender)
{
    // Refused before a name is drawn, so that none is lost or cut.
    if (!stream || !name || capacity < (stream->full ? NORVATHEL_FULL_NAME_SIZE : NORVATHEL_NAME_SIZE))
        return NORVATHEL_BAD_ARGUMENT;
    try {
        norvathel::StreamName next;
        if (!stream->names.Next(next))
            return NORVATHEL_DRY;
        WriteName(next, name, capacity, nullptr, gender);
        return NORVATHEL_OK;
    } catch (...) {
        return NORVATHEL_NO_MEMORY;
    }
}

norvathel_result norvathel_stream_fill(norvathel_stream* stream, char* names, size_t capacity, size_t most,
                                       size_t* count, norvathel_gender* genders)
{
    if (count)
        *count = 0;
    const size_t room = stream && stream->full ? NORVATHEL_FULL_NAME_SIZE : NORVATHEL_NAME_SIZE;
    if (!stream || !count || (most > 0 && (!names || capacity < room)))
        return NORVATHEL_BAD_ARGUMENT;
    // A name is drawn only while the largest one fits behind the last: none is lost or cut.
    size_t used = 0;
    try {
        norvathel::StreamName next;
        while (*count < most && capacity - used >= room) {
            if (!stream->names.Next(next))
                return NORVATHEL_DRY;
            WriteName(next, names + used, capacity - used, nullptr, genders ? &genders[*count] : nullptr);
            used += std::strlen(names + used) + 1;
            ++*count;
        }
        return NORVATHEL_OK;
    } catch (...) {
        return NORVATHEL_NO_MEMORY;
    }
}

uint64_t norvathel_key_seed(const char* key, size_t length)
{
    return key ? norvathel::KeySeed(key, length) : norvathel::KeySeed("", 0);
}

uint64_t norvathel_project_key_seed(const char* key, size_t length, uint64_t project_seed)
{
    return key ? norvathel::KeySeed(key, length, project_seed) : norvathel::KeySeed("", 0, project_seed);
}

norvathel_result norvathel_key_name(uint64_t key_seed, norvathel_gender gender, const char* prefix,
                                    const norvathel_constraints* constraints, char* name,
                                    size_t capacity, norvathel_gender* used)
{
    return norvathel_styled_key_name(key_seed, nullptr, gender, prefix, constraints, 0, name, capacity, nullptr,
                                     used);
}

void norvathel_stream_counts(const norvathel_stream* stream, uint64_t* composed, uint64_t* kept)
{
    if (composed)
        *composed = stream ? stream->names.Composed() : 0;
    if (kept)
        *kept = stream ? stream->names.Kept() : 0;
}

const char* norvathel_builtin_style_name(size_t index)
{
    try {
        // Built once; the texts live as long as the program.
        static const std::vector<std::string> names = norvathel::Style::BuiltInNames();
        return index < names.size() ? names[index].c_str() : nullptr;
    } catch (...) {
        return nullptr;
    }
}

norvathel_result norvathel_style_builtin(const char* name, norvathel_style** style)
{
    if (!style)
        return NORVATHEL_BAD_ARGUMENT;
    *style = nullptr;
    try {
        norvathel::Style found;
        if (!name || !norvathel::Style::BuiltIn(name, found))
            return NORVATHEL_BAD_ARGUMENT;
        *style = new norvathel_style{found};
        return NORVATHEL_OK;
    } catch (...) {
        return NORVATHEL_NO_MEMORY;
    }
}

norvathel_result norvathel_style_from_file(const char* path, norvathel_style** style, char* problem,
                                           size_t problem_size)
{
    if (!style || !path)
        return NORVATHEL_BAD_ARGUMENT;
    *style = nullptr;
    try {
        norvathel::Style read;
        norvathel::StyleError error;
        const bool made = norvathel::Style::FromFile(path, read, error);
        return MadeStyle(made, read, error, style, problem, problem_size);
    } catch (...) {
        return NORVATHEL_NO_MEMORY;
    }
}

norvathel_result norvathel_style_from_text(const char* text, size_t length, norvathel_style** style,
                                           char* problem, size_t problem_size)
{
    if (!style || (!text && length > 0))
        return NORVATHEL_BAD_ARGUMENT;
    *style = nullptr;
    try {
        norvathel::Style read;
        norvathel::StyleError error;
        const bool made = norvathel::Style::FromText(std::string(text ? text : "", length), "text", read, error);
        return MadeStyle(made, read, error, style, problem, problem_size);
    } catch (...) {
        return NORVATHEL_NO_MEMORY;
    }
}

norvathel_result norvathel_style_learn(const char* text, size_t length, const char* source, norvathel_style** style,
                                       char* problem, size_t problem_size)
{
    if (!style || (!text && length > 0))
        return NORVATHEL_BAD_ARGUMENT;
    *style = nullptr;
    try {
        norvathel::LearnRequest request;
        request.measure = false;
        norvathel::LearnOutcome outcome;
        if (!norvathel::LearnFromList(std::string(text ? text : "", length), source ? source : "text", request,
                                      outcome)) {
            std::string faults = outcome.fault.Text();
            if (!outcome.list.faults.empty()) {
                faults.clear();
                for (const std::string& line : norvathel::ListLines(outcome.list, false))
                    faults += (faults.empty() ? "" : "\n") + line;
            }
            Problem(faults, problem, problem_size);
            return NORVATHEL_BAD_ARGUMENT;
        }
        return MadeStyle(true, outcome.style, outcome.fault, style, problem, problem_size);
    } catch (...) {
        return NORVATHEL_NO_MEMORY;
    }
}

norvathel_result norvathel_style_text(const norvathel_style* style, char* buffer, size_t size, size_t* needed)
{
    try {
        const std::string text = StyleOf(style).ToText();
        if (needed)
            *needed = text.size() + 1;
        if (!buffer || size < text.size() + 1)
            return NORVATHEL_BAD_ARGUMENT;
        std::memcpy(buffer, text.c_str(), text.size() + 1);
        return NORVATHEL_OK;
    } catch (...) {
        return NORVATHEL_NO_MEMORY;
    }
}

void norvathel_style_free(norvathel_style* style)
{
    delete style;
}

// These two only read strings that exist; the guards are there so that no change inside can
// ever let an exception reach C.
const char* norvathel_style_name(const norvathel_style* style)
{
    try {
        return StyleOf(style).Name().c_str();
    } catch (...) {
        return "";
    }
}

const char* norvathel_style_description(const norvathel_style* style)
{
    try {
        return StyleOf(style).Data().description.c_str();
    } catch (...) {
        return "";
    }
}

norvathel_result norvathel_compose_styled_board(norvathel_generator* generator, const norvathel_style* style,
                                                norvathel_gender gender, const char* prefix,
                                                char names[NORVATHEL_BOARD_NAMES][NORVATHEL_NAME_SIZE],
                                                norvathel_gender* used)
{
    norvathel::GenderChoice choice;
    if (!generator || !names || !ToChoice(gender, choice))
        return NORVATHEL_BAD_ARGUMENT;
    if (choice == norvathel::GenderChoice::Neutral && !StyleOf(style).Data().hasNeutral)
        return NORVATHEL_BAD_ARGUMENT;  // a style without neutral names makes none
    Gender drawn;
    Board board;
    try {
        drawn = norvathel::BoardGender(choice, generator->random);
        StyleOf(style).ComposeBoard(generator->random, drawn, prefix, board);
    } catch (...) {
        return NORVATHEL_NO_MEMORY;
    }
    static_assert(NORVATHEL_NAME_SIZE == norvathel::NameSlotSize &&
                      NORVATHEL_BOARD_NAMES == norvathel::NamesPerBoard,
                  "the C board is the composer's board");
    for (int index = 0; index < NORVATHEL_BOARD_NAMES; ++index)
        std::memcpy(names[index], board.names[index], static_cast<std::size_t>(board.lengths[index]) + 1);
    if (used)
        *used = FromGender(drawn);
    return NORVATHEL_OK;
}

norvathel_result norvathel_styled_stream_create(uint64_t seed, const norvathel_style* style,
                                                norvathel_gender gender, const char* prefix,
                                                const norvathel_constraints* constraints, int full_names,
                                                norvathel_stream** stream)
{
    return norvathel::CreateStyledStream(seed, style, gender, prefix, constraints, full_names, stream,
                                         norvathel::LengthUnit::Bytes);
}

}  // extern "C"

norvathel_result norvathel::CreateStyledStream(uint64_t seed, const norvathel_style* style, norvathel_gender gender,
                                               const char* prefix, const norvathel_constraints* constraints,
                                               int full_names, norvathel_stream** stream, LengthUnit unit)
{
    norvathel::GenderChoice choice;
    if (!stream || !ToChoice(gender, choice))
        return NORVATHEL_BAD_ARGUMENT;
    *stream = nullptr;
    try {
        norvathel::NameConstraints converted;
        converted.lengthUnit = unit;
        const norvathel_result checked =
            Check(prefix, constraints, converted, nullptr, 0, false, choice, StyleOf(style));
        if (checked != NORVATHEL_OK)
            return checked;
        *stream = new norvathel_stream(StyleOf(style), seed, choice, prefix, converted, full_names != 0);
        return NORVATHEL_OK;
    } catch (...) {
        return NORVATHEL_NO_MEMORY;
    }
}

extern "C" {

norvathel_result norvathel_stream_next_full(norvathel_stream* stream, char* name, size_t capacity,
                                            size_t* given_length, norvathel_gender* gender)
{
    if (!stream || !name || capacity < NORVATHEL_FULL_NAME_SIZE)
        return NORVATHEL_BAD_ARGUMENT;
    try {
        norvathel::StreamName next;
        if (!stream->names.Next(next))
            return NORVATHEL_DRY;
        WriteName(next, name, capacity, given_length, gender);
        return NORVATHEL_OK;
    } catch (...) {
        return NORVATHEL_NO_MEMORY;
    }
}

norvathel_result norvathel_styled_key_name(uint64_t key_seed, const norvathel_style* style,
                                           norvathel_gender gender, const char* prefix,
                                           const norvathel_constraints* constraints, int full_names,
                                           char* name, size_t capacity, size_t* given_length,
                                           norvathel_gender* used)
{
    return norvathel::StyledKeyName(key_seed, style, gender, prefix, constraints, full_names, name, capacity,
                                    given_length, used, norvathel::LengthUnit::Bytes);
}

}  // extern "C"

norvathel_result norvathel::StyledKeyName(uint64_t key_seed, const norvathel_style* style, norvathel_gender gender,
                                          const char* prefix, const norvathel_constraints* constraints,
                                          int full_names, char* name, size_t capacity, size_t* given_length,
                                          norvathel_gender* used, LengthUnit unit)
{
    norvathel::GenderChoice choice;
    const size_t least = full_names ? NORVATHEL_FULL_NAME_SIZE : NORVATHEL_NAME_SIZE;
    if (!name || capacity < least || !ToChoice(gender, choice))
        return NORVATHEL_BAD_ARGUMENT;
    if (constraints && constraints->unique)
        return NORVATHEL_BAD_ARGUMENT;  // a key's name must not depend on the other keys
    try {
        norvathel::NameConstraints converted;
        converted.lengthUnit = unit;
        const norvathel_result checked =
            Check(prefix, constraints, converted, nullptr, 0, false, choice, StyleOf(style));
        if (checked != NORVATHEL_OK)
            return checked;
        norvathel::KeyNamer namer(StyleOf(style), choice, prefix, converted, full_names != 0);
        norvathel::StreamName found;
        if (!namer.Name(key_seed, found))
            return NORVATHEL_DRY;
        WriteName(found, name, capacity, given_length, used);
        return NORVATHEL_OK;
    } catch (...) {
        return NORVATHEL_NO_MEMORY;
    }
}
