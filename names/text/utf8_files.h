// Files named in UTF-8, the form the tool's arguments and the library's callers give them in
// on every system, and read whole with a limit. One reader for style files, example lists and
// the tool's files of keys, pieces and names.
#pragma once
#include <cstddef>
#include <cstdio>
#include <string>

namespace norvathel {

// Opens the file at a UTF-8 path for reading, in binary mode; nullptr (errno set) when it
// cannot. On Windows the path goes to the wide-character call as UTF-16, so any name opens
// whatever the code page, and invalid UTF-8 opens nothing (EINVAL); elsewhere it is passed on
// as it is.
std::FILE* OpenFileForReading(const char* utf8Path);

enum class ReadOutcome { Read, CannotOpen, TooLong, CannotRead };

// Reads what is left of file into text (cleared first); TooLong as soon as it holds more than
// limit bytes (text then holds at least limit + 1 of them). The file stays open.
ReadOutcome ReadWholeStream(std::FILE* file, std::size_t limit, std::string& text);
// The same for the file at a UTF-8 path, opened as OpenFileForReading opens it, and closed.
ReadOutcome ReadWholeFile(const char* utf8Path, std::size_t limit, std::string& text);

}  // namespace norvathel
