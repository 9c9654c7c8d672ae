// The tool's three forms of output: text, one name per line; JSON, one document of boards; CSV,
// name,gender rows. Each writes into an OutputBuffer as the names come.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include <norvathel/name_composer.h>
#include "output_buffer.h"
#include "tool_options.h"

// What ends each output line: CR LF on Windows, LF elsewhere. The tool writes it itself, so
// its output must be a binary stream.
const char* ToolLineEnd();

// Writes text, turning each "\n" into ToolLineEnd().
void WriteLines(OutputBuffer& output, const char* text);

// The line end's bytes, for the writers that run per name.
#ifdef _WIN32
inline constexpr char LineEndBytes[] = "\r\n";
#else
inline constexpr char LineEndBytes[] = "\n";
#endif
inline constexpr int LineEndSize = sizeof LineEndBytes - 1;

// One name and a line end, its bytes as composed. name is a composer's slot: NameSlotSize
// bytes are read. Inline: the text form writes tens of millions of names a second through it.
inline void WriteTextName(OutputBuffer& output, const char* name, int length)
{
    char* place = output.Reserve(norvathel::NameSlotSize + LineEndSize);
    std::memcpy(place, name, norvathel::NameSlotSize);  // the whole slot: a fixed-size copy
    std::memcpy(place + length, LineEndBytes, LineEndSize);
    output.Commit(place + length + LineEndSize);
}

// The room a board's names take in the text form, with the whole slot the last one copies.
inline constexpr std::size_t TextBoardRoom = norvathel::NamesPerBoard * (norvathel::NameSlotSize + LineEndSize);

// Names first .. first + count - 1 of a board, each and a line end, at place (with
// TextBoardRoom bytes of room): a fixed-size copy of each slot. Returns the end of the text.
inline char* PutTextNames(char* place, const norvathel::Board& board, int first, int count)
{
    for (int index = first; index < first + count; ++index) {
        std::memcpy(place, board.names[index], norvathel::NameSlotSize);
        place += board.lengths[index];
        std::memcpy(place, LineEndBytes, LineEndSize);
        place += LineEndSize;
    }
    return place;
}

// The same into the output: one reservation for all.
inline void WriteTextNames(OutputBuffer& output, const norvathel::Board& board, int first, int count)
{
    static_assert(TextBoardRoom <= OutputBuffer::MaxReserve, "a board's slots and line ends fit one reservation");
    output.Commit(PutTextNames(output.Reserve(TextBoardRoom), board, first, count));
}

// A full name, "Given Surname", and a line end; the given name alone when surname is null.
void WriteTextFullName(OutputBuffer& output, const char* given, int givenLength, const char* surname,
                       int surnameLength);

// True when the bytes are well-formed UTF-8: no stray or missing continuation bytes, no
// overlong forms, no surrogates, nothing above U+10FFFF. The one check the JSON form uses.
bool IsUtf8(const char* text, std::size_t length);

// The JSON form, written as it goes: the head, one object per board that has names, the tail.
class JsonWriter {
public:
    explicit JsonWriter(OutputBuffer& buffer) : output(buffer) {}

    // The head: the seed and, when constraints were given, them in the order given.
    void Start(std::uint64_t seed, const ToolOptions& options);
    void StartBoard(norvathel::Gender gender, const char* prefix);
    void WriteName(const char* name, int length);
    // The most a name takes as PutName puts it: escaped, quoted, after a comma.
    static constexpr std::size_t NameRoom = 6 * norvathel::MaxNameLength + 4;
    // A board's name as WriteName writes it, at place with NameRoom bytes of room: after a
    // comma unless it is the board's first. Returns its end.
    static char* PutName(char* place, const char* name, int length, bool first);
    // count names, one after another as PutName put them, onto the board last started.
    void WriteNames(const char* text, std::size_t size, int count);
    // A full name: {"given":...,"surname":...}.
    void WriteFullName(const char* given, int givenLength, const char* surname, int surnameLength);
    // The tail; ran_dry is written when constraints were given.
    void Finish(bool ranDry);
    // A JSON string of any text: quoted and escaped; UTF-8 kept, other high bytes read as
    // Latin-1.
    void WriteString(const std::string& text);

private:
    void EndBoard();
    void WriteConstraints(const ToolOptions& options);
    void WriteText(const char* text, int length);
    static char* PutText(char* place, const char* text, int length);

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

    // The header; with a byte-order mark first when bom, given,surname columns for full names.
    void Start(bool bom, bool fullNames);
    // A row: the given name, its surname when surname is not null, the gender.
    void WriteName(const char* given, int givenLength, const char* surname, int surnameLength,
                   norvathel::Gender gender);

    // The most a row takes: two fields, each quoted with every byte a doubled quote, and the
    // gender.
    static constexpr std::size_t RowRoom = 4 * norvathel::MaxNameLength + 24;
    // The same row at place, with RowRoom bytes of room; returns its end.
    static char* PutRow(char* place, const char* given, int givenLength, const char* surname, int surnameLength,
                        norvathel::Gender gender);

private:
    static char* WriteField(char* place, const char* text, int length);

    OutputBuffer& output;
};

// The names of --keys, one per key in the order of the keys: text, one name per line; CSV,
// key,name,gender rows under that header; JSON, an array of {"key","name","gender"} objects.
class KeyWriter {
public:
    KeyWriter(OutputBuffer& buffer, OutputFormat outputFormat)
        : output(buffer), format(outputFormat), json(buffer)
    {
    }

    // The CSV header (with a byte-order mark first when bom; given,surname columns for full
    // names) or the JSON array's start; style is named in each JSON object unless it is null.
    void Start(bool bom = false, bool fullNames = false, const char* style = nullptr);
    // surname: the full name's surname, or null for a given name alone.
    void Name(const char* key, std::size_t keyLength, const char* name, int length, norvathel::Gender gender,
              const char* surname = nullptr, int surnameLength = 0);
    void Finish();

private:
    OutputBuffer& output;
    OutputFormat format;
    JsonWriter json;
    std::uint64_t keys = 0;
    const char* styleName = nullptr;
};

// Whichever form was asked for, name by name: boards open in JSON as the names come.
class NameWriter {
public:
    NameWriter(OutputBuffer& buffer, OutputFormat outputFormat)
        : output(buffer), format(outputFormat), json(buffer), csv(buffer)
    {
    }

    void Start(std::uint64_t seed, const ToolOptions& options);
    // A name of the composed board number board, of that board's gender and prefix.
    // surname: the full name's surname, or null for a given name alone.
    void Name(const char* name, int length, norvathel::Gender gender, std::uint64_t board,
              const char* prefix, const char* surname = nullptr, int surnameLength = 0);
    void Finish(bool ranDry);
    // The JSON form's writer, for names written a board at a time; null in the other forms.
    JsonWriter* Json() { return format == OutputFormat::Json ? &json : nullptr; }

private:
    OutputBuffer& output;
    OutputFormat format;
    JsonWriter json;
    CsvWriter csv;
    bool inBoard = false;
    std::uint64_t currentBoard = 0;
};
