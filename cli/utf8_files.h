// Files named in UTF-8, the form the tool's arguments arrive in on every system.
#pragma once
#include <cstdio>

// Opens the file at a UTF-8 path for reading, in binary mode; nullptr (errno set) when it
// cannot. On Windows the path goes to the wide-character API, so any name opens whatever the
// code page; elsewhere it is passed on as it is.
std::FILE* OpenFileForReading(const char* utf8Path);
