#include "run_tool.h"

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>
#include <string>

#include <norvathel/additive_random.h>
#include <norvathel/name_composer.h>
#include <norvathel/name_stream.h>
#include "learn_command.h"
#include "name_writers.h"
#include "norvathel_version.h"
#include "argument_texts.h"
#include "board_segments.h"
#include "boards_ahead.h"
#include "fault_words.h"
#include "key_batches.h"
#include "line_reader.h"
#include "output_buffer.h"
#include "progress_line.h"
#include "tool_options.h"
#include "text/utf8_files.h"

using norvathel::AdditiveRandom;
using norvathel::Board;
using norvathel::Gender;
using norvathel::NamesPerBoard;

namespace {

// What a run wrote: how many names, and whether the constraints ran dry first (for --keys: at
// which key).
struct RunResult {
    std::uint64_t written = 0;
    bool ranDry = false;
    std::uint64_t composedInARow = 0;
    std::uint64_t dryKeyLine = 0;
    std::string keysProblem;  // a --keys file that could not be read to its end
};


// From this many names on, names are composed on every processor: fewer take a
// few milliseconds on one thread, and a short run (the default board) keeps to one processor.
const std::uint64_t SegmentsFrom = 200000;

// --count names from a NameStream: boards of ten composed in order on one generator, the
// names that fail a constraint left out. result counts as it goes, so that it holds what was
// written when memory runs out.
void WriteNames(const ToolOptions& options, std::uint64_t seed, OutputBuffer& output,
                ProgressLine& progress, RunResult& result)
{
    const AdditiveRandom start = StartingGenerator(options, seed);
    const bool many = options.count >= SegmentsFrom && ThreadsFor(options) > 1;
    // Full names that are not unique: the surnames on a thread of their own, beside a stream
    // of the given names alone (the same given names).
    const bool surnamesAside = many && options.fullNames && !options.constraints.unique;
    norvathel::NameStream stream(options.style, start, options.gender, options.prefix, options.constraints,
                                 options.fullNames && !surnamesAside);
    // Unique names: the set of names seen takes most of the time, so the boards (and their
    // surnames) are composed ahead on a thread of their own while the set judges them here.
    std::unique_ptr<BoardsAhead> ahead;
    if (many && options.constraints.unique) {
        ahead = BoardsAhead::StreamBoards(options.style, options.gender, stream.Prefix(), start, options.fullNames);
        stream.TakeBoardsFrom([&ahead, full = options.fullNames, n = std::uint64_t{0}](Board& names, Board& surnames) mutable {
            const BoardsAhead::Step step = ahead->At(n);
            ++n;  // not before: a step that threw is asked for again
            names = step.boards[0];
            if (full)
                surnames = step.boards[1];
            return step.gender;
        });
    }
    NameWriter writer(output, options.format);
    writer.Start(seed, options);
    norvathel::StreamName name;
    // Given names that are not unique: each name judged alone, on every processor.
    const bool alone = !options.fullNames && !options.constraints.unique;
    const int threads = alone && many ? ThreadsFor(options) : 1;
    if (threads > 1) {
        BoardSegments segments(options, stream, start, threads);
        segments.Write(options.count, writer, output, progress, result.written);
        result.ranDry = segments.RanDry();
        result.composedInARow = segments.ComposedSinceKept();
        writer.Finish(result.ranDry);
        return;
    } else if (options.format == OutputFormat::Text && !options.fullNames && !stream.Constrained()) {
        // Its own loop, a board's names at a time: this is the one that runs tens of millions
        // of times a second.
        while (result.written < options.count) {
            const std::uint64_t left = options.count - result.written;
            const int most = left < NamesPerBoard ? static_cast<int>(left) : NamesPerBoard;
            const Board* board;
            int first;
            const int taken = stream.NextOfBoard(most, board, first);
            WriteTextNames(output, *board, first, taken);
            result.written += static_cast<std::uint64_t>(taken);
            if (output.Failed())
                break;
            progress.Update(result.written, stream.Composed());
        }
    } else if (options.format == OutputFormat::Text && !options.fullNames) {
        for (; result.written < options.count && stream.Next(name); ++result.written) {
            WriteTextName(output, name.text, name.length);
            if (output.Failed())
                break;
            progress.Update(result.written, stream.Composed());
        }
    } else {
        std::unique_ptr<BoardsAhead> aside;
        if (surnamesAside)
            aside = BoardsAhead::Surnames(options.style, norvathel::SurnameRandomFor(start));
        for (; result.written < options.count && !output.Failed() && stream.Next(name); ++result.written) {
            if (aside) {
                const Board& surnames = aside->At(name.board).boards[0];
                name.surname = surnames.names[stream.LastSlot()];
                name.surnameLength = surnames.lengths[stream.LastSlot()];
            }
            writer.Name(name.text, name.length, name.gender, name.board, stream.Prefix(), name.surname,
                        name.surnameLength);
            progress.Update(result.written, stream.Composed());
        }
    }
    result.ranDry = stream.RanDry();
    result.composedInARow = stream.ComposedSinceKept();
    writer.Finish(result.ranDry);
}

// A --boards replay: every composition whole, ten names each.
void WriteReplay(const ToolOptions& options, std::uint64_t seed, OutputBuffer& output)
{
    AdditiveRandom random = StartingGenerator(options, seed);
    AdditiveRandom second = norvathel::SurnameRandomFor(random);
    Board board = {}, surnames = {};
    NameWriter writer(output, options.format);
    writer.Start(seed, options);
    std::uint64_t number = 0;
    for (const BoardRequest& request : options.boards) {
        if (output.Failed())
            break;
        const Gender gender = norvathel::BoardGender(request.gender, random);
        options.style.ComposeBoard(random, gender, request.prefix, board);
        if (options.fullNames)
            options.style.ComposeSurnames(second, surnames);
        for (int index = 0; index < NamesPerBoard; ++index)
            writer.Name(board.names[index], board.lengths[index], gender, number, request.prefix,
                        options.fullNames ? surnames.names[index] : nullptr, surnames.lengths[index]);
        ++number;
    }
    writer.Finish(false);
}

// The CSV header or JSON bracket of a --keys run. As the JSON document does, each object names
// the style unless it is classic without --full.
void StartKeys(const ToolOptions& options, KeyWriter& writer)
{
    const bool named = options.fullNames || !options.style.IsClassic();
    writer.Start(options.bom, options.fullNames, named ? options.style.Name().c_str() : nullptr);
}

// The first key (or batch) is read before anything is written, in both ways below: a file that
// cannot be read at all (a UTF-16 one, say) leaves no CSV header or JSON bracket behind its
// message. Each returns false when it wrote nothing, not even those.

// --keys on one thread: each key named and written as it is read.
bool WriteKeysInOrder(const ToolOptions& options, LineReader& keys, KeyWriter& writer, OutputBuffer& output,
                      ProgressLine& progress, RunResult& result)
{
    norvathel::KeyNamer namer(options.style, options.gender, options.prefix, options.constraints,
                              options.fullNames);
    const char* key;
    std::size_t length;
    bool more = keys.Next(key, length);
    if (!more && !keys.Problem().empty())
        return false;
    StartKeys(options, writer);
    norvathel::StreamName name;
    for (; more && !output.Failed(); more = keys.Next(key, length)) {
        if (!namer.Name(KeySeedOf(options, key, length), name)) {
            result.ranDry = true;
            result.dryKeyLine = keys.LineNumber();
            break;
        }
        writer.Name(key, length, name.text, name.length, name.gender, name.surname, name.surnameLength);
        ++result.written;
        progress.Update(result.written, namer.Composed());
    }
    return true;
}

// --keys on several threads: named a batch at a time and written in the file's order.
bool WriteKeysInBatches(const ToolOptions& options, int threads, LineReader& keys, KeyWriter& writer,
                        OutputBuffer& output, ProgressLine& progress, RunResult& result)
{
    KeyBatches batches(options, threads);
    bool more = batches.Next(keys);
    if (!more && !keys.Problem().empty())
        return false;
    StartKeys(options, writer);
    for (; more && !output.Failed(); more = batches.Next(keys)) {
        const std::uint64_t composed = batches.Composed();
        for (std::size_t k = 0; k < batches.Size() && !output.Failed(); ++k) {
            const NamedKey key = batches[k];
            writer.Name(key.key, key.keyLength, key.name, key.length, key.gender, key.surname, key.surnameLength);
            ++result.written;
            progress.Update(result.written, composed);
        }
    }
    result.ranDry = batches.RanDry();
    result.dryKeyLine = batches.DryLine();
    return true;
}

// --keys: one name per line of the file, each from the key's own seed (mixed with --seed), on
// every processor unless --threads says otherwise. One thread takes the keys straight from the
// file: batches would only add copies.
void WriteKeyNames(const ToolOptions& options, std::FILE* in, OutputBuffer& output,
                   ProgressLine& progress, RunResult& result)
{
    const int threads = ThreadsFor(options);
    LineReader keys(in, LongestLine);
    KeyWriter writer(output, options.format);
    const bool written = threads == 1 ? WriteKeysInOrder(options, keys, writer, output, progress, result)
                                      : WriteKeysInBatches(options, threads, keys, writer, output, progress, result);
    // A name that ran dry ends the run where it stands, whatever the file holds after it.
    if (!result.ranDry)
        result.keysProblem = keys.Problem();
    if (written)
        writer.Finish();
}

int RunKeys(const ToolOptions& options, OutputBuffer& output, ProgressLine& progress,
            RunResult& result, std::FILE* err)
{
    const bool standardInput = *options.keys == "-";
    std::FILE* in = standardInput ? stdin : norvathel::OpenFileForReading(options.keys->c_str());
    if (in == nullptr) {
        std::fprintf(err, "norvathel-names: --keys: cannot open %s: %s\n", Quoted(options.keys->c_str()).c_str(),
                     std::strerror(errno));
        return 2;
    }
    WriteKeyNames(options, in, output, progress, result);
    if (!standardInput)
        std::fclose(in);
    return 0;
}

}  // namespace

int RunTool(int argc, char** argv, std::FILE* out, std::FILE* err)
{
    if (IsLearnCommand(argc, argv))
        return RunLearn(argc, argv, stdin, out, err);
    ToolOptions options;
    std::string problem;
    ParseOutcome outcome;
    try {
        outcome = ParseArguments(argc, argv, options, problem);  // reads the exclude files too
    } catch (const std::bad_alloc&) {
        std::fprintf(err, "norvathel-names: out of memory after 0 names\n");
        return 1;
    }
    if (outcome == ParseOutcome::Error) {
        std::fprintf(err, "norvathel-names: %s\n", problem.c_str());
        return 2;
    }

    OutputBuffer output(out);
    RunResult result;
    bool outOfMemory = false;
    int code = 0;
    try {
        if (outcome == ParseOutcome::Help) {
            WriteLines(output, HelpText().c_str());
        } else if (outcome == ParseOutcome::ListStyles) {
            WriteLines(output, StyleListText().c_str());
        } else if (outcome == ParseOutcome::Version) {
            WriteLines(output, "norvathel-names " NORVATHEL_VERSION "\n");
        } else {
            const std::uint64_t seed = RunSeed(options);
            if (options.showSeed)
                std::fprintf(err, "%s: %llu\n", options.clock ? "clock" : "seed",
                             static_cast<unsigned long long>(seed));
            ProgressLine progress(err, StreamIsTerminal(err), options.keys ? 0 : options.count);
            if (options.keys)
                code = RunKeys(options, output, progress, result, err);
            else if (options.boardsGiven)
                WriteReplay(options, seed, output);
            else
                WriteNames(options, seed, output, progress, result);
        }
    } catch (const std::bad_alloc&) {
        outOfMemory = true;  // the names written so far are kept: the buffer still goes out
    }
    if (code != 0)
        return code;
    if (!output.FinishReporting(err))
        return 1;
    if (outOfMemory) {
        std::fprintf(err, "norvathel-names: out of memory after %llu names\n",
                     static_cast<unsigned long long>(result.written));
        return 1;
    }
    if (!result.keysProblem.empty()) {
        std::fprintf(err, "norvathel-names: --keys %s: %s\n", Quoted(options.keys->c_str()).c_str(),
                     result.keysProblem.c_str());
        return 2;
    }
    if (result.ranDry && options.keys) {
        std::fprintf(err,
                     "norvathel-names: no name for the key on line %llu meets the constraints "
                     "(%llu composed in a row)\n",
                     static_cast<unsigned long long>(result.dryKeyLine),
                     static_cast<unsigned long long>(norvathel::NameStream::DefaultDryLimit));
        return 3;
    }
    if (result.ranDry) {
        std::fprintf(err, "norvathel-names: %s\n",
                     DryMessage(result.written, options.count, result.composedInARow).c_str());
        return 3;
    }
    return 0;
}
