#include "names_tool.h"

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <ctime>
#include <string>

#include "names/additive_random.h"
#include "names/name_composer.h"
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

// The text form: one name per line, its bytes as composed.
void WriteTextNames(OutputBuffer& output, const Board& board, int count)
{
    // Each slot goes over whole, a fixed-size copy; the line end then lands right behind the
    // name and overwrites the rest, which the next name overwrites in turn.
    char* place = output.Reserve(NamesPerBoard * (MaxNameLength + LineEndSize) + NameSlotSize);
    for (int index = 0; index < count; ++index) {
        std::memcpy(place, board.names[index], NameSlotSize);
        place += board.lengths[index];
        std::memcpy(place, LineEnd, LineEndSize);
        place += LineEndSize;
    }
    output.Commit(place);
}

// The body of a JSON string: bytes read as Latin-1 and written as UTF-8, quote and backslash
// escaped, control bytes as \u00XX. At most 6 bytes out for each byte in.
char* AppendJsonText(char* place, const char* text, int length)
{
    static const char Hex[] = "0123456789abcdef";
    for (int index = 0; index < length; ++index) {
        unsigned char byte = static_cast<unsigned char>(text[index]);
        if (byte >= 0x80) {
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

// The JSON form, written as it goes: the head, one object per board, the tail.
class JsonWriter {
public:
    explicit JsonWriter(OutputBuffer& buffer) : output(buffer) {}

    void Start(std::uint64_t seed)
    {
        std::string head = "{\"seed\":" + std::to_string(seed) + ",\"boards\":[";
        output.Write(head.c_str(), head.size());
    }

    void WriteBoard(Gender gender, const char* prefix, const Board& board, int count)
    {
        if (boards++ > 0)
            output.Write(",");
        output.Write(LineEnd, LineEndSize);
        output.Write(gender == Male ? "{\"gender\":\"male\",\"prefix\":\""
                                    : "{\"gender\":\"female\",\"prefix\":\"");
        char* place = output.Reserve(JsonNameRoom);
        place = AppendJsonText(place, prefix, static_cast<int>(std::strlen(prefix)));
        output.Commit(place);
        output.Write("\",\"names\":[");
        for (int index = 0; index < count; ++index) {
            place = output.Reserve(JsonNameRoom);
            if (index > 0)
                *place++ = ',';
            *place++ = '"';
            place = AppendJsonText(place, board.names[index], board.lengths[index]);
            *place++ = '"';
            output.Commit(place);
        }
        output.Write("]}");
    }

    void Finish()
    {
        if (boards > 0)
            output.Write(LineEnd, LineEndSize);
        output.Write("]}");
        output.Write(LineEnd, LineEndSize);
    }

private:
    OutputBuffer& output;
    std::uint64_t boards = 0;
};

// Composes and writes every board the options ask for, stopping early once output fails.
void WriteBoards(const ToolOptions& options, std::uint64_t seed, OutputBuffer& output)
{
    AdditiveRandom random;
    random.Seed(seed);
    Board board = {};
    bool json = options.format == OutputFormat::Json;
    JsonWriter jsonWriter(output);
    if (json)
        jsonWriter.Start(seed);

    auto composeAndWrite = [&](Gender gender, const char* prefix, int count) {
        norvathel::ComposeBoard(random, gender, prefix, board);
        if (json)
            jsonWriter.WriteBoard(gender, prefix, board, count);
        else
            WriteTextNames(output, board, count);
    };

    if (options.boardsGiven) {
        for (const BoardRequest& request : options.boards) {
            if (output.Failed())
                break;
            Gender gender = request.drawGender ? norvathel::DrawStartGender(random) : request.gender;
            composeAndWrite(gender, request.prefix, NamesPerBoard);
        }
    } else {
        for (std::uint64_t left = options.count; left > 0 && !output.Failed();) {
            int count = left < NamesPerBoard ? static_cast<int>(left) : NamesPerBoard;
            Gender gender = options.genderGiven ? options.gender : norvathel::DrawStartGender(random);
            composeAndWrite(gender, options.prefix, count);
            left -= static_cast<std::uint64_t>(count);
        }
    }
    if (json)
        jsonWriter.Finish();
}

}  // namespace

const char* ToolLineEnd()
{
    return LineEnd;
}

int RunTool(int argc, char** argv, std::FILE* out, std::FILE* err)
{
    ToolOptions options;
    std::string problem;
    ParseOutcome outcome = ParseArguments(argc, argv, options, problem);
    if (outcome == ParseOutcome::Error) {
        std::fprintf(err, "norvathel-names: %s\n", problem.c_str());
        return 2;
    }

    OutputBuffer output(out);
    if (outcome == ParseOutcome::Help) {
        WriteLines(output, HelpText().c_str());
    } else if (outcome == ParseOutcome::Version) {
        WriteLines(output, "norvathel-names " NORVATHEL_VERSION "\n");
    } else {
        // The clock as the program reads it at start-up, when no seed is given.
        std::uint64_t seed =
            options.seedGiven ? options.seed : static_cast<std::uint64_t>(std::time(nullptr));
        WriteBoards(options, seed, output);
    }
    if (!output.Finish()) {
        int error = output.FailureError();
        std::fprintf(err, "norvathel-names: cannot write output%s%s\n", error != 0 ? ": " : "",
                     error != 0 ? std::strerror(error) : "");
        return 1;
    }
    return 0;
}
