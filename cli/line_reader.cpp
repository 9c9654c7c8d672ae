#include "line_reader.h"

#include "argument_texts.h"

#include <cerrno>
#include <cstring>

#include "text/utf8_files.h"

namespace {

const std::size_t BlockSize = 64 * 1024;

}  // namespace

LineReader::LineReader(std::FILE* stream, std::size_t longestLine)
    : in(stream),
      longest(longestLine),
      capacity(BlockSize + longestLine + 2),  // a whole line, its CR and LF, and a block behind it
      buffer(new char[capacity])
{
}

bool LineReader::Fail(const std::string& text)
{
    problem = text;
    atEnd = true;
    start = end = 0;
    return false;
}

// Moves the unread bytes to the front and reads behind them; false when nothing more came.
bool LineReader::Refill()
{
    if (atEnd)
        return false;
    std::memmove(buffer.get(), buffer.get() + start, end - start);
    end -= start;
    start = 0;
    const std::size_t got = std::fread(buffer.get() + end, 1, capacity - end, in);
    end += got;
    if (got == 0) {
        atEnd = true;
        if (std::ferror(in))
            Fail(std::string("cannot read: ") + std::strerror(errno != 0 ? errno : EIO));
    }
    return got > 0;
}

// Skips a UTF-8 byte-order mark; false, with the fault, at a UTF-16 one (whose text would
// otherwise read as NUL bytes on line 1).
bool LineReader::CheckStart()
{
    startChecked = true;
    while (end - start < 3 && Refill()) {
    }
    if (!problem.empty())
        return false;
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(buffer.get() + start);
    const std::size_t unread = end - start;
    if (unread >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF)
        start += 3;
    else if (unread >= 2 && ((bytes[0] == 0xFF && bytes[1] == 0xFE) || (bytes[0] == 0xFE && bytes[1] == 0xFF)))
        return Fail(std::string("the file is UTF-16 (it starts with the byte-order mark ") +
                    (bytes[0] == 0xFF ? "FF FE" : "FE FF") + "), not UTF-8: save it as UTF-8");
    return true;
}

bool LineReader::Next(const char*& text, std::size_t& length)
{
    if (!startChecked && !CheckStart())
        return false;
    for (;;) {
        char* from = buffer.get() + start;
        const std::size_t unread = end - start;
        char* newline = static_cast<char*>(std::memchr(from, '\n', unread));
        const bool whole = newline != nullptr;
        if (!whole && !atEnd && unread <= longest + 1) {
            if (Refill() || problem.empty())
                continue;
            return false;
        }
        if (!whole && unread == 0)
            return false;  // the end; a final LF adds no line
        std::size_t size = whole ? static_cast<std::size_t>(newline - from) : unread;
        ++number;
        if (size > 0 && from[size - 1] == '\r')
            --size;
        if (size > longest)
            return Fail("line " + std::to_string(number) + " is longer than " + std::to_string(longest) + " bytes");
        if (std::memchr(from, '\0', size) != nullptr)
            return Fail("line " + std::to_string(number) + " holds a NUL byte");
        start += whole ? static_cast<std::size_t>(newline - from) + 1 : unread;
        text = from;
        length = size;
        return true;
    }
}

bool ReadLines(const char* path, std::size_t longest, std::vector<std::string>& lines, std::string& problem)
{
    const bool standardInput = std::strcmp(path, "-") == 0;
    std::FILE* in = standardInput ? stdin : norvathel::OpenFileForReading(path);  // any name, on Windows too
    if (in == nullptr) {
        problem = "cannot open '" + EscapedControls(path) + "': " + std::strerror(errno);
        return false;
    }
    LineReader reader(in, longest);
    const char* text;
    std::size_t length;
    while (reader.Next(text, length))
        if (length > 0)
            lines.emplace_back(text, length);
    if (!standardInput)
        std::fclose(in);
    if (!reader.Problem().empty()) {
        problem = "'" + EscapedControls(path) + "': " + reader.Problem();
        return false;
    }
    return true;
}
