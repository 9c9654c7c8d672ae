#include "tool_options.h"

#include "fault_words.h"
#include "line_reader.h"
#include "text/utf8_files.h"

#include <algorithm>
#include <cstring>
#include <thread>
#if defined(__linux__)
#include <sched.h>
#endif

using norvathel::GenderChoice;
using norvathel::PrefixCapacity;

namespace {

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
    case ConstraintOption::ExcludeFile: return "--exclude-file";
    case ConstraintOption::ExcludeNames: return "--exclude-names";
    }
    return "";
}

// What --keys cannot be combined with, and why; null when nothing.
const char* KeysConflict(const ToolOptions& options)
{
    if (options.constraints.unique)
        return "--keys cannot be combined with --unique (a key's name must not depend on the other keys)";
    if (options.boardsGiven)
        return "--keys cannot be combined with --boards";
    if (options.countGiven)
        return "--keys cannot be combined with --count (one name per key)";
    if (options.clock)
        return "--keys cannot be combined with --clock (a key's names come from the key and --seed)";
    if (options.showSeed)
        return "--keys cannot be combined with --show-seed (a key's names come from the key and --seed)";
    return nullptr;
}

// Cross-option rules, checked once everything has been read.
bool CheckCombination(const ToolOptions& options, std::string& problem)
{
    if (options.bom && options.format != OutputFormat::Csv) {
        problem = "--bom is for --format csv";
        return false;
    }
    if (options.seed && options.clock) {
        problem = "--seed and --clock exclude each other";
        return false;
    }
    if (options.threads != 0 && options.boardsGiven) {
        problem = "--threads cannot be combined with --boards (a replay composes its boards in order)";
        return false;
    }
    if (options.keys && KeysConflict(options) != nullptr) {
        problem = KeysConflict(options);
        return false;
    }
    if (!options.boardsGiven) {
        // Constraints that no name can meet are seen now, before anything is composed.
        problem = ConstraintMessage(
            norvathel::ImpossibleConstraints(options.constraints, options.prefix, options.gender, options.style),
            options.constraints, options.gender, options.prefix, options.style, MessageSurface::Tool);
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
                           : options.gender == GenderChoice::Neutral ? "--neutral"
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

ParseOutcome SetSeed(const char* name, const char* value, ToolOptions& options, std::string& problem)
{
    std::uint64_t seed = 0;
    if (!ParseSeed(name, value, seed, problem))
        return ParseOutcome::Error;
    options.seed = seed;
    return ParseOutcome::Run;
}

// The program's seeding: only the low 30 bits of the value (or of a word's hash) count, as
// --seed counted them before 2.0.
ParseOutcome SetClock(const char* name, const char* value, ToolOptions& options, std::string& problem)
{
    std::uint64_t clock = 0;
    if (!ParseSeed(name, value, clock, problem))
        return ParseOutcome::Error;
    options.clock = clock;
    return ParseOutcome::Run;
}

// Standard input can be read once: by one of --keys, --exclude-file, --exclude-names.
bool TakeStandardInput(const char* name, const char* value, ToolOptions& options, std::string& problem)
{
    if (std::strcmp(value, "-") != 0)
        return true;
    if (!options.stdinReader.empty()) {
        problem = options.stdinReader + " - and " + name + " - cannot both read standard input";
        return false;
    }
    options.stdinReader = name;
    return true;
}

ParseOutcome SetKeys(const char* name, const char* value, ToolOptions& options, std::string& problem)
{
    if (value[0] == '\0') {
        problem = std::string(name) + " needs a file (- for standard input)";
        return ParseOutcome::Error;
    }
    options.keys = value;
    return Accepted(TakeStandardInput(name, value, options, problem));
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
    return Accepted(ParseLength(name, value, length, problem));
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
    return Accepted(RefuseControlBytes(name, ending, problem));
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
        pieces.insert(pieces.begin() + static_cast<std::ptrdiff_t>(options.excludeListed++), piece);
        if (!end)
            return ParseOutcome::Run;
        start = end + 1;
    }
}

// One piece per line, empty lines left out; behind the --exclude pieces.
ParseOutcome SetExcludeFile(const char* name, const char* value, ToolOptions& options, std::string& problem)
{
    options.constraintOrder.push_back(ConstraintOption::ExcludeFile);
    return Accepted(TakeStandardInput(name, value, options, problem) &&
                    ReadLines(value, LongestLine, options.constraints.exclude, problem));
}

ParseOutcome SetExcludeNames(const char* name, const char* value, ToolOptions& options, std::string& problem)
{
    options.constraintOrder.push_back(ConstraintOption::ExcludeNames);
    return Accepted(TakeStandardInput(name, value, options, problem) &&
                    ReadLines(value, LongestLine, options.constraints.excludeNames, problem));
}

// Given twice, either is refused before it gets here; so a gender already given is the other.
ParseOutcome SetGender(GenderChoice gender, ToolOptions& options, std::string& problem)
{
    if (options.gender != GenderChoice::Drawn) {
        problem = gender == GenderChoice::Neutral || options.gender == GenderChoice::Neutral
                      ? std::string("--neutral and ") + (gender == GenderChoice::Male || options.gender == GenderChoice::Male ? "--male" : "--female") + " exclude each other"
                      : "--male and --female exclude each other";
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

ParseOutcome SetNeutral(const char*, const char*, ToolOptions& options, std::string& problem)
{
    return SetGender(GenderChoice::Neutral, options, problem);
}

// Refused rather than cut: a name must begin with the whole prefix given (the window, and so
// --boards, keep their 31-byte cut).
ParseOutcome SetPrefix(const char* name, const char* value, ToolOptions& options, std::string& problem)
{
    options.prefixGiven = true;
    const std::size_t length = std::strlen(value);
    if (!CheckPrefix(name, value, problem))
        return ParseOutcome::Error;
    std::memcpy(options.prefix, value, length + 1);
    return ParseOutcome::Run;
}

ParseOutcome SetCount(const char* name, const char* value, ToolOptions& options, std::string& problem)
{
    options.countGiven = true;
    return Accepted(ParseCount(name, value, options.count, problem));
}

ParseOutcome SetThreads(const char* name, const char* value, ToolOptions& options, std::string& problem)
{
    std::uint64_t threads = 0;
    if (!ParseUnsigned(value, threads) || threads < 1 || threads > MostThreads) {
        problem = "invalid " + std::string(name) + " value " + Quoted(value) +
                  ": expected a whole number from 1 to " + std::to_string(MostThreads);
        return ParseOutcome::Error;
    }
    options.threads = static_cast<int>(threads);
    return ParseOutcome::Run;
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

// A style file, opened by its UTF-8 name on every system.
bool StyleFromFile(const char* path, norvathel::Style& style, norvathel::StyleError& error)
{
    return norvathel::Style::FromFile(path, style, error);
}

// A built-in style's name, or else a style file.
ParseOutcome SetStyle(const char*, const char* value, ToolOptions& options, std::string& problem)
{
    if (norvathel::Style::BuiltIn(value, options.style))
        return ParseOutcome::Run;
    norvathel::StyleError error;
    if (StyleFromFile(value, options.style, error))
        return ParseOutcome::Run;
    // Only a file that cannot be opened may be a mistyped built-in name; any other fault is the
    // file's own.
    const bool opened = error.line > 0 || error.message != "cannot open the file";
    problem = opened ? error.Text()
                     : "--style " + Quoted(value) + " is no built-in style (see --list-styles) and no style file: " +
                           error.message;
    return ParseOutcome::Error;
}

ParseOutcome SetFull(const char*, const char*, ToolOptions& options, std::string&)
{
    options.fullNames = true;
    return ParseOutcome::Run;
}

ParseOutcome SetBom(const char*, const char*, ToolOptions& options, std::string&)
{
    options.bom = true;
    return ParseOutcome::Run;
}

ParseOutcome ListStyles(const char*, const char*, ToolOptions&, std::string&)
{
    return ParseOutcome::ListStyles;
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
// description column; each says what the option does, in the user's words, with an example.
// The details are the manual page's and the README's.
constexpr Option Options[] = {
    {"--male", nullptr, nullptr, SetMale,
     "only male or only female names (without either, each\n"
     "board of ten names gets a gender at random)"},
    {"--female", nullptr, nullptr, SetFemale, nullptr},
    {"--neutral", nullptr, nullptr, SetNeutral,
     "names of no gender, by the style's own rules (every\n"
     "built-in style has them)"},
    {"--prefix", nullptr, "TEXT", SetPrefix,
     "every name begins with TEXT (at most 31 bytes), its\n"
     "first letter capitalised: --prefix el gives names\n"
     "such as Elandra"},
    {"--style", nullptr, "NAME|FILE", SetStyle,
     "compose in another voice: a built-in style (see\n"
     "--list-styles) or a style file: --style crisp"},
    {"--full", nullptr, nullptr, SetFull,
     "full names, \"Given Surname\": the same given names,\n"
     "each with a surname in the style"},
    {"--count", nullptr, "N", SetCount, "how many names (default 10); 0 prints nothing"},
    {"--unique", nullptr, nullptr, SetUnique, "no name twice in one run"},
    {"--min-length", nullptr, "N", SetMinLength,
     "names of at least N letters, the prefix included"},
    {"--max-length", nullptr, "N", SetMaxLength, "names of at most N letters: --max-length 6"},
    {"--ends-with", nullptr, "TEXT", SetEndsWith,
     "names that end with TEXT, in either case:\n"
     "--ends-with ia"},
    {"--exclude", nullptr, "LIST", SetExclude,
     "leave out names that contain any of these comma-\n"
     "separated pieces, in either case: --exclude th,zz"},
    {"--exclude-file", nullptr, "FILE", SetExcludeFile,
     "the same with one piece per line of FILE (a blocklist)"},
    {"--exclude-names", nullptr, "FILE", SetExcludeNames,
     "never print the names listed in FILE, one per line,\n"
     "in either case (names already used in a story)"},
    {"--seed", nullptr, "N|WORD", SetSeed,
     "the same seed gives the same names: a number or any\n"
     "word, --seed 2024-05-session (without it, new names\n"
     "every run)"},
    {"--show-seed", nullptr, nullptr, SetShowSeed,
     "write the seed on stderr, to make the same names again"},
    {"--keys", nullptr, "FILE", SetKeys,
     "one name for each line of FILE (- reads standard\n"
     "input), the same name for the same key every time:\n"
     "--keys characters.txt; with --seed, other names for\n"
     "the same keys"},
    {"--threads", nullptr, "N", SetThreads,
     "compose the names of --keys and --count on N\n"
     "threads (default: one for each processor; with\n"
     "--unique, its boards on a second): --threads 1"},
    {"--clock", nullptr, "T|WORD", SetClock,
     "the names the window shows when started at second T\n"
     "since 1970 (and the lists that version 1 printed for\n"
     "--seed T|WORD)"},
    {"--boards", nullptr, "LIST", SetBoards,
     "replay a session of the window, board by board:\n"
     "start (as the window opens), male, female,\n"
     "male:PREFIX, female:PREFIX, joined by commas:\n"
     "--clock 1000000000 --boards start,female,male:ka"},
    {"--format", nullptr, "FORMAT", SetFormat, "text (default), csv or json"},
    {"--bom", nullptr, nullptr, SetBom,
     "start CSV with a byte-order mark, so that spreadsheet\n"
     "programs read every letter right: --format csv --bom"},
    {"--list-styles", nullptr, nullptr, ListStyles,
     "list the built-in styles with sample names and exit"},
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
    "       norvathel-names learn FILE   (a style file from example names; learn --help)\n"
    "Invents personal names, one per line.\n"
    "\n";

const char HelpTail[] =
    "\n"
    "Options with a value also take the form --option=VALUE; each may be given once.\n"
    "Exit status: 0 done, 1 output could not be written or memory ran out, 2 bad\n"
    "arguments, 3 the names ran out before the count (those found are written).\n"
    "\n"
    "Examples:\n"
    "  norvathel-names --female --prefix El --unique --count 40\n"
    "  norvathel-names --male --max-length 6 --count 20\n"
    "  norvathel-names --ends-with ia --seed dragonkeep --show-seed\n"
    "  norvathel-names --keys characters.txt --format csv > names.csv\n"
    "  norvathel-names --count 1000 --format json > names.json\n"
    "\n"
#ifdef _WIN32
    // Windows has no man: the zip and the installer put README.txt beside the program.
    "More in README.txt, beside norvathel-names.exe.\n";
#else
    "More in the manual page (man norvathel-names) and the README.\n";
#endif

const std::size_t HelpLabelIndent = 2;
const std::size_t HelpTextColumn = 24;

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

std::string StyleListText()
{
    std::string text;
    for (const std::string& name : norvathel::Style::BuiltInNames()) {
        norvathel::Style style;
        norvathel::Style::BuiltIn(name, style);
        // Samples from a fixed seed: the same every time.
        norvathel::AdditiveRandom random;
        random.SeedFull(2024);
        norvathel::AdditiveRandom second = norvathel::SurnameRandomFor(random);
        norvathel::Board given, surnames;
        std::string samples;
        for (norvathel::Gender gender : {norvathel::Female, norvathel::Male}) {
            style.ComposeBoard(random, gender, "", given);
            style.ComposeSurnames(second, surnames);
            for (int index = 0; index < 3; ++index)
                samples += std::string(samples.empty() ? "" : ", ") + given.names[index] + " " + surnames.names[index];
        }
        std::string line = name;
        line.resize(std::max<std::size_t>(line.size() + 1, 11), ' ');
        text += line + style.Data().description + "\n" + std::string(11, ' ') + samples + "\n";
    }
    return text;
}

std::string HelpText()
{
    std::string help = HelpHead;
    for (int index = 0; index < OptionCount; ++index) {
        const char* text = Options[index].help;
        if (text == nullptr)
            continue;  // on the line of the option above
        std::string line = std::string(HelpLabelIndent, ' ') + HelpLabel(index);
        // Two spaces at least between a long label and its text, so that the label reads apart.
        line.resize(line.size() + 1 < HelpTextColumn ? HelpTextColumn : line.size() + 2, ' ');
        for (; *text != '\0'; ++text) {
            line += *text;
            if (*text == '\n')
                line.append(HelpTextColumn, ' ');
        }
        help += line + "\n";
    }
    return help + HelpTail;
}

std::uint64_t RunSeed(const ToolOptions& options)
{
    return options.seed ? *options.seed : options.clock ? *options.clock : norvathel::EntropySeed();
}

std::uint64_t KeySeedOf(const ToolOptions& options, const char* key, std::size_t length)
{
    return options.seed ? norvathel::KeySeed(key, length, *options.seed) : norvathel::KeySeed(key, length);
}

norvathel::AdditiveRandom StartingGenerator(const ToolOptions& options, std::uint64_t seed)
{
    norvathel::AdditiveRandom random;
    if (options.clock)
        random.Seed(seed);
    else
        random.SeedFull(seed);
    return random;
}

namespace {

// The processors this process may run on: on Linux those of its affinity mask (taskset, a
// container's cpuset), elsewhere all the system has.
unsigned UsableProcessors()
{
#if defined(__linux__)
    cpu_set_t set;
    if (sched_getaffinity(0, sizeof set, &set) == 0)
        return static_cast<unsigned>(CPU_COUNT(&set));
#endif
    return std::thread::hardware_concurrency();
}

}  // namespace

int ThreadsFor(const ToolOptions& options)
{
    if (options.threads != 0)
        return options.threads;
    const unsigned processors = UsableProcessors();
    return processors == 0 ? 1 : static_cast<int>(std::min<unsigned>(processors, MostThreads));
}
