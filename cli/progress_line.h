// One updating line on stderr for long runs: names written of the count, names composed and the
// rate. Shown only when stderr is a terminal and the run has taken about a second; never on
// stdout.
#pragma once
#include <chrono>
#include <cstdint>
#include <cstdio>

class ProgressLine {
public:
    // Shows nothing unless shown is true (the caller asks StreamIsTerminal(err)). A count of 0
    // is no count: the names run to the end of the input.
    ProgressLine(std::FILE* err, bool shown, std::uint64_t count);
    ~ProgressLine() { Clear(); }
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;

    // Cheap enough to call for every name: the clock is read once every 64 Ki calls.
    void Update(std::uint64_t written, std::uint64_t composed)
    {
        if (shown && (++calls & 0xFFFF) == 0)
            Show(written, composed);
    }
    // Rubs the line out, so that whatever is written next starts on a clean line.
    void Clear();

private:
    void Show(std::uint64_t written, std::uint64_t composed);

    std::FILE* err;
    bool shown;
    std::uint64_t count;
    std::uint64_t calls = 0;
    std::chrono::steady_clock::time_point started;
    std::chrono::steady_clock::time_point lastShown;
    int width = 0;  // the characters of the line on the terminal now; 0: none
};

// True when the stream is a terminal (a console on Windows).
bool StreamIsTerminal(std::FILE* stream);
