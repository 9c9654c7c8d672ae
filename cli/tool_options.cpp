#include "tool_options.h"

#include <algorithm>
#include <cstring>

using norvathel::Female;
using norvathel::Gender;
using norvathel::Male;
using norvathel::PrefixCapacity;

namespace {

const char* const MaxValueText = "18446744073709551615";

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

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

// Cross-option rules, checked once everything has been read.
bool CheckCombination(const ToolOptions& options, std::string& problem)
{
    if (!options.boardsGiven) {
        // Constraints that no name can meet are seen now, before anything is composed.
        problem = norvathel::ImpossibleConstraints(options.constraints, options.prefix);
        return problem.empty();
    }
    if (!options.constraintsGiven.empty()) {
        problem = "--boards cannot be combined with " + options.constraintsGiven.front() +
                  " (a replayed board keeps all ten names)";
        return false;
    }
    // A --boards list names the gender and prefix of every composition and its length.
    const char* conflict = options.countGiven    ? "--count"
                           : options.genderGiven ? (options.gender == Male ? "--male" : "--female")
                           : options.prefixGiven ? "--prefix"
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
    // Every field is needed: an option without an action does not compile.
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
    options.seedGiven = true;
    const unsigned char first = static_cast<unsigned char>(value[0]);
    if (first <= ' ' || (first >= '0' && first <= '9') || first == '+' || first == '-')
        return Accepted(ParseCount(name, value, options.seed, problem));
    options.seedWord = value;
    options.seed = norvathel::SeedFromWord(value);
    return ParseOutcome::Run;
}

ParseOutcome SetShowSeed(const char*, const char*, ToolOptions& options, std::string&)
{
    options.showSeed = true;
    return ParseOutcome::Run;
}

// --- constraints: each is remembered as given, for messages and the JSON document ---

ParseOutcome SetUnique(const char* name, const char*, ToolOptions& options, std::string&)
{
    options.constraintsGiven.push_back(name);
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
    options.constraintsGiven.push_back(name);
    return SetLength(name, value, options.constraints.minLength, problem);
}

ParseOutcome SetMaxLength(const char* name, const char* value, ToolOptions& options, std::string& problem)
{
    options.constraintsGiven.push_back(name);
    return SetLength(name, value, options.constraints.maxLength, problem);
}

ParseOutcome SetEndsWith(const char* name, const char* value, ToolOptions& options, std::string& problem)
{
    options.constraintsGiven.push_back(name);
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
    options.constraintsGiven.push_back(name);
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
ParseOutcome SetGender(Gender gender, ToolOptions& options, std::string& problem)
{
    if (options.genderGiven) {
        problem = "--male and --female exclude each other";
        return ParseOutcome::Error;
    }
    options.genderGiven = true;
    options.gender = gender;
    return ParseOutcome::Run;
}

ParseOutcome SetMale(const char*, const char*, ToolOptions& options, std::string& problem)
{
    return SetGender(Male, options, problem);
}

ParseOutcome SetFemale(const char*, const char*, ToolOptions& options, std::string& problem)
{
    return SetGender(Female, options, problem);
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

bool ParseUnsigned(const char* text, std::uint64_t& value)
{
    if (*text == '\0')
        return false;
    std::uint64_t result = 0;
    for (const char* place = text; *place != '\0'; ++place) {
        if (*place < '0' || *place > '9')
            return false;
        unsigned digit = static_cast<unsigned>(*place - '0');
        if (result > (UINT64_MAX - digit) / 10)
            return false;
        result = result * 10 + digit;
    }
    value = result;
    return true;
}

bool DecodeEscapes(const char* text, std::size_t length, std::string& decoded, std::string& problem)
{
    decoded.clear();
    for (std::size_t place = 0; place < length; ++place) {
        char byte = text[place];
        if (byte == '%') {
            int high = place + 1 < length ? HexDigit(text[place + 1]) : -1;
            int low = place + 2 < length ? HexDigit(text[place + 2]) : -1;
            if (high < 0 || low < 0) {
                problem = "bad escape " + Quoted(std::string(text + place, std::min<std::size_t>(3, length - place)).c_str()) +
                          ": expected %XX with two hex digits";
                return false;
            }
            byte = static_cast<char>(high * 16 + low);
            if (byte == '\0') {
                problem = "%00 is not allowed: a name cannot hold a NUL byte";
                return false;
            }
            place += 2;
        }
        decoded += byte;
    }
    return true;
}

bool DecodePrefix(const char* text, std::size_t length, char (&prefix)[PrefixCapacity],
                  std::string& problem)
{
    std::string decoded;
    if (!DecodeEscapes(text, length, decoded, problem))
        return false;
    // Like the edit box, the prefix keeps its first 31 bytes; the rest was still checked.
    std::memset(prefix, 0, sizeof prefix);
    std::memcpy(prefix, decoded.data(), std::min<std::size_t>(decoded.size(), PrefixCapacity - 1));
    return true;
}

bool ParseBoardList(const char* list, std::vector<BoardRequest>& boards, std::string& problem)
{
    boards.clear();
    if (*list == '\0') {
        problem = "--boards needs at least one composition";
        return false;
    }
    int item = 1;
    for (const char* start = list;; ++item) {
        const char* end = std::strchr(start, ',');
        std::size_t length = end != nullptr ? static_cast<std::size_t>(end - start) : std::strlen(start);
        std::string text(start, length);
        std::size_t colon = text.find(':');
        std::string kind = text.substr(0, colon);
        BoardRequest request = {};
        if (kind == "start" && colon == std::string::npos) {
            request.drawGender = true;
        } else if (kind == "male" || kind == "female") {
            request.gender = kind == "male" ? Male : Female;
            if (colon != std::string::npos &&
                !DecodePrefix(text.c_str() + colon + 1, length - colon - 1, request.prefix, problem)) {
                problem = "--boards item " + std::to_string(item) + ": " + problem;
                return false;
            }
        } else {
            problem = "--boards item " + std::to_string(item) + " " + Quoted(text.c_str()) +
                      (text.empty() ? " is empty" : " is unknown") +
                      ": expected start, male, female, male:PREFIX or female:PREFIX";
            return false;
        }
        boards.push_back(request);
        if (end == nullptr)
            return true;
        start = end + 1;
    }
}

std::string Quoted(const char* text)
{
    const std::size_t MaxShown = 60;
    static const char Hex[] = "0123456789ABCDEF";
    std::string quoted = "'";
    std::size_t shown = 0;
    for (const char* place = text; *place != '\0'; ++place, ++shown) {
        if (shown == MaxShown) {
            quoted += "...";
            break;
        }
        unsigned char byte = static_cast<unsigned char>(*place);
        if (byte < 0x20 || byte == 0x7F) {
            quoted += "\\x";
            quoted += Hex[byte >> 4];
            quoted += Hex[byte & 15];
        } else {
            quoted += static_cast<char>(byte);
        }
    }
    return quoted + "'";
}

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
