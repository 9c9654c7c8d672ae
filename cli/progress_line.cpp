#include "progress_line.h"

#include <string>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

ProgressLine::ProgressLine(std::FILE* stream, bool show, std::uint64_t total)
    : err(stream), shown(show), count(total), started(std::chrono::steady_clock::now()), lastShown(started)
{
}

void ProgressLine::Show(std::uint64_t written, std::uint64_t composed)
{
    using std::chrono::duration;
    const auto now = std::chrono::steady_clock::now();
    const double running = duration<double>(now - started).count();
    // Not before a second has passed, and at most five times a second after that.
    if (running < 1.0 || (width > 0 && duration<double>(now - lastShown).count() < 0.2))
        return;
    lastShown = now;
    char of[32] = "";  // a count of 0: as many as there are (--keys)
    if (count != 0)
        std::snprintf(of, sizeof of, " of %llu", static_cast<unsigned long long>(count));
    char line[160];
    const int size = std::snprintf(line, sizeof line, "%llu%s names written, %llu composed, %.0f names/s",
                                   static_cast<unsigned long long>(written), of,
                                   static_cast<unsigned long long>(composed),
                                   static_cast<double>(written) / running);
    // A shorter line than the last one is padded, so that no old character is left behind.
    std::fprintf(err, "\r%s%*s", line, width > size ? width - size : 0, "");
    std::fflush(err);
    width = size;
}

void ProgressLine::Clear()
{
    if (width == 0)
        return;
    std::fprintf(err, "\r%*s\r", width, "");
    std::fflush(err);
    width = 0;
}

bool StreamIsTerminal(std::FILE* stream)
{
#ifdef _WIN32
    return _isatty(_fileno(stream)) != 0;
#else
    return isatty(fileno(stream)) != 0;
#endif
}
