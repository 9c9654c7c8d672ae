// The command line of norvathel-names, parsed and checked before anything is written.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include <norvathel/name_composer.h>
#include <norvathel/name_stream.h>
#include <norvathel/style.h>
#include "argument_texts.h"

enum class OutputFormat { Text, Json, Csv };

// The options that constrain the names, told apart so that the JSON document can list them
// in the order they were given.
enum class ConstraintOption { Unique, MinLength, MaxLength, EndsWith, Exclude, ExcludeFile, ExcludeNames };

// The longest line of a --keys file, and of the --exclude-file and --exclude-names files.
const std::size_t LongestLine = 4096;
// The most threads the names are composed on: each holds a share of the work in memory.
const int MostThreads = 64;

// The tool's constraints count lengths in letters, as a person counts them.
inline norvathel::NameConstraints CountingLetters()
{
    norvathel::NameConstraints constraints;
    constraints.lengthUnit = norvathel::LengthUnit::CodePoints;
    return constraints;
}

// What the user asked for: each option given at most once.
struct ToolOptions {
    std::optional<std::uint64_t> seed;   // --seed: a full seed (a number, or a word's hash)
    std::optional<std::uint64_t> clock;  // --clock: seeded as the program seeds from its clock
    bool showSeed = false;
    std::optional<std::string> keys;     // --keys: the file of keys, "-" for stdin
    int threads = 0;                     // --threads: how many compose; 0: one a processor
    std::string stdinReader;             // the option that reads standard input ("-"), if any
    norvathel::GenderChoice gender = norvathel::GenderChoice::Drawn;  // --male, --female
    bool prefixGiven = false;
    char prefix[norvathel::PrefixCapacity] = {};  // the first 31 bytes of --prefix
    bool countGiven = false;
    std::uint64_t count = norvathel::NamesPerBoard;
    bool boardsGiven = false;
    std::vector<BoardRequest> boards;
    OutputFormat format = OutputFormat::Text;
    norvathel::Style style;  // --style; classic when not given
    bool fullNames = false;  // --full
    bool bom = false;        // --bom
    norvathel::NameConstraints constraints = CountingLetters();  // exclude: the --exclude pieces, then the file's
    std::size_t excludeListed = 0;           // how many pieces --exclude gave
    std::vector<ConstraintOption> constraintOrder;  // the constraint options given, in order
};

enum class ParseOutcome { Run, Help, Version, ListStyles, Error };

// The seed a run composes from: --seed, else --clock, else entropy (two runs in the same
// second must not print the same names).
std::uint64_t RunSeed(const ToolOptions& options);
// The generator a run starts from: the full seeding, or the program's from a clock value.
norvathel::AdditiveRandom StartingGenerator(const ToolOptions& options, std::uint64_t seed);
// A --keys key's seed: the key's own, mixed with --seed when it is given.
std::uint64_t KeySeedOf(const ToolOptions& options, const char* key, std::size_t length);

// How many threads compose: --threads, else one for each processor this process may use, at
// most MostThreads.
int ThreadsFor(const ToolOptions& options);

// Reads argv[1..argc-1] into options. On Error, problem holds a one-line description.
// --help and --version end the parse where they stand.
ParseOutcome ParseArguments(int argc, char** argv, ToolOptions& options, std::string& problem);

// The text of --list-styles: each built-in style's name, description and a few full names.
std::string StyleListText();

// The text of --help, with "\n" line ends; the options' part is made from the same table as
// the parser.
std::string HelpText();
