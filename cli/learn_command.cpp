#include "learn_command.h"

#include <cerrno>
#include <cstring>
#include <string>

#include <norvathel/style_learning.h>
#include "name_writers.h"
#include "output_buffer.h"

namespace {

const char LearnUsage[] =
    "Usage: norvathel-names learn FILE\n"
    "Learns a style from example names, one per line in FILE (\"-\": standard input), each\n"
    "optionally followed by a tab and m or f for its gender, and writes the style file to\n"
    "standard output. Use it with --style FILE.\n";

// Reads the whole stream, at most limit bytes and one more to tell that it is over.
bool ReadAll(std::FILE* file, std::size_t limit, std::string& text)
{
    char chunk[16384];
    std::size_t read;
    while (text.size() <= limit && (read = std::fread(chunk, 1, sizeof chunk, file)) > 0)
        text.append(chunk, read);
    return !std::ferror(file);
}

// The example list named by path, or an error message.
bool ReadList(const std::string& path, std::FILE* in, std::string& text, std::string& problem)
{
    const bool standardInput = path == "-";
    std::FILE* file = standardInput ? in : std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        problem = path + ": cannot open: " + std::strerror(errno);
        return false;
    }
    const bool read = ReadAll(file, norvathel::MaxExampleListBytes, text);
    const int error = errno;
    if (!standardInput)
        std::fclose(file);
    if (!read) {
        problem = path + ": cannot read: " + std::strerror(error);
        return false;
    }
    return true;
}

// The style text with the platform's line ends, as the tool writes all its output.
bool Write(const std::string& text, std::FILE* out, std::FILE* err)
{
    OutputBuffer output(out);
    WriteLines(output, text.c_str());
    if (output.Finish())
        return true;
    const int error = output.FailureError();
    std::fprintf(err, "norvathel-names: cannot write output%s%s\n", error != 0 ? ": " : "",
                 error != 0 ? std::strerror(error) : "");
    return false;
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
