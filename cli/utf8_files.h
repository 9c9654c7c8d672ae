// Files named in UTF-8, the form the tool's arguments arrive in on every system.
#pragma once
#include <cstddef>
#include <cstdio>
#include <string>

// Opens the file at a UTF-8 path for reading, in binary mode; nullptr (errno set) when it
// cannot. On Windows the path goes to the wide-character API, so any name opens whatever the
// code page; elsewhere it is passed on as it is.
std::FILE* OpenFileForReading(const char* utf8Path);

enum class ReadOutcome { Read, CannotOpen, TooLong, CannotRead };

// Reads the whole file at a UTF-8 path (opened as OpenFileForReading opens it) into text;
// TooLong as soon as it holds more than limit bytes.
ReadOutcome ReadWholeFile(const char* utf8Path, std::size_t limit, std::string& text);
