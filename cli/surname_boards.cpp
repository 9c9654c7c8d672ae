#include "surname_boards.h"

#include <system_error>

SurnameBoards::SurnameBoards(const norvathel::Style& given, const norvathel::AdditiveRandom& start, bool aside)
    : style(given), random(start), chunks(Chunks)
{
    // A system that will not start a thread gets its surnames composed on this one, as asked.
    try {
        if (aside)
            worker = std::thread(&SurnameBoards::Work, this);
    } catch (const std::system_error&) {
    }
}

SurnameBoards::~SurnameBoards()
{
    {
        std::lock_guard<std::mutex> held(lock);
        stopping = true;
    }
    chunkFreed.notify_all();
    if (worker.joinable())
        worker.join();
}

const norvathel::Board& SurnameBoards::At(std::uint64_t n)
{
    const std::uint64_t c = n / BoardsPerChunk;
    // The chunk read is never written to: the thread composes only into slots of chunks before it.
    if (reading == nullptr || reading->index != c) {
        std::unique_lock<std::mutex> held(lock);
        needed = c;
        chunkFreed.notify_all();
        Chunk& chunk = chunks[c % Chunks];
        while (!worker.joinable() && composing <= c)  // those before c are never asked for
            ComposeNext(held);
        chunkDone.wait(held, [&] { return chunk.index == c && chunk.done; });
        if (chunk.failure)
            std::rethrow_exception(chunk.failure);
        reading = &chunk;
    }
    return reading->boards[n % BoardsPerChunk];
}

// Chunk number composing, its boards composed with held given up meanwhile.
void SurnameBoards::ComposeNext(std::unique_lock<std::mutex>& held)
{
    Chunk& chunk = chunks[composing % Chunks];
    chunk.index = composing;
    chunk.done = false;
    held.unlock();
    chunk.failure = nullptr;
    try {
        chunk.boards.resize(BoardsPerChunk);
        for (norvathel::Board& board : chunk.boards)
            style.ComposeSurnames(random, board);
    } catch (...) {
        chunk.failure = std::current_exception();
    }
    held.lock();
    chunk.done = true;
    ++composing;
    chunkDone.notify_all();
}

void SurnameBoards::Work()
{
    std::unique_lock<std::mutex> held(lock);
    for (;;) {
        // A slot is free once the reader has gone past the chunk it held before.
        chunkFreed.wait(held, [&] { return stopping || composing < needed + Chunks; });
        if (stopping)
            return;
        ComposeNext(held);
    }
}
