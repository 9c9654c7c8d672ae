#include "tool_options.h"

#include <algorithm>
#include <cstring>

using norvathel::ConstraintFault;
using norvathel::GenderChoice;
using norvathel::PrefixCapacity;

namespace {

const char* const MaxValueText = "18446744073709551615";

// Options are matched by name; a value comes either as "--name=VALUE" or as the next argument.
struct Argument {
    std::string name;         // "--seed", without any "=VALUE"
    const char* inlineValue;  // the text after "=", or null
};

Argument SplitArgument(const char* text)
{
    const char* equals = std::strchr(text, '=');
    if (std::strncmp(text, "--", 2) != 0 || equals == nullptr)
        return {text, nullptr};
    return {std::string(text, static_cast<std::size_t>(equals - text)), equals + 1};
}

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

bool ParseFormat(const char* text, OutputFormat& format, std::string& problem)
{
    if (std::strcmp(text, "text") == 0)
        format = OutputFormat::Text;
    else if (std::strcmp(text, "json") == 0)
        format = OutputFormat::Json;
    else if (std::strcmp(text, "csv") == 0)
        format = OutputFormat::Csv;
    else {
        problem = "invalid --format value " + Quoted(text) + ": expected text, json or csv";
        return false;
    }
    return true;
}

const char* Spelling(ConstraintOption option)
{
    switch (option) {
    case ConstraintOption::Unique: return "--unique";
    case ConstraintOption::MinLength: return "--min-length";
    case ConstraintOption::MaxLength: return "--max-length";
    case ConstraintOption::EndsWith: return "--ends-with";
    case ConstraintOption::Exclude: return "--exclude";
    }
    return "";
}

// Why the constraints cannot be met, in the options' words.
std::string ConstraintMessage(const norvathel::ConstraintProblem& problem,
                              const norvathel::NameConstraints& constraints)
{
    const std::string range = " must be from 1 to " + std::to_string(problem.limit);
    switch (problem.fault) {
    case ConstraintFault::None: return "";
    case ConstraintFault::MinLengthOutOfRange: return "--min-length" + range;
    case ConstraintFault::MaxLengthOutOfRange: return "--max-length" + range;
    case ConstraintFault::MinAboveMax: return "--min-length is above --max-length";
    case ConstraintFault::MaxBelowPrefix: return "--max-length is below the prefix's length";
    case ConstraintFault::MaxBelowEnding:
        return "--max-length is below the length of the --ends-with text";
    case ConstraintFault::EndingTooLong:
        return "--ends-with text of " + std::to_string(problem.length) +
               " bytes is longer than a name can be (" + std::to_string(problem.limit) + ")";
    case ConstraintFault::EmptyPiece: return "--exclude has an empty piece";
    case ConstraintFault::PieceInPrefix:
        return "the prefix itself contains the excluded piece '" +
               constraints.exclude[problem.piece] + "'";
    }
    return "the constraints cannot be met";
}

// Cross-option rules, checked once everything has been read.
bool CheckCombination(const ToolOptions& options, std::string& problem)
{
    if (!options.boardsGiven) {
        // Constraints that no name can meet are seen now, before anything is composed.
        problem = ConstraintMessage(
            norvathel::ImpossibleConstraints(options.constraints, options.prefix),
            options.constraints);
        return problem.empty();
    }
    if (!options.constraintOrder.empty()) {
        problem = std::string("--boards cannot be combined with ") +
                  Spelling(options.constraintOrder.front()) +
                  " (a replayed board keeps all ten names)";
        return false;
    }
    // A --boards list names the gender and prefix of every composition and its length.
    const char* conflict = options.countGiven                       ? "--count"
                           : options.gender == GenderChoice::Male   ? "--male"
                           : options.gender == GenderChoice::Female ? "--female"
                           : options.prefixGiven                    ? "--prefix"
                                                                    : nullptr;
    if (conflict == nullptr)
        return true;
    problem = std::string("--boards cannot be combined with ") + conflict +
              " (the list gives every composition's gender and prefix)";
    return false;
}

// --- the options ------------------------------------------------------------------------

// What an option does once it is accepted: sets what it gives from its value (null for an
// option without one). Run goes on with the next argument, Help and Version end the parse
// there, Error comes with problem set. name is the option as typed, for messages.
using OptionAction = ParseOutcome (*)(const char* name, const char* value, ToolOptions& options,
                                      std::string& problem);

struct Option {
    // No field has a default: an entry that leaves one out does not compile. A null action
    // compiles; the static_assert below the table refuses it.
    constexpr Option(const char* optionSpelling, const char* optionAlias, const char* optionValueName,
                     OptionAction optionAction, const char* optionHelp)
        : spelling(optionSpelling),
          alias(optionAlias),
          valueName(optionValueName),
          action(optionAction),
          help(optionHelp)
    {
    }

    const char* spelling;   // "--seed"
    const char* alias;      // another spelling, or null
    const char* valueName;  // the value's name in the help; null when the option takes none
    OptionAction action;
    const char* help;       // its lines in the help; null: described with the option above
};

ParseOutcome Accepted(bool ok)
{
    return ok ? ParseOutcome::Run : ParseOutcome::Error;
}

// A text that starts like a number (a digit, a sign, a space) must be one: a clock value, as
// the program reads it, so that "5x" or "-1" is a mistake and not a word. Any other text is a
// word.
ParseOutcome SetSeed(const char* name, const char* value, ToolOptions& options, std::string& problem)
{
    std::uint64_t seed = 0;
    const unsigned char first = static_cast<unsigned char>(value[0]);
    if (first <= ' ' || (first >= '0' && first <= '9') || first == '+' || first == '-') {
        if (!ParseCount(name, value, seed, problem))
            return ParseOutcome::Error;
    } else {
        seed = norvathel::SeedFromWord(value);
    }
    options.seed = seed;
    return ParseOutcome::Run;
}

ParseOutcome SetShowSeed(const char*, const char*, ToolOptions& options, std::string&)
{
    options.showSeed = true;
    return ParseOutcome::Run;
}

// --- constraints: each is remembered in its place, for messages and the JSON document ---

ParseOutcome SetUnique(const char*, const char*, ToolOptions& options, std::string&)
{
    options.constraintOrder.push_back(ConstraintOption::Unique);
    options.constraints.unique = true;
    return ParseOutcome::Run;
}

ParseOutcome SetLength(const char* name, const char* value, int& length, std::string& problem)
{
    std::uint64_t number = 0;
    if (!ParseUnsigned(value, number) || number < 1 || number > norvathel::MaxNameLength) {
        problem = "invalid " + std::string(name) + " value " + Quoted(value) +
                  ": expected a whole number from 1 to " + std::to_string(norvathel::MaxNameLength);
        return ParseOutcome::Error;
    }
    length = static_cast<int>(number);
    return ParseOutcome::Run;
}

ParseOutcome SetMinLength(const char* name, const char* value, ToolOptions& options, std::string& problem)
{
    options.constraintOrder.push_back(ConstraintOption::MinLength);
    return SetLength(name, value, options.constraints.minLength, problem);
}

ParseOutcome SetMaxLength(const char* name, const char* value, ToolOptions& options, std::string& problem)
{
    options.constraintOrder.push_back(ConstraintOption::MaxLength);
    return SetLength(name, value, options.constraints.maxLength, problem);
}

ParseOutcome SetEndsWith(const char* name, const char* value, ToolOptions& options, std::string& problem)
{
    options.constraintOrder.push_back(ConstraintOption::EndsWith);
    std::string& ending = options.constraints.endsWith;
    if (!DecodeEscapes(value, std::strlen(value), ending, problem))
        return ParseOutcome::Error;
    if (ending.empty()) {
        problem = std::string(name) + " needs a text to end with";
        return ParseOutcome::Error;
    }
    return ParseOutcome::Run;
}

// Split at the commas as typed, then decoded: "%2C" is a comma inside a piece.
ParseOutcome SetExclude(const char* name, const char* value, ToolOptions& options, std::string& problem)
{
    options.constraintOrder.push_back(ConstraintOption::Exclude);
    std::vector<std::string>& pieces = options.constraints.exclude;
    for (const char* start = value;;) {
        const char* end = std::strchr(start, ',');
        const std::size_t length = end ? static_cast<std::size_t>(end - start) : std::strlen(start);
        std::string piece;
        if (!DecodeEscapes(start, length, piece, problem))
            return ParseOutcome::Error;
        if (piece.empty()) {
            problem = std::string(name) + " has an empty piece in " + Quoted(value);
            return ParseOutcome::Error;
        }
        pieces.push_back(piece);
        if (!end)
            return ParseOutcome::Run;
        start = end + 1;
    }
}

// Given twice, either is refused before it gets here; so a gender already given is the other.
ParseOutcome SetGender(GenderChoice gender, ToolOptions& options, std::string& problem)
{
    if (options.gender != GenderChoice::Drawn) {
        problem = "--male and --female exclude each other";
        return ParseOutcome::Error;
    }
    options.gender = gender;
    return ParseOutcome::Run;
}

ParseOutcome SetMale(const char*, const char*, ToolOptions& options, std::string& problem)
{
    return SetGender(GenderChoice::Male, options, problem);
}

ParseOutcome SetFemale(const char*, const char*, ToolOptions& options, std::string& problem)
{
    return SetGender(GenderChoice::Female, options, problem);
}

ParseOutcome SetPrefix(const char*, const char* value, ToolOptions& options, std::string&)
{
    options.prefixGiven = true;
    std::strncpy(options.prefix, value, PrefixCapacity - 1);
    return ParseOutcome::Run;
}

ParseOutcome SetCount(const char* name, const char* value, ToolOptions& options, std::string& problem)
{
    options.countGiven = true;
    return Accepted(ParseCount(name, value, options.count, problem));
}

ParseOutcome SetBoards(const char*, const char* value, ToolOptions& options, std::string& problem)
{
    options.boardsGiven = true;
    return Accepted(ParseBoardList(value, options.boards, problem));
}

ParseOutcome SetFormat(const char*, const char* value, ToolOptions& options, std::string& problem)
{
    return Accepted(ParseFormat(value, options.format, problem));
}

ParseOutcome ShowHelp(const char*, const char*, ToolOptions&, std::string&)
{
    return ParseOutcome::Help;
}

ParseOutcome ShowVersion(const char*, const char*, ToolOptions&, std::string&)
{
    return ParseOutcome::Version;
}

// Every option, in the order of the help. The help's lines after the first start at the
// description column.
constexpr Option Options[] = {
    {"--seed", nullptr, "N|WORD", SetSeed,
     "seed from clock value N, 0 to 18446744073709551615 (only its\n"
     "low 30 bits count), or from a WORD (its 64-bit FNV-1a hash);\n"
     "default: the operating system's entropy"},
    {"--show-seed", nullptr, nullptr, SetShowSeed,
     "write \"seed: N\" on stderr, to make the same names again"},
    {"--male", nullptr, nullptr, SetMale,
     "the gender of every board. Without either, each board's gender is\n"
     "drawn with Range(1, 2) from the generator just before it, as the\n"
     "program draws its first board's at start-up: the first board is\n"
     "the one the program shows when started in that second"},
    {"--female", nullptr, nullptr, SetFemale, nullptr},
    {"--prefix", nullptr, "TEXT", SetPrefix, "every name begins with TEXT (its first 31 bytes)"},
    {"--count", nullptr, "N", SetCount,
     "N names (default 10): boards of ten composed in order on one\n"
     "generator, the last one cut; 0 prints nothing"},
    {"--boards", nullptr, "LIST", SetBoards,
     "replay a session of the program: comma-separated compositions run\n"
     "in order on one generator, ten names each:\n"
     "  start            gender drawn as at start-up, no prefix\n"
     "  male, female     that gender, no prefix\n"
     "  male:PREFIX, female:PREFIX\n"
     "                   with a prefix, in which %XX is the byte with\n"
     "                   hex value XX (%2C comma, %25 percent; not %00)\n"
     "--boards cannot be combined with --count, --male, --female or\n"
     "--prefix"},
    {"--unique", nullptr, nullptr, SetUnique, "no name twice in one run"},
    {"--min-length", nullptr, "N", SetMinLength,
     "names of at least N bytes, prefix included (1 to 45)"},
    {"--max-length", nullptr, "N", SetMaxLength, "names of at most N bytes"},
    {"--ends-with", nullptr, "TEXT", SetEndsWith,
     "names ending with TEXT, ASCII letters in either case; %XX as in\n"
     "--boards"},
    {"--exclude", nullptr, "LIST", SetExclude,
     "leave out names containing any of these comma-separated pieces,\n"
     "ASCII letters in either case; %XX as in --boards (%2C: a comma).\n"
     "Constraints only leave names out: the names are those composed\n"
     "without them, less the failing ones. They cannot be combined with\n"
     "--boards"},
    {"--format", nullptr, "FORMAT", SetFormat,
     "text (default), json or csv. json: one document,\n"
     "{\"seed\":N,\"boards\":[{\"gender\":\"female\",\"prefix\":\"\",\"names\":[...]},...]}\n"
     "(with constraints, also \"constraints\":{...} and \"ran_dry\":false,\n"
     "and each board holds the names kept from it); names that are valid\n"
     "UTF-8 as they are, other bytes above 127 read as Latin-1.\n"
     "csv: a name,gender header, then one row per name (RFC 4180)"},
    {"--help", "-h", nullptr, ShowHelp, "show this help and exit"},
    {"--version", nullptr, nullptr, ShowVersion, "show the version and exit"},
};
const int OptionCount = sizeof Options / sizeof Options[0];

constexpr bool EveryOptionActs()
{
    for (const Option& option : Options)
        if (option.action == nullptr)
            return false;
    return true;
}
static_assert(EveryOptionActs(), "every option sets something");

const Option* FindOption(const std::string& name)
{
    for (const Option& option : Options)
        if (name == option.spelling || (option.alias != nullptr && name == option.alias))
            return &option;
    return nullptr;
}

const char HelpHead[] =
    "Usage: norvathel-names [OPTION]...\n"
    "Invents personal names, ten to a board, one name per line (lines end with CR LF on\n"
    "Windows, LF elsewhere; a name's bytes are written as composed).\n"
    "\n";

const char HelpTail[] =
    "\n"
    "Options with a value also take the form --option=VALUE; each may be given once.\n"
    "Exit status: 0 done, 1 output could not be written, 2 bad arguments, 3 the\n"
    "constraints ran dry (1000000 names composed in a row without one kept; the\n"
    "names found so far are written).\n"
    "\n"
    "Examples:\n"
    "  norvathel-names --seed 1000000000 --boards start,female,male:ka\n"
    "  norvathel-names --female --prefix El --unique --count 40\n"
    "  norvathel-names --male --max-length 6 --count 20\n"
    "  norvathel-names --ends-with ia --seed dragonkeep --show-seed\n"
    "  norvathel-names --count 1000 --format json > names.json\n";

const std::size_t HelpLabelIndent = 2;
const std::size_t HelpTextColumn = 19;

// An option's line in the help: its spellings, with those of the options described with it,
// and its value's name.
std::string HelpLabel(int index)
{
    const Option& option = Options[index];
    std::string label = option.alias != nullptr ? std::string(option.alias) + ", " : std::string();
    label += option.spelling;
    for (int next = index + 1; next < OptionCount && Options[next].help == nullptr; ++next)
        label += std::string(", ") + Options[next].spelling;
    if (option.valueName != nullptr)
        label += std::string(" ") + option.valueName;
    return label;
}

}  // namespace

ParseOutcome ParseArguments(int argc, char** argv, ToolOptions& options, std::string& problem)
{
    bool given[OptionCount] = {};
    for (int index = 1; index < argc; ++index) {
        Argument argument = SplitArgument(argv[index]);
        const std::string& name = argument.name;
        const Option* option = FindOption(name);
        if (option == nullptr) {
            if (name.size() > 1 && name[0] == '-')
                problem = "unknown option " + Quoted(name.c_str()) + " (see --help)";
            else
                problem = "unexpected argument " + Quoted(argv[index]) + " (see --help)";
            return ParseOutcome::Error;
        }
        const bool takesValue = option->valueName != nullptr;
        if (!takesValue && argument.inlineValue != nullptr) {
            problem = "option " + name + " takes no value";
            return ParseOutcome::Error;
        }
        bool& seen = given[option - Options];
        if (seen) {
            problem = "option " + name + " given more than once";
            return ParseOutcome::Error;
        }
        seen = true;
        const char* value = argument.inlineValue;
        if (takesValue && value == nullptr) {
            if (index + 1 == argc) {
                problem = "option " + name + " needs a value";
                return ParseOutcome::Error;
            }
            value = argv[++index];
        }
        ParseOutcome outcome = option->action(name.c_str(), value, options, problem);
        if (outcome != ParseOutcome::Run)
            return outcome;
    }
    return CheckCombination(options, problem) ? ParseOutcome::Run : ParseOutcome::Error;
}

std::string HelpText()
{
    std::string help = HelpHead;
    for (int index = 0; index < OptionCount; ++index) {
        const char* text = Options[index].help;
        if (text == nullptr)
            continue;  // on the line of the option above
        std::string line = std::string(HelpLabelIndent, ' ') + HelpLabel(index);
        line.resize(std::max(line.size() + 1, HelpTextColumn), ' ');
        for (; *text != '\0'; ++text) {
            line += *text;
            if (*text == '\n')
                line.append(HelpTextColumn, ' ');
        }
        help += line + "\n";
    }
    return help + HelpTail;
}
