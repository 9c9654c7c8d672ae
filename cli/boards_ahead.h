// Boards composed ahead on a thread of their own, a chunk at a time, and handed out in order,
// while this thread judges and writes names: for --full the surnames, from a generator of
// their own, one board of ten for each board of given names whichever given names are kept;
// for --unique the boards of given names themselves (and their surnames), whose judging, the
// set of names seen, takes most of a run's time.
#pragma once
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include <norvathel/additive_random.h>
#include <norvathel/name_composer.h>
#include <norvathel/name_stream.h>
#include <norvathel/style.h>

class BoardsAhead {
public:
    // Enough steps that handing a chunk over costs little; few enough chunks that they take
    // about 2 MiB a board a step.
    static constexpr std::size_t StepsPerChunk = 1024;
    static constexpr std::size_t Chunks = 4;

    // What one step composes: boardsPerStep boards into boards, in order from where the
    // composer's generators stand, and the gender of the step.
    using Composer = std::function<norvathel::Gender(norvathel::Board* boards)>;

    // The surnames a NameStream with full names composes from random (SurnameRandomFor its
    // start), one board a step.
    static std::unique_ptr<BoardsAhead> Surnames(const norvathel::Style& style, const norvathel::AdditiveRandom& random,
                                                 bool aside = true);
    // The boards a NameStream starting at start composes, one a step with its gender, and with
    // fullNames its surnames as the step's second board.
    static std::unique_ptr<BoardsAhead> StreamBoards(const norvathel::Style& style, norvathel::GenderChoice gender,
                                                     const char* prefix, const norvathel::AdditiveRandom& start,
                                                     bool fullNames, bool aside = true);

    // Composes with compose on a thread of its own when aside (and one can be started), else
    // as the steps are asked for.
    BoardsAhead(int boardsPerStep, Composer compose, bool aside = true);
    ~BoardsAhead();
    BoardsAhead(const BoardsAhead&) = delete;
    BoardsAhead& operator=(const BoardsAhead&) = delete;

    struct Step {
        const norvathel::Board* boards;
        norvathel::Gender gender;
    };
    // Step n, counted from 0; n is never below one asked for before, so those before its chunk
    // are let go. Throws what composing threw.
    Step At(std::uint64_t n);

private:
    struct Chunk {
        std::uint64_t index = ~std::uint64_t{0};
        bool done = false;
        std::vector<norvathel::Board> boards;
        std::vector<norvathel::Gender> genders;
        std::exception_ptr failure;
    };

    void ComposeNext(std::unique_lock<std::mutex>& held);
    void Work();

    const int boardsPerStep;
    Composer compose;
    std::vector<Chunk> chunks;       // chunk c in chunks[c % Chunks]
    const Chunk* reading = nullptr;  // the chunk At last read, needed
    std::uint64_t composing = 0;     // the next chunk to compose
    std::uint64_t needed = 0;        // the chunk read; those before it are free
    bool stopping = false;
    std::mutex lock;
    std::condition_variable chunkDone, chunkFreed;
    std::thread worker;
};
