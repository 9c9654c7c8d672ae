#include "learn_command.h"

#include <cerrno>
#include <cstring>
#include <string>

#include <norvathel/style_learning.h>
#include "name_writers.h"
#include "output_buffer.h"
#include "text/utf8_files.h"

namespace {

const char LearnUsage[] =
    "Usage: norvathel-names learn FILE\n"
    "Learns a style from example names, one per line in FILE (\"-\": standard input), each\n"
    "optionally followed by a tab and m or f for its gender, and writes the style file to\n"
    "standard output. Use it with --style FILE.\n";

// "path: message" with the path's control bytes shown as \xNN, as every file fault is.
std::string Shown(const std::string& path, const std::string& message)
{
    norvathel::StyleError fault;
    fault.source = path;
    fault.message = message;
    return fault.Text();
}

// The example list named by path, or an error message.
bool ReadList(const std::string& path, std::FILE* in, std::string& text, std::string& problem)
{
    const bool standardInput = path == "-";
    std::FILE* file = standardInput ? in : norvathel::OpenFileForReading(path.c_str());
    if (file == nullptr) {
        const int openError = errno;
        problem = Shown(path, std::string("cannot open: ") + std::strerror(openError));
        return false;
    }
    // A list over the limit is read a little past it, for the fault to name its place.
    const bool read = norvathel::ReadWholeStream(file, norvathel::MaxExampleListBytes, text) !=
                      norvathel::ReadOutcome::CannotRead;
    const int error = errno;
    if (!standardInput)
        std::fclose(file);
    if (!read) {
        problem = Shown(path, std::string("cannot read: ") + std::strerror(error));
        return false;
    }
    return true;
}

// The style text with the platform's line ends, as the tool writes all its output.
bool Write(const std::string& text, std::FILE* out, std::FILE* err)
{
    OutputBuffer output(out);
    WriteLines(output, text.c_str());
    return output.FinishReporting(err);
}

}  // namespace

bool IsLearnCommand(int argc, char** argv)
{
    return argc >= 2 && std::strcmp(argv[1], "learn") == 0;
}

int RunLearn(int argc, char** argv, std::FILE* in, std::FILE* out, std::FILE* err)
{
    if (argc == 3 && (std::strcmp(argv[2], "--help") == 0 || std::strcmp(argv[2], "-h") == 0))
        return Write(LearnUsage, out, err) ? 0 : 1;
    if (argc != 3 || (argv[2][0] == '-' && argv[2][1] != '\0')) {
        std::fprintf(err, "norvathel-names: learn takes one example file, or - for standard input (see learn --help)\n");
        return 2;
    }
    const std::string path = argv[2];
    std::string list, problem, style;
    if (!ReadList(path, in, list, problem)) {
        std::fprintf(err, "norvathel-names: %s\n", problem.c_str());
        return 2;
    }
    norvathel::StyleError error;
    if (!norvathel::LearnStyleFile(list, path == "-" ? "(standard input)" : path, style, error)) {
        std::fprintf(err, "norvathel-names: %s\n", error.Text().c_str());
        return 2;
    }
    return Write(style, out, err) ? 0 : 1;
}
