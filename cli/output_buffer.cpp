#include "output_buffer.h"

#include <cerrno>
#include <cstring>

namespace {
#ifdef _WIN32
// Older Windows consoles fail single writes much above 26 KB.
const std::size_t BufferSize = 16 * 1024;
#else
const std::size_t BufferSize = 64 * 1024;
#endif
static_assert(OutputBuffer::MaxReserve <= BufferSize / 4, "reservations leave room for large writes");
}  // namespace

OutputBuffer::OutputBuffer(std::FILE* stream)
    : out(stream),
      storage(new char[BufferSize]),
      cursor(storage.get()),
      limit(storage.get() + BufferSize)
{
}

void OutputBuffer::Drain()
{
    std::size_t size = static_cast<std::size_t>(cursor - storage.get());
    cursor = storage.get();
    if (failed || size == 0)
        return;
    errno = 0;
    if (std::fwrite(storage.get(), 1, size, out) != size) {
        failed = true;
        failureError = errno;
    }
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
        errno = 0;
        if (std::fflush(out) != 0 || std::ferror(out)) {
            failed = true;
            failureError = errno;
        }
    }
    return !failed;
}
