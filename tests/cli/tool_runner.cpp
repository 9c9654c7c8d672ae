#include "tool_runner.h"

#include <gtest/gtest.h>

#include "cli/names_tool.h"

namespace {

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

    std::FILE* err = std::tmpfile();
    EXPECT_NE(err, nullptr) << "no temporary file for the messages";
    if (err == nullptr)
        return {-1, "", ""};
    int code = RunTool(static_cast<int>(storage.size()), argv.data(), out, err);
    ToolRun run = {code, "", ReadBack(err)};
    std::fclose(err);
    return run;
}

ToolRun RunToolWith(const std::vector<std::string>& args)
{
    std::FILE* out = std::tmpfile();
    EXPECT_NE(out, nullptr) << "no temporary file for the output";
    if (out == nullptr)
        return {-1, "", ""};
    ToolRun run = RunToolInto(out, args);
    run.out = ReadBack(out);
    std::fclose(out);
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
