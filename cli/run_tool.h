// norvathel-names: boards of names from the composer, on the command line.
#pragma once
#include <cstdio>

// Runs the tool with the given arguments (argv[0] is the program's name). Names go to out,
// messages to err; out must be a binary stream, as the tool writes its own line ends
// (ToolLineEnd in name_writers.h). Returns the exit code: 0 done, 1 output could not be
// written, 2 bad arguments (one line on err, nothing on out), 3 the constraints ran dry.
int RunTool(int argc, char** argv, std::FILE* out, std::FILE* err);
