#include "boards_ahead.h"

#include <string>
#include <system_error>
#include <utility>

std::unique_ptr<BoardsAhead> BoardsAhead::Surnames(const norvathel::Style& style, const norvathel::AdditiveRandom& start,
                                                   bool aside)
{
    norvathel::AdditiveRandom random = start;
    return std::unique_ptr<BoardsAhead>(new BoardsAhead(
        1,
        [&style, random](norvathel::Board* boards) mutable {
            style.ComposeSurnames(random, boards[0]);
            return norvathel::Female;  // surnames have none; never read
        },
        aside));
}

std::unique_ptr<BoardsAhead> BoardsAhead::StreamBoards(const norvathel::Style& style, norvathel::GenderChoice choice,
                                                       const char* prefix, const norvathel::AdditiveRandom& start,
                                                       bool fullNames, bool aside)
{
    norvathel::AdditiveRandom random = start, surnames = norvathel::SurnameRandomFor(start);
    return std::unique_ptr<BoardsAhead>(new BoardsAhead(
        fullNames ? 2 : 1,
        [&style, choice, given = std::string(prefix), random, surnames, fullNames](norvathel::Board* boards) mutable {
            const norvathel::Gender gender = norvathel::ComposeStreamBoard(style, choice, random, given.c_str(), boards[0]);
            if (fullNames)
                style.ComposeSurnames(surnames, boards[1]);
            return gender;
        },
        aside));
}

BoardsAhead::BoardsAhead(int steps, Composer composer, bool aside)
    : boardsPerStep(steps), compose(std::move(composer)), chunks(Chunks)
{
    // A system that will not start a thread gets its boards composed on this one, as asked.
    try {
        if (aside)
            worker = std::thread(&BoardsAhead::Work, this);
    } catch (const std::system_error&) {
    }
}

BoardsAhead::~BoardsAhead()
{
    {
        std::lock_guard<std::mutex> held(lock);
        stopping = true;
    }
    chunkFreed.notify_all();
    if (worker.joinable())
        worker.join();
}

BoardsAhead::Step BoardsAhead::At(std::uint64_t n)
{
    const std::uint64_t c = n / StepsPerChunk;
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
    const std::size_t step = static_cast<std::size_t>(n % StepsPerChunk);
    return {&reading->boards[step * static_cast<std::size_t>(boardsPerStep)], reading->genders[step]};
}

// Chunk number composing, its boards composed with held given up meanwhile.
void BoardsAhead::ComposeNext(std::unique_lock<std::mutex>& held)
{
    Chunk& chunk = chunks[composing % Chunks];
    chunk.index = composing;
    chunk.done = false;
    held.unlock();
    chunk.failure = nullptr;
    try {
        chunk.boards.resize(StepsPerChunk * static_cast<std::size_t>(boardsPerStep));
        chunk.genders.resize(StepsPerChunk);
        for (std::size_t step = 0; step < StepsPerChunk; ++step)
            chunk.genders[step] = compose(&chunk.boards[step * static_cast<std::size_t>(boardsPerStep)]);
    } catch (...) {
        chunk.failure = std::current_exception();
    }
    held.lock();
    chunk.done = true;
    ++composing;
    chunkDone.notify_all();
}

void BoardsAhead::Work()
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
