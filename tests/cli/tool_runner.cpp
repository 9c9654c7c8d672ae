#include "tool_runner.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#ifdef _WIN32
#include <process.h>
#define getpid _getpid
#else
#include <unistd.h>
#endif

#include "name_writers.h"
#include "run_tool.h"

namespace {

// A scratch file named after this process, in the working folder, removed when done.
// tmpfile() will not do: under Wine two test processes started at once can pick the same
// name, and one of them then gets no file at all.
class ScratchFile {
public:
    ScratchFile()
        : name("tool-run-" + std::to_string(getpid()) + "-" + std::to_string(++made) + ".tmp"),
          file(std::fopen(name.c_str(), "wb+"))
    {
    }
    ~ScratchFile()
    {
        if (file != nullptr)
            std::fclose(file);
        std::remove(name.c_str());
    }
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;

    std::FILE* get() const { return file; }

private:
    static int made;
    std::string name;
    std::FILE* file;
};
int ScratchFile::made = 0;

std::string ReadBack(std::FILE* file)
{
    std::string text;
    if (file == nullptr)
        return text;
    std::fflush(file);
    std::rewind(file);
    char chunk[4096];
    std::size_t size;
    while ((size = std::fread(chunk, 1, sizeof chunk, file)) > 0)
        text.append(chunk, size);
    return text;
}

}  // namespace

ToolRun RunToolInto(std::FILE* out, const std::vector<std::string>& args)
{
    std::vector<std::string> storage = {"norvathel-names"};
    storage.insert(storage.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& text : storage)
        argv.push_back(&text[0]);
    argv.push_back(nullptr);

    ScratchFile err;
    EXPECT_NE(err.get(), nullptr) << "no scratch file for the messages";
    if (err.get() == nullptr)
        return {-1, "", ""};
    int code = RunTool(static_cast<int>(storage.size()), argv.data(), out, err.get());
    return {code, "", ReadBack(err.get())};
}

ToolRun RunToolWith(const std::vector<std::string>& args)
{
    ScratchFile out;
    EXPECT_NE(out.get(), nullptr) << "no scratch file for the output";
    if (out.get() == nullptr)
        return {-1, "", ""};
    ToolRun run = RunToolInto(out.get(), args);
    run.out = ReadBack(out.get());
    return run;
}

std::vector<std::string> SplitLines(const std::string& text)
{
    const std::string end = ToolLineEnd();
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t found; (found = text.find(end, start)) != std::string::npos; start = found + end.size())
        lines.push_back(text.substr(start, found - start));
    if (start < text.size())
        lines.push_back(text.substr(start));
    return lines;
}

std::string JoinLines(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines)
        text += line + ToolLineEnd();
    return text;
}

bool IsOneLine(const std::string& message)
{
    return message.size() > 1 && message.find('\n') == message.size() - 1 &&
           message.find('\r') >= message.size() - 2;
}
