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
