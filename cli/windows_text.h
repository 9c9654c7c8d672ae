// The tool's text at the edges of Windows. Inside, the tool works in UTF-8 on every system;
// Windows hands a program its command line in UTF-16 (or in the ANSI code page, which cannot
// hold every name) and shows UTF-16 on a console.
#pragma once
#ifdef _WIN32
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

// The command line as the user typed it, each argument converted to UTF-8.
std::vector<std::string> Utf8Arguments();

// The options whose values replay the window's boards: the window reads its prefix from an
// ANSI edit box, so these values are converted from UTF-8 to the ANSI code page (characters
// it lacks become '?', as the edit box makes them) to compose what the window composes.
void ReplayValuesInAnsi(std::vector<std::string>& arguments);

// True when the stream writes into a pipe.
bool WritesToPipe(std::FILE* stream);

// Shows what the tool writes on a console: while active, writes to the given standard stream
// go through a pipe to a thread that writes them with WriteConsoleW. Not started (stream()
// returns the standard stream itself) when that stream is a file or a pipe, which get the
// UTF-8 bytes unchanged.
class ConsoleRelay {
public:
    explicit ConsoleRelay(std::FILE* standardStream);
    ~ConsoleRelay();
    ConsoleRelay(const ConsoleRelay&) = delete;
    ConsoleRelay& operator=(const ConsoleRelay&) = delete;

    std::FILE* stream() const { return stream_; }
    // Closes the pipe and waits until everything written is on the console. False when the
    // pipe could not be flushed.
    bool Finish();

private:
    std::FILE* stream_;
    void* console_ = nullptr;  // the console's HANDLE, when relaying
    void* reader_ = nullptr;   // the pipe's reading HANDLE
    std::thread copier_;
};

// The length of the longest start of text[0, length) that ends on a whole UTF-8 character: a
// sequence cut at the end of a read waits for the rest.
std::size_t WholeUtf8Length(const char* text, std::size_t length);
#endif
