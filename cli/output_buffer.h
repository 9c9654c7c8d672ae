// A fixed output buffer in front of a stdio stream: the tool formats straight into it and it
// goes out in large fwrite calls. Memory stays the same however many names are written.
#pragma once
#include <cstddef>
#include <cstdio>
#include <memory>

class OutputBuffer {
public:
    explicit OutputBuffer(std::FILE* out);
    OutputBuffer(const OutputBuffer&) = delete;
    OutputBuffer& operator=(const OutputBuffer&) = delete;

    // The largest Reserve that can be asked for.
    static constexpr std::size_t MaxReserve = 4096;

    // Room for at least size bytes (size <= MaxReserve), writing out what is buffered first
    // when needed. Write at the returned place, then Commit the end of what was written.
    char* Reserve(std::size_t size)
    {
        if (static_cast<std::size_t>(limit - cursor) < size)
            Drain();
        return cursor;
    }
    void Commit(char* end) { cursor = end; }

    void Write(const char* text, std::size_t size);
    void Write(const char* text);

    // Writes out everything and flushes the stream. False when any write failed.
    bool Finish();
    // True once a write has failed; later output is dropped.
    bool Failed() const { return failed; }
    // errno as the first failed write left it (0 when unknown).
    int FailureError() const { return failureError; }
    // True when that write failed because the reader went away (a closed pipe: EPIPE, or on
    // Windows the system's pipe errors, which the C runtime reports as EINVAL).
    bool ReaderGone() const { return readerGone; }

private:
    void Drain();
    void Fail();

    std::FILE* out;
    std::unique_ptr<char[]> storage;
    char* cursor;
    char* limit;  // the end of the storage
    bool failed = false;
    int failureError = 0;
    bool readerGone = false;
};
