// Files of one item per line (keys, excluded names, excluded pieces), read in large blocks.
// A line ends at LF; one CR before it is dropped, so a file saved on Windows reads the same;
// a final LF adds no line; an empty line is a line. A UTF-8 byte-order mark at the start (what
// Notepad and spreadsheets write) is not part of the first line; a UTF-16 one is a fault, found
// before the first line is given.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

class LineReader {
public:
    // Reads in (not closed here); a line longer than longest bytes is a fault.
    LineReader(std::FILE* in, std::size_t longest);

    // The next line in [text, text + length), valid until the next call. False at the end and
    // on a fault, which Problem() then describes naming the line ("" at a clean end).
    bool Next(const char*& text, std::size_t& length);
    const std::string& Problem() const { return problem; }
    // The number of the line Next gave last, from 1.
    std::uint64_t LineNumber() const { return number; }

private:
    bool Refill();
    bool CheckStart();
    bool Fail(const std::string& text);

    std::FILE* in;
    std::size_t longest;
    std::size_t capacity;
    std::unique_ptr<char[]> buffer;
    std::size_t start = 0;  // the unread bytes are [start, end)
    std::size_t end = 0;
    bool atEnd = false;
    bool startChecked = false;
    std::uint64_t number = 0;
    std::string problem;
};

// Every line of the file at path ("-": standard input) into lines, empty ones left out. False,
// with problem set (naming the file and line), when it cannot be opened or read, or a line is
// longer than longest or holds a NUL byte, or the file is UTF-16.
bool ReadLines(const char* path, std::size_t longest, std::vector<std::string>& lines,
               std::string& problem);
