#include "name_writers.h"

#include <algorithm>
#include <cstring>

using norvathel::Gender;
using norvathel::Female;
using norvathel::Male;
using norvathel::MaxNameLength;
using norvathel::NameSlotSize;

namespace {

const char* GenderWord(norvathel::Gender gender)
{
    return gender == Male ? "male" : gender == Female ? "female" : "neutral";
}

// The body of a JSON string: quote and backslash escaped, control bytes as \u00XX. Bytes
// above 127 are copied when the whole text is UTF-8 (utf8), and otherwise read as Latin-1 and
// written as UTF-8. At most 6 bytes out for each byte in.
char* AppendJsonText(char* place, const char* text, std::size_t length, bool utf8)
{
    static const char Hex[] = "0123456789abcdef";
    for (std::size_t index = 0; index < length; ++index) {
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

}  // namespace

const char* ToolLineEnd()
{
    return LineEndBytes;
}

void WriteLines(OutputBuffer& output, const char* text)
{
    for (const char* end; (end = std::strchr(text, '\n')) != nullptr; text = end + 1) {
        output.Write(text, static_cast<std::size_t>(end - text));
        output.Write(LineEndBytes, LineEndSize);
    }
    output.Write(text);
}

void WriteTextFullName(OutputBuffer& output, const char* given, int givenLength, const char* surname,
                       int surnameLength)
{
    if (!surname) {
        WriteTextName(output, given, givenLength);
        return;
    }
    output.Write(given, static_cast<std::size_t>(givenLength));
    output.Write(" ", 1);
    output.Write(surname, static_cast<std::size_t>(surnameLength));
    output.Write(LineEndBytes, LineEndSize);
}

bool IsUtf8(const char* text, std::size_t length)
{
    const unsigned char* byte = reinterpret_cast<const unsigned char*>(text);
    for (std::size_t index = 0; index < length;) {
        const unsigned lead = byte[index];
        std::size_t extra = 0;
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
        if (extra >= length - index)  // the sequence runs past the end
            return false;
        if (byte[index + 1] < lowest || byte[index + 1] > highest)
            return false;
        for (std::size_t k = 2; k <= extra; ++k)
            if ((byte[index + k] & 0xC0) != 0x80)
                return false;
        index += extra + 1;
    }
    return true;
}

// --- JSON --------------------------------------------------------------------------------

void JsonWriter::Start(std::uint64_t seed, const ToolOptions& options)
{
    constrained = !options.constraintOrder.empty();
    // A clock value replays with --clock, any other seed with --seed.
    output.Write((std::string(options.clock ? "{\"clock\":" : "{\"seed\":") + std::to_string(seed)).c_str());
    // The style is named wherever it is not the default one, and with every full name.
    if (options.fullNames || !options.style.IsClassic()) {
        output.Write(",\"style\":");
        WriteString(options.style.Name());
    }
    if (constrained)
        WriteConstraints(options);
    output.Write(",\"boards\":[");
}

void JsonWriter::StartBoard(Gender gender, const char* prefix)
{
    EndBoard();
    if (boards++ > 0)
        output.Write(",");
    output.Write(LineEndBytes, LineEndSize);
    output.Write("{\"gender\":\"");
    output.Write(GenderWord(gender));
    output.Write("\",\"prefix\":");
    WriteString(prefix);
    output.Write(",\"names\":[");
    inBoard = true;
    names = 0;
}

void JsonWriter::WriteName(const char* name, int length)
{
    output.Commit(PutName(output.Reserve(NameRoom), name, length, names++ == 0));
}

char* JsonWriter::PutName(char* place, const char* name, int length, bool first)
{
    if (!first)
        *place++ = ',';
    return PutText(place, name, length);
}

void JsonWriter::WriteNames(const char* text, std::size_t size, int count)
{
    output.Write(text, size);
    names += count;
}

void JsonWriter::WriteText(const char* text, int length)
{
    output.Commit(PutText(output.Reserve(NameRoom), text, length));
}

char* JsonWriter::PutText(char* place, const char* text, int length)
{
    const std::size_t size = static_cast<std::size_t>(length);
    *place++ = '"';
    place = AppendJsonText(place, text, size, IsUtf8(text, size));
    *place++ = '"';
    return place;
}

void JsonWriter::WriteFullName(const char* given, int givenLength, const char* surname, int surnameLength)
{
    output.Write(names++ > 0 ? ",{\"given\":" : "{\"given\":");
    WriteText(given, givenLength);
    output.Write(",\"surname\":");
    WriteText(surname, surnameLength);
    output.Write("}");
}

void JsonWriter::Finish(bool ranDry)
{
    EndBoard();
    if (boards > 0)
        output.Write(LineEndBytes, LineEndSize);
    output.Write("]");
    if (constrained)
        output.Write(ranDry ? ",\"ran_dry\":true" : ",\"ran_dry\":false");
    output.Write("}");
    output.Write(LineEndBytes, LineEndSize);
}

void JsonWriter::EndBoard()
{
    if (inBoard)
        output.Write("]}");
    inBoard = false;
}

// A text of any length, escaped in pieces that fit a Reserve; whether its high bytes are
// UTF-8 is decided once for the whole text.
void JsonWriter::WriteString(const std::string& text)
{
    const bool utf8 = IsUtf8(text.data(), text.size());
    output.Write("\"");
    for (std::size_t start = 0; start < text.size(); start += MaxNameLength) {
        const std::size_t length = std::min<std::size_t>(MaxNameLength, text.size() - start);
        output.Commit(AppendJsonText(output.Reserve(NameRoom), text.data() + start, length, utf8));
    }
    output.Write("\"");
}

void JsonWriter::WriteConstraints(const ToolOptions& options)
{
    output.Write(",\"constraints\":{");
    const norvathel::NameConstraints& given = options.constraints;
    for (std::size_t index = 0; index < options.constraintOrder.size(); ++index) {
        if (index > 0)
            output.Write(",");
        switch (options.constraintOrder[index]) {
        case ConstraintOption::Unique:
            output.Write("\"unique\":true");
            break;
        case ConstraintOption::MinLength:
            output.Write(("\"min_length\":" + std::to_string(given.minLength)).c_str());
            break;
        case ConstraintOption::MaxLength:
            output.Write(("\"max_length\":" + std::to_string(given.maxLength)).c_str());
            break;
        case ConstraintOption::EndsWith:
            output.Write("\"ends_with\":");
            WriteString(given.endsWith);
            break;
        case ConstraintOption::Exclude:
            output.Write("\"exclude\":[");
            for (std::size_t piece = 0; piece < options.excludeListed; ++piece) {
                if (piece > 0)
                    output.Write(",");
                WriteString(given.exclude[piece]);
            }
            output.Write("]");
            break;
        case ConstraintOption::ExcludeFile:
            // How many: a blocklist can be long, and the names never printed stay unprinted.
            output.Write(("\"exclude_file_pieces\":" +
                          std::to_string(given.exclude.size() - options.excludeListed)).c_str());
            break;
        case ConstraintOption::ExcludeNames:
            output.Write(("\"exclude_names\":" + std::to_string(given.excludeNames.size())).c_str());
            break;
        }
    }
    output.Write("}");
}

// --- CSV ---------------------------------------------------------------------------------

void CsvWriter::Start(bool bom, bool fullNames)
{
    if (bom)
        output.Write("\xEF\xBB\xBF");
    output.Write(fullNames ? "given,surname,gender\r\n" : "name,gender\r\n");
}

char* CsvWriter::WriteField(char* place, const char* text, int length)
{
    const bool quote = std::find_if(text, text + length, [](char c) {
                           return c == ',' || c == '"' || c == '\r' || c == '\n';
                       }) != text + length;
    if (quote)
        *place++ = '"';
    for (int index = 0; index < length; ++index) {
        if (text[index] == '"')
            *place++ = '"';
        *place++ = text[index];
    }
    if (quote)
        *place++ = '"';
    return place;
}

void CsvWriter::WriteName(const char* given, int givenLength, const char* surname, int surnameLength,
                          Gender gender)
{
    static_assert(RowRoom <= OutputBuffer::MaxReserve, "a row fits one reservation");
    output.Commit(PutRow(output.Reserve(RowRoom), given, givenLength, surname, surnameLength, gender));
}

char* CsvWriter::PutRow(char* place, const char* given, int givenLength, const char* surname, int surnameLength,
                        Gender gender)
{
    place = WriteField(place, given, givenLength);
    if (surname) {
        *place++ = ',';
        place = WriteField(place, surname, surnameLength);
    }
    const char* row = gender == Male ? ",male\r\n" : gender == Female ? ",female\r\n" : ",neutral\r\n";
    const std::size_t rowLength = std::strlen(row);
    std::memcpy(place, row, rowLength);
    return place + rowLength;
}

// --- keys --------------------------------------------------------------------------------

namespace {

// A CSV field of any length: quoted, its quotes doubled, when it holds a comma, a quote, CR
// or LF.
void WriteCsvField(OutputBuffer& output, const char* text, std::size_t length)
{
    const bool quote = std::find_if(text, text + length, [](char c) {
                           return c == ',' || c == '"' || c == '\r' || c == '\n';
                       }) != text + length;
    if (quote)
        output.Write("\"");
    for (std::size_t start = 0; start < length;) {
        const char* quoteMark = static_cast<const char*>(std::memchr(text + start, '"', length - start));
        const std::size_t end = quoteMark ? static_cast<std::size_t>(quoteMark - text) + 1 : length;
        output.Write(text + start, end - start);
        if (quoteMark)
            output.Write("\"");
        start = end;
    }
    if (quote)
        output.Write("\"");
}

}  // namespace

void KeyWriter::Start(bool bom, bool fullNames, const char* style)
{
    styleName = style;
    if (format == OutputFormat::Csv) {
        if (bom)
            output.Write("\xEF\xBB\xBF");
        output.Write(fullNames ? "key,given,surname,gender\r\n" : "key,name,gender\r\n");
    } else if (format == OutputFormat::Json) {
        output.Write("[");
    }
}

void KeyWriter::Name(const char* key, std::size_t keyLength, const char* name, int length, Gender gender,
                     const char* surname, int surnameLength)
{
    if (format == OutputFormat::Text) {
        WriteTextFullName(output, name, length, surname, surnameLength);
    } else if (format == OutputFormat::Csv) {
        WriteCsvField(output, key, keyLength);
        output.Write(",");
        WriteCsvField(output, name, static_cast<std::size_t>(length));
        if (surname) {
            output.Write(",");
            WriteCsvField(output, surname, static_cast<std::size_t>(surnameLength));
        }
        output.Write(",");
        output.Write(GenderWord(gender));
        output.Write("\r\n");
    } else {
        output.Write(keys++ > 0 ? "," : "");
        output.Write(LineEndBytes, LineEndSize);
        output.Write("{\"key\":");
        json.WriteString(std::string(key, keyLength));
        if (styleName) {
            output.Write(",\"style\":");
            json.WriteString(styleName);
        }
        output.Write(surname ? ",\"given\":" : ",\"name\":");
        json.WriteString(std::string(name, static_cast<std::size_t>(length)));
        if (surname) {
            output.Write(",\"surname\":");
            json.WriteString(std::string(surname, static_cast<std::size_t>(surnameLength)));
        }
        output.Write(",\"gender\":\"");
        output.Write(GenderWord(gender));
        output.Write("\"}");
    }
}

void KeyWriter::Finish()
{
    if (format != OutputFormat::Json)
        return;
    if (keys > 0)
        output.Write(LineEndBytes, LineEndSize);
    output.Write("]");
    output.Write(LineEndBytes, LineEndSize);
}

// --- any form ----------------------------------------------------------------------------

void NameWriter::Start(std::uint64_t seed, const ToolOptions& options)
{
    if (format == OutputFormat::Json)
        json.Start(seed, options);
    else if (format == OutputFormat::Csv)
        csv.Start(options.bom, options.fullNames);
}

void NameWriter::Name(const char* name, int length, Gender gender, std::uint64_t board,
                      const char* prefix, const char* surname, int surnameLength)
{
    if (format == OutputFormat::Text) {
        WriteTextFullName(output, name, length, surname, surnameLength);
    } else if (format == OutputFormat::Csv) {
        csv.WriteName(name, length, surname, surnameLength, gender);
    } else {
        if (!inBoard || board != currentBoard)
            json.StartBoard(gender, prefix);
        inBoard = true;
        currentBoard = board;
        if (surname)
            json.WriteFullName(name, length, surname, surnameLength);
        else
            json.WriteName(name, length);
    }
}

void NameWriter::Finish(bool ranDry)
{
    if (format == OutputFormat::Json)
        json.Finish(ranDry);
}
