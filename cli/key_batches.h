// --keys in batches: a key's name depends on the key alone, so a batch of keys read from the
// file is shared out among threads, named side by side, and handed back in the file's order.
// While one batch is written and the next read, the one between them is named.
#pragma once
#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <norvathel/name_composer.h>
#include <norvathel/name_stream.h>
#include "line_reader.h"
#include "tool_options.h"

// One key of a batch and the name it was given, as the batch holds them. NameSlotSize bytes
// may be read from name (the writers copy whole slots); those past its length are not its.
struct NamedKey {
    const char* key;
    std::size_t keyLength;
    const char* name;
    int length;
    norvathel::Gender gender;
    const char* surname;  // full names only, else null
    int surnameLength;
};

class KeyBatches {
public:
    // threads: how many name a batch (at least 1), this one among them. A key's name runs dry
    // after dryLimit composed names in a row fail the constraints.
    KeyBatches(const ToolOptions& options, int threads,
               std::uint64_t dryLimit = norvathel::NameStream::DefaultDryLimit);
    ~KeyBatches();
    KeyBatches(const KeyBatches&) = delete;
    KeyBatches& operator=(const KeyBatches&) = delete;

    // Makes the next batch of keys from keys, named, the current one. False when no key was
    // left (at the end, or at a fault keys.Problem() describes). A name that runs dry ends the
    // batch: only the keys before it are given, RanDry() tells its line, and no batch follows.
    bool Next(LineReader& keys);

    std::size_t Size() const { return current->named; }
    NamedKey operator[](std::size_t k) const;
    bool RanDry() const { return ranDry; }
    std::uint64_t DryLine() const { return dryLine; }
    // The names composed by every thread up to the end of the current batch.
    std::uint64_t Composed() const { return composed; }

    // A batch holds at most this many keys a thread, and a thread takes this many at a time:
    // enough that handing them over costs little, few enough that no thread waits long.
    static constexpr std::size_t KeysPerThread = 8192;
    static constexpr std::size_t KeysPerChunk = 1024;

private:
    // A run of a batch's keys, [begin, end), named by whichever thread takes it; stop is where a
    // name ran dry (end when none did), failure what went wrong on its thread, thrown again on
    // this one.
    struct Chunk {
        std::size_t begin = 0, end = 0, stop = 0;
        std::exception_ptr failure;
        std::string names;  // its names (each full name's given name, then its surname), in order
    };
    // A key as the batch holds it, small, so that little crosses from core to core: its text
    // in the batch's, its name's in its chunk's.
    struct Entry {
        std::uint32_t keyAt;
        std::uint16_t keyLength;   // at most LongestLine
        std::uint8_t length, surnameLength;
        std::uint8_t gender;
        std::uint32_t nameAt;
    };
    struct Batch {
        std::string text;               // its keys, one after another
        std::vector<Entry> entries;     // its keys in the file's order
        std::uint64_t firstLine = 0;    // the first key's line in the file; the others follow it
        std::vector<Chunk> chunks;      // kept from batch to batch, with their names' room
        std::size_t chunkCount = 0;     // how many of them this batch has
        std::atomic<std::size_t> taken{0};  // how many chunks a thread has taken
        std::size_t named = 0;          // how many of the keys are given
    };

    bool Read(LineReader& keys, Batch& batch);
    void Start(Batch& batch);
    void Finish(Batch& batch);
    void NameChunks(Batch& batch, norvathel::KeyNamer& namer);
    void NameChunk(Batch& batch, Chunk& chunk, norvathel::KeyNamer& namer);
    void Work(std::size_t t);

    const ToolOptions& options;
    std::vector<std::unique_ptr<norvathel::KeyNamer>> namers;  // one a thread, this one's first
    Batch batches[2];
    Batch* current = &batches[0];    // the batch given to the caller
    Batch* naming = nullptr;         // the batch being named, if any
    bool ended = false;              // the file has no key left to read
    bool ranDry = false;
    std::uint64_t dryLine = 0;
    std::uint64_t composed = 0;

    // The other namers' threads: each waits for a new batch, takes its chunks until none is
    // left, and counts itself done. This thread reads and writes between batches and then
    // takes chunks too, so no processor waits while there is a key to name.
    std::vector<std::thread> workers;
    std::mutex lock;
    std::condition_variable batchStarted, batchDone;
    std::uint64_t started = 0;       // how many batches were handed to the workers
    std::size_t working = 0;         // the workers still naming the batch
    bool stopping = false;
};
