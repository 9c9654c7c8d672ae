#include "learn_command.h"

#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include <norvathel/style_learning.h>
#include "fault_words.h"
#include "name_writers.h"
#include "output_buffer.h"
#include "text/utf8_files.h"

namespace {

const char LearnUsage[] =
    "Usage: norvathel-names learn [OPTION]... FILE\n"
    "Learns a style from example names, one per line in FILE (\"-\": standard input), each\n"
    "optionally followed by a tab and m, f or n (no gender) for its gender, and writes the style file to\n"
    "standard output. Use it with --style FILE. Then says on standard error how true the\n"
    "style is: names read, the letter-trigram divergence of its names from a quarter of the\n"
    "examples held out, the share of its names that are examples, and how many of 100,000\n"
    "are distinct.\n"
    "\n"
    "  --name NAME           the style's name (default learned): a-z, 0-9 and '-'\n"
    "  --description TEXT    its one-line description\n"
    "  --allow-copies        let the style give the example names themselves (by default\n"
    "                        it carries their hashes and never gives one)\n"
    "  --format N            2 (default): each group drawn after the groups before it;\n"
    "                        1: every group on its own, as styles learned before 2.1.0\n"
    "  --quiet               write no report\n"
    "  -h, --help            show this help and exit\n"
    "\n"
    "Every fault of the list is named (the first 20, then a count), FILE:LINE:COLUMN each.\n";

struct LearnOptions {
    std::string path;
    const char* name = nullptr;
    const char* description = nullptr;
    bool quiet = false;
    bool allowCopies = false;
    const char* format = nullptr;
    bool help = false;
};

// The value of --option VALUE or --option=VALUE at argv[at], or null when argv[at] is not it.
const char* ValueOf(const char* option, int argc, char** argv, int& at)
{
    const std::size_t length = std::strlen(option);
    if (std::strncmp(argv[at], option, length) != 0)
        return nullptr;
    if (argv[at][length] == '=')
        return argv[at] + length + 1;
    if (argv[at][length] != '\0' || at + 1 >= argc)
        return nullptr;
    return argv[++at];
}

// Reads the learn command's arguments (argv[2] on); false, with problem, when they are wrong.
bool ReadOptions(int argc, char** argv, LearnOptions& options, std::string& problem)
{
    bool havePath = false;
    for (int at = 2; at < argc; ++at) {
        const char* argument = argv[at];
        const char* value;
        if (std::strcmp(argument, "--help") == 0 || std::strcmp(argument, "-h") == 0) {
            options.help = true;
        } else if (std::strcmp(argument, "--quiet") == 0) {
            options.quiet = true;
        } else if (std::strcmp(argument, "--allow-copies") == 0) {
            options.allowCopies = true;
        } else if ((value = ValueOf("--name", argc, argv, at)) != nullptr && !options.name) {
            options.name = value;
        } else if ((value = ValueOf("--description", argc, argv, at)) != nullptr && !options.description) {
            options.description = value;
        } else if ((value = ValueOf("--format", argc, argv, at)) != nullptr && !options.format) {
            if (std::strcmp(value, "1") != 0 && std::strcmp(value, "2") != 0) {
                problem = "learn --format is 1 or 2";
                return false;
            }
            options.format = value;
        } else if ((argument[0] != '-' || argument[1] == '\0') && !havePath) {
            options.path = argument;
            havePath = true;
        } else {
            problem = "learn takes one example file, or - for standard input, and --name, --description, "
                      "--format, --quiet once each (see learn --help)";
            return false;
        }
    }
    if (!havePath && !options.help) {
        problem = "learn takes one example file, or - for standard input (see learn --help)";
        return false;
    }
    return true;
}

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

// The list's warnings or faults, a line each.
void Tell(std::FILE* err, const norvathel::ListReport& report, bool warnings)
{
    for (const std::string& line : norvathel::ListLines(report, warnings))
        std::fprintf(err, "norvathel-names: %s\n", line.c_str());
}

}  // namespace

bool IsLearnCommand(int argc, char** argv)
{
    return argc >= 2 && std::strcmp(argv[1], "learn") == 0;
}

int RunLearn(int argc, char** argv, std::FILE* in, std::FILE* out, std::FILE* err)
{
    LearnOptions options;
    std::string problem;
    if (!ReadOptions(argc, argv, options, problem)) {
        std::fprintf(err, "norvathel-names: %s\n", problem.c_str());
        return 2;
    }
    if (options.help)
        return Write(LearnUsage, out, err) ? 0 : 1;
    std::string list;
    if (!ReadList(options.path, in, list, problem)) {
        std::fprintf(err, "norvathel-names: %s\n", problem.c_str());
        return 2;
    }
    const std::string source = options.path == "-" ? "(standard input)" : options.path;
    norvathel::LearnRequest request;
    request.name = options.name ? options.name : "";
    request.description = options.description ? options.description : "";
    request.allowCopies = options.allowCopies;
    request.format = options.format && options.format[0] == '1' ? norvathel::StyleFormatVersion
                                                                 : norvathel::ContextStyleFormat;
    request.measure = !options.quiet;
    norvathel::LearnOutcome outcome;
    const bool learned = norvathel::LearnFromList(list, source, request, outcome);
    Tell(err, outcome.list, true);
    Tell(err, outcome.list, false);
    if (!learned) {
        if (outcome.list.faults.empty())
            std::fprintf(err, "norvathel-names: %s%s\n", outcome.badRequest ? "--" : "", outcome.fault.Text().c_str());
        return 2;
    }
    if (!Write(outcome.styleText, out, err))
        return 1;
    if (!options.quiet)
        std::fputs(LearningReport(outcome.summary, outcome.quality).c_str(), err);
    return 0;
}
