#include "board_segments.h"

#include <algorithm>
#include <cstdio>
#include <system_error>

#include <norvathel/name_stream.h>
#include <norvathel/style.h>
#include "name_writers.h"

using norvathel::AdditiveRandom;
using norvathel::NamesPerBoard;

namespace {

std::uint64_t SegmentWordsFor(std::size_t slots)
{
    return std::max(BoardSegments::LeastSegmentWords,
                    std::min(BoardSegments::DefaultSegmentWords, BoardSegments::MostWordsHeld / slots));
}

}  // namespace

BoardSegments::BoardSegments(const ToolOptions& given, const AdditiveRandom& start, int threads,
                             std::uint64_t words)
    : options(given),
      origin(start.WordsDrawn()),
      slots(2 * static_cast<std::size_t>(std::max(threads, 1)) + 1),
      segmentWords(words != 0 ? words : SegmentWordsFor(slots.size())),
      seeker(start)
{
    // The prefix as a stream keeps it.
    std::snprintf(prefix, sizeof prefix, "%s", options.prefix);
    for (std::size_t s = 0; s < slots.size(); ++s)
        slots[s].index = s + slots.size();  // none of them composed yet
    // A system that will not start another thread gets the boards composed on fewer.
    for (std::size_t t = 1; 2 * t + 1 < slots.size(); ++t) {
        try {
            workers.emplace_back(&BoardSegments::Work, this);
        } catch (const std::system_error&) {
            break;
        }
    }
}

BoardSegments::~BoardSegments()
{
    {
        std::lock_guard<std::mutex> held(lock);
        stopping = true;
    }
    claimable.notify_all();
    for (std::thread& worker : workers)
        worker.join();
}

void BoardSegments::Write(std::uint64_t count, OutputBuffer& output, ProgressLine& progress, std::uint64_t& written)
{
    // The true sequence starts with segment 0's first board.
    std::uint64_t s = 0;
    std::size_t board = 0;
    while (written < count && !output.Failed()) {
        const Segment& segment = Await(s);
        WriteBoards(segment, board, count, output, progress, written);
        if (written == count || output.Failed())
            break;
        // It goes on where the segment's last board ended, which is in a later segment's words.
        AdditiveRandom truth = segment.after;
        if (!Rejoin(truth, s, board, count, output, progress, written))
            break;
    }
}

// The segment, once composed; this thread composes others while it waits.
const BoardSegments::Segment& BoardSegments::Await(std::uint64_t s)
{
    std::unique_lock<std::mutex> held(lock);
    for (;;) {
        const Segment& segment = slots[s % slots.size()];
        if (segment.index == s && segment.done) {
            if (segment.failure)
                std::rethrow_exception(segment.failure);
            return segment;
        }
        if (!ClaimAndCompose(held))
            segmentDone.wait(held);
    }
}

// Composes the next segment, if it is among those that may be in memory and its slot is free
// (a segment no longer needed may still be being composed in it); held is given up meanwhile.
bool BoardSegments::ClaimAndCompose(std::unique_lock<std::mutex>& held)
{
    Segment& segment = slots[claimed % slots.size()];
    if (stopping || claimed >= needed + slots.size() || segment.composing)
        return false;
    segment.index = claimed++;
    segment.done = false;
    segment.composing = true;
    segment.after = seeker;  // composed on, it ends where the last board ended
    seeker.Skip(segmentWords);
    held.unlock();
    Compose(segment, segment.after);
    held.lock();
    segment.composing = false;
    segment.done = true;
    segmentDone.notify_all();
    claimable.notify_all();  // its slot is free again
    return true;
}

void BoardSegments::Compose(Segment& segment, AdditiveRandom& random)
{
    segment.starts.clear();
    segment.ends.clear();
    segment.lengths.clear();
    segment.failure = nullptr;
    const std::uint64_t end = (segment.index + 1) * segmentWords;
    try {
        norvathel::Board board;
        std::size_t used = 0;
        while (!stopping.load(std::memory_order_relaxed)) {
            const std::uint64_t at = static_cast<std::uint64_t>(random.WordsDrawn() - origin);
            if (at >= end)
                break;
            segment.starts.push_back(at);
            options.style.ComposeBoard(random, norvathel::BoardGender(options.gender, random), prefix, board);
            if (used + TextBoardRoom > segment.text.size())
                segment.text.resize(std::max(2 * segment.text.size(), used + TextBoardRoom));
            used = static_cast<std::size_t>(PutTextNames(&segment.text[used], board, 0, NamesPerBoard) - segment.text.data());
            segment.ends.push_back(static_cast<std::uint32_t>(used));
            segment.lengths.insert(segment.lengths.end(), board.lengths, board.lengths + NamesPerBoard);
            // A board that drew nothing is followed by itself for ever: the writer repeats it.
            if (random.WordsDrawn() - origin == static_cast<std::int64_t>(at))
                break;
        }
    } catch (...) {
        segment.failure = std::current_exception();
    }
}

// The segment's boards from first on, as far as count names.
void BoardSegments::WriteBoards(const Segment& segment, std::size_t first, std::uint64_t count, OutputBuffer& output,
                                ProgressLine& progress, std::uint64_t& written)
{
    const std::size_t from = first == 0 ? 0 : segment.ends[first - 1];
    const std::uint64_t wholeLeft = (count - written) / NamesPerBoard;
    const std::size_t last = static_cast<std::size_t>(std::min<std::uint64_t>(segment.starts.size(), first + wholeLeft));
    std::size_t to = last == first ? from : segment.ends[last - 1];
    for (std::size_t b = first; b < last; ++b) {
        written += NamesPerBoard;
        progress.Update(written, written);
    }
    if (last < segment.starts.size() && written < count) {
        // The count ends in this board: its first names.
        const int left = static_cast<int>(count - written);
        for (int k = 0; k < left; ++k)
            to += segment.lengths[last * NamesPerBoard + static_cast<std::size_t>(k)] + static_cast<std::size_t>(LineEndSize);
        written += static_cast<std::uint64_t>(left);
        progress.Update(written, written);
    }
    output.Write(segment.text.data() + from, to - from);
}

// Composes the true sequence on from truth, writing its boards, until it reaches a board that
// a segment holds (s and board then tell which) or count names are written.
bool BoardSegments::Rejoin(AdditiveRandom& truth, std::uint64_t& s, std::size_t& board, std::uint64_t count,
                           OutputBuffer& output, ProgressLine& progress, std::uint64_t& written)
{
    norvathel::Board composed;
    while (written < count && !output.Failed()) {
        const std::uint64_t at = static_cast<std::uint64_t>(truth.WordsDrawn() - origin);
        if (at / segmentWords != s) {
            s = at / segmentWords;
            Release(s);
        }
        const Segment& segment = Await(s);
        const auto found = std::lower_bound(segment.starts.begin(), segment.starts.end(), at);
        if (found != segment.starts.end() && *found == at) {
            board = static_cast<std::size_t>(found - segment.starts.begin());
            return true;
        }
        options.style.ComposeBoard(truth, norvathel::BoardGender(options.gender, truth), prefix, composed);
        const std::uint64_t left = count - written;
        const int taken = left < NamesPerBoard ? static_cast<int>(left) : NamesPerBoard;
        WriteTextNames(output, composed, 0, taken);
        written += static_cast<std::uint64_t>(taken);
        progress.Update(written, written);
    }
    return false;
}

// The segments before s are no longer needed: their slots may take later ones.
void BoardSegments::Release(std::uint64_t s)
{
    {
        std::lock_guard<std::mutex> held(lock);
        needed = s;
        // Those before it that no thread has taken are never composed.
        if (claimed < s) {
            seeker.Skip((s - claimed) * segmentWords);
            claimed = s;
        }
    }
    claimable.notify_all();
}

void BoardSegments::Work()
{
    std::unique_lock<std::mutex> held(lock);
    while (!stopping) {
        if (!ClaimAndCompose(held))
            claimable.wait(held);
    }
}
