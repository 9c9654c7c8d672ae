// The surnames of --full on a thread of their own. They come from a generator of their own, one
// board of ten for each board of given names, in order, whichever given names are kept: so a
// thread composes them ahead, a chunk of boards at a time, while the given names are composed
// and written on this one.
#pragma once
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

#include <norvathel/additive_random.h>
#include <norvathel/name_composer.h>
#include <norvathel/style.h>

class SurnameBoards {
public:
    // Enough boards that handing a chunk over costs little; few enough chunks that they take
    // about 2 MiB.
    static constexpr std::size_t BoardsPerChunk = 1024;
    static constexpr std::size_t Chunks = 4;

    // The surname boards style composes from random, as NameStream composes them for full names:
    // on a thread of their own when aside (and one can be started), else as they are asked for.
    SurnameBoards(const norvathel::Style& style, const norvathel::AdditiveRandom& random, bool aside = true);
    ~SurnameBoards();
    SurnameBoards(const SurnameBoards&) = delete;
    SurnameBoards& operator=(const SurnameBoards&) = delete;

    // Board n, counted from 0; n is never below one asked for before, so those before its chunk
    // are let go. Throws what the composing thread threw.
    const norvathel::Board& At(std::uint64_t n);

private:
    struct Chunk {
        std::uint64_t index = ~std::uint64_t{0};
        bool done = false;
        std::vector<norvathel::Board> boards;
        std::exception_ptr failure;
    };

    void ComposeNext(std::unique_lock<std::mutex>& held);
    void Work();

    const norvathel::Style& style;
    norvathel::AdditiveRandom random;  // where the next chunk to compose starts
    std::vector<Chunk> chunks;         // chunk c in chunks[c % Chunks]
    const Chunk* reading = nullptr;    // the chunk At last read, needed
    std::uint64_t composing = 0;       // the next chunk to compose
    std::uint64_t needed = 0;          // the chunk read; those before it are free
    bool stopping = false;
    std::mutex lock;
    std::condition_variable chunkDone, chunkFreed;
    std::thread worker;
};
