#include "windows_text.h"

#include <cstring>
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#include <shellapi.h>

namespace {

std::string ConvertFromWide(const wchar_t* wide, UINT codePage)
{
    int size = WideCharToMultiByte(codePage, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 1)
        return std::string();
    std::string text(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(codePage, 0, wide, -1, &text[0], size, nullptr, nullptr);
    text.resize(static_cast<std::size_t>(size) - 1);
    return text;
}

std::wstring WideFromUtf8(const std::string& text)
{
    int size = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(size), L'\0');
    if (size > 0)
        MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &wide[0], size);
    return wide;
}

std::string AnsiFromUtf8(const std::string& text)
{
    return ConvertFromWide(WideFromUtf8(text).c_str(), CP_ACP);
}

const char* const ReplayOptions[] = {"--boards", "--clock"};

}  // namespace

std::vector<std::string> Utf8Arguments()
{
    std::vector<std::string> arguments;
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (wide == nullptr)
        return arguments;
    for (int i = 0; i < count; ++i)
        arguments.push_back(ConvertFromWide(wide[i], CP_UTF8));
    LocalFree(wide);
    return arguments;
}

void ReplayValuesInAnsi(std::vector<std::string>& arguments)
{
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        for (const char* option : ReplayOptions) {
            std::string joined = std::string(option) + "=";
            if (arguments[i] == option && i + 1 < arguments.size()) {
                ++i;
                arguments[i] = AnsiFromUtf8(arguments[i]);
            } else if (arguments[i].compare(0, joined.size(), joined) == 0) {
                arguments[i] = joined + AnsiFromUtf8(arguments[i].substr(joined.size()));
            } else {
                continue;
            }
            break;
        }
    }
}

std::size_t WholeUtf8Length(const char* text, std::size_t length)
{
    // Look back over at most three continuation bytes for the lead byte of the last character.
    std::size_t start = length;
    while (start > 0 && length - start < 4 && (static_cast<unsigned char>(text[start - 1]) & 0xC0) == 0x80)
        --start;
    if (start == 0)
        return length;
    unsigned char lead = static_cast<unsigned char>(text[start - 1]);
    std::size_t needed = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    std::size_t present = length - (start - 1);
    return present < needed ? start - 1 : length;
}

ConsoleRelay::ConsoleRelay(std::FILE* standardStream) : stream_(standardStream)
{
    HANDLE console = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(standardStream)));
    DWORD mode = 0;
    if (console == INVALID_HANDLE_VALUE || !GetConsoleMode(console, &mode))
        return;  // a file or a pipe: UTF-8 bytes as they are
    HANDLE reader = nullptr, writer = nullptr;
    if (!CreatePipe(&reader, &writer, nullptr, 0))
        return;
    int descriptor = _open_osfhandle(reinterpret_cast<intptr_t>(writer), _O_BINARY | _O_WRONLY);
    std::FILE* pipe = descriptor >= 0 ? _fdopen(descriptor, "wb") : nullptr;
    if (pipe == nullptr) {
        if (descriptor >= 0)
            _close(descriptor);
        else
            CloseHandle(writer);
        CloseHandle(reader);
        return;
    }
    stream_ = pipe;
    console_ = console;
    reader_ = reader;
    copier_ = std::thread([reader, console] {
        char buffer[4096];
        std::size_t kept = 0;
        DWORD got = 0;
        while (ReadFile(reader, buffer + kept, static_cast<DWORD>(sizeof buffer - kept), &got, nullptr) &&
               got > 0) {
            std::size_t filled = kept + got;
            std::size_t whole = WholeUtf8Length(buffer, filled);
            std::wstring wide = WideFromUtf8(std::string(buffer, whole));
            DWORD written = 0;
            WriteConsoleW(console, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
            kept = filled - whole;
            std::memmove(buffer, buffer + whole, kept);
        }
    });
}

bool ConsoleRelay::Finish()
{
    if (console_ == nullptr)
        return true;
    bool closed = std::fclose(stream_) == 0;
    copier_.join();
    CloseHandle(static_cast<HANDLE>(reader_));
    console_ = nullptr;
    return closed;
}

ConsoleRelay::~ConsoleRelay()
{
    Finish();
}

bool WritesToPipe(std::FILE* stream)
{
    const intptr_t handle = _get_osfhandle(_fileno(stream));
    return handle != -1 && GetFileType(reinterpret_cast<HANDLE>(handle)) == FILE_TYPE_PIPE;
}
