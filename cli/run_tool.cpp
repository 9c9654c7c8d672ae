#include "run_tool.h"

#include <cstdint>
#include <cstring>
#include <string>

#include <norvathel/additive_random.h>
#include <norvathel/name_composer.h>
#include <norvathel/name_stream.h>
#include "name_writers.h"
#include "norvathel_version.h"
#include "output_buffer.h"
#include "tool_options.h"

using norvathel::AdditiveRandom;
using norvathel::Board;
using norvathel::Gender;
using norvathel::NamesPerBoard;

namespace {

// What a run wrote: how many names, and whether the constraints ran dry first.
struct RunResult {
    std::uint64_t written = 0;
    bool ranDry = false;
    std::uint64_t composedInARow = 0;
};

// --count names from a NameStream: boards of ten composed in order on one generator, the
// names that fail a constraint left out.
RunResult WriteNames(const ToolOptions& options, std::uint64_t seed, OutputBuffer& output)
{
    norvathel::NameStream stream(seed, options.gender, options.prefix, options.constraints);
    NameWriter writer(output, options.format);
    writer.Start(seed, options);
    RunResult result;
    norvathel::StreamName name;
    if (options.format == OutputFormat::Text) {
        // Its own loop: this is the one that runs tens of millions of times a second.
        for (; result.written < options.count && stream.Next(name); ++result.written) {
            WriteTextName(output, name.text, name.length);
            if (output.Failed())
                break;
        }
    } else {
        for (; result.written < options.count && !output.Failed() && stream.Next(name); ++result.written)
            writer.Name(name.text, name.length, name.gender, name.board, stream.Prefix());
    }
    result.ranDry = stream.RanDry();
    result.composedInARow = stream.ComposedSinceKept();
    writer.Finish(result.ranDry);
    return result;
}

// A --boards replay: every composition whole, ten names each.
void WriteReplay(const ToolOptions& options, std::uint64_t seed, OutputBuffer& output)
{
    AdditiveRandom random;
    random.Seed(seed);
    Board board = {};
    NameWriter writer(output, options.format);
    writer.Start(seed, options);
    std::uint64_t number = 0;
    for (const BoardRequest& request : options.boards) {
        if (output.Failed())
            break;
        const Gender gender = norvathel::BoardGender(request.gender, random);
        norvathel::ComposeBoard(random, gender, request.prefix, board);
        for (int index = 0; index < NamesPerBoard; ++index)
            writer.Name(board.names[index], board.lengths[index], gender, number, request.prefix);
        ++number;
    }
    writer.Finish(false);
}

}  // namespace

int RunTool(int argc, char** argv, std::FILE* out, std::FILE* err)
{
    ToolOptions options;
    std::string problem;
    ParseOutcome outcome = ParseArguments(argc, argv, options, problem);
    if (outcome == ParseOutcome::Error) {
        std::fprintf(err, "norvathel-names: %s\n", problem.c_str());
        return 2;
    }

    OutputBuffer output(out);
    RunResult result;
    if (outcome == ParseOutcome::Help) {
        WriteLines(output, HelpText().c_str());
    } else if (outcome == ParseOutcome::Version) {
        WriteLines(output, "norvathel-names " NORVATHEL_VERSION "\n");
    } else {
        // Without a seed, entropy: two runs in the same second must not print the same names.
        const std::uint64_t seed = options.seed ? *options.seed : norvathel::EntropySeed();
        if (options.showSeed)
            std::fprintf(err, "seed: %llu\n", static_cast<unsigned long long>(seed));
        if (options.boardsGiven)
            WriteReplay(options, seed, output);
        else
            result = WriteNames(options, seed, output);
    }
    if (!output.Finish()) {
        int error = output.FailureError();
        std::fprintf(err, "norvathel-names: cannot write output%s%s\n", error != 0 ? ": " : "",
                     error != 0 ? std::strerror(error) : "");
        return 1;
    }
    if (result.ranDry) {
        std::fprintf(err,
                     "norvathel-names: only %llu of %llu names meet the constraints (%llu composed "
                     "in a row without a new one)\n",
                     static_cast<unsigned long long>(result.written),
                     static_cast<unsigned long long>(options.count),
                     static_cast<unsigned long long>(result.composedInARow));
        return 3;
    }
    return 0;
}
