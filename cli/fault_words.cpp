#include "fault_words.h"

#include <norvathel/style_learning.h>

#include <cstring>

#include "argument_texts.h"

using norvathel::ConstraintFault;
using norvathel::GenderChoice;

namespace {

// Who the names are: "male names beginning with 'Ka'", or one "male name".
std::string NamesMeant(GenderChoice gender, const char* prefix, bool plural = true, bool withPrefix = true)
{
    std::string names = gender == GenderChoice::Male      ? "male name"
                        : gender == GenderChoice::Female  ? "female name"
                        : gender == GenderChoice::Neutral ? "neutral name"
                                                          : "name";
    if (plural)
        names += "s";
    if (withPrefix && prefix[0] != '\0')
        names += " beginning with " + Quoted(prefix);
    return names;
}

// The length options given: "--max-length 1", "--min-length 4 and --max-length 5".
std::string LengthsAsked(const norvathel::NameConstraints& constraints, MessageSurface surface)
{
    const std::string least = OptionWord(surface, WordedOption::MinLength) + (" " + std::to_string(constraints.minLength));
    const std::string most = OptionWord(surface, WordedOption::MaxLength) + (" " + std::to_string(constraints.maxLength));
    if (constraints.minLength != 0 && constraints.maxLength != 0)
        return least + " and " + most;
    return constraints.minLength != 0 ? least : most;
}


}  // namespace

const char* OptionWord(MessageSurface surface, WordedOption option)
{
    static const char* const Words[3][4] = {
        {"--min-length", "--max-length", "--ends-with", "--exclude"},
        {"minLength", "maxLength", "endsWith", "exclude"},
        {"Shortest", "Longest", "Ending", "Leave out"},
    };
    return Words[static_cast<int>(surface)][static_cast<int>(option)];
}

std::string ConstraintMessage(const norvathel::ConstraintProblem& problem,
                              const norvathel::NameConstraints& constraints, GenderChoice gender,
                              const char* prefix, const norvathel::Style& style, MessageSurface surface)
{
    const std::string minLength = OptionWord(surface, WordedOption::MinLength);
    const std::string maxLength = OptionWord(surface, WordedOption::MaxLength);
    const std::string endsWith = OptionWord(surface, WordedOption::EndsWith);
    const std::string range = " must be from 1 to " + std::to_string(problem.limit);
    const std::string ending = endsWith + " " + Quoted(constraints.endsWith.c_str());
    const std::string unit = constraints.lengthUnit == norvathel::LengthUnit::CodePoints ? " letters" : " bytes";
    const std::string lengths = std::to_string(problem.length) + " to " + std::to_string(problem.limit) + unit + " long";
    switch (problem.fault) {
    case ConstraintFault::None: return "";
    case ConstraintFault::MinLengthOutOfRange: return minLength + range;
    case ConstraintFault::MaxLengthOutOfRange: return maxLength + range;
    case ConstraintFault::MinAboveMax: return minLength + " is above " + maxLength;
    case ConstraintFault::MaxBelowPrefix: return maxLength + " is below the prefix's length";
    case ConstraintFault::MaxBelowEnding:
        return maxLength + " is below the length of the " + endsWith + " text";
    case ConstraintFault::EndingTooLong:
        return endsWith + " text of " + std::to_string(problem.length) + unit +
               " is longer than a name can be (" + std::to_string(problem.limit) + ")";
    case ConstraintFault::EmptyPiece: return OptionWord(surface, WordedOption::Exclude) + std::string(" has an empty piece");
    case ConstraintFault::PieceInPrefix:
        return "the prefix itself contains the excluded piece " +
               Quoted(constraints.exclude[problem.piece].c_str());
    case ConstraintFault::LengthsUnreachable:
        return LengthsAsked(constraints, surface) +
               (constraints.minLength && constraints.maxLength ? " leave" : " leaves") +
               " no name: " + NamesMeant(gender, prefix) + " are " + lengths;
    case ConstraintFault::EndingForeignByte:
        return ending + ": no name contains " + norvathel::LetterAt(constraints.endsWith, problem.piece) +
               " (names are made of " + norvathel::LettersOf(style) + ", and the prefix)";
    case ConstraintFault::EndingInVowel:
        return gender == GenderChoice::Neutral
                   ? ending + ": " + norvathel::NeutralNamesEndInAConsonant
                   : ending + ": no male name ends in a vowel (male names end in a consonant)";
    case ConstraintFault::EndingLastByte:
        return ending + ": no " + NamesMeant(gender, prefix, false, false) + " ends in " +
               norvathel::LetterAt(constraints.endsWith, problem.piece);
    case ConstraintFault::EndingUnreachable: return ending + ": no " + NamesMeant(gender, prefix, false) + " ends so";
    case ConstraintFault::EndingOutsideLengths:
        return ending + " with " + LengthsAsked(constraints, surface) + ": " + NamesMeant(gender, prefix) +
               " ending so are " + lengths;
    case ConstraintFault::CheckTooCostly:
        return "the length and ending constraints are refused: checking them against this style's tables "
               "would take more than the check's " + std::to_string(problem.limit) + " steps";
    case ConstraintFault::NoNeutralNames:
        return norvathel::NoNeutralNames(style);
    case ConstraintFault::PrefixTooLong:
        return norvathel::PrefixTooLong(style, problem.length);
    }
    return "the constraints cannot be met";
}

std::string DryMessage(unsigned long long written, unsigned long long count, unsigned long long composedInARow)
{
    return "only " + std::to_string(written) + " of " + std::to_string(count) +
           " names meet the constraints (" + std::to_string(composedInARow) + " composed in a row without a new one)";
}

namespace {

const char* const MaxValueText = "18446744073709551615";

}  // namespace

bool ParseCount(const char* option, const char* text, std::uint64_t& value, std::string& problem)
{
    if (ParseUnsigned(text, value))
        return true;
    bool digitsOnly = text[0] != '\0' && std::strspn(text, "0123456789") == std::strlen(text);
    if (text[0] == '-')
        problem = std::string(option) + " must not be negative: " + Quoted(text);
    else if (digitsOnly)
        problem = std::string(option) + " value " + Quoted(text) + " is out of range (0 to " +
                  MaxValueText + ")";
    else
        problem = "invalid " + std::string(option) + " value " + Quoted(text) +
                  ": expected a whole number from 0 to " + MaxValueText;
    return false;
}

bool ParseSeed(const char* option, const char* text, std::uint64_t& seed, std::string& problem)
{
    if (text[0] == '\0') {
        problem = std::string(option) + " needs a number or a word";
        return false;
    }
    if (std::strspn(text, "0123456789") != std::strlen(text)) {
        seed = norvathel::SeedFromWord(text);
        return true;
    }
    return ParseCount(option, text, seed, problem);
}

bool ParseLength(const char* option, const char* text, int& length, std::string& problem)
{
    std::uint64_t number = 0;
    if (!ParseUnsigned(text, number) || number < 1 || number > norvathel::MaxNameLength) {
        problem = "invalid " + std::string(option) + " value " + Quoted(text) +
                  ": expected a whole number from 1 to " + std::to_string(norvathel::MaxNameLength);
        return false;
    }
    length = static_cast<int>(number);
    return true;
}

bool RefuseControlBytes(const char* option, const std::string& text, std::string& problem)
{
    for (char c : text) {
        const unsigned char byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) {
            problem = std::string(option) + " " + Quoted(text.c_str()) + " holds a control byte";
            return false;
        }
    }
    return true;
}

bool CheckPrefix(const char* option, const char* text, std::string& problem)
{
    const std::size_t length = std::strlen(text);
    if (length > norvathel::PrefixCapacity - 1) {
        problem = std::string(option) + " " + Quoted(text) + " is " + std::to_string(length) +
                  " bytes long; a prefix holds at most " + std::to_string(norvathel::PrefixCapacity - 1);
        return false;
    }
    return RefuseControlBytes(option, text, problem);
}

namespace {

std::string Percent(int part, int whole)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.1f%%", whole > 0 ? 100.0 * part / whole : 0.0);
    return text;
}

}  // namespace

std::string LearningReport(const norvathel::LearningSummary& summary, const norvathel::LearningQuality& quality)
{
    std::string report = "learned: " + std::to_string(summary.names) + " names (" + std::to_string(summary.male) +
                         " male, " + std::to_string(summary.female) + " female, " +
                         (summary.neutral > 0 ? std::to_string(summary.neutral) + " neutral, " : "") +
                         std::to_string(summary.either) +
                         " either)\n";
    if (quality.heldOut) {
        char bits[32];
        std::snprintf(bits, sizeof bits, "%.3f", quality.heldOutBits);
        report += std::string("held-out divergence: ") + bits +
                  " bits (letter trigrams of its names against a quarter of the examples held out)\n";
    } else {
        report += "held-out divergence: too few names to hold a quarter out\n";
    }
    report += "copies: " + Percent(quality.copies, quality.composed) + " of " + std::to_string(quality.composed) +
              " composed names are examples, before the guard\n";
    report += "distinct: " + std::to_string(quality.distinct) + " of " + std::to_string(quality.composed) +
              " composed names\n";
    return report;
}
