#include "names_tool.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <string>

#include <norvathel/additive_random.h>
#include <norvathel/name_composer.h>
#include <norvathel/name_stream.h>
#include "learn_command.h"
#include "norvathel_version.h"
#include "output_buffer.h"
#include "tool_options.h"

using norvathel::AdditiveRandom;
using norvathel::Board;
using norvathel::Gender;
using norvathel::Male;
using norvathel::MaxNameLength;
using norvathel::NamesPerBoard;
using norvathel::NameSlotSize;

namespace {

#ifdef _WIN32
const char LineEnd[] = "\r\n";
#else
const char LineEnd[] = "\n";
#endif
const int LineEndSize = sizeof LineEnd - 1;

// Writes text, turning each "\n" into the platform's line end.
void WriteLines(OutputBuffer& output, const char* text)
{
    for (const char* end; (end = std::strchr(text, '\n')) != nullptr; text = end + 1) {
        output.Write(text, static_cast<std::size_t>(end - text));
        output.Write(LineEnd, LineEndSize);
    }
    output.Write(text);
}

// One name per line, its bytes as composed.
void WriteTextName(OutputBuffer& output, const char* name, int length)
{
    char* place = output.Reserve(NameSlotSize + LineEndSize);
    std::memcpy(place, name, NameSlotSize);  // the whole slot: a fixed-size copy
    std::memcpy(place + length, LineEnd, LineEndSize);
    output.Commit(place + length + LineEndSize);
}

// True when the bytes are well-formed UTF-8: no stray or missing continuation bytes, no
// overlong forms, no surrogates, nothing above U+10FFFF.
bool IsUtf8(const char* text, int length)
{
    const unsigned char* byte = reinterpret_cast<const unsigned char*>(text);
    for (int index = 0; index < length;) {
        const unsigned lead = byte[index];
        int extra = 0;
        unsigned lowest = 0, highest = 0xBF;  // the allowed range of the first continuation
        if (lead < 0x80) {
            ++index;
            continue;
        } else if (lead >= 0xC2 && lead <= 0xDF) {
            extra = 1, lowest = 0x80;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            extra = 2, lowest = lead == 0xE0 ? 0xA0 : 0x80, highest = lead == 0xED ? 0x9F : 0xBF;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            extra = 3, lowest = lead == 0xF0 ? 0x90 : 0x80, highest = lead == 0xF4 ? 0x8F : 0xBF;
        } else {
            return false;
        }
        if (index + extra >= length)  // the sequence runs past the end
            return false;
        if (byte[index + 1] < lowest || byte[index + 1] > highest)
            return false;
        for (int k = 2; k <= extra; ++k)
            if ((byte[index + k] & 0xC0) != 0x80)
                return false;
        index += extra + 1;
    }
    return true;
}

// The body of a JSON string: quote and backslash escaped, control bytes as \u00XX. A text
// that is UTF-8 keeps its bytes; in any other, bytes above 127 are read as Latin-1 and written
// as UTF-8. At most 6 bytes out for each byte in.
char* AppendJsonText(char* place, const char* text, int length)
{
    static const char Hex[] = "0123456789abcdef";
    const bool utf8 = IsUtf8(text, length);
    for (int index = 0; index < length; ++index) {
        unsigned char byte = static_cast<unsigned char>(text[index]);
        if (byte >= 0x80 && utf8) {
            *place++ = static_cast<char>(byte);
        } else if (byte >= 0x80) {
            *place++ = static_cast<char>(0xC0 | byte >> 6);
            *place++ = static_cast<char>(0x80 | (byte & 0x3F));
        } else if (byte < 0x20 || byte == 0x7F) {
            std::memcpy(place, "\\u00", 4);
            place[4] = Hex[byte >> 4];
            place[5] = Hex[byte & 15];
            place += 6;
        } else {
            if (byte == '"' || byte == '\\')
                *place++ = '\\';
            *place++ = static_cast<char>(byte);
        }
    }
    return place;
}

const std::size_t JsonNameRoom = 6 * MaxNameLength + 4;  // escaped text, quotes, comma

void WriteJsonString(OutputBuffer& output, const std::string& text)
{
    output.Write("\"");
    for (std::size_t start = 0; start < text.size(); start += MaxNameLength) {
        const int length = static_cast<int>(std::min<std::size_t>(MaxNameLength, text.size() - start));
        output.Commit(AppendJsonText(output.Reserve(JsonNameRoom), text.data() + start, length));
    }
    output.Write("\"");
}

// The JSON form, written as it goes: the head, one object per board that has names, the tail.
class JsonWriter {
public:
    explicit JsonWriter(OutputBuffer& buffer) : output(buffer) {}

    void Start(std::uint64_t seed, const ToolOptions& options)
    {
        constrained = !options.constraintsGiven.empty();
        output.Write(("{\"seed\":" + std::to_string(seed)).c_str());
        if (constrained)
            WriteConstraints(options);
        output.Write(",\"boards\":[");
    }

    void StartBoard(Gender gender, const char* prefix)
    {
        EndBoard();
        if (boards++ > 0)
            output.Write(",");
        output.Write(LineEnd, LineEndSize);
        output.Write(gender == Male ? "{\"gender\":\"male\",\"prefix\":" : "{\"gender\":\"female\",\"prefix\":");
        WriteJsonString(output, prefix);
        output.Write(",\"names\":[");
        inBoard = true;
        names = 0;
    }

    void WriteName(const char* name, int length)
    {
        char* place = output.Reserve(JsonNameRoom);
        if (names++ > 0)
            *place++ = ',';
        *place++ = '"';
        place = AppendJsonText(place, name, length);
        *place++ = '"';
        output.Commit(place);
    }

    void Finish(bool ranDry)
    {
        EndBoard();
        if (boards > 0)
            output.Write(LineEnd, LineEndSize);
        output.Write("]");
        if (constrained)
            output.Write(ranDry ? ",\"ran_dry\":true" : ",\"ran_dry\":false");
        output.Write("}");
        output.Write(LineEnd, LineEndSize);
    }

private:
    void EndBoard()
    {
        if (inBoard)
            output.Write("]}");
        inBoard = false;
    }

    void WriteConstraints(const ToolOptions& options)
    {
        output.Write(",\"constraints\":{");
        const norvathel::NameConstraints& c = options.constraints;
        bool first = true;
        for (const std::string& option : options.constraintsGiven) {
            if (!first)
                output.Write(",");
            first = false;
            if (option == "--unique") {
                output.Write("\"unique\":true");
            } else if (option == "--min-length" || option == "--max-length") {
                const int length = option == "--min-length" ? c.minLength : c.maxLength;
                output.Write(("\"" + option.substr(2, 3) + "_length\":" + std::to_string(length)).c_str());
            } else if (option == "--ends-with") {
                output.Write("\"ends_with\":");
                WriteJsonString(output, c.endsWith);
            } else if (option == "--exclude") {
                output.Write("\"exclude\":[");
                for (std::size_t index = 0; index < c.exclude.size(); ++index) {
                    if (index > 0)
                        output.Write(",");
                    WriteJsonString(output, c.exclude[index]);
                }
                output.Write("]");
            }
        }
        output.Write("}");
    }

    OutputBuffer& output;
    bool constrained = false;
    bool inBoard = false;
    std::uint64_t boards = 0;
    int names = 0;
};

// The CSV form (RFC 4180): a header, then name,gender rows, every line ending in CR LF. A name
// is quoted, its quotes doubled, only when it holds a comma, a quote, CR or LF.
class CsvWriter {
public:
    explicit CsvWriter(OutputBuffer& buffer) : output(buffer) {}

    void Start() { output.Write("name,gender\r\n"); }

    void WriteName(const char* name, int length, Gender gender)
    {
        char* place = output.Reserve(2 * MaxNameLength + 16);
        const bool quote = std::strpbrk(name, ",\"\r\n") != nullptr;
        if (quote)
            *place++ = '"';
        for (int index = 0; index < length; ++index) {
            if (name[index] == '"')
                *place++ = '"';
            *place++ = name[index];
        }
        if (quote)
            *place++ = '"';
        const char* row = gender == Male ? ",male\r\n" : ",female\r\n";
        const std::size_t rowLength = std::strlen(row);
        std::memcpy(place, row, rowLength);
        output.Commit(place + rowLength);
    }

private:
    OutputBuffer& output;
};

// Whichever form was asked for, name by name: boards open in JSON as the names come.
class NameWriter {
public:
    NameWriter(OutputBuffer& buffer, OutputFormat outputFormat)
        : output(buffer), format(outputFormat), json(buffer), csv(buffer)
    {
    }

    void Start(std::uint64_t seed, const ToolOptions& options)
    {
        if (format == OutputFormat::Json)
            json.Start(seed, options);
        else if (format == OutputFormat::Csv)
            csv.Start();
    }

    // A name of the composed board number board, of that board's gender and prefix.
    void Name(const char* name, int length, Gender gender, std::uint64_t board, const char* prefix)
    {
        if (format == OutputFormat::Text) {
            WriteTextName(output, name, length);
        } else if (format == OutputFormat::Csv) {
            csv.WriteName(name, length, gender);
        } else {
            if (!inBoard || board != currentBoard)
                json.StartBoard(gender, prefix);
            inBoard = true;
            currentBoard = board;
            json.WriteName(name, length);
        }
    }

    void Finish(bool ranDry)
    {
        if (format == OutputFormat::Json)
            json.Finish(ranDry);
    }

private:
    OutputBuffer& output;
    OutputFormat format;
    JsonWriter json;
    CsvWriter csv;
    bool inBoard = false;
    std::uint64_t currentBoard = 0;
};

norvathel::GenderChoice ChoiceOf(const ToolOptions& options)
{
    if (!options.genderGiven)
        return norvathel::GenderChoice::Drawn;
    return options.gender == Male ? norvathel::GenderChoice::Male : norvathel::GenderChoice::Female;
}

// What a run wrote: how many names, and whether the constraints ran dry first.
struct RunResult {
    std::uint64_t written = 0;
    bool ranDry = false;
    std::uint64_t composedInARow = 0;
};

// --count names from a NameStream: boards of ten composed in order on one generator, the
// names that fail a constraint left out.
RunResult WriteNames(const ToolOptions& options, std::uint64_t seed, OutputBuffer& output)
{
    norvathel::NameStream stream(seed, ChoiceOf(options), options.prefix, options.constraints);
    NameWriter writer(output, options.format);
    writer.Start(seed, options);
    RunResult result;
    norvathel::StreamName name;
    if (options.format == OutputFormat::Text) {
        // Its own loop: this is the one that runs tens of millions of times a second.
        for (; result.written < options.count && stream.Next(name); ++result.written) {
            WriteTextName(output, name.text, name.length);
            if (output.Failed())
                break;
        }
    } else {
        for (; result.written < options.count && !output.Failed() && stream.Next(name); ++result.written)
            writer.Name(name.text, name.length, name.gender, name.board, stream.Prefix());
    }
    result.ranDry = stream.RanDry();
    result.composedInARow = stream.ComposedSinceKept();
    writer.Finish(result.ranDry);
    return result;
}

// A --boards replay: every composition whole, ten names each.
void WriteReplay(const ToolOptions& options, std::uint64_t seed, OutputBuffer& output)
{
    AdditiveRandom random;
    random.Seed(seed);
    Board board = {};
    NameWriter writer(output, options.format);
    writer.Start(seed, options);
    std::uint64_t number = 0;
    for (const BoardRequest& request : options.boards) {
        if (output.Failed())
            break;
        Gender gender = request.drawGender ? norvathel::DrawStartGender(random) : request.gender;
        norvathel::ComposeBoard(random, gender, request.prefix, board);
        for (int index = 0; index < NamesPerBoard; ++index)
            writer.Name(board.names[index], board.lengths[index], gender, number, request.prefix);
        ++number;
    }
    writer.Finish(false);
}

}  // namespace

const char* ToolLineEnd()
{
    return LineEnd;
}

int RunTool(int argc, char** argv, std::FILE* out, std::FILE* err)
{
    if (IsLearnCommand(argc, argv))
        return RunLearn(argc, argv, stdin, out, err);
    ToolOptions options;
    std::string problem;
    ParseOutcome outcome = ParseArguments(argc, argv, options, problem);
    if (outcome == ParseOutcome::Error) {
        std::fprintf(err, "norvathel-names: %s\n", problem.c_str());
        return 2;
    }

    OutputBuffer output(out);
    RunResult result;
    if (outcome == ParseOutcome::Help) {
        WriteLines(output, HelpText().c_str());
    } else if (outcome == ParseOutcome::Version) {
        WriteLines(output, "norvathel-names " NORVATHEL_VERSION "\n");
    } else {
        // Without a seed, entropy: two runs in the same second must not print the same names.
        const std::uint64_t seed = options.seedGiven ? options.seed : norvathel::EntropySeed();
        if (options.showSeed)
            std::fprintf(err, "seed: %llu\n", static_cast<unsigned long long>(seed));
        if (options.boardsGiven)
            WriteReplay(options, seed, output);
        else
            result = WriteNames(options, seed, output);
    }
    if (!output.Finish()) {
        int error = output.FailureError();
        std::fprintf(err, "norvathel-names: cannot write output%s%s\n", error != 0 ? ": " : "",
                     error != 0 ? std::strerror(error) : "");
        return 1;
    }
    if (result.ranDry) {
        std::fprintf(err,
                     "norvathel-names: only %llu of %llu names meet the constraints (%llu composed "
                     "in a row without a new one)\n",
                     static_cast<unsigned long long>(result.written),
                     static_cast<unsigned long long>(options.count),
                     static_cast<unsigned long long>(result.composedInARow));
        return 3;
    }
    return 0;
}
