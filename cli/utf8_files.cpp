#include "utf8_files.h"

#ifdef _WIN32
#include <cerrno>
#include <string>
#include <windows.h>
#endif

std::FILE* OpenFileForReading(const char* utf8Path)
{
#ifdef _WIN32
    // Invalid UTF-8 is refused rather than opened under a guessed name.
    int length = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8Path, -1, nullptr, 0);
    if (length <= 0) {
        errno = EINVAL;
        return nullptr;
    }
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8Path, -1, &wide[0], length);
    return _wfopen(wide.c_str(), L"rb");
#else
    return std::fopen(utf8Path, "rb");
#endif
}

ReadOutcome ReadWholeFile(const char* utf8Path, std::size_t limit, std::string& text)
{
    text.clear();
    std::FILE* file = OpenFileForReading(utf8Path);
    if (file == nullptr)
        return ReadOutcome::CannotOpen;
    char chunk[4096];
    ReadOutcome outcome = ReadOutcome::Read;
    std::size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) {
        text.append(chunk, got);
        if (text.size() > limit) {
            outcome = ReadOutcome::TooLong;
            break;
        }
    }
    if (outcome == ReadOutcome::Read && std::ferror(file))
        outcome = ReadOutcome::CannotRead;
    std::fclose(file);
    return outcome;
}
