// A style learned from example names. The examples are split into consonant groups and vowel
// groups, the groups are counted, and the counts become a style: the composer's tables (a
// fragment stands in its table about as often as the examples use it), its chances and
// positions, and the letters its rules name. The same examples give the same style, byte for
// byte, whatever their order.
//
// Example lists are text, one name per line, optionally followed by a tab and "m", "f" or "n"
// (neutral: no gender) for its gender; an unmarked name serves every gender. Every byte is distrusted: a fault is reported with its line and column.
#pragma once
#include <cstddef>
#include <string>
#include <vector>

#include <norvathel/style.h>

namespace norvathel {

const int MaxExampleNames = 100000;
const int MaxExampleLineBytes = 256;                // one line, gender mark included, line end not
const std::size_t MaxExampleListBytes = 8u << 20;  // a whole list

enum class ExampleGender { Either, Male, Female, Neutral };

struct ExampleName {
    std::string letters;  // lower-case UTF-8 letters: a-z, Latin-1 and Latin Extended-A
    ExampleGender gender = ExampleGender::Either;
};

// How many faults of a list are told one by one; past it they are counted.
const int MaxListFaults = 20;

// What reading a list found besides its names: its faults, each with its place (the first
// MaxListFaults, then a count), and the lines read as their writer plainly meant them, each
// said (a space where the gender mark's tab belongs).
struct ListReport {
    std::vector<StyleError> faults;
    int moreFaults = 0;
    std::vector<StyleError> warnings;
    int moreWarnings = 0;
};

// The report's lines as every surface shows them: the warnings ("source:line:column: warning:
// ...") or the faults ("source:line:column: ..."), then "and N more warnings" or "... faults".
std::vector<std::string> ListLines(const ListReport& report, bool warnings);

// Reads an example list: blank lines and lines that begin with "#" are skipped, a line may
// end in CR LF, the text may begin with a UTF-8 byte-order mark. False, with error filled
// (source, line, column, message), on a control byte, invalid UTF-8, a character that is not
// a letter, a bad gender mark, a line, list or count over its limit, or no names at all.
// Every line is read, so that report holds every fault (a list over its size or name count
// stops there).
bool ReadExampleNames(const std::string& text, const std::string& source, std::vector<ExampleName>& names,
                      ListReport& report);
// The same with the first fault alone.
bool ReadExampleNames(const std::string& text, const std::string& source, std::vector<ExampleName>& names,
                      StyleError& error);

// What a learned style was learned from.
struct LearningSummary {
    int names = 0, male = 0, female = 0, either = 0, neutral = 0;
    int withoutVowel = 0;  // names that gave nothing to learn from
};

// Learns a style from example names. The style loads with Style::FromData; its guard holds the
// examples, so that it never gives one (clear data.guard to allow copies). False, with the
// reason in error (its source kept as the caller set it), when the names cannot make a style:
// no consonant before a vowel to learn from, or groups too long for any name to fit.
// format: ContextStyleFormat draws each group after the groups before it; StyleFormatVersion
// draws every group on its own, as styles learned before 2.1.0 do.
bool LearnStyle(const std::vector<ExampleName>& names, StyleData& data, LearningSummary& summary,
                StyleError& error, int format = ContextStyleFormat);

// The learned style as a style file: a few comment lines on what it was learned from, then
// WriteStyle's text.
std::string WriteLearnedStyle(const StyleData& data, const LearningSummary& summary);

// How true a learned style is to its examples.
struct LearningQuality {
    // The letter-trigram Jensen–Shannon divergence (start and end marks, in bits, 0 to 1)
    // between 10,000 names of each gender composed by a style learned from three quarters of
    // the examples and the quarter held out: what the benchmark in bench/ measures, from one
    // fixed split. Real names of one people score some tenths of a bit at these sizes.
    bool heldOut = false;  // false: too few names to hold a quarter out
    double heldOutBits = 0;
    // Of 100,000 names the style composes (as many of each gender the examples have), those
    // that are examples, and the distinct ones.
    int composed = 0, copies = 0, distinct = 0;
};

// Measures a style learned from names. False when the style does not load.
bool MeasureLearning(const std::vector<ExampleName>& names, const StyleData& learned, LearningQuality& quality);

// Learning as `norvathel-names learn` does it, for every surface (the tool, the C interface,
// the npm package, the page, Python): the list read with every fault, a style learned, given
// the name and description asked for, its guard left out when copies are allowed, written as
// a style file and measured.
struct LearnRequest {
    std::string name;         // empty: the learner's "learned"
    std::string description;  // empty: the learner's own
    bool allowCopies = false;
    bool measure = true;
    int format = ContextStyleFormat;  // or StyleFormatVersion: no contexts
};

struct LearnOutcome {
    ListReport list;      // the list's faults (when it cannot be read) and warnings
    StyleError fault;     // when the list is read but gives no style: why
    bool badRequest = false;  // fault.message is then "name: ..." or "description: ..."
    StyleData data;
    Style style;              // data, loaded
    LearningSummary summary;
    LearningQuality quality;  // when measured
    std::string styleText;    // the style file, as WriteLearnedStyle writes it
};

// False when the list has faults (outcome.list.faults), gives no style or the request is not
// valid (outcome.fault).
bool LearnFromList(const std::string& text, const std::string& source, const LearnRequest& request,
                   LearnOutcome& outcome);

// Reads an example list and learns its style file in one step.
bool LearnStyleFile(const std::string& exampleText, const std::string& source, std::string& styleText,
                    StyleError& error);

}  // namespace norvathel
