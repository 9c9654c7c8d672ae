#include "output_buffer.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

#ifdef _WIN32
#include "windows_text.h"
#endif

namespace {
#ifdef _WIN32
// Older Windows consoles fail single writes much above 26 KB.
const std::size_t BufferSize = 16 * 1024;
#else
const std::size_t BufferSize = 64 * 1024;
#endif
static_assert(OutputBuffer::MaxReserve <= BufferSize / 4, "reservations leave room for large writes");
void ClearErrors()
{
    errno = 0;
#ifdef _WIN32
    _doserrno = 0;
#endif
}

}  // namespace

OutputBuffer::OutputBuffer(std::FILE* stream)
    : out(stream),
      storage(new char[BufferSize]),
      cursor(storage.get()),
      limit(storage.get() + BufferSize)
{
}

void OutputBuffer::Fail()
{
    failed = true;
    failureError = errno;
    readerGone = failureError == EPIPE;
#ifdef _WIN32
    // The system's error as the C runtime keeps it: ERROR_BROKEN_PIPE (109), ERROR_NO_DATA
    // (232, "the pipe is being closed") or, under Wine, ERROR_PIPE_NOT_CONNECTED (233); the
    // runtime turns the last two into EINVAL.
    readerGone = readerGone || _doserrno == 109 || _doserrno == 232 || _doserrno == 233;
    // Under load Wine's runtime also fails a write into a pipe whose reader has just gone with
    // EINVAL and no system error at all; a pipe write has no other cause for that pair.
    readerGone = readerGone || (failureError == EINVAL && _doserrno == 0 && WritesToPipe(out));
#endif
}

void OutputBuffer::Drain()
{
    std::size_t size = static_cast<std::size_t>(cursor - storage.get());
    cursor = storage.get();
    if (failed || size == 0)
        return;
    ClearErrors();
    if (std::fwrite(storage.get(), 1, size, out) != size)
        Fail();
}

void OutputBuffer::Write(const char* text, std::size_t size)
{
    while (size > 0) {
        std::size_t piece = size < MaxReserve ? size : MaxReserve;
        char* place = Reserve(piece);
        std::memcpy(place, text, piece);
        Commit(place + piece);
        text += piece;
        size -= piece;
    }
}

void OutputBuffer::Write(const char* text)
{
    Write(text, std::strlen(text));
}

bool OutputBuffer::Finish()
{
    Drain();
    if (!failed) {
        ClearErrors();
        if (std::fflush(out) != 0 || std::ferror(out))
            Fail();
    }
    return !failed;
}

bool OutputBuffer::FinishReporting(std::FILE* err)
{
    if (Finish())
        return true;
    if (!readerGone)
        std::fprintf(err, "norvathel-names: cannot write output%s%s\n", failureError != 0 ? ": " : "",
                     failureError != 0 ? std::strerror(failureError) : "");
    return false;
}
