// norvathel-names: boards of names from the composer, on the command line.
#pragma once
#include <cstdio>

// Runs the tool with the given arguments (argv[0] is the program's name). Names go to out,
// messages to err. Returns the exit code: 0 done, 1 output could not be written, 2 bad
// arguments (one line on err, nothing on out).
int RunTool(int argc, char** argv, std::FILE* out, std::FILE* err);

// What ends each output line: CR LF on Windows, LF elsewhere. The tool writes it itself, so
// out must be a binary stream.
const char* ToolLineEnd();
