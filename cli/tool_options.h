// The command line of norvathel-names, parsed and checked before anything is written.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include <norvathel/name_composer.h>
#include <norvathel/name_stream.h>

enum class OutputFormat { Text, Json, Csv };

// One composition of a --boards list.
struct BoardRequest {
    bool drawGender;              // "start": the gender drawn as at start-up (DrawStartGender)
    norvathel::Gender gender;     // otherwise the gender given
    char prefix[norvathel::PrefixCapacity];  // decoded, at most 31 bytes, NUL-terminated
};

struct ToolOptions {
    bool seedGiven = false;
    std::uint64_t seed = 0;        // a clock value, or the hash of seedWord
    std::string seedWord;          // --seed as a word; empty for a number
    bool showSeed = false;
    bool genderGiven = false;      // --male or --female; otherwise drawn for every board
    norvathel::Gender gender = norvathel::Female;
    bool prefixGiven = false;
    char prefix[norvathel::PrefixCapacity] = {};  // the first 31 bytes of --prefix
    bool countGiven = false;
    std::uint64_t count = norvathel::NamesPerBoard;
    bool boardsGiven = false;
    std::vector<BoardRequest> boards;
    OutputFormat format = OutputFormat::Text;
    norvathel::NameConstraints constraints;
    // The constraint options as typed, in order, for messages and the JSON document.
    std::vector<std::string> constraintsGiven;
};

enum class ParseOutcome { Run, Help, Version, Error };

// Reads argv[1..argc-1] into options. On Error, problem holds a one-line description.
// --help and --version end the parse where they stand.
ParseOutcome ParseArguments(int argc, char** argv, ToolOptions& options, std::string& problem);

// The text of --help, with "\n" line ends; the options' part is made from the same table as
// the parser.
std::string HelpText();

// A decimal number from 0 to 2^64 - 1, digits only; false when empty, not a number or too big.
bool ParseUnsigned(const char* text, std::uint64_t& value);

// Decodes "%XX" escapes: each is the byte with hex value XX, other bytes stand for themselves.
// False, with problem set, on a malformed escape or on "%00".
bool DecodeEscapes(const char* text, std::size_t length, std::string& decoded, std::string& problem);

// Decodes a --boards prefix as DecodeEscapes does and keeps its first 31 bytes.
bool DecodePrefix(const char* text, std::size_t length, char (&prefix)[norvathel::PrefixCapacity],
                  std::string& problem);

// Parses a --boards list: start, male, female, male:PREFIX, female:PREFIX, separated by
// commas. False, with problem set, when the list or one of its items is malformed.
bool ParseBoardList(const char* list, std::vector<BoardRequest>& boards, std::string& problem);

// A command-line text made safe for a one-line message: quoted, control bytes as \xNN,
// long texts cut.
std::string Quoted(const char* text);
