// Why an argument is refused or constraints cannot be met, worded for where the message is
// read. The tool, the npm package and the web page all take their words and rules from here
// (the package and the page through the WebAssembly module), so the three cannot drift apart:
// only the options' names differ. The readers below name the option as given in option
// ("--seed" for the tool, "seed" for the library).
#pragma once
#include <cstdint>
#include <string>

#include <norvathel/name_stream.h>
#include <norvathel/style.h>

// Where a message is read: the tool names options as typed ("--max-length"), the library as
// its caller wrote them ("maxLength"), the web page by its controls ("Longest").
enum class MessageSurface { Tool = 0, Library = 1, Page = 2 };

// The options a constraint message can name.
enum class WordedOption { MinLength, MaxLength, EndsWith, Exclude };

const char* OptionWord(MessageSurface surface, WordedOption option);

// The message for problem ("" for none): constraints, gender, prefix and style as given.
std::string ConstraintMessage(const norvathel::ConstraintProblem& problem,
                              const norvathel::NameConstraints& constraints, norvathel::GenderChoice gender,
                              const char* prefix, const norvathel::Style& style, MessageSurface surface);

// A stream that ran dry before count names: "only 3 of 5 names meet the constraints (...)".
std::string DryMessage(unsigned long long written, unsigned long long count, unsigned long long composedInARow);

// A whole number from 0 to 2^64 - 1, digits only.
bool ParseCount(const char* option, const char* text, std::uint64_t& value, std::string& problem);

// A seed: digits only are a number, 0 to 2^64 - 1; any other text is a word, its 64-bit FNV-1a
// hash; an empty text is refused.
bool ParseSeed(const char* option, const char* text, std::uint64_t& seed, std::string& problem);

// A length constraint: a whole number from 1 to MaxNameLength.
bool ParseLength(const char* option, const char* text, int& length, std::string& problem);

// A control byte would break the one name per line: refused where a name's text is given.
bool RefuseControlBytes(const char* option, const std::string& text, std::string& problem);

// A prefix as given: at most 31 bytes (refused rather than cut, so that a name begins with the
// whole prefix), no control byte.
bool CheckPrefix(const char* option, const char* text, std::string& problem);

namespace norvathel {
struct LearningSummary;
struct LearningQuality;
}  // namespace norvathel

// What learn says of a learned style after writing it, four lines of fixed wording: "learned:
// N names (M male, F female, E either)", "held-out divergence: D bits (...)" (or that there
// were too few names), "copies: P% of C composed names are examples, before the guard",
// "distinct: K of C composed names".
std::string LearningReport(const norvathel::LearningSummary& summary, const norvathel::LearningQuality& quality);
