#include "board_segments.h"

#include <algorithm>
#include <system_error>

#include <norvathel/style.h>

using norvathel::AdditiveRandom;
using norvathel::NamesPerBoard;

namespace {

constexpr std::uint16_t AllKept = (1u << NamesPerBoard) - 1;

std::size_t BoardRoomOf(OutputFormat form)
{
    return form == OutputFormat::Csv    ? NamesPerBoard * CsvWriter::RowRoom
           : form == OutputFormat::Json ? NamesPerBoard * JsonWriter::NameRoom
                                        : TextBoardRoom;
}

std::uint64_t SegmentWordsFor(std::size_t slots)
{
    return std::max(BoardSegments::LeastSegmentWords,
                    std::min(BoardSegments::DefaultSegmentWords, BoardSegments::MostWordsHeld / slots));
}

}  // namespace

BoardSegments::BoardSegments(const ToolOptions& given, const norvathel::NameStream& names, const AdditiveRandom& start,
                             int threads, std::uint64_t words)
    : options(given),
      stream(names),
      judged(names.Constrained()),
      form(given.format),
      boardRoom(BoardRoomOf(form)),
      origin(start.WordsDrawn()),
      slots(2 * static_cast<std::size_t>(std::max(threads, 1)) + 1),
      segmentWords(words != 0 ? words : SegmentWordsFor(slots.size())),
      seeker(start)
{
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

void BoardSegments::Write(std::uint64_t count, NameWriter& writer, OutputBuffer& output, ProgressLine& progress,
                          std::uint64_t& written)
{
    json = writer.Json();
    // The true sequence starts with segment 0's first board.
    std::uint64_t s = 0;
    std::size_t board = 0;
    while (written < count) {
        const Segment& segment = Await(s);
        if (!WriteBoards(segment, board, count, output, progress, written))
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
    Compose(segment);
    held.lock();
    segment.composing = false;
    segment.done = true;
    segmentDone.notify_all();
    claimable.notify_all();  // its slot is free again
    return true;
}

void BoardSegments::Segment::Clear()
{
    starts.clear();
    ends.clear();
    kept.clear();
    genders.clear();
    sizes.clear();
    used = 0;
    failure = nullptr;
}

void BoardSegments::Compose(Segment& segment)
{
    segment.Clear();
    const std::uint64_t end = (segment.index + 1) * segmentWords;
    try {
        AdditiveRandom& random = segment.after;
        while (!stopping.load(std::memory_order_relaxed)) {
            const std::int64_t at = random.WordsDrawn() - origin;
            if (static_cast<std::uint64_t>(at) >= end)
                break;
            AddBoard(segment, random);
            // A board that drew nothing is followed by itself for ever: the writer repeats it.
            if (random.WordsDrawn() - origin == at)
                break;
        }
    } catch (...) {
        segment.failure = std::current_exception();
    }
}

// The board that starts where random stands, onto the segment.
void BoardSegments::AddBoard(Segment& segment, AdditiveRandom& random) const
{
    segment.starts.push_back(static_cast<std::uint64_t>(random.WordsDrawn() - origin));
    norvathel::Board board;
    const norvathel::Gender gender =
        norvathel::ComposeStreamBoard(options.style, options.gender, random, stream.Prefix(), board);
    if (segment.used + boardRoom > segment.text.size())
        segment.text.resize(std::max(2 * segment.text.size(), segment.used + boardRoom));
    char* place = &segment.text[segment.used];
    segment.sizes.resize(segment.sizes.size() + NamesPerBoard);
    std::uint16_t* sizes = &segment.sizes[segment.sizes.size() - NamesPerBoard];
    std::uint16_t kept = 0;
    if (!judged && form == OutputFormat::Text) {  // the common case: the whole board at once
        place = PutTextNames(place, board, 0, NamesPerBoard);
        kept = AllKept;
        for (int k = 0; k < NamesPerBoard; ++k)
            sizes[k] = static_cast<std::uint16_t>(board.lengths[k] + LineEndSize);
    } else {
        for (int k = 0; k < NamesPerBoard; ++k) {
            char* end = place;
            if (!judged || stream.MeetsAlone(board.names[k], board.lengths[k])) {
                end = PutRow(place, board, k, gender, kept == 0);
                kept |= static_cast<std::uint16_t>(1u << k);
            }
            sizes[k] = static_cast<std::uint16_t>(end - place);
            place = end;
        }
    }
    segment.used = static_cast<std::size_t>(place - segment.text.data());
    segment.ends.push_back(static_cast<std::uint32_t>(segment.used));
    segment.kept.push_back(kept);
    segment.genders.push_back(gender);
}

// A kept name as its form writes it; first: the board's first kept name.
char* BoardSegments::PutRow(char* place, const norvathel::Board& board, int k, norvathel::Gender gender,
                            bool first) const
{
    if (form == OutputFormat::Csv)
        return CsvWriter::PutRow(place, board.names[k], board.lengths[k], nullptr, 0, gender);
    if (form == OutputFormat::Json)
        return JsonWriter::PutName(place, board.names[k], board.lengths[k], first);
    return PutTextNames(place, board, k, 1);
}

// The segment's boards from first on, as the stream hands their names out: until count are
// written or the names run dry. True when every board was written and more may follow. Text
// and CSV go out in one piece; in JSON each board that has names is opened first.
bool BoardSegments::WriteBoards(const Segment& segment, std::size_t first, std::uint64_t count, OutputBuffer& output,
                                ProgressLine& progress, std::uint64_t& written)
{
    std::size_t from = first == 0 ? 0 : segment.ends[first - 1];
    std::size_t to = from;
    std::size_t b = first;
    for (; b < segment.starts.size() && written < count && !ranDry; ++b) {
        const std::uint16_t kept = segment.kept[b];
        const std::uint64_t before = written;
        if (kept == AllKept && count - written >= NamesPerBoard) {
            to = segment.ends[b];
            written += NamesPerBoard;
            composed += NamesPerBoard;
            sinceKept = 0;
        } else {
            for (int k = 0; k < NamesPerBoard && written < count; ++k) {
                ++composed;
                if ((kept >> k) & 1) {
                    to += segment.sizes[b * NamesPerBoard + static_cast<std::size_t>(k)];
                    ++written;
                    sinceKept = 0;
                } else if (norvathel::RunsDry(sinceKept, stream.DryLimit())) {
                    ranDry = true;
                    break;
                }
            }
        }
        if (json && written > before) {
            json->StartBoard(segment.genders[b], stream.Prefix());
            json->WriteNames(segment.text.data() + from, to - from, static_cast<int>(written - before));
            from = to;
        }
        progress.Update(written, composed);
    }
    if (!json)
        output.Write(segment.text.data() + from, to - from);
    return b == segment.starts.size() && written < count && !ranDry && !output.Failed();
}

// Composes the true sequence on from truth, writing its boards, until it reaches a board that
// a segment holds (s and board then tell which); false once the writing stops.
bool BoardSegments::Rejoin(AdditiveRandom& truth, std::uint64_t& s, std::size_t& board, std::uint64_t count,
                           OutputBuffer& output, ProgressLine& progress, std::uint64_t& written)
{
    for (;;) {
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
        joining.Clear();
        AddBoard(joining, truth);
        if (!WriteBoards(joining, 0, count, output, progress, written))
            return false;
    }
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
