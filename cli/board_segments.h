// --count names on several threads, exactly as one stream composes them. Every board starts
// afresh: what it holds depends only on where in the generator's words it starts. So the words
// are cut into segments, and each thread composes the boards of a segment as though one started
// at its first word. Boards from such a guessed start soon land where a board of the true
// sequence starts (two walks through the same words that stand on the same word once go on
// together), and from there on they are the true boards. The segments are joined where the
// true sequence reaches one of their boards; until it does, this thread composes it. Which
// names meet the constraints is judged name by name as they are composed; how many fail in a
// row, and so where the names run dry, is counted in order as they are written.
#pragma once
#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <norvathel/additive_random.h>
#include <norvathel/name_composer.h>
#include <norvathel/name_stream.h>
#include "name_writers.h"
#include "output_buffer.h"
#include "progress_line.h"
#include "tool_options.h"

class BoardSegments {
public:
    // Long enough that joining costs little (the true sequence reaches a segment's boards
    // within a few dozen boards, of some two thousand), short enough that the tool stays
    // within 4 MiB on two threads: about 0.4 MiB each. With many threads they are shorter, so
    // that all of them together stay within MostWordsHeld.
    static constexpr std::uint64_t DefaultSegmentWords = std::uint64_t{1} << 18;
    static constexpr std::uint64_t MostWordsHeld = std::uint64_t{1} << 24;
    static constexpr std::uint64_t LeastSegmentWords = std::uint64_t{1} << 16;

    // The names in the text, CSV or JSON form (given names only) that stream hands out, started from
    // start: options' style and gender, the stream's prefix, constraints (not unique) and dry
    // limit. threads compose them (at least 1), this one among them. segmentWords 0 chooses
    // the length as above.
    BoardSegments(const ToolOptions& options, const norvathel::NameStream& stream, const norvathel::AdditiveRandom& start,
                  int threads, std::uint64_t segmentWords = 0);
    ~BoardSegments();
    BoardSegments(const BoardSegments&) = delete;
    BoardSegments& operator=(const BoardSegments&) = delete;

    // Writes the first count names, as the stream would hand them out, through writer (started,
    // and finished by the caller) and counts them in written as they go out; stops early once
    // the output fails or the names run dry. Throws what a composing thread threw (out of
    // memory).
    void Write(std::uint64_t count, NameWriter& writer, OutputBuffer& output, ProgressLine& progress,
               std::uint64_t& written);

    bool RanDry() const { return ranDry; }
    // Names composed since the last one kept, as the stream counts them.
    std::uint64_t ComposedSinceKept() const { return sinceKept; }

private:
    // The boards that start in the words [index, index + 1) times segmentWords, from a board
    // guessed to start at the first: where each starts (in words from the first board), the
    // rows of its names that meet the constraints, and the generator after the last.
    struct Segment {
        std::uint64_t index = 0;
        bool done = false;
        bool composing = false;
        std::vector<std::uint64_t> starts;
        // Where each board's text ends: below 4 GiB, since every board but a last that draws
        // nothing draws a word at least.
        std::vector<std::uint32_t> ends;
        std::vector<std::uint16_t> kept;     // a board's names that meet the constraints, a bit each
        std::vector<norvathel::Gender> genders;  // each board's
        std::vector<std::uint16_t> sizes;    // each kept name's row (line end or comma included), a board's ten in a row
        std::string text;
        std::size_t used = 0;                // how much of text holds names
        norvathel::AdditiveRandom after;
        std::exception_ptr failure;

        void Clear();
    };

    const Segment& Await(std::uint64_t s);
    bool ClaimAndCompose(std::unique_lock<std::mutex>& held);
    void Compose(Segment& segment);
    void AddBoard(Segment& segment, norvathel::AdditiveRandom& random) const;
    char* PutRow(char* place, const norvathel::Board& board, int k, norvathel::Gender gender, bool first) const;
    bool WriteBoards(const Segment& segment, std::size_t first, std::uint64_t count, OutputBuffer& output,
                     ProgressLine& progress, std::uint64_t& written);
    bool Rejoin(norvathel::AdditiveRandom& truth, std::uint64_t& s, std::size_t& board, std::uint64_t count,
                OutputBuffer& output, ProgressLine& progress, std::uint64_t& written);
    void Release(std::uint64_t s);
    void Work();

    const ToolOptions& options;
    const norvathel::NameStream& stream;
    const bool judged;          // some names may fail the constraints
    const OutputFormat form;
    const std::size_t boardRoom;  // the most a board's rows take
    const std::int64_t origin;  // where the first board starts
    // The segments in memory, segment s in slots[s % slots.size()]: two a thread and one more,
    // so that the threads compose on while this one writes or joins.
    std::vector<Segment> slots;
    const std::uint64_t segmentWords;
    Segment joining;  // a board of the true sequence this thread composes to reach a segment
    JsonWriter* json = nullptr;  // the JSON form's writer, which opens each board that has names

    // The names as written: looked at, failed in a row, and whether that ran dry.
    std::uint64_t composed = 0;
    std::uint64_t sinceKept = 0;
    bool ranDry = false;

    std::vector<std::thread> workers;
    std::mutex lock;
    std::condition_variable claimable, segmentDone;
    norvathel::AdditiveRandom seeker;  // where segment claimed starts
    std::uint64_t claimed = 0;         // the next segment to compose
    std::uint64_t needed = 0;          // the first segment still needed; those before are free
    std::atomic<bool> stopping{false};
};
