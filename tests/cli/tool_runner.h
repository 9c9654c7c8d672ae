// Runs the tool in-process with temporary files for its output and messages.
#pragma once
#include <cstdio>
#include <string>
#include <vector>

struct ToolRun {
    int exitCode;
    std::string out;
    std::string err;
};

// The arguments of first, then those of second.
std::vector<std::string> Joined(std::vector<std::string> first, const std::vector<std::string>& second);

// RunTool with argv = {"norvathel-names", args...}; out and err are read back afterwards.
ToolRun RunToolWith(const std::vector<std::string>& args);

// RunTool with the given stream as its output (for streams that fail); err is read back.
ToolRun RunToolInto(std::FILE* out, const std::vector<std::string>& args);

// The text split into lines at ToolLineEnd(); a last line without its end is kept too.
std::vector<std::string> SplitLines(const std::string& text);

// True for a message of exactly one line: text, then one line feed at the very end.
bool IsOneLine(const std::string& message);

// The lines joined, each followed by ToolLineEnd().
std::string JoinLines(const std::vector<std::string>& lines);
