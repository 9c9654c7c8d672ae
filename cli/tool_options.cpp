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
    else {
        problem = "invalid --format value " + Quoted(text) + ": expected text or json";
        return false;
    }
    return true;
}

// Cross-option rules, checked once everything has been read.
bool CheckCombination(const ToolOptions& options, std::string& problem)
{
    if (!options.boardsGiven)
        return true;
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

bool DecodePrefix(const char* text, std::size_t length, char (&prefix)[PrefixCapacity],
                  std::string& problem)
{
    std::memset(prefix, 0, sizeof prefix);
    std::size_t kept = 0;
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
                problem = "%00 is not allowed: a prefix cannot hold a NUL byte";
                return false;
            }
            place += 2;
        }
        // Like the edit box, the prefix keeps its first 31 bytes; the rest is still checked.
        if (kept < PrefixCapacity - 1)
            prefix[kept++] = byte;
    }
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
    bool formatGiven = false;
    for (int index = 1; index < argc; ++index) {
        Argument argument = SplitArgument(argv[index]);
        const std::string& name = argument.name;

        if (name == "--help" || name == "-h" || name == "--version" || name == "--male" ||
            name == "--female") {
            if (argument.inlineValue != nullptr) {
                problem = "option " + name + " takes no value";
                return ParseOutcome::Error;
            }
            if (name == "--help" || name == "-h")
                return ParseOutcome::Help;
            if (name == "--version")
                return ParseOutcome::Version;
            Gender gender = name == "--male" ? Male : Female;
            if (options.genderGiven) {
                problem = options.gender == gender ? "option " + name + " given more than once"
                                                   : std::string("--male and --female exclude each other");
                return ParseOutcome::Error;
            }
            options.genderGiven = true;
            options.gender = gender;
            continue;
        }

        bool* given = name == "--seed"     ? &options.seedGiven
                      : name == "--prefix" ? &options.prefixGiven
                      : name == "--count"  ? &options.countGiven
                      : name == "--boards" ? &options.boardsGiven
                      : name == "--format" ? &formatGiven
                                           : nullptr;
        if (given == nullptr) {
            if (name.size() > 1 && name[0] == '-')
                problem = "unknown option " + Quoted(name.c_str()) + " (see --help)";
            else
                problem = "unexpected argument " + Quoted(argv[index]) + " (see --help)";
            return ParseOutcome::Error;
        }
        if (*given) {
            problem = "option " + name + " given more than once";
            return ParseOutcome::Error;
        }
        *given = true;
        const char* value = argument.inlineValue;
        if (value == nullptr) {
            if (index + 1 == argc) {
                problem = "option " + name + " needs a value";
                return ParseOutcome::Error;
            }
            value = argv[++index];
        }

        bool ok = true;
        if (name == "--seed")
            ok = ParseCount("--seed", value, options.seed, problem);
        else if (name == "--count")
            ok = ParseCount("--count", value, options.count, problem);
        else if (name == "--prefix")
            std::strncpy(options.prefix, value, PrefixCapacity - 1);
        else if (name == "--boards")
            ok = ParseBoardList(value, options.boards, problem);
        else
            ok = ParseFormat(value, options.format, problem);
        if (!ok)
            return ParseOutcome::Error;
    }
    return CheckCombination(options, problem) ? ParseOutcome::Run : ParseOutcome::Error;
}
