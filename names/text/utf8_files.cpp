#include "text/utf8_files.h"

#include <cerrno>

#include "text/letters.h"

namespace norvathel {

namespace {

#ifdef _WIN32
// The path as UTF-16, or false for what is not UTF-8 (overlong forms, surrogates).
bool Utf16Of(const std::string& path, std::wstring& wide)
{
    for (std::size_t at = 0; at < path.size();) {
        const Letter letter = DecodeLetter(path, at);
        if (letter.length == 0)
            return false;
        if (letter.codePoint >= 0x10000) {
            wide += static_cast<wchar_t>(0xD800 + ((letter.codePoint - 0x10000) >> 10));
            wide += static_cast<wchar_t>(0xDC00 + ((letter.codePoint - 0x10000) & 0x3FF));
        } else {
            wide += static_cast<wchar_t>(letter.codePoint);
        }
        at += static_cast<std::size_t>(letter.length);
    }
    return true;
}
#endif

}  // namespace

std::FILE* OpenFileForReading(const char* utf8Path)
{
#ifdef _WIN32
    std::wstring wide;
    if (!Utf16Of(utf8Path, wide)) {
        errno = EINVAL;
        return nullptr;
    }
    return _wfopen(wide.c_str(), L"rb");
#else
    return std::fopen(utf8Path, "rb");
#endif
}

ReadOutcome ReadWholeStream(std::FILE* file, std::size_t limit, std::string& text)
{
    text.clear();
    char chunk[16384];
    std::size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) {
        text.append(chunk, got);
        if (text.size() > limit)
            return ReadOutcome::TooLong;
    }
    return std::ferror(file) ? ReadOutcome::CannotRead : ReadOutcome::Read;
}

ReadOutcome ReadWholeFile(const char* utf8Path, std::size_t limit, std::string& text)
{
    text.clear();
    std::FILE* file = OpenFileForReading(utf8Path);
    if (file == nullptr)
        return ReadOutcome::CannotOpen;
    const ReadOutcome outcome = ReadWholeStream(file, limit, text);
    std::fclose(file);
    return outcome;
}

}  // namespace norvathel
